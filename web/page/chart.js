// The strip chart: the last few minutes of altitude, airspeed, heading, climb rate and radar height, each in its own
// horizontal band of one uPlot canvas over a shared time axis, with the autopilot references dashed and the mode
// events marked by vertical lines.

import uPlot from 'uplot';

import { chart as palette, page } from './palette.js';

// Band order, top to bottom. `span` is the least range a band shows, so that a steady value stays a steady line;
// `floor` the least value it shows; `steps` its tick spacings, where round tens would not do; `ref` the name of
// its reference in a sample's refs, where not its own.
const SERIES = [
  { name: 'altitude', label: 'Altitude', unit: 'ft', color: palette.altitude, span: 100 },
  { name: 'airspeed', label: 'Airspeed', unit: 'kt', color: palette.airspeed, span: 10, floor: 0 },
  { name: 'heading', label: 'Heading', unit: '\u00b0', color: palette.heading, span: 10, steps: [1, 2, 5, 10, 15, 30, 45, 90, 180, 360] },
  { name: 'climb_rate', label: 'Climb rate', unit: 'ft/min', color: palette.climb_rate, span: 500, ref: 'vertical_speed' },
  { name: 'radar_height', label: 'Radar height', unit: 'ft', color: palette.radar_height, span: 50, floor: 0 },
];
const MARK_COLORS = palette.marks;
const INK = page.ink, DIM = page.dim, GRID = palette.grid, RULE = palette.rule;
const FONT = '10px system-ui, sans-serif';
const boldFont = (cssPx) => 'bold ' + Math.round(cssPx * uPlot.pxRatio) + 'px system-ui, sans-serif';
const N = SERIES.length;
// Within a band, the data keeps clear of the band's top (where its name is written) and of its bottom edge.
const PAD_TOP = 0.26, PAD_BOTTOM = 0.08;
// Samples kept per pixel of the plot's width: the cost of a redraw goes with the points drawn, and a pixel shows no more.
const POINTS_PER_PX = 0.5;

const finite = (v) => (typeof v === 'number' && Number.isFinite(v) ? v : null);
const wrap180 = (d) => ((((d + 180) % 360) + 360) % 360) - 180;
const compass = (d) => String(((Math.round(d) % 360) + 359) % 360 + 1).padStart(3, '0'); // north is 360
const show = (s, v) => (s.name === 'heading' ? compass(v) : String(Math.round(v)));

// Band i's data area in scale units, the whole scale [min, max] being five bands.
function bandOf(i, min, max) {
  const f = 1 / N, total = max - min, bandLo = min + (1 - (i + 1) * f) * total;
  return { lo: bandLo + PAD_BOTTOM * f * total, hi: bandLo + (1 - PAD_TOP) * f * total };
}

// The scale range that puts [lo, hi] (widened to the band's least span) into band i's data area.
function bandRange(i) {
  return (u, lo, hi) => {
    if (lo == null || hi == null) lo = hi = 0;
    const span = Math.max(hi - lo, SERIES[i].span), mid = Math.max((lo + hi) / 2, (SERIES[i].floor ?? -Infinity) + span / 2);
    const f = 1 / N, area = f * (1 - PAD_TOP - PAD_BOTTOM), total = span / area;
    const min = mid - span / 2 - (1 - (i + 1) * f + PAD_BOTTOM * f) * total;
    return [min, min + total];
  };
}

// Two to four round ticks inside the band's data area.
function bandSplits(i) {
  const steps = SERIES[i].steps;
  return (u, axisIdx, min, max) => {
    const b = bandOf(i, min, max), raw = (b.hi - b.lo) / 3, eps = (b.hi - b.lo) / 100;
    const p = 10 ** Math.floor(Math.log10(raw)), m = raw / p;
    const incr = !steps ? (m <= 1.001 ? 1 : m <= 2.001 ? 2 : m <= 5.001 ? 5 : 10) * p
      : steps.find((v) => v >= raw * 0.999) || steps[steps.length - 1] * Math.ceil(raw / steps[steps.length - 1]);
    const ticks = [];
    for (let v = Math.ceil((b.lo - eps) / incr) * incr; v <= b.hi + eps; v += incr) ticks.push(v);
    return ticks;
  };
}

// A series' line, broken at its gaps, one sample past each edge of the plot (which clips). uPlot's own builder also
// copies every line into a fill path and a clip of its gaps: a fifth more time a push.
function linePath(u, si, i0, i1) {
  const xs = u.data[0], ys = u.data[si], key = u.series[si].scale, path = new Path2D();
  let pen = false;
  for (let j = Math.max(0, i0 - 1), end = Math.min(xs.length - 1, i1 + 1); j <= end; j++) {
    if (ys[j] == null) {
      pen = false;
      continue;
    }
    const x = u.valToPos(xs[j], 'x', true), y = u.valToPos(ys[j], key, true);
    if (pen) path.lineTo(x, y);
    else path.moveTo(x, y);
    pen = true;
  }
  return { stroke: path, fill: null, clip: null, band: null, gaps: null, flags: 0 };
}

const clock = (s) => Math.floor(Math.round(s) / 60) + ':' + String(Math.round(s) % 60).padStart(2, '0');
// Axes: dim labels and grid.
const axis = (opts) => ({ font: FONT, stroke: DIM, grid: { stroke: GRID, width: 1 }, ticks: { stroke: GRID, width: 1, size: 3 }, ...opts });

function create(container, { width = 480, height = 400, minutes = 5 } = {}) {
  const windowS = minutes * 60;
  // Columns: time, then each quantity's value and reference. Kept in place and handed to uPlot on every push.
  const data = [[]];
  for (let i = 0; i < N; i++) data.push([], []);
  const marks = []; // { time, text, kind }, in time order
  let headingU = null; // the last heading, unwrapped: a turn through north stays one line

  const series = [{}];
  const scales = { x: { time: false, range: (u, lo, hi) => {
    if (lo == null) return [0, windowS];
    const end = Math.max(hi, lo + windowS);
    return [end - windowS, end];
  } } };
  const axes = [axis({ scale: 'x', side: 2, size: 20, gap: 2, space: 60,
    incrs: [1, 2, 5, 10, 15, 30, 60, 120, 300, 600, 1200, 1800, 3600], values: (u, splits) => splits.map(clock) })];
  SERIES.forEach((s, i) => {
    const key = 'y' + i;
    scales[key] = { range: bandRange(i) };
    const line = { scale: key, stroke: s.color, points: { show: false }, paths: linePath };
    series.push({ ...line, label: s.label, width: 1.75 }, { ...line, label: s.label + ' ref', width: 1.25, dash: [6, 4] });
    // Every band's axis has no width of its own: their tick labels share the plot's left padding.
    axes.push(axis({ scale: key, side: 3, size: 0, gap: 3, splits: bandSplits(i), values: (u, splits) => splits.map((v) => show(s, v)) }));
  });

  // The index of a column's latest value, or -1.
  const lastIndex = (col) => {
    let j = data[col].length - 1;
    while (j >= 0 && data[col][j] == null) j--;
    return j;
  };

  // Under the lines: alternate bands faintly shaded. Over them: band rules, names with the latest value, marks.
  function drawClear(u) {
    const { ctx } = u, { left, top, width: w, height: h } = u.bbox;
    ctx.save();
    ctx.fillStyle = palette.band;
    for (let i = 0; i < N; i += 2) ctx.fillRect(left, top + (i * h) / N, w, h / N);
    ctx.restore();
  }
  function draw(u) {
    const { ctx } = u, { left, top, width: w, height: h } = u.bbox, px = uPlot.pxRatio;
    ctx.save();
    ctx.setLineDash([]);
    ctx.lineWidth = px;
    ctx.strokeStyle = RULE;
    ctx.beginPath();
    for (let i = 0; i <= N; i++) {
      const y = Math.round(top + (i * h) / N) + 0.5;
      ctx.moveTo(left, y);
      ctx.lineTo(left + w, y);
    }
    ctx.stroke();
    ctx.textBaseline = 'top';
    ctx.textAlign = 'left';
    SERIES.forEach((s, i) => {
      const y = top + (i * h) / N + 2 * px, j = lastIndex(1 + 2 * i), last = j < 0 ? null : data[1 + 2 * i][j];
      ctx.font = boldFont(11);
      ctx.fillStyle = s.color;
      const name = s.label + ' ';
      ctx.fillText(name, left + 4 * px, y);
      ctx.fillStyle = INK;
      ctx.fillText((last == null ? '\u2014' : show(s, last)) + (s.unit === '\u00b0' ? '' : ' ') + s.unit,
        left + 4 * px + ctx.measureText(name).width, y);
    });
    const xs = u.scales.x;
    ctx.font = boldFont(10);
    ctx.textBaseline = 'bottom';
    const lw = (ctx.lineWidth = Math.max(1, Math.round(1.5 * px))); // whole pixels: a crisp line
    let free = -Infinity; // labels of marks close together follow one another to the right
    for (const { time, text, kind } of marks) {
      if (time < xs.min || time > xs.max) continue;
      const x = Math.round(u.valToPos(time, 'x', true)) + (lw % 2) / 2, color = MARK_COLORS[kind] || DIM;
      ctx.strokeStyle = ctx.fillStyle = color;
      ctx.beginPath();
      ctx.moveTo(x, top - 2 * px);
      ctx.lineTo(x, top + h);
      ctx.stroke();
      const tw = ctx.measureText(text).width;
      let lx = Math.max(x + 2 * px, free);
      if (lx + tw > left + w) lx = Math.min(x - 2 * px, left + w) - tw;
      ctx.fillText(text, lx, top - px);
      free = lx + tw + 5 * px;
    }
    ctx.restore();
  }

  const plot = new uPlot({
    width, height, series, scales, axes,
    padding: [15, 14, 0, 44],
    legend: { show: false },
    cursor: { show: false, drag: { x: false, y: false } },
    select: { show: false },
    hooks: { drawClear: [drawClear], draw: [draw] },
  }, data, container);
  const canvas = plot.ctx.canvas;
  canvas.dataset.instrument = 'chart';

  function push(sample) {
    const t = finite(sample && sample.time), xs = data[0];
    if (t == null) return;
    if (xs.length > 0 && t < xs[xs.length - 1]) restart(t); // the situation was reset: a new flight
    // A sample closer than a step to the one before the newest replaces the newest: the samples kept are about a
    // step apart, and at most two fall within any one step, whatever the rate of pushes.
    const step = (windowS * uPlot.pxRatio) / (POINTS_PER_PX * Math.max(plot.bbox.width, 100));
    const at = xs.length >= 2 && t - xs[xs.length - 2] < step ? xs.length - 1 : xs.length;
    xs[at] = t;
    const refs = sample.refs || {};
    SERIES.forEach((s, i) => {
      let v = finite(sample[s.name]), r = finite(refs[s.ref || s.name]);
      if (s.name === 'heading') {
        if (v != null) v = headingU = headingU == null ? v : headingU + wrap180(v - headingU);
        if (r != null && headingU != null) r = headingU + wrap180(r - headingU);
      }
      data[1 + 2 * i][at] = v;
      data[2 + 2 * i][at] = r;
    });
    // Older samples go, but one: the lines run to the plot's left edge.
    let old = 0;
    while (old + 1 < xs.length && xs[old + 1] <= t - windowS) old++;
    if (old > 0) for (const c of data) c.splice(0, old);
    while (marks.length && marks[0].time < t - windowS) marks.shift();
    plot.setData(data);
  }

  function mark(time, text, kind) {
    const t = finite(time);
    if (t == null) return;
    let k = marks.length;
    while (k > 0 && marks[k - 1].time > t) k--;
    marks.splice(k, 0, { time: t, text: String(text ?? ''), kind });
    plot.redraw(false);
  }

  // Forget the samples, and the marks later than `t` (all of them by default).
  function restart(t = -Infinity) {
    for (const c of data) c.length = 0;
    while (marks.length && marks[marks.length - 1].time > t) marks.pop();
    headingU = null;
  }

  // Where the latest value of a quantity is drawn, once the chart has drawn its latest push (uPlot draws in a
  // microtask): CSS px from the canvas's top left corner.
  function lastPoint(name) {
    const i = SERIES.findIndex((s) => s.name === name), j = i < 0 ? -1 : lastIndex(1 + 2 * i);
    if (j < 0) return null;
    const px = uPlot.pxRatio;
    return { x: plot.valToPos(data[0][j], 'x', true) / px, y: plot.valToPos(data[1 + 2 * i][j], 'y' + i, true) / px };
  }

  return {
    push, mark, lastPoint, canvas, plot, series: SERIES,
    marks: () => marks.map((m) => ({ ...m })),
    clear: () => { restart(); plot.setData(data); },
    resize: (w, h) => plot.setSize({ width: w, height: h }),
  };
}


export { create, SERIES };
