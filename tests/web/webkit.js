// WebKitGTK's MiniBrowser driven over W3C WebDriver (WebKitWebDriver), on an
// X display of its own: the few things the page's tests ask of a tab, named
// as puppeteer names them, so that one list of scenarios runs everywhere.
'use strict';
const { spawn } = require('node:child_process');

// Keys by puppeteer's names, as WebDriver's code points.
const special = { Alt: '\uE00A', Enter: '\uE007', Escape: '\uE00C', F1: '\uE031' };
const key = (name) => special[name] ?? name.replace(/^Key/, '').toLowerCase();

// Script errors after each load (WebDriver classic reports none itself).
function watch() {
  window.pageErrors = [];
  addEventListener('error', (e) => pageErrors.push(e.message));
  addEventListener('unhandledrejection', (e) => pageErrors.push(String(e.reason)));
}

// A tab: one WebDriver session, one MiniBrowser.
function tab(call) {
  const evaluate = (fn, ...args) => call('POST', '/execute/sync', { script: `return (${fn}).apply(null, arguments)`, args });
  const actions = (type, list) => call('POST', '/actions', {
    actions: [type === 'key' ? { type, id: 'keyboard', actions: list } : { type, id: 'mouse', parameters: { pointerType: 'mouse' }, actions: list }],
  });
  const move = (x, y) => ({ type: 'pointerMove', x: Math.round(x), y: Math.round(y), origin: 'viewport' });
  return {
    evaluate,
    goto: async (url) => (await call('POST', '/url', { url }), evaluate(watch)),
    reload: async () => (await call('POST', '/refresh', {}), evaluate(watch)),
    errors: () => evaluate(() => window.pageErrors ?? []),
    keyboard: {
      down: (k) => actions('key', [{ type: 'keyDown', value: key(k) }]),
      up: (k) => actions('key', [{ type: 'keyUp', value: key(k) }]),
      press: (k) => actions('key', [{ type: 'keyDown', value: key(k) }, { type: 'keyUp', value: key(k) }]),
    },
    // The window sized for the viewport asked for (MiniBrowser's is no
    // narrower than its toolbar).
    setViewport: async ({ width, height }) => {
      const inner = await evaluate(() => [outerWidth - innerWidth, outerHeight - innerHeight]);
      await call('POST', '/window/rect', { width: width + inner[0], height: height + inner[1] });
    },
    mouse: {
      move: (x, y) => actions('pointer', [move(x, y)]),
      down: () => actions('pointer', [{ type: 'pointerDown', button: 0 }]),
      up: () => actions('pointer', [{ type: 'pointerUp', button: 0 }]),
      click: (x, y) => actions('pointer', [move(x, y), { type: 'pointerDown', button: 0 }, { type: 'pointerUp', button: 0 }]),
    },
  };
}

// The driver on `port`, its browser `minibrowser`, on a display `xvfb` finds free.
async function launch(driver, minibrowser, xvfbProgram, port) {
  const xvfb = spawn(xvfbProgram, ['-displayfd', '3', '-nolisten', 'tcp', '-screen', '0', '1024x768x24'], { stdio: ['ignore', 'ignore', 'inherit', 'pipe'] });
  const display = await new Promise((resolve, reject) => {
    xvfb.stdio[3].once('data', (number) => resolve(`:${String(number).trim()}`));
    xvfb.once('exit', () => reject(new Error('Xvfb found no display')));
  });
  const server = spawn(driver, [`--port=${port}`], { env: { ...process.env, DISPLAY: display }, stdio: 'ignore' });
  const root = `http://127.0.0.1:${port}/session`;
  const request = async (method, url, body) => {
    const response = await fetch(url, { method, headers: { 'Content-Type': 'application/json' }, body: body && JSON.stringify(body) });
    const { value } = await response.json();
    if (!response.ok) throw new Error(`WebDriver ${method} ${url}: ${value.error}: ${value.message}`);
    return value;
  };
  for (let i = 0; i < 100 && !(await fetch(`http://127.0.0.1:${port}/status`).then(() => true, () => false)); ++i) {
    await new Promise((resolve) => setTimeout(resolve, 50));
  }
  const sessions = new Set();
  return {
    async newPage() {
      const { sessionId } = await request('POST', root, { capabilities: { alwaysMatch: {
        browserName: 'MiniBrowser', 'webkitgtk:browserOptions': { binary: minibrowser, args: ['--automation'] } } } });
      const session = `${root}/${sessionId}`;
      const page = tab((method, path, body) => request(method, session + path, body));
      sessions.add(page);
      return Object.assign(page, { close: () => (sessions.delete(page), request('DELETE', session)) });
    },
    async close() {
      for (const page of sessions) await page.close().catch(() => {});
      server.kill();
      xvfb.kill();
    },
  };
}

module.exports = { launch };
