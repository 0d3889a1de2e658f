// The page's budgets, measured in Debian's headless Chromium:
//   size         vorel.wasm and vorel.js, gzip -9
//   first frame  from navigation to the game window's first frame on the
//                screen (its first drawing, then the next animation frame),
//                the median of RUNS loads
//   CPU          the game and bench/web/reference.html played side by side in
//                one run, each in a browser of its own, the space bar pressed
//                30 times a second in both: the CPU time of each browser's
//                processes (/proc) over SECONDS, from 8 s into play (start-up is
//                the first frame's), and the pages' own main-thread
//                time (DevTools' TaskDuration), as ratios game / reference.
// Usage: node bench/web/measure.js [SITE_DIR] [SECONDS] [RUNS]
// (puppeteer-core from tests/web: cd tests/web && npm ci)
'use strict';
const fs = require('node:fs');
const path = require('node:path');
const zlib = require('node:zlib');
const net = require('node:net');
const { spawn, execFileSync } = require('node:child_process');
const puppeteer = require(path.join(__dirname, '../../tests/web/node_modules/puppeteer-core'));

const site = process.argv[2] || path.join(__dirname, '../../build/web/site');
const seconds = Number(process.argv[3] || 20), runs = Number(process.argv[4] || 10);
const settle = 8000; // ms of play before the CPU count
const chromium = '/usr/lib/chromium/chromium';
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
const median = (xs) => xs.slice().sort((a, b) => a - b)[Math.floor(xs.length / 2)];

async function serve(dir) {
  const port = await new Promise((resolve) => {
    const probe = net.createServer().listen(0, '127.0.0.1', () => {
      const { port: free } = probe.address();
      probe.close(() => resolve(free));
    });
  });
  const server = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', String(port)], { cwd: dir, stdio: 'ignore' });
  const address = `http://127.0.0.1:${port}/`;
  for (let i = 0; i < 100 && !(await fetch(address).then(() => true, () => false)); ++i) await sleep(50);
  return { server, address };
}

// The CPU time (ticks) of a process and all its descendants.
function treeTicks(root) {
  const stats = fs.readdirSync('/proc').filter((d) => /^\d+$/.test(d)).flatMap((pid) => {
    try {
      const fields = fs.readFileSync(`/proc/${pid}/stat`, 'utf8').split(') ')[1].split(' ');
      return [{ pid: Number(pid), parent: Number(fields[1]), ticks: Number(fields[11]) + Number(fields[12]) }];
    } catch {
      return [];
    }
  });
  const sum = (pid) => stats.filter((s) => s.parent === pid).reduce((t, s) => t + sum(s.pid), stats.find((s) => s.pid === pid)?.ticks ?? 0);
  return sum(root);
}

const launch = () => puppeteer.launch({ executablePath: chromium, headless: true, args: ['--no-sandbox'] });

(async () => {
  const gz = ['vorel.wasm', 'vorel.js'].map((f) => [f, fs.statSync(path.join(site, f)).size, zlib.gzipSync(fs.readFileSync(path.join(site, f)), { level: 9 }).length]);
  for (const [f, raw, packed] of gz) console.log(`size: ${f} ${raw} bytes, ${(packed / 1024).toFixed(1)} KB gzipped`);
  const total = gz.reduce((s, [, , packed]) => s + packed, 0) / 1024;
  console.log(`size: .wasm + .js ${total.toFixed(1)} KB gzipped (budget 80 KB): ${total <= 80 ? 'met' : 'MISSED'}`);

  const game = await serve(site), reference = await serve(__dirname);
  const browsers = [await launch(), await launch()];
  try {
    const times = [];
    for (let i = 0; i < runs; ++i) {
      const page = await browsers[0].newPage();
      await page.evaluateOnNewDocument(() => {
        const fill = CanvasRenderingContext2D.prototype.fillRect;
        CanvasRenderingContext2D.prototype.fillRect = function (...args) {
          if (this.canvas.closest('section') && window.firstFrame === undefined) {
            window.firstFrame = null;
            requestAnimationFrame(() => { window.firstFrame = performance.now(); });
          }
          return fill.apply(this, args);
        };
      });
      await page.goto(game.address);
      await page.waitForFunction(() => window.firstFrame);
      times.push(await page.evaluate(() => window.firstFrame));
      await page.close();
    }
    const first = median(times);
    console.log(`first frame: ${first.toFixed(0)} ms, median of ${runs} (${Math.min(...times).toFixed(0)} to ${Math.max(...times).toFixed(0)}; budget 500 ms): ${first <= 500 ? 'met' : 'MISSED'}`);

    const pages = [];
    for (const [browser, address] of [[browsers[0], game.address], [browsers[1], reference.address + 'reference.html']]) {
      const page = await browser.newPage();
      await page.goto(address);
      await sleep(300);
      pages.push({ page, session: await page.createCDPSession(), pid: browser.process().pid });
    }
    for (const p of pages) await p.session.send('Performance.enable');
    const task = async (p) => (await p.session.send('Performance.getMetrics')).metrics.find((m) => m.name === 'TaskDuration').value;
    const play = async (ms) => {
      for (const end = Date.now() + ms; Date.now() < end; await sleep(33)) await Promise.all(pages.map((p) => p.page.keyboard.press('Space')));
    };
    // Play, not start-up (the first frame above): the program compiled and
    // the service worker's copies made before the count begins.
    await play(settle);
    const before = await Promise.all(pages.map(async (p) => [treeTicks(p.pid), await task(p)]));
    await play(seconds * 1000);
    const after = await Promise.all(pages.map(async (p) => [treeTicks(p.pid), await task(p)]));
    const hz = Number(execFileSync('getconf', ['CLK_TCK'], { encoding: 'utf8' }));
    const cpu = pages.map((_, i) => (after[i][0] - before[i][0]) / hz / seconds * 100);
    const main = pages.map((_, i) => (after[i][1] - before[i][1]) / seconds * 100);
    const alive = await pages[0].page.$$eval('[role=alertdialog]', (b) => b.length === 0);
    console.log(`CPU, browsers' processes: game ${cpu[0].toFixed(1)} %, reference ${cpu[1].toFixed(1)} %: ${(cpu[0] / cpu[1]).toFixed(2)} x (budget 1.1 x): ${cpu[0] / cpu[1] <= 1.1 ? 'met' : 'MISSED'}`);
    console.log(`CPU, pages' main threads: game ${main[0].toFixed(2)} %, reference ${main[1].toFixed(2)} %: ${(main[0] / main[1]).toFixed(2)} x${alive ? '' : ' (the game was lost meanwhile)'}`);
  } finally {
    await Promise.all(browsers.map((b) => b.close()));
    game.server.kill();
    reference.server.kill();
  }
})();
