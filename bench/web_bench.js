// The web player's figures in Debian's headless chromium (SwiftShader): frames a second in the
// flight, page load to the first scene frame, the .wasm's size and the page's memory.
// Usage: node bench/web_bench.js SITE_DIR (a skarn-web folder of the demo; make web does one).
'use strict';
const fs = require('fs');
const path = require('path');
const d = require('../tests/web/driver');

const FLIGHT_SECONDS = 40; // show time of the flight measured (scene from 25 s)
const MEASURE_MS = 5000;   // frames counted over this long

// Own resident memory of the browser's processes by kind (renderer: the page; gpu-process: its
// SwiftShader drawing; browser), in MB.
function chromiumRssMb(rootPid) {
  const pids = [rootPid];
  for (let i = 0; i < pids.length; i++) {
    let children = '';
    try {
      children = fs.readFileSync(`/proc/${pids[i]}/task/${pids[i]}/children`, 'utf8');
    } catch (e) { continue; }
    pids.push(...children.split(/\s+/).filter(Boolean).map(Number));
  }
  const kinds = {};
  for (const pid of pids) {
    try {
      // RssAnon: the process's own pages (VmRSS also counts the browser's shared libraries).
      const m = /RssAnon:\s+(\d+)/.exec(fs.readFileSync(`/proc/${pid}/status`, 'utf8'));
      const type = /--type=([a-z-]+)/.exec(fs.readFileSync(`/proc/${pid}/cmdline`, 'utf8'));
      const kind = type ? type[1] : 'browser';
      kinds[kind] = (kinds[kind] || 0) + (m ? Number(m[1]) : 0) / 1024;
    } catch (e) { /* gone */ }
  }
  return Object.entries(kinds).map(([k, mb]) => `${k} ${mb.toFixed(0)} MB`).join(', ');
}

(async () => {
  const site = path.resolve(process.argv[2]);
  const {server, url} = await d.serve(site);
  const browser = await d.launch();
  try {
    // Load to the first scene frame: a start in the scene, timed from the navigation.
    const page = await browser.newPage();
    const started = Date.now();
    await page.goto(url + `index.html?at=${FLIGHT_SECONDS}`);
    await page.waitForFunction(() => typeof Module !== 'undefined' && Module.skarnLines &&
        Module.skarnLines.includes('Chargement de la map effectue') && Module.skarnFrames > 0,
        {polling: 'raf', timeout: 60000});
    const firstFrameMs = Date.now() - started;
    // The flight: frames presented over MEASURE_MS of real time.
    const before = await page.evaluate(() => Module.skarnFrames);
    await new Promise((resolve) => setTimeout(resolve, MEASURE_MS));
    const frames = (await page.evaluate(() => Module.skarnFrames)) - before;
    const metrics = await page.metrics();
    const wasmHeap = await page.evaluate(() => wasmMemory.buffer.byteLength);
    const wasmBytes = fs.statSync(path.join(site, 'skarn.wasm')).size;
    console.log(`load to first scene frame: ${firstFrameMs} ms (goal < 3000)`);
    console.log(`flight at ${FLIGHT_SECONDS} s: ${(frames * 1000 / MEASURE_MS).toFixed(1)} fps (goal >= 30)`);
    console.log(`skarn.wasm: ${(wasmBytes / 1024).toFixed(0)} KB (goal < 2048)`);
    console.log(`page memory: JS heap ${(metrics.JSHeapTotalSize / 1048576).toFixed(1)} MB, ` +
                `wasm heap ${(wasmHeap / 1048576).toFixed(0)} MB, ` +
                `own resident pages: ${chromiumRssMb(browser.process().pid)} (goal: the page < 300 MB)`);
  } finally {
    await browser.close();
    server.close();
  }
})().catch((e) => { console.error(e); process.exit(1); });
