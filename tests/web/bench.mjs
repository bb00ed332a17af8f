// The pages in headless Chromium, measured: the size of each page, the time from opening the file to the first
// drawn frame, one host frame of the bench panel (update and redraw of all eleven gauges), one frame of the
// trainer flying at 1x and at 16x (the flight, the gauges, the instruments, the chart and the exercises), and how
// fast the flight runs in WebAssembly. The trainer and the flights fly in TURBULENCE (the Dryden filters' cost
// with them). A benchmark, not a test: it prints what it measures.
import fs from 'node:fs';
import { launch, modules, open, pagePath } from './browser.mjs';

// Frames are timed in batches (the page's clock ticks in tenths of a millisecond). After each frame the page's
// pending microtasks run (the chart library draws in one) and a pixel of every canvas is read, so that the
// drawing is done, not only queued.
const OPENINGS = 7, BATCHES = 60, BATCH = 10;
const ANIMATION_FRAME = 1 / 60;  // seconds of the pilot's time in one frame of the trainer's loop
const TURBULENCE = 'turbulence moderate 1';
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];

// Median milliseconds of `each` (a function's text, run in the page) over the batches.
const timed = (page, each) => page.evaluate(async (batches, batch, body) => {
  const step = new Function(body);
  const canvases = [...document.querySelectorAll('canvas')].map((c) => c.getContext('2d'));
  const times = [];
  for (let b = 0; b < batches; b++) {
    const t = performance.now();
    for (let i = 0; i < batch; i++) {
      step();
      await null;
      for (const c of canvases) c?.getImageData(0, 0, 1, 1);
    }
    times.push((performance.now() - t) / batch);
  }
  return times.sort((a, b) => a - b)[Math.floor(times.length / 2)];
}, BATCHES, BATCH, each);

const browser = await launch();
const rows = [];
for (const module of modules) {
  const openings = [];
  for (let i = 0; i < OPENINGS; i++) {
    const page = await open(browser, module, { paused: false });
    openings.push(await page.evaluate(() => panel.openedIn));  // by the page's clock, from its navigation
    await page.close();
  }
  const bench = await open(browser, module, { frozen: true });
  await bench.evaluate(() => panel.run('set airspeed 95\nset radar_height 300\nset current_altitude 1480\nupdate 2\n' +
    'command STAB\nupdate\ncommand ALT\ncommand HDG\ncommand ALTA'));
  const hostFrame = await timed(bench, 'panel.update(1)');
  await bench.close();

  const page = await open(browser, module, { width: 1366, height: 1024 });
  await page.evaluate((air) => {
    panel.run(air + '\ncommand STAB\ncommand ALT\ncommand HDG\nset heading_bug 90');
    panel.resume();
  }, TURBULENCE);
  const trainer = {};
  for (const scale of [1, 16]) {
    await page.evaluate((k) => panel.timeScale(k), scale);
    trainer[scale] = await timed(page, `panel.advance(${ANIMATION_FRAME})`);
  }
  // A crash would stop the flight and leave frames that fly nothing: measured so, the figures would not count.
  const crash = await page.evaluate(() => panel.crash());
  if (crash) throw new Error(module + ': the trainer crashed while measured (' + crash.caption + ')');
  // The flight in WebAssembly: simulated seconds per wall-clock second, engine and physics at 100 Hz with the
  // panel's frames at 18 Hz, in cruise with STAB, ALT and HDG engaged (median of five flights of 120 s).
  // The same with the engine and the physics alone.
  const [flights, alone] = await page.evaluate((air) => {
    panel.pause();
    const withPanel = [], withoutPanel = [];
    for (let i = 0; i < 5; i++) {
      for (const [out, fly] of [[withPanel, () => (panel.run('fly 120'), 120)], [withoutPanel, () => panel.flyAlone(120)]]) {
        // A fresh start each time (every mode dropped): a scenario's situation would keep STAB on, and the press
        // below turn it off.
        panel.situation('cruise');
        panel.run(air + '\nupdate 2\ncommand STAB\ncommand ALT\ncommand HDG\nupdate');
        const t = performance.now();
        const flown = fly();
        if (flown < 120) throw new Error('the flight alone crashed after ' + flown.toFixed(1) + ' s');
        out.push(120 / ((performance.now() - t) / 1000));
      }
    }
    return [withPanel, withoutPanel];
  }, TURBULENCE);
  await page.close();
  rows.push({ module, size: fs.statSync(pagePath(module)).size / 1e6, first: median(openings), hostFrame,
    trainer, flight: median(flights), alone: median(alone) });
}
await browser.close();

console.log('page             size (MB)   first frame (ms)   bench frame (ms)   trainer frame 1x (ms)   16x (ms)   ' +
  'flight with the panel, alone (x real time)');
for (const r of rows)
  console.log(`${r.module.padEnd(16)} ${r.size.toFixed(2).padStart(9)}   ${r.first.toFixed(0).padStart(16)}   ` +
    `${r.hostFrame.toFixed(3).padStart(16)}   ${r.trainer[1].toFixed(3).padStart(21)}   ${r.trainer[16].toFixed(3).padStart(8)}` +
    `   ${r.flight.toFixed(0)}x, ${r.alone.toFixed(0)}x`);
console.log('the trainer and the flights in ' + TURBULENCE);
console.log('aims: under 3 MB, first frame under 1000 ms, trainer frame under 2 ms at 1x and under 6 ms at 16x; the ' +
  'flight in WebAssembly (engine and physics at 100 Hz, with and without the panel frames at 18 Hz): as fast as it runs');
