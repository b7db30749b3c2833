// The web player in Debian's headless chromium: a static server for a skarn-web folder, the
// browser (SwiftShader WebGL), a page of the show, its canvas as PNG. Shared by the web e2e
// tests and the web bench.
'use strict';
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const puppeteer = require('puppeteer-core');

const CHROMIUM = process.env.SKARN_CHROMIUM || '/usr/lib/chromium/chromium';
const TYPES = {'.html': 'text/html', '.js': 'text/javascript', '.wasm': 'application/wasm',
               '.data': 'application/octet-stream', '.png': 'image/png'};

// Serves `root` on a free local port; resolves to {server, url}.
function serve(root) {
  const server = http.createServer((request, response) => {
    const name = decodeURIComponent(new URL(request.url, 'http://x').pathname);
    const file = path.join(root, name === '/' ? 'index.html' : name);
    if (!file.startsWith(path.resolve(root)) || !fs.existsSync(file)) {
      response.writeHead(404);
      response.end();
      return;
    }
    response.writeHead(200, {'Content-Type': TYPES[path.extname(file)] || 'application/octet-stream'});
    fs.createReadStream(file).pipe(response);
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () =>
    resolve({server, url: `http://127.0.0.1:${server.address().port}/`})));
}

// Headless chromium drawing WebGL 2 in software.
function launch() {
  return puppeteer.launch({
    executablePath: CHROMIUM,
    headless: true,
    userDataDir: fs.mkdtempSync(path.join(os.tmpdir(), 'skarn-chromium-')),
    args: ['--no-sandbox', '--use-gl=angle', '--use-angle=swiftshader',
           '--enable-unsafe-swiftshader', '--window-size=640,480'],
    defaultViewport: {width: 640, height: 480},
  });
}

// Opens the show at `query`; collects console errors and page errors in page.problems. With
// `driven`, the page's clock (Date.now, which the toolkit's elapsed time reads) stands still
// until setClock moves it, as the desktop tests drive theirs with libfaketime.
async function openShow(browser, url, query = '', driven = false) {
  const page = await browser.newPage();
  if (driven) {
    await page.evaluateOnNewDocument(() => {
      const base = Date.now();
      window.skarnClockShift = 0;
      Date.now = () => base + window.skarnClockShift;
    });
  }
  page.problems = [];
  page.on('console', (m) => { if (m.type() === 'error') page.problems.push(m.text()); });
  page.on('pageerror', (e) => page.problems.push(String(e)));
  await page.goto(url + 'index.html' + query);
  return page;
}

// Waits until the page presented `frames` more frames (the show is drawing).
async function waitFrames(page, frames, timeout = 20000) {
  await page.waitForFunction(() => typeof Module !== 'undefined' && Module.skarnFrames > 0,
                             {timeout});
  const start = await page.evaluate(() => Module.skarnFrames);
  await page.waitForFunction((n) => Module.skarnFrames >= n, {timeout}, start + frames);
}

// Moves a driven page clock to `seconds` after the page opened; it stays there.
async function setClock(page, seconds) {
  await page.evaluate((ms) => { window.skarnClockShift = ms; }, Math.round(seconds * 1000));
}

// Types keys as a user would: the toolkit takes a capital from the Shift key, not the key's name.
async function typeKeys(page, keys) {
  for (const key of keys) {
    const capital = key >= 'A' && key <= 'Z';
    if (capital) await page.keyboard.down('Shift');
    await page.keyboard.press(capital ? 'Key' + key : key);
    if (capital) await page.keyboard.up('Shift');
  }
}

// The canvas as PNG bytes.
async function canvasPng(page) {
  const canvas = await page.$('#canvas');
  return canvas.screenshot({type: 'png'});
}

module.exports = {serve, launch, openShow, waitFrames, setClock, typeKeys, canvasPng};

