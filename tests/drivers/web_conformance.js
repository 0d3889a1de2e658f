// Runs the driver scenarios of web_conformance in headless Chromium: the
// site's page with the scenarios' program in place of the game's, served on
// 127.0.0.1. Prints what the scenarios print; exits with their status.
// Usage: node web_conformance.js PROGRAM_DIR SITE_DIR CHROMIUM [GTEST_FILTER]
'use strict';
const http = require('node:http');
const fs = require('node:fs');
const path = require('node:path');
const puppeteer = require(path.join(__dirname, '../web/node_modules/puppeteer-core'));

const [programDir, site, chromium, filter] = process.argv.slice(2);
const types = { '.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm', '.ttf': 'font/ttf', '.woff2': 'font/woff2' };

// The page itself, with the scenarios' program; every other file from the program's folder, else the site's.
const server = http.createServer((request, response) => {
  const name = path.basename(new URL(request.url, 'http://localhost').pathname) || 'index.html';
  let body = [programDir, site].map((dir) => path.join(dir, name)).find((file) => fs.existsSync(file));
  if (!body) return response.writeHead(404).end();
  body = fs.readFileSync(body);
  if (name === 'index.html') body = body.toString().replace(/vorel\.(js|wasm)/g, 'web_conformance.$1');
  response.writeHead(200, { 'Content-Type': types[path.extname(name)] || 'application/octet-stream' }).end(body);
});

(async () => {
  await new Promise((resolve) => server.listen(0, '127.0.0.1', resolve));
  const browser = await puppeteer.launch({ executablePath: chromium, headless: true, args: ['--no-sandbox'], protocolTimeout: 600000 });
  let status = 1;
  try {
    const page = await browser.newPage();
    // A desktop's room: the page keeps each window inside the viewport, and the
    // scenarios look for each window where the model puts it.
    await page.setViewport({ width: 1280, height: 800 });
    page.on('console', (message) => console.log(message.text()));
    page.on('pageerror', (error) => console.log(`page error: ${error.message}`));
    await page.goto(`http://127.0.0.1:${server.address().port}/#${encodeURIComponent(filter || '*')}`);
    await page.waitForFunction(() => window.probeStatus !== undefined, { timeout: 280000, polling: 200 });
    status = await page.evaluate(() => window.probeStatus);
  } catch (error) {
    console.log(`web_conformance: ${error.message}`);
  } finally {
    await browser.close();
    server.close();
  }
  process.exit(status);
})();
