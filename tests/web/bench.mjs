// The pages in headless Chromium, measured: the time from opening the file to the first drawn frame, and the
// cost of one host frame (update and redraw of all eleven gauges), with the size of each page. A benchmark,
// not a test: it prints what it measures.
import fs from 'node:fs';
import { performance } from 'node:perf_hooks';

import { launch, modules, open, pagePath } from './browser.mjs';

// Frames are timed in batches (the page's clock ticks in tenths of a millisecond); each batch ends by reading
// a pixel of every canvas, so that the drawing is done, not only queued.
const OPENINGS = 7, BATCHES = 60, BATCH = 10;
const median = (v) => [...v].sort((a, b) => a - b)[Math.floor(v.length / 2)];

const browser = await launch();
const flightRows = [];
console.log('page             size (MB)   first frame (ms)   host frame (ms, median)   of an 18 Hz frame');
for (const module of modules) {
  const openings = [];
  for (let i = 0; i < OPENINGS; i++) {
    const start = performance.now();
    const page = await open(browser, module);
    openings.push(performance.now() - start);
    await page.close();
  }
  const page = await open(browser, module);
  await page.evaluate(() => panel.run('set airspeed 95\nset radar_height 300\nset current_altitude 1480\nupdate 2\n' +
    'command STAB\nupdate\ncommand ALT\ncommand HDG\ncommand ALTA'));
  const frames = await page.evaluate((batches, batch) => {
    const canvases = [...document.querySelectorAll('canvas[data-gauge]')].map((c) => c.getContext('2d'));
    const times = [];
    for (let b = 0; b < batches; b++) {
      const t = performance.now();
      for (let i = 0; i < batch; i++) {
        panel.update(1);
        for (const c of canvases) c.getImageData(0, 0, 1, 1);
      }
      times.push((performance.now() - t) / batch);
    }
    return times;
  }, BATCHES, BATCH);
  // The flight in WebAssembly: simulated seconds per wall-clock second, engine and physics at 100 Hz with the
  // panel's frames at 18 Hz, in cruise with STAB, ALT and HDG engaged (median of five flights of 120 s).
  const flights = await page.evaluate(() => {
    const out = [];
    for (let i = 0; i < 5; i++) {
      panel.run('situation cruise\nupdate 2\ncommand STAB\ncommand ALT\ncommand HDG\nupdate');
      const t = performance.now();
      panel.run('fly 120');
      out.push(120 / ((performance.now() - t) / 1000));
    }
    return out;
  });
  flightRows.push(`${module.padEnd(16)} flying with the panel at 18 Hz in WebAssembly: ${median(flights).toFixed(0)}x real time`);
  await page.close();
  const size = fs.statSync(pagePath(module)).size / 1e6;
  const frame = median(frames);
  console.log(`${module.padEnd(16)} ${size.toFixed(2).padStart(9)}   ${median(openings).toFixed(0).padStart(16)}   ` +
    `${frame.toFixed(3).padStart(23)}   ${(100 * frame / (1000 / 18)).toFixed(1).padStart(16)} %`);
}
for (const row of flightRows) console.log(row);
await browser.close();
