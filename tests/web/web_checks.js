// The web player's runs for test_web.py, in one browser: the demo's load, its frames at show
// times of a driven clock, the keys' frames, the free camera's moves and a broken map's page.
// Usage: node web_checks.js PLAN.json OUT_DIR; writes OUT_DIR/<name>.png and OUT_DIR/result.json.
'use strict';
const fs = require('fs');
const path = require('path');
const d = require('./driver');

// Frames waited after each change: the show draws one per animation frame.
const SETTLE_FRAMES = 4;

async function shoot(page, out, name) {
  fs.writeFileSync(path.join(out, name + '.png'), await d.canvasPng(page));
}

async function pageText(page) {
  return page.evaluate(() => ({lines: Module.skarnLines, errors: Module.skarnErrors,
                               shown: document.getElementById('error').textContent}));
}

// plan: {demo: site, times: [s], held: [s], keyTime: s (one of times: the keys follow its frame), keys: {name: chars}, viewer: site, moves: {name:
// chars}, broken: site}
async function run(plan, out) {
  const result = {};
  const browser = await d.launch();
  const servers = [];
  const open = async (site, query, driven) => {
    const served = await d.serve(site);
    servers.push(served.server);
    return d.openShow(browser, served.url, query, driven);
  };
  try {
    const page = await open(plan.demo, '', true);
    await d.waitFrames(page, SETTLE_FRAMES, 30000);
    for (const seconds of plan.times) {
      await d.setClock(page, seconds);
      await d.waitFrames(page, SETTLE_FRAMES);
      await shoot(page, out, 'at' + seconds);
      for (const [name, keys] of seconds === plan.keyTime ? Object.entries(plan.keys) : []) {
        await d.typeKeys(page, keys);
        await d.waitFrames(page, SETTLE_FRAMES);
        await shoot(page, out, 'key-' + name);
      }
    }
    // The music: asked to play at the show's start, waiting for a gesture or playing; a click
    // starts it; the restart (past 140 s) plays it from the start again.
    const music = () => page.evaluate(() => ({plays: Module.skarnMusicPlays,
      waiting: Module.skarnMusicWaiting, paused: Module.skarnMusic.paused,
      time: Module.skarnMusic.currentTime}));
    result.music = {before: await music()};
    await page.mouse.click(600, 460);
    await d.waitFrames(page, SETTLE_FRAMES);
    result.music.clicked = await music();
    await d.setClock(page, plan.restartTime);
    await d.waitFrames(page, SETTLE_FRAMES);
    result.music.restarted = await music();
    result.demo = Object.assign(await pageText(page), {problems: page.problems});
    await page.close();

    // Held starts: the page's ?at=SECONDS&paused=1 (the player's --at and --paused).
    for (const seconds of plan.held) {
      const held = await open(plan.demo, `?at=${seconds}&paused=1`, false);
      await d.waitFrames(held, 2 * SETTLE_FRAMES, 30000);
      await shoot(held, out, 'held' + seconds);
      await held.close();
    }

    const viewer = await open(plan.viewer, '', true);
    await d.waitFrames(viewer, SETTLE_FRAMES, 30000);
    await d.setClock(viewer, plan.viewerTime);
    await d.waitFrames(viewer, SETTLE_FRAMES);
    const freeCamera = () => viewer.evaluate(() => Module.UTF8ToString(Module._skarnFreeCamera()));
    result.camera = {start: await freeCamera()};
    for (const [name, keys] of Object.entries(plan.moves)) {
      await d.typeKeys(viewer, keys);
      await d.waitFrames(viewer, SETTLE_FRAMES);
      result.camera[name] = await freeCamera();
    }
    await viewer.mouse.move(320, 240);
    await viewer.mouse.down();
    await viewer.mouse.move(420, 260, {steps: 5});
    await viewer.mouse.up();
    await d.waitFrames(viewer, SETTLE_FRAMES);
    result.camera.drag = await freeCamera();
    await viewer.close();

    const broken = await open(plan.broken, '', false);
    await broken.waitForFunction(() => document.getElementById('error').textContent !== '',
                                 {timeout: 30000});
    result.broken = await pageText(broken);
    await broken.close();
  } finally {
    await browser.close();
    servers.forEach((s) => s.close());
  }
  return result;
}

const [planFile, out] = process.argv.slice(2);
run(JSON.parse(fs.readFileSync(planFile, 'utf8')), out)
    .then((result) => fs.writeFileSync(path.join(out, 'result.json'), JSON.stringify(result)))
    .catch((e) => { console.error(e); process.exit(1); });
