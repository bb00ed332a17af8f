// The flight display and the moving map in headless Chromium: their modules bundled into one script, as the page
// has them, drawn from chosen states; the pixels read back where the instruments' own geometry puts things.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { launch } from './browser.mjs';
import { bundle } from './bundle.mjs';

const world = {
  pad: { north: 0, east: 0 }, localizer_course: 30, vor: { north: 17000, east: -17000 },
  runway: { threshold_north: 300, threshold_east: 2000, course: 30, length: 5000 },
};
// Every canvas call with a number that is not finite is noted: the canvas would skip it without a word.
const harness = `<!DOCTYPE html><html><body style="margin:0">
<canvas id="pfd"></canvas><canvas id="map" width="480" height="400"></canvas>
<script>
window.badCalls = [];
const proto = CanvasRenderingContext2D.prototype;
for (const name of Object.getOwnPropertyNames(proto)) {
  const d = Object.getOwnPropertyDescriptor(proto, name);
  if (typeof d.value !== 'function') continue;
  proto[name] = function (...args) {
    if (args.some((a) => typeof a === 'number' && !Number.isFinite(a))) badCalls.push(name + '(' + args + ')');
    return d.value.apply(this, args);
  };
}
window.before = new Set(Object.getOwnPropertyNames(window));
</script>
<script>${bundle({ PfdInstrument: 'pfd/index.js', MapInstrument: 'map.js' })}
window.P = PfdInstrument.create(document.getElementById('pfd'));
window.M = MapInstrument.create(document.getElementById('map'), ${JSON.stringify(world)});
// The pixels of a rectangle in CSS pixels of a canvas, whatever its backing store scale.
const pixels = (id, x0, y0, x1, y1) => {
  const canvas = document.getElementById(id), k = canvas.width / parseFloat(canvas.style.width);
  const [x, y] = [Math.floor(x0 * k), Math.floor(y0 * k)];
  const w = Math.max(1, Math.ceil(x1 * k) - x), h = Math.max(1, Math.ceil(y1 * k) - y);
  return canvas.getContext('2d').getImageData(x, y, w, h).data;
};
window.pixel = (id, x, y) => Array.from(pixels(id, x, y, x, y).slice(0, 3));
// How many pixels of the rectangle are within tol of a colour in each channel.
window.count = (id, x0, y0, x1, y1, rgb, tol = 40) => {
  const d = pixels(id, x0, y0, x1, y1);
  let n = 0;
  for (let i = 0; i < d.length; i += 4) n += rgb.every((v, j) => Math.abs(d[i + j] - v) <= tol) ? 1 : 0;
  return n;
};
</script></body></html>`;

const base = {
  time: 100, airspeed: 100, altitude: 1500, radar_height: 1000, heading: 30, track: 30, pitch: 0, bank: 0,
  climb_rate: 0, ground_speed: 100, north: -3000, east: -1000, localizer: null, glide_slope: null,
  refs: {
    airspeed: null, altitude: null, selected_altitude: 3000, vertical_speed: null, radar_height: null, heading_bug: 30,
    course: 30,
  },
  modes: 'ALT HDG IAS', armed: 'ALT.A',
};
const with_ = (changes, refs = {}) => ({ ...base, ...changes, refs: { ...base.refs, ...refs } });

const hex = (h) => [1, 3, 5].map((i) => parseInt(h.slice(i, i + 2), 16));
const near = (rgb, colour, tol = 40) => hex(colour).every((v, i) => Math.abs(v - rgb[i]) <= tol);
const SKY = '#2a6fb0', GROUND = '#7a5230', MAGENTA = '#ff4fd8', CYAN = '#3fd0ff', YELLOW = '#ffd23f';
const RUNWAY = '#c8ccd2';
const TRACK = '#9d832c';  // the track line, 60 % yellow over the map's black

let browser, page, g;
before(async () => {
  browser = await launch();
  page = await browser.newPage();
  await page.setViewport({ width: 1000, height: 420 });
  page.errors = [];
  page.on('pageerror', (e) => page.errors.push(e.message));
  await page.setContent(harness);
  g = await page.evaluate(() => JSON.parse(JSON.stringify(P.geometry)));
});
after(async () => { await browser?.close(); });

// Draws the state on the display and answers the colours at the points: {x, y}, or an expression of the display's
// geometry g and the state s.
const pfd = (state, points) => page.evaluate((s, pts) => {
  P.draw(s);
  const at = (p) => (typeof p === 'string' ? new Function('g', 's', 'return ' + p)(P.geometry, s) : p);
  return pts.map((p) => { const q = at(p); return pixel('pfd', q.x, q.y); });
}, state, points);

describe('flight display', () => {
  test('attitude: the horizon follows pitch and bank the right way, at any pixel ratio', async () => {
    const { x: cx, y: cy } = g.centre, ppd = g.pitchPixelsPerDegree;
    let [above, below] = await pfd(base, [{ x: cx + 90, y: cy - 20 }, { x: cx + 90, y: cy + 20 }]);
    assert.ok(near(above, SKY) && near(below, GROUND), `level: ${above} above, ${below} below`);
    // Nose up 10: the horizon 10 degrees of ladder below the centre.
    const h = cy + 10 * ppd;
    [above, below] = await pfd(with_({ pitch: 10 }), [{ x: cx + 90, y: h - 4 }, { x: cx + 90, y: h + 4 }]);
    assert.ok(near(above, SKY) && near(below, GROUND), `pitch 10: ${above} above, ${below} below ${h}`);
    // Right bank: the right end of the horizon rises, so right of the centre and a little up is ground.
    const [right] = await pfd(with_({ bank: 30 }), [{ x: cx + 80, y: cy - 25 }]);
    const [left] = await pfd(with_({ bank: -30 }), [{ x: cx + 80, y: cy - 25 }]);
    assert.ok(near(right, GROUND) && near(left, SKY), `bank: ${right} right, ${left} left`);
    const state = with_({ bank: 30, pitch: 4 });
    const p = await page.evaluate((s) => P.geometry.horizonPoint(s, 80), state);
    const [sky, ground] = await pfd(state, [{ x: p.x, y: p.y - 6 }, { x: p.x, y: p.y + 6 }]);
    assert.ok(p.y < cy && near(sky, SKY) && near(ground, GROUND), `at ${JSON.stringify(p)}: ${sky} / ${ground}`);
    // Twice the pixels: the backing store doubles, the drawing stays where the geometry says.
    await page.setViewport({ width: 1000, height: 420, deviceScaleFactor: 2 });
    [above, below] = await pfd(with_({ pitch: 10 }), [{ x: cx + 90, y: h - 4 }, { x: cx + 90, y: h + 4 }]);
    const sizes = await page.evaluate(() => [...document.querySelectorAll('canvas')].map((c) => {
      if (c.id === 'map') M.draw({});
      return [c.width, c.height, c.style.width];
    }));
    await page.setViewport({ width: 1000, height: 420, deviceScaleFactor: 1 });
    assert.deepEqual(sizes, [[960, 800, '480px'], [960, 800, '480px']]);
    assert.ok(near(above, SKY) && near(below, GROUND), `pixel ratio 2: ${above} above, ${below} below ${h}`);
  });

  test('reference bugs sit at their values, clamp to the scale ends and go when off', async () => {
    const T = g.speedTape;
    const [on] = await pfd(with_({}, { airspeed: 120 }), ['({ x: g.speedTape.bugX, y: g.speedY(s, 120) })']);
    assert.ok(near(on, MAGENTA), `speed bug at 120 kt: ${on}`);
    const off = await page.evaluate((s, t, m) => {
      P.draw(s);
      return count('pfd', t.x, 0, t.bugX + 8, t.bottom + 10, m);
    }, with_({}, { airspeed: null }), T, hex(MAGENTA));
    assert.equal(off, 0, 'no speed bug nor its number when IAS is off');
    const [pinned] = await pfd(with_({}, { airspeed: 400 }), [{ x: T.bugX, y: T.top + 4 }]);
    assert.ok(near(pinned, MAGENTA), `a bug far above the tape waits at its top: ${pinned}`);

    const refs = { altitude: 1300, selected_altitude: 1700, vertical_speed: -1500 };
    const [alt, selected, vs] = await pfd(with_({}, refs), ['({ x: g.altitudeTape.bugX, y: g.altitudeY(s, 1300) })',
      '({ x: g.altitudeTape.markX, y: g.altitudeY(s, 1700) })', '({ x: g.verticalSpeed.bugX, y: g.vsY(-1500) })']);
    assert.ok(near(alt, MAGENTA) && near(selected, CYAN) && near(vs, MAGENTA), `${alt}, ${selected}, V/S ${vs}`);

    // Heading bug 20 degrees right, also across north.
    for (const [heading, bug] of [[30, 50], [350, 10]]) {
      const x = g.headingScale.centreX + 20 * g.headingScale.pixelsPerDegree;
      const [c] = await pfd(with_({ heading }, { heading_bug: bug }), [{ x, y: g.headingScale.bugY }]);
      assert.ok(near(c, MAGENTA), `heading ${heading}, bug ${bug}: ${c} at x ${x}`);
    }
  });

  test('localizer and glide slope: the diamonds show the path, the scales go with the signal', async () => {
    const { localizer: loc, glideSlope: gs } = g;
    // Right of course: the course is to the left. Above the path: the path is below.
    const [course, wrongSide, path] = await pfd(with_({ localizer: 1, glide_slope: 1 }), [
      { x: loc.centreX - loc.pixelsPerDot, y: loc.y }, { x: loc.centreX + loc.pixelsPerDot, y: loc.y },
      { x: gs.x, y: gs.centreY + gs.pixelsPerDot }]);
    assert.ok(near(course, MAGENTA) && !near(wrongSide, MAGENTA), `localizer: ${course}, other side ${wrongSide}`);
    assert.ok(near(path, MAGENTA), `glide slope: ${path}`);
    // Far off the scale: the diamond waits at its end.
    const far = with_({ localizer: -7, glide_slope: 0 });
    const x = await page.evaluate((s) => P.geometry.localizerX(s), far);
    const [pinned] = await pfd(far, [{ x, y: loc.y + 7 }]);
    assert.ok(near(pinned, MAGENTA, 60) && x > loc.centreX + 2 * loc.pixelsPerDot && x < loc.centreX + 80, `${x}`);
    // Without a signal, no scale: nothing white or magenta along either (the horizon kept clear of them).
    const scales = (s) => page.evaluate((s, l, v) => {
      P.draw(s);
      const ink = (x0, y0, x1, y1) => count('pfd', x0, y0, x1, y1, [255, 255, 255], 60)
        + count('pfd', x0, y0, x1, y1, [255, 79, 216]);
      return [ink(l.centreX - 80, l.y - 10, l.centreX + 80, l.y + 10),
        ink(v.x - 10, v.centreY - 70, v.x + 10, v.centreY + 70)];
    }, s, loc, gs);
    const shown = await scales(with_({ pitch: -15, localizer: 0.5, glide_slope: 0.5 }));
    const gone = await scales(with_({ pitch: -15, localizer: null, glide_slope: null }));
    assert.ok(shown.every((n) => n > 30), `scales when received: ${shown}`);
    assert.deepEqual(gone, [0, 0], 'no scales without signal');
  });

  test('any finite numbers draw without throwing or a single non-finite canvas call', { timeout: 20000 }, async () => {
    const extremes = [
      with_({ altitude: -1000, airspeed: 0, pitch: 90, bank: 180, climb_rate: 10000, radar_height: 0, localizer: 50 },
        { airspeed: 400, altitude: 50000, vertical_speed: -10000, radar_height: 3000, heading_bug: 359.9,
          course: -720 }),
      with_({ altitude: 50000, airspeed: 400, pitch: -90, bank: -180, climb_rate: -10000, heading: 359.99, track: 1e9,
        glide_slope: -50 }),
      with_({ altitude: 1e300, airspeed: -1e300, pitch: 1e300, bank: -1e300, climb_rate: 1e300, heading: 1e300,
        radar_height: -1e300, localizer: 1e300, north: 1e300, east: -1e300, modes: '', armed: '' }, { course: 1e300 }),
      with_({ north: -1e308, east: 1e308, time: 1e308 }),
    ];
    const result = await page.evaluate((states) => {
      badCalls.length = 0;
      M.orientation = 'track';
      for (const s of states) { P.draw(s); M.draw(s); }
      M.orientation = 'north';
      M.clear();
      return { bad: badCalls.slice(0, 5), globals: Object.getOwnPropertyNames(window).filter((n) => !before.has(n)) };
    }, extremes);
    assert.deepEqual(result.bad, []);
    assert.deepEqual(page.errors, []);
    const ours = ['P', 'M', 'pixel', 'count', 'before', 'PfdInstrument', 'MapInstrument'];
    assert.deepEqual(result.globals.filter((n) => !ours.includes(n)), [], 'the scripts leak no globals');
  });
});

// The display keeps pictures between frames (the scales painted in strips, shapes at sub-pixel phases, the
// background with the mode line): these check that what is drawn still follows the state alone.
describe('flight display, from its kept pictures', () => {
  const PANEL = '#2a2f36', INK = '#e4e6ea', GREEN = '#4fe07a', BELOW_ZERO = '#1c1f24';
  // Draws the state and answers how many pixels of each box ([x0, y0, x1, y1], or an expression of g and s) are
  // within tol of the colour.
  const inks = (state, boxes, colour, tol = 60) => page.evaluate((s, bs, rgb, tol) => {
    P.draw(s);
    const at = (b) => (typeof b === 'string' ? new Function('g', 's', 'return ' + b)(P.geometry, s) : b);
    return bs.map((b) => count('pfd', ...at(b), rgb, tol));
  }, state, boxes, hex(colour), tol);

  // Where the ink of a tick is: the brightness-weighted middle, in CSS pixels, of the column of pixels across it
  // at x, y0..y1 (a vertical tape), or of the row at y, x0..x1 (the heading strip); by the green channel, or the
  // red for a magenta bug.
  const middles = (state, spans) => page.evaluate((s, spans) => {
    P.draw(s);
    const cv = document.getElementById('pfd'), k = cv.width / parseFloat(cv.style.width), c = cv.getContext('2d');
    const at = (e) => new Function('g', 's', 'return ' + e)(P.geometry, s);
    return spans.map(([across, from, to, vertical, channel]) => {
      const [a, f, t] = [at(across), at(from), at(to)].map((v) => Math.floor(v * k));
      const d = vertical ? c.getImageData(a, f, 1, t - f).data : c.getImageData(f, a, t - f, 1).data;
      let sum = 0, weight = 0;
      for (let i = 0; i < d.length; i += 4) {
        const w = Math.max(0, d[i + (channel === 'red' ? 0 : 1)] - 80);  // panel and background: 11..54 in each
        sum += w * (f + i / 4 + 0.5); weight += w;
      }
      return weight ? sum / weight / k : null;
    });
  }, state, spans);

  test('tape ticks and bugs sit where the geometry puts them, across the pictures\' chunks and phases', async () => {
    // Values on and about the chunks' edges, and steps of an eighth of a pixel; the ticks looked at are clear of
    // the readout in the middle.
    const speeds = [0, 20, 99.9, 100.1, 149.7, 250.3, 1234.5, ...Array.from({ length: 9 }, (_, i) => 160 + i * 0.04)];
    for (const airspeed of speeds) {
      const k = Math.round(airspeed / 10) * 10 + 20, x = 'g.speedTape.x + g.speedTape.width - 3';
      const [y] = await middles(with_({ airspeed }), [[x, `g.speedY(s, ${k}) - 4`, `g.speedY(s, ${k}) + 4`, true]]);
      const want = g.centre.y - (k - airspeed) * g.speedTape.pixelsPerKnot;
      assert.ok(Math.abs(y - want) < 0.3, `airspeed ${airspeed}: tick ${k} at ${y}, not ${want}`);
    }
    const altitudes = [-1501, 0, 999.8, 1000.3, 1499.9, 48999.6,
      ...Array.from({ length: 9 }, (_, i) => 2000 + i * 0.42)];
    for (const altitude of altitudes) {
      const f = Math.round(altitude / 100) * 100 + 200, x = 'g.altitudeTape.x + 3';
      const [y] = await middles(with_({ altitude, radar_height: 3000 }),
        [[x, `g.altitudeY(s, ${f}) - 4`, `g.altitudeY(s, ${f}) + 4`, true]]);
      const want = g.centre.y - (f - altitude) * g.altitudeTape.pixelsPerFoot;
      assert.ok(Math.abs(y - want) < 0.3, `altitude ${altitude}: tick ${f} at ${y}, not ${want}`);
    }
    for (const heading of [0.2, 359.8, 179.9, 44.6, ...Array.from({ length: 9 }, (_, i) => 200 + i * 0.04)]) {
      const d = Math.round(heading / 5) * 5 + 10, row = 'g.headingScale.y + 4';
      const [x] = await middles(with_({ heading, track: null }, { heading_bug: heading + 180, course: heading + 180 }),
        [[row, `g.headingX(s, ${d}) - 4`, `g.headingX(s, ${d}) + 4`, false]]);
      const want = g.centre.x + (((d - heading + 540) % 360) - 180) * g.headingScale.pixelsPerDegree;
      assert.ok(Math.abs(x - want) < 0.3, `heading ${heading}: tick ${d} at ${x}, not ${want}`);
    }
    // A bug moves as smoothly (the solid part of the speed bug, 16 pixels high).
    for (const ref of Array.from({ length: 9 }, (_, i) => 120 + i * 0.04)) {
      const [y] = await middles(with_({}, { airspeed: ref }),
        [['g.speedTape.bugX + 1', `g.speedY(s, ${ref}) - 11`, `g.speedY(s, ${ref}) + 11`, true, 'red']]);
      const want = g.centre.y - (ref - 100) * g.speedTape.pixelsPerKnot;
      assert.ok(Math.abs(y - want) < 0.3, `speed bug ${ref} at ${y}, not ${want}`);
    }
    // Below zero knots the tape is darker, above it the panel's own colour.
    const [dark] = await inks(with_({ airspeed: 20 }), ['[g.speedTape.x + 3, g.speedY(s, -10), ' +
      'g.speedTape.x + 6, g.speedY(s, -10) + 3]'], BELOW_ZERO, 6);
    const [panel] = await inks(with_({ airspeed: 20 }), ['[g.speedTape.x + 3, g.speedY(s, 15), ' +
      'g.speedTape.x + 6, g.speedY(s, 15) + 3]'], PANEL, 6);
    assert.ok(dark === 9 && panel === 9, `below zero ${dark}, above ${panel}`);
  });

  test('the pitch ladder is cut by its round clip and box, labels included', async () => {
    const { x: cx, y: cy } = g.centre, ppd = g.pitchPixelsPerDegree;
    // Level: the 15 degree rung (half length 18) meets the circle of radius 106 at 14.5 from the middle.
    const [middle, cut] = await inks(base, [[cx - 3, cy - 15 * ppd - 1, cx + 3, cy - 15 * ppd + 1],
      [cx + 16, cy - 15 * ppd - 1, cx + 19, cy - 15 * ppd + 1]], INK, 40);
    assert.ok(middle > 4 && cut === 0, `15 degree rung: ${middle} in the middle, ${cut} past the clip`);
    // The 10 degree labels show both sides; the 15 degrees below lie past the box's bottom (88 below the centre).
    const [left, right, below] = await inks(base, [[cx - 60, cy - 70 - 6, cx - 42, cy - 70 + 6],
      [cx + 42, cy - 70 - 6, cx + 60, cy - 70 + 6], [cx - 18, cy + 15 * ppd - 1, cx + 18, cy + 15 * ppd + 1]], INK, 40);
    assert.ok(left > 10 && right > 10 && below === 0, `labels ${left}, ${right}; below the box ${below}`);
    // Nose up 2.3: the labels of the -10 rung straddle the box's bottom, which cuts them.
    const [whole_] = await inks(base, [[cx - 60, cy + 64, cx - 42, cy + 76]], INK, 40);
    const [cut_, past] = await inks(with_({ pitch: 16 / 7 }), [[cx - 60, cy + 80, cx - 42, cy + 92],
      [cx - 60, cy + 88, cx + 60, cy + 92]], INK, 40);
    assert.ok(cut_ > 0 && cut_ < whole_ && past === 0, `label whole ${whole_}, cut ${cut_}, past the box ${past}`);
  });

  test('the same state draws the same pixels whatever was drawn before', async () => {
    const state = with_({ airspeed: 87.3, altitude: 2340.6, heading: 127.4, pitch: 6.8, bank: 24.6, climb_rate: 1240,
      localizer: 0.63, glide_slope: -1.1, radar_height: 380 },
    { airspeed: 90, vertical_speed: 1200, radar_height: 300 });
    const others = [with_({ airspeed: 150, altitude: 7000, heading: 300, modes: 'LOC', armed: '' }),
      with_({ airspeed: 10, altitude: -300, pitch: -30, bank: 170, localizer: -3, glide_slope: 3 })];
    const hashes = await page.evaluate((s, others) => {
      const hash = () => {
        const cv = document.getElementById('pfd'), d = cv.getContext('2d').getImageData(0, 0, cv.width, cv.height).data;
        let h = 0;
        for (let i = 0; i < d.length; i++) h = (h * 31 + d[i]) | 0;
        return h;
      };
      const out = [];
      for (const o of [null, ...others]) { if (o) P.draw(o); P.draw(s); out.push(hash()); }
      return out;
    }, state, others);
    assert.ok(hashes.every((h) => h === hashes[0]), `pixels after other states: ${hashes}`);
  });

  test('the mode line follows the modes, and the ground band the radar height', async () => {
    const band = [[g.attitude.x, 2, 470, 22]];
    const [on] = await inks(with_({ modes: 'ALT HDG', armed: '' }), band, GREEN);
    const [off] = await inks(with_({ modes: '', armed: 'ALT.A' }), band, GREEN);
    const [again] = await inks(with_({ modes: 'IAS', armed: '' }), band, GREEN);
    assert.ok(on > 20 && off === 0 && again > 5 && again < on, `modes: ${on}, none ${off}, fewer ${again}`);
    // 300 ft above the ground the hatched band starts 90 px below the centre of the altitude tape.
    const state = with_({ altitude: 800, radar_height: 300 });
    const [ground, above] = await inks(state, ['[g.altitudeTape.x + 2, g.altitudeY(s, 500) + 4, ' +
      'g.altitudeTape.x + 20, g.altitudeY(s, 500) + 14]', '[g.altitudeTape.x + 12, g.altitudeY(s, 500) - 14, ' +
      'g.altitudeTape.x + 20, g.altitudeY(s, 500) - 4]'], '#7a5230', 50);
    assert.ok(ground > 60 && above === 0, `ground band ${ground}, above it ${above}`);
  });

  test('a heading label more than 45 degrees right of the heading is left out', async () => {
    // "33" (330) just over 45 degrees right: its left edge would reach into the strip.
    const box = '[g.headingScale.x + g.headingScale.width - 4, g.headingScale.y + 14, ' +
      'g.headingScale.x + g.headingScale.width - 1, g.headingScale.y + 30]';
    const at = (heading) => inks(with_({ heading, track: null }, { heading_bug: 100, course: 100 }), [box], INK, 80);
    const [[sliver], [shown]] = [await at(284.99), await at(285)];
    assert.ok(sliver === 0 && shown > 0, `past 45 degrees ${sliver}, within ${shown}`);
  });
});

describe('moving map', () => {
  // Draws the state and answers, for each point ([north, east], or [] for the aircraft), where it is and its colour.
  const map = (state, setup, points) => page.evaluate((s, set, pts) => {
    M.orientation = set.orientation; M.range = set.range;
    M.draw(s);
    return pts.map((p) => {
      const q = p.length === 2 ? M.toPixel(s, p[0], p[1]) : M.aircraftPixel(s);
      return { at: q, rgb: pixel('map', q.x, q.y) };
    });
  }, state, setup, points);
  // A point `along` the runway from its threshold and `right` of its centre line (course 030), feet.
  const onRunway = (along, right = 0) => [300 + along * Math.cos(Math.PI / 6) - right * Math.sin(Math.PI / 6),
    2000 + along * Math.sin(Math.PI / 6) + right * Math.cos(Math.PI / 6)];

  test('runway and aircraft where toPixel puts them, north up and track up', async () => {
    await page.evaluate(() => M.clear());
    for (const [setup, north, east] of [[{ orientation: 'north', range: 1 }, 1000, 1500],
      [{ orientation: 'track', range: 1 }, 1000, 1500], [{ orientation: 'north', range: 20 }, -30000, -10000]]) {
      const state = with_({ heading: 90, track: 100, north, east });
      const [runway, beside, aircraft] = await map(state, setup, [onRunway(3500), onRunway(2500, 600), []]);
      const tag = JSON.stringify(setup);
      assert.ok(near(runway.rgb, RUNWAY, 30), `${tag}: runway at ${JSON.stringify(runway.at)}: ${runway.rgb}`);
      if (setup.range === 1) assert.ok(!near(beside.rgb, RUNWAY, 60), `${tag}: beside the runway ${beside.rgb}`);
      assert.ok(near(aircraft.rgb, YELLOW), `${tag}: aircraft ${aircraft.rgb}`);
    }
    // Track up with the track east: north is to the left.
    const north = await map(with_({ heading: 90, track: 90 }), { orientation: 'track', range: 1 }, [[0, -1000], []]);
    assert.ok(north[0].at.x < north[1].at.x - 50 && Math.abs(north[0].at.y - north[1].at.y) < 1, JSON.stringify(north));
    // The symbol points along the heading: east north up; west in track up with the track east.
    for (const [heading, track, orientation, side] of [[90, 90, 'north', 1], [0, 90, 'track', -1]]) {
      const [a] = await map(with_({ heading, track }), { orientation, range: 2 }, [[]]);
      const [ahead, behind] = await page.evaluate((p, d) => [pixel('map', p.x + 6 * d, p.y),
        pixel('map', p.x - 7 * d, p.y)], a.at, side);
      assert.ok(near(ahead, YELLOW) && !near(behind, YELLOW), `${orientation} up: ahead ${ahead}, behind ${behind}`);
    }
  });

  test('track history: a point per 20 ft, 30 minutes kept, drawn, and forgotten on clear', async () => {
    const seen = await page.evaluate((s) => {
      M.clear(); M.orientation = 'north'; M.range = 1;
      const counts = [], behind = () => pixel('map', M.aircraftPixel().x - 60, M.aircraftPixel().y);
      // East at 10 ft a step for 400 steps: 4000 ft, a point every 20 ft.
      for (let i = 0; i <= 400; i++) M.draw({ ...s, time: i, north: 0, east: -4000 + 10 * i });
      counts.push(M.historyLength);
      const drawn = behind();
      M.draw({ ...s, time: 400 + 1790, north: 0, east: 20 });  // all but the last ten seconds have aged out
      counts.push(M.historyLength);
      M.draw({ ...s, time: 5, north: 0, east: 20 });  // time went back: a new situation
      counts.push(M.historyLength);
      M.clear();
      M.draw({ ...s, time: 6, north: 0, east: 20 });
      counts.push(M.historyLength);
      return { counts, drawn, cleared: behind() };
    }, with_({ heading: 90 }));
    assert.equal(seen.counts[0], 201);
    assert.ok(seen.counts[1] >= 5 && seen.counts[1] <= 7, `after 30 minutes: ${seen.counts[1]}`);
    assert.deepEqual(seen.counts.slice(2), [1, 1]);
    assert.ok(near(seen.drawn, TRACK, 30) && !near(seen.cleared, TRACK, 60), `${seen.drawn} / ${seen.cleared}`);
  });
});
