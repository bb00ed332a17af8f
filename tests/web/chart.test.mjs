// The strip chart alone in headless Chromium: uPlot and web/page/chart.js inlined into a bare page, known samples
// pushed, and the pixels of its one canvas read back.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { launch, root } from './browser.mjs';
import { bundle } from './bundle.mjs';

const uplot = path.join(root, 'web/node_modules/uplot/dist');
const MARKS = { engaged: '#4fe07a', armed: '#ffffff', captured: '#3fd0ff', dropped: '#ff7a6b' };
const ALTITUDE = '#ffb347';
const html = `<!doctype html><html><head><meta charset="utf-8">
<style>${fs.readFileSync(path.join(uplot, 'uPlot.min.css'), 'utf8')} body { margin: 0 }</style></head><body><div id="chart"></div>
<script>${bundle({ ChartInstrument: 'chart.js' })}</script>
<script>
'use strict';
const hex = (c) => [1, 3, 5].map((k) => parseInt(c.slice(k, k + 2), 16));
// Within r CSS px of (x, y), the least channel difference between the colour and a pixel laid on the page's card.
window.distance = (x, y, color, r = 1.5) => {
  const px = devicePixelRatio, cv = chart.canvas, want = hex(color), bg = hex('#23272c');
  const x0 = Math.max(0, Math.round((x - r) * px)), y0 = Math.max(0, Math.round((y - r) * px)), n = Math.round(2 * r * px) + 1;
  const d = cv.getContext('2d').getImageData(x0, y0, Math.min(n, cv.width - x0), Math.min(n, cv.height - y0)).data;
  let best = 255;
  for (let k = 0; k < d.length; k += 4) {
    const a = d[k + 3] / 255;
    best = Math.min(best, Math.max(...[0, 1, 2].map((c) => Math.abs(d[k + c] * a + bg[c] * (1 - a) - want[c]))));
  }
  return best;
};
// A time and a value on a scale, in CSS px of the canvas; band i's top and bottom.
window.at = (t, v = 0, scale = 'y0') => ({ x: chart.plot.valToPos(t, 'x', true) / devicePixelRatio, y: chart.plot.valToPos(v, scale, true) / devicePixelRatio });
window.band = (i) => {
  const { top, height } = chart.plot.bbox, px = devicePixelRatio;
  return { top: (top + (i * height) / 5) / px, bottom: (top + ((i + 1) * height) / 5) / px };
};
window.drawn = () => new Promise((r) => requestAnimationFrame(() => setTimeout(r)));
// Straight and level at 1500 ft, 100 kt, heading 090, 1000 ft above the ground; f(t) changes a sample.
window.fly = (t0, t1, f = () => ({}), dt = 0.25) => {
  for (let t = t0; t <= t1 + 1e-9; t += dt) {
    const o = f(t);
    chart.push({ time: t, altitude: 1500, airspeed: 100, heading: 90, climb_rate: 0, radar_height: 1000, ...o, refs: o.refs || {} });
  }
};
</script></body></html>`;

let browser, page;
const errors = [];
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

// A fresh page (a fresh global scope) with a chart made with these options.
async function open({ dpr = 1, ...opts } = {}) {
  await page?.close();
  page = await browser.newPage();
  page.on('pageerror', (e) => errors.push(e.message));
  await page.setViewport({ width: 800, height: 600, deviceScaleFactor: dpr });
  await page.setContent(html);
  await page.evaluate((o) => { window.chart = ChartInstrument.create(document.getElementById('chart'), o); }, opts);
}

describe('strip chart', () => {
  test('one canvas; each quantity drawn in its colour inside its own band, at any pixel ratio and size', async () => {
    for (const dpr of [1, 2]) {
      await open({ dpr });
      assert.deepEqual(await page.evaluate(() => [document.querySelectorAll('#chart canvas').length,
        chart.canvas.dataset.instrument, chart.canvas.getBoundingClientRect().width, chart.lastPoint('altitude')]), [1, 'chart', 480, null]);
      // Feet, knots, degrees and feet a minute that would share one scale badly, ramped then held.
      await page.evaluate(() => fly(0, 120, (t) => {
        const k = Math.min(t, 100);
        return { altitude: 1500 + 5 * k, airspeed: 60 + 0.5 * k, heading: 200 + k, climb_rate: 300 - 6 * k, radar_height: 20 + k };
      }));
      for (const size of [null, [640, 300]]) {
        const found = await page.evaluate(async (size) => {
          if (size) chart.resize(...size);
          await drawn();
          return ChartInstrument.SERIES.map((s, i) => {
            const p = chart.lastPoint(s.name);
            return { name: s.name, p, band: band(i), d: distance(p.x - 3, p.y, s.color) };
          }).concat({ name: 'track', p: chart.lastPoint('track') });
        }, size);
        assert.equal(found.pop().p, null);
        for (const { name, p, band, d } of found) {
          assert.ok(p.y > band.top && p.y < band.bottom, `${name} at y ${p.y} outside ${JSON.stringify(band)}`);
          assert.ok(d < 40, `${name}: not its colour at its last point (off by ${d})`);
        }
      }
    }
    assert.deepEqual(errors, []);
  });

  test('a mark is a line of its kind\'s colour across every band at its time, labelled above', async () => {
    await open();
    const got = await page.evaluate(async (marks) => {
      fly(0, 200);
      const kinds = Object.keys(marks);
      kinds.forEach((k, n) => chart.mark(20 + 50 * n, k.toUpperCase(), k));
      await drawn();
      return kinds.map((k, n) => {
        const { x } = at(20 + 50 * n);
        // In each band between its name and its data; the label in the margin above the plot.
        const bands = [0, 1, 2, 3, 4].map((i) => distance(x, band(i).top + 0.2 * (band(i).bottom - band(i).top), marks[k], 0.5));
        return { k, bands, label: distance(x + 8, band(0).top - 6, marks[k], 5) };
      });
    }, MARKS);
    for (const { k, bands, label } of got) assert.ok(bands.every((d) => d < 30) && label < 60, `${k}: ${bands}, label ${label}`);
  });

  test('a null or non-finite reference draws no dashed line, nor one across its gap; a finite one does', async () => {
    await open();
    const rows = await page.evaluate(async (color) => {
      fly(0, 60, (t) => ({ refs: { altitude: t < 30 || t > 56 ? 1600 : [null, NaN, Infinity, undefined][Math.floor(t) % 4] } }));
      await drawn();
      const row = (t0, t1) => {
        let best = 255;
        for (let t = t0; t <= t1; t += 0.5) best = Math.min(best, distance(at(t, 1600).x, at(t, 1600).y, color, 1));
        return best;
      };
      return { drawn: row(5, 25), gap: row(33, 53) };
    }, ALTITUDE);
    assert.ok(rows.drawn < 40 && rows.gap > 100, JSON.stringify(rows));
  });

  test('the window keeps the last minutes only, scrolls, and stays bounded at any rate of samples', async () => {
    await open({ minutes: 1 });
    const got = await page.evaluate(async () => {
      fly(0, 300);
      await drawn();
      const { min, max } = chart.plot.scales.x, slow = { n: chart.plot.data[0].length, first: chart.plot.data[0][0], min, max };
      fly(300.01, 400, (t) => ({ altitude: t }), 0.01); // a burst: 100 samples a second
      const [times, altitude] = chart.plot.data;
      return { slow, times: times.slice(), last: altitude.at(-1), width: chart.plot.bbox.width / devicePixelRatio };
    });
    assert.deepEqual([got.slow.min, got.slow.max], [240, 300]);
    assert.ok(got.slow.first > 238 && got.slow.first <= 240 && got.slow.n <= 242, JSON.stringify(got.slow));
    assert.ok(got.times.length <= 2 * got.width, `${got.times.length} samples after a burst, over ${got.width} px`);
    assert.ok(got.times[0] > 338 && got.times[0] <= 340 && got.times.every((t, k) => !k || t > got.times[k - 1]));
    assert.ok(Math.abs(got.last - 400) < 0.02, 'the newest sample is the last pushed');
  });

  test('a clock that goes back starts a new flight, keeping the marks made for it; clear() empties the chart', async () => {
    await open();
    const got = await page.evaluate(async (marks) => {
      fly(0, 50);
      chart.mark(40, 'OLD', 'dropped');
      chart.mark(0, 'NEW', 'engaged'); // marked at the reset, before the new flight's first sample
      fly(0, 1);
      await drawn();
      const y = band(1).top + 3, times = chart.plot.data[0].slice();
      const seen = { times, old: distance(at(40).x, y, marks.dropped, 1), kept: distance(at(0).x, y, marks.engaged, 1) };
      chart.clear();
      await drawn();
      return { ...seen, after: chart.lastPoint('altitude'), cleared: distance(at(0).x, y, marks.engaged, 1) };
    }, MARKS);
    assert.deepEqual([got.times[0], got.times.at(-1)], [0, 1]);
    assert.ok(got.old > 100 && got.kept < 40, `old mark ${got.old}, new mark ${got.kept}`);
    assert.ok(got.after === null && got.cleared > 100);
  });

  test('non-finite values are gaps: no throw, no NaN in a scale, nothing drawn in the gap', async () => {
    await open();
    const got = await page.evaluate(async (color) => {
      const bad = [NaN, Infinity, -Infinity, null, undefined, '12'];
      // Airspeed never finite; altitude missing for 20 s in the middle.
      fly(0, 60, (t) => ({ airspeed: bad[Math.floor(t * 4) % 6], altitude: t > 20 && t < 40 ? bad[Math.floor(t) % 6] : 1500,
        refs: { heading: bad[Math.floor(t) % 6] } }));
      chart.push({ time: NaN, altitude: 1 });
      chart.push({});
      chart.mark(NaN, 'X', 'engaged');
      await drawn();
      const s = chart.plot.scales;
      return { finite: ['x', 'y0', 'y1', 'y2', 'y3', 'y4'].every((k) => Number.isFinite(s[k].min) && Number.isFinite(s[k].max)),
        airspeed: chart.lastPoint('airspeed'), times: chart.plot.data[0],
        line: distance(at(10, 1500).x, at(10, 1500).y, color, 2), gap: distance(at(30, 1500).x, at(30, 1500).y, color, 2) };
    }, ALTITUDE);
    assert.deepEqual(errors, []);
    assert.ok(got.finite, 'every scale finite');
    assert.equal(got.airspeed, null);
    assert.ok(got.times.every(Number.isFinite) && got.times.at(-1) === 60, 'a sample without a finite time is not kept');
    assert.ok(got.line < 40 && got.gap > 100, `line ${got.line}, gap ${got.gap}`);
  });

  test('a turn through north is one line, not a jump across the band', async () => {
    await open();
    const got = await page.evaluate(async () => {
      fly(0, 60, (t) => ({ heading: (350 + Math.max(0, t - 20) + 360) % 360, refs: { heading: 10 } }));
      await drawn();
      const b = band(2);
      let n = 0;
      for (let y = b.top + 1; y < b.bottom - 1; y++) if (distance(at(30).x, y, '#ff8fd0', 0) < 40) n++;
      return { n, p: chart.lastPoint('heading'), b };
    });
    assert.ok(got.n > 0 && got.n < 6, `${got.n} px of the heading line in the column where it crosses north`);
    assert.ok(got.p.y > got.b.top && got.p.y < got.b.bottom);
  });

  test('a push with a full window, drawing included, costs well under a millisecond', async (t) => {
    await open();
    const ms = await page.evaluate(async () => {
      const sample = (t) => ({ time: t, altitude: 1500 + 100 * Math.sin(t / 9), airspeed: 100 + Math.sin(t), heading: (t * 3) % 360,
        climb_rate: 300 * Math.sin(t / 5), radar_height: 1000, refs: { altitude: 1500, airspeed: 100, heading: 40 } });
      let t = 0;
      for (; t < 400; t += 0.25) chart.push(sample(t));
      await drawn();
      const t0 = performance.now();
      for (let k = 0; k < 1000; k++) {
        chart.push(sample((t += 0.25)));
        await null; // uPlot draws in a microtask
      }
      return (performance.now() - t0) / 1000;
    });
    t.diagnostic(`push and draw: ${ms.toFixed(3)} ms`);
    assert.ok(ms < 10, `${ms} ms a push`); // loose: the machine is shared; the figure above is the measure
  });
});
