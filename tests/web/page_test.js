// The page played in a browser, as a player and a screen reader meet it: one
// list of scenarios for each engine. Chromium and Firefox are driven by
// puppeteer (over CDP and WebDriver BiDi), WebKit by webkit.js over WebDriver.
// Usage: node page_test.js SITE_DIR chromium|firefox BROWSER
//        node page_test.js SITE_DIR webkit WEBKITWEBDRIVER MINIBROWSER XVFB
'use strict';
const { test, before, after } = require('node:test');
const assert = require('node:assert/strict');
const { spawn } = require('node:child_process');
const fs = require('node:fs');
const net = require('node:net');
const os = require('node:os');
const path = require('node:path');
const puppeteer = require('puppeteer-core');
const { source: axeSource } = require('axe-core');
const webkit = require('./webkit.js');

const [site, engine, ...binaries] = process.argv.slice(2);
const space = ' '; // the space bar by the name every driver knows
const sleep = (ms) => new Promise((resolve) => setTimeout(resolve, ms));
let server, browser, address;

const freePort = () => new Promise((resolve) => {
  const probe = net.createServer().listen(0, '127.0.0.1', () => {
    const { port } = probe.address();
    probe.close(() => resolve(port));
  });
});
const launch = {
  chromium: () => puppeteer.launch({ executablePath: binaries[0], headless: true, args: ['--no-sandbox'] }),
  firefox: () => puppeteer.launch({ browser: 'firefox', executablePath: binaries[0], headless: true }),
  webkit: async () => webkit.launch(...binaries, await freePort()),
}[engine];

// A site served on a free port: the server and its address.
async function serve(dir = site) {
  const port = await freePort();
  const served = spawn('python3', ['-m', 'http.server', '--bind', '127.0.0.1', String(port)], { cwd: dir, stdio: 'ignore' });
  const origin = `http://127.0.0.1:${port}/`;
  for (let i = 0; i < 100 && !(await fetch(origin).then(() => true, () => false)); ++i) await sleep(50);
  return [served, origin];
}

before(async () => {
  [server, address] = await serve();
  browser = await launch();
});
after(async () => {
  await browser?.close();
  server?.kill();
});

// The scenarios ask of a page only what every engine's driver gives:
// goto, reload, evaluate, keyboard down/up/press, mouse move/down/up/click
// and close; waits are polled.
const until = async (page, fn, arg, timeout = 5000) => {
  for (const start = Date.now(); !(await page.evaluate(fn, arg)); await sleep(20)) {
    if (Date.now() - start > timeout) throw new Error(`waited ${timeout} ms for ${fn} (${arg})`);
  }
};
const shown = (page, selector, timeout) => until(page, (s) => document.querySelector(s) !== null, selector, timeout);
const rect = (page, selector, n = 0) => page.evaluate((s, i) => document.querySelectorAll(s)[i].getBoundingClientRect().toJSON(), selector, n);

// A fresh page with the game window shown; errors of the page fail the test
// (puppeteer's pages tell them as they come, webkit.js's when asked).
async function open(t, origin = address, viewport = undefined) {
  const page = await browser.newPage();
  if (viewport) await page.setViewport(viewport);
  const errors = [];
  page.on?.('pageerror', (error) => errors.push(error.message));
  t.after(async () => {
    assert.deepEqual([...errors, ...((await page.errors?.()) ?? [])], []);
    await page.close();
  });
  await page.goto(origin);
  await shown(page, 'section.window:not([hidden])');
  return page;
}

// axe-core's rules on the page as it stands: no violation.
async function accessible(page) {
  const violations = await page.evaluate(async (source) => {
    if (!window.axe) (0, eval)(source);
    const { violations: found } = await axe.run(document);
    return found.map((v) => `${v.id}: ${v.nodes.map((n) => n.target.join(' ')).join(', ')}`);
  }, axeSource);
  assert.deepEqual(violations, []);
}

// What the page shows, read from its DOM.
const windows = (page) => page.evaluate(() => [...document.querySelectorAll('section.window:not([hidden])')].map((w) => w.querySelector('.title').textContent));
const boxes = (page) => page.evaluate(() => [...document.querySelectorAll('[role=alertdialog]')].map((b) => ({ text: b.querySelector('.prompt').textContent, lang: b.querySelector('.prompt').lang, dir: b.dir, inert: b.parentElement.inert })));
const focused = (page) => page.evaluate(() => {
  const e = document.activeElement, title = e.closest('section')?.querySelector('.title');
  return { ...(title && { window: title.textContent }), what: e.tagName === 'BUTTON' ? e.textContent : e.className };
});
const frame = (page, title) => page.evaluate((name) => [...document.querySelectorAll('section.window')].find((w) => w.querySelector('.title').textContent === name).querySelector('.client canvas').toDataURL(), title);
async function moves(page) {
  const first = await frame(page, 'Game');
  await sleep(300);
  return first !== (await frame(page, 'Game'));
}

test('the game plays to its defeat, Space fires, and the end offers to play again', async (t) => {
  const page = await open(t);
  assert.deepEqual(await focused(page), { window: 'Game', what: 'keys' });
  // Held when the box comes, the space bar neither dismisses it by its
  // repeats nor by its release; a click beside the box leaves it the keyboard.
  await page.keyboard.down(space);
  await shown(page, '[role=alertdialog]', 10000);
  await t.test("the space bar's repeats", { skip: engine === 'webkit' && "WebKit's WebDriver sends nothing for a key already down" }, async () => {
    for (let i = 0; i < 3; ++i) await page.keyboard.down(space);
  });
  await page.keyboard.up(space);
  await page.mouse.click(5, 5);
  assert.deepEqual(await boxes(page), [{ text: 'لقد خسرة', lang: 'ar', dir: 'rtl', inert: false }]);
  await accessible(page);
  // A new press dismisses it; its release does not play again.
  await page.keyboard.down(space);
  await shown(page, '.end');
  await page.keyboard.up(space);
  await sleep(100);
  assert.deepEqual(await windows(page), []);
  assert.equal(await page.evaluate(() => document.querySelector('.end p').textContent), 'The game has ended.');
  assert.deepEqual(await focused(page), { what: 'Play again' });
  await accessible(page);

  await page.keyboard.press('Enter');
  await shown(page, 'section.window:not([hidden])');
  assert.deepEqual(await windows(page), ['Game']);
  assert.ok(await moves(page));
  assert.deepEqual(await focused(page), { window: 'Game', what: 'keys' });
  // The last window closed by its close box ends the program too.
  const close = await rect(page, 'section.window .close');
  await page.mouse.click(close.x + close.width / 2, close.y + close.height / 2);
  await shown(page, '.end');
});

// The page's own nesting of waits: a box over a box, each returning in turn.
test('F1 pauses, and a box opens inside a box', async (t) => {
  const page = await open(t);
  await page.keyboard.press('F1');
  assert.deepEqual(await windows(page), ['Game', 'About vorel']);
  await accessible(page);
  await page.keyboard.down('Alt');
  await page.keyboard.press('KeyS');
  await page.keyboard.up('Alt');
  const unavailable = { text: 'System Information Is Unavailable At This Time', lang: '', dir: '', inert: false };
  assert.deepEqual(await boxes(page), [unavailable]);
  // The About window's Alt+S arrives while the box is open, as a slipped
  // event would: a second box over the first.
  await page.evaluate(() => {
    const about = Object.values(vp.windows).find((w) => w.title.textContent === 'About vorel');
    _vorel_key(about.id, about.driver, 0, 's'.codePointAt(0), 0, 0, 1);
  });
  assert.deepEqual(await boxes(page), [{ ...unavailable, inert: true }, unavailable]);
  await page.keyboard.press('Enter');
  assert.deepEqual(await boxes(page), [unavailable]);
  await page.keyboard.press('Enter');
  assert.deepEqual(await boxes(page), []);
  assert.deepEqual(await focused(page), { window: 'About vorel', what: 'OK' });
});

// Browsers hold back the timers of a hidden tab: the game waits, and goes on
// once the tab is shown again.
test('a hidden tab pauses the game until it is shown', async (t) => {
  const page = await open(t);
  const show = (hidden) => page.evaluate((h) => {
    if (h) Object.defineProperty(document, 'hidden', { configurable: true, get: () => true });
    else delete document.hidden;
    document.dispatchEvent(new Event('visibilitychange'));
  }, hidden);
  await show(true);
  await sleep(200);
  assert.equal(await moves(page), false);
  // Paused, the page as it starts.
  await accessible(page);
  await show(false);
  assert.ok(await moves(page));
});

test('windows move and come to the front', async (t) => {
  const page = await open(t);
  await page.evaluate(() => document.querySelector('.aria [role=button]').click());
  await until(page, () => document.querySelectorAll('section.window:not([hidden])').length === 2);

  // Dragged by its caption; the game window comes to the front when clicked.
  const bar = [await rect(page, 'section.window .bar', 0), await rect(page, 'section.window .bar', 1)];
  await page.mouse.move(bar[1].x + 40, bar[1].y + 8);
  await page.mouse.down();
  for (let step = 1; step <= 4; ++step) await page.mouse.move(bar[1].x + 40 - 25 * step, bar[1].y + 8 + 12.5 * step);
  await page.mouse.up();
  const moved = await rect(page, 'section.window .bar', 1);
  assert.deepEqual([moved.x, moved.y], [bar[1].x - 100, bar[1].y + 50]);
  await page.mouse.click(bar[0].x + 30, bar[0].y + 40);
  assert.deepEqual(await page.evaluate(() => [...document.querySelectorAll('section.window.active .title')].map((e) => e.textContent)), ['Game']);
  // Closed by its close box, the About window leaves the keyboard to the game.
  await page.evaluate(() => document.querySelectorAll('section.window .close')[1].click());
  assert.deepEqual(await windows(page), ['Game']);
  assert.deepEqual(await focused(page), { window: 'Game', what: 'keys' });
});

test('after one visit the game plays offline, and the page can be installed', async (t) => {
  // A server of the test's own (another origin): stopping it leaves the others theirs.
  const [own, origin] = await serve();
  t.after(() => own.kill());
  const page = await open(t, origin);
  await until(page, () => navigator.serviceWorker.controller !== null, undefined, 10000);
  await t.test('installable', { skip: engine !== 'chromium' && 'only Chromium tells installability (over CDP)' }, async () => {
    const cdp = await page.createCDPSession();
    assert.deepEqual((await cdp.send('Page.getInstallabilityErrors')).installabilityErrors, []);
  });

  own.kill();
  await new Promise((resolve) => own.exitCode !== null || own.signalCode !== null ? resolve() : own.once('exit', resolve));
  assert.equal(await fetch(origin).then(() => 'served', () => 'refused'), 'refused');
  await page.reload();
  await shown(page, 'section.window:not([hidden])', 10000);
  assert.deepEqual(await windows(page), ['Game']);
  // The labels' faces came from the cache too.
  assert.deepEqual(await page.evaluate(() => [...document.fonts].map((face) => face.status)), ['loaded', 'loaded']);
  assert.ok(await moves(page));
});

// A phone held upright: the desk scaled down until the game window fits, at a
// scale the screen draws in whole pixels; nothing scrolls. A finger held on
// the game fires as the held space bar does (without it the column reaches
// the ship in about 1.2 s); a tap on "About" opens it inside the screen.
test('on a phone the game fits, a finger held on it fires, a tap opens About', async (t) => {
  const page = await open(t, address, { width: 360, height: 640, hasTouch: true, isMobile: true });
  const shape = await page.evaluate(() => {
    const c = document.querySelector('section.window .client canvas'), r = c.getBoundingClientRect();
    return { across: document.documentElement.scrollWidth - innerWidth, fits: r.right <= innerWidth, sharp: Math.abs(c.width - r.width * devicePixelRatio) < 1 };
  });
  assert.deepEqual(shape, { across: 0, fits: true, sharp: true });
  const game = await rect(page, 'section.window .client canvas');
  const touch = engine === 'chromium' || `${engine}'s driver has no touch screen here: a touch comes as the mouse, or not at all`;
  await t.test('a finger', { skip: touch !== true && touch }, async () => {
    await page.touchscreen.touchStart(game.x + game.width / 3, game.y + game.height / 2);
    await sleep(2500);
    await page.touchscreen.touchEnd();
    assert.deepEqual(await boxes(page), []);
    await page.touchscreen.tap(game.x + game.width / 2, game.y + game.height * 0.93);
  });
  if (touch !== true) await page.keyboard.press('F1');
  await until(page, () => document.querySelectorAll('section.window:not([hidden])').length === 2);
  const [about, width] = [await rect(page, 'section.window', 1), await page.evaluate(() => innerWidth)];
  assert.ok(about.x >= 0 && about.x + about.width <= width && about.y >= 0, JSON.stringify(about));
  // Moved to a screen of another pixel ratio, the still About window is painted again at it.
  const ratio = { chromium: "Chromium's emulated pixel ratio changes no media query's match", webkit: 'WebDriver classic sets no pixel ratio' }[engine];
  await t.test('a new pixel ratio', { skip: ratio }, async () => {
    await page.setViewport({ width: 360, height: 640, hasTouch: true, isMobile: true, deviceScaleFactor: 2 });
    await until(page, () => {
      const c = document.querySelectorAll('section.window .client canvas')[1];
      return devicePixelRatio === 2 && Math.abs(c.width - c.getBoundingClientRect().width * 2) < 1;
    });
  });
});

test('a page that cannot start says what failed and what to do', async (t) => {
  // The site less its program, and the page opened as a file.
  const bare = fs.mkdtempSync(path.join(os.tmpdir(), 'vorel-site-'));
  for (const file of fs.readdirSync(site)) if (file !== 'vorel.wasm') fs.symlinkSync(path.resolve(site, file), path.join(bare, file));
  const [own, origin] = await serve(bare);
  t.after(() => {
    own.kill();
    fs.rmSync(bare, { recursive: true });
  });
  for (const [url, said] of [[origin, /vorel\.wasm, did not load\. Check the connection/], [`file://${path.resolve(site)}/index.html`, /opened as a file.*python3 -m http\.server/]]) {
    const page = await browser.newPage();
    await page.goto(url);
    await shown(page, '#failed:not([hidden])');
    assert.match(await page.evaluate(() => document.getElementById('failed').textContent), said);
    await page.close();
  }
});
