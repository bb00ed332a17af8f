// The moving map: the airport (runway, localizer course, VOR, helicopter pad) around the aircraft, north up or
// track up, with the aircraft's recent track, a scale bar, a north arrow and the orientation and range.
import { glass } from './palette.js';

const NM = 6076.12, DEG = Math.PI / 180;
const RANGES = [1, 2, 5, 10, 20];
const KEEP_S = 1800, STEP_FT = 20, MAX_POINTS = 6000;  // the track history: 30 minutes, a point per 20 ft
const { ink: INK, dim: DIM, back: BACK, cyan: CYAN, yellow: YELLOW, runway: RUNWAY, navaid: NAVAID } = glass;
const font = (px, bold = true) => (bold ? 'bold ' : '') + px + 'px "DejaVu Sans", Arial, sans-serif';
// Positions beyond a hundred million miles are all the same to the map, and their sums stay finite.
const finite = (v, d = 0) => (typeof v === 'number' && Number.isFinite(v) ? Math.min(1e12, Math.max(-1e12, v)) : d);

// The part of the segment a-b inside the rectangle, or null (Liang-Barsky), with where along it the part starts.
function clip(a, b, x0, y0, x1, y1) {
  const dx = b.x - a.x, dy = b.y - a.y;
  let t0 = 0, t1 = 1;
  for (const [p, q] of [[-dx, a.x - x0], [dx, x1 - a.x], [-dy, a.y - y0], [dy, y1 - a.y]]) {
    if (p === 0) { if (q < 0) return null; continue; }
    const r = q / p;
    if (p < 0) { if (r > t1) return null; if (r > t0) t0 = r; } else { if (r < t0) return null; if (r < t1) t1 = r; }
  }
  return { a: { x: a.x + t0 * dx, y: a.y + t0 * dy }, b: { x: a.x + t1 * dx, y: a.y + t1 * dy }, t0 };
}

function create(canvas, world) {
  const W = Number(canvas.getAttribute('width')) || 480, H = Number(canvas.getAttribute('height')) || 400;
  const c = canvas.getContext('2d');
  const w = world && typeof world === 'object' ? world : {};
  const rw = w.runway || {}, pad = w.pad || {}, vor = w.vor || null;
  let orientation = 'north', range = 5, history = [];

  const up = (s) => (orientation === 'track' ? finite(s.track === null ? s.heading : s.track, finite(s.heading)) : 0);
  const ppf = () => H / 2 / (range * NM);  // the range is the distance from the aircraft to a half height
  const aircraftPixel = () => ({ x: W / 2, y: orientation === 'track' ? Math.round(H * 0.64) : H / 2 });
  function toPixel(state, north, east) {
    const s = state || {}, u = up(s) * DEG, k = ppf(), a = aircraftPixel();
    const dn = finite(north) - finite(s.north), de = finite(east) - finite(s.east);
    const ahead = dn * Math.cos(u) + de * Math.sin(u), right = -dn * Math.sin(u) + de * Math.cos(u);
    return { x: a.x + right * k, y: a.y - ahead * k };
  }
  // Far-off things are left out and long lines cut to a margin around the map, so no coordinate grows huge.
  const M = 60, inView = (p, m = M) => p.x > -m && p.x < W + m && p.y > -m && p.y < H + m;
  const cut = (a, b) => clip(a, b, -M, -M, W + M, H + M);

  function remember(s) {
    const n = finite(s.north), e = finite(s.east), t = finite(s.time), last = history[history.length - 1];
    if (last && t < last.t) history = [];  // time went back: a new situation
    const cutoff = t - KEEP_S;
    let old = 0;
    while (old < history.length && history[old].t < cutoff) old++;
    if (old) history.splice(0, old);
    const prev = history[history.length - 1];
    if (!prev || Math.hypot(n - prev.n, e - prev.e) >= STEP_FT) history.push({ n, e, t });
    if (history.length > MAX_POINTS) history.splice(0, history.length - MAX_POINTS + 500);
  }

  function polyline(points, colour, width, dash) {
    c.beginPath();
    let end = null;
    for (let i = 1; i < points.length; i++) {
      const part = cut(points[i - 1], points[i]);
      if (!part) { end = null; continue; }
      if (!end || Math.abs(end.x - part.a.x) > 0.01 || Math.abs(end.y - part.a.y) > 0.01) {
        c.moveTo(part.a.x, part.a.y);
        // A dashed line keeps its pattern fixed to the line, wherever it is cut.
        if (dash) c.lineDashOffset = Math.hypot(part.a.x - points[i - 1].x, part.a.y - points[i - 1].y);
      }
      c.lineTo(part.b.x, part.b.y);
      end = part.b;
    }
    c.strokeStyle = colour; c.lineWidth = width; c.setLineDash(dash || []); c.stroke(); c.setLineDash([]);
  }
  function text(s, x, y, colour, px, align = 'center', bold = true) {
    c.font = font(px, bold); c.fillStyle = colour; c.textAlign = align; c.textBaseline = 'middle';
    c.fillText(s, x, y);
  }

  function airport(s) {
    // The pad first: at long ranges the runway is drawn over it.
    const h = toPixel(s, finite(pad.north), finite(pad.east));
    if (inView(h)) {
      c.beginPath(); c.arc(h.x, h.y, 10, 0, 2 * Math.PI);
      c.fillStyle = glass.pad; c.fill(); c.strokeStyle = NAVAID; c.lineWidth = 2; c.stroke();
      text('H', h.x, h.y + 1, NAVAID, 13);
    }
    if (Number.isFinite(rw.threshold_north) && Number.isFinite(rw.threshold_east)) {
      const course = finite(rw.course) * DEG, len = Math.max(0, finite(rw.length, 5000));
      const t = { n: rw.threshold_north, e: rw.threshold_east };
      const p0 = toPixel(s, t.n, t.e);
      const p1 = toPixel(s, t.n + len * Math.cos(course), t.e + len * Math.sin(course));
      const far = toPixel(s, t.n - 10 * NM * Math.cos(course), t.e - 10 * NM * Math.sin(course));
      polyline([p0, far], CYAN, 2, [10, 7]);
      const part = cut(p0, p1);
      if (part) {
        const d = Math.hypot(p1.x - p0.x, p1.y - p0.y) || 1;
        const ux = (p1.x - p0.x) / d, uy = (p1.y - p0.y) / d, half = Math.max(75 * ppf(), 1.5);
        const fill = (a, b, h, colour) => {
          c.beginPath();
          c.moveTo(a.x - uy * h, a.y + ux * h); c.lineTo(b.x - uy * h, b.y + ux * h);
          c.lineTo(b.x + uy * h, b.y - ux * h); c.lineTo(a.x + uy * h, a.y - ux * h);
          c.closePath(); c.fillStyle = colour; c.fill();
        };
        fill(part.a, part.b, half, RUNWAY);
        if (inView(p0)) {
          // The threshold: a white bar across the landing end, wider than the runway, and the runway number.
          fill({ x: p0.x - ux * 1.5, y: p0.y - uy * 1.5 }, { x: p0.x + ux * 2.5, y: p0.y + uy * 2.5 },
            half + 5, '#ffffff');
          const number = String(Math.round(finite(rw.course) / 10) % 36 || 36).padStart(2, '0');
          text(number, p0.x - ux * 14 - uy * (half + 14), p0.y - uy * 14 + ux * (half + 14), DIM, 12);
        }
      }
    }
    if (vor && Number.isFinite(vor.north) && Number.isFinite(vor.east)) {
      const p = toPixel(s, vor.north, vor.east);
      if (inView(p)) {
        c.beginPath();
        for (let i = 0; i < 6; i++) c.lineTo(p.x + 9 * Math.cos(i * 60 * DEG), p.y + 9 * Math.sin(i * 60 * DEG));
        c.closePath(); c.strokeStyle = NAVAID; c.lineWidth = 2; c.stroke();
        c.fillStyle = NAVAID; c.fillRect(p.x - 1.5, p.y - 1.5, 3, 3);
        text('VOR', p.x + 14, p.y - 10, NAVAID, 12, 'left');
      }
    }
  }

  function aircraft(s) {
    const a = aircraftPixel();
    c.save();
    c.translate(a.x, a.y); c.rotate((finite(s.heading) - up(s)) * DEG);
    c.beginPath(); c.moveTo(0, -14); c.lineTo(9, 10); c.lineTo(0, 5); c.lineTo(-9, 10); c.closePath();
    c.fillStyle = YELLOW; c.fill(); c.strokeStyle = '#000'; c.lineWidth = 1.5; c.stroke();
    c.restore();
  }

  function furniture(s) {
    // A range ring at half the range, around the aircraft.
    const a = aircraftPixel(), r = H / 4;
    c.beginPath(); c.arc(a.x, a.y, r, 0, 2 * Math.PI);
    c.strokeStyle = glass.rangeRing; c.lineWidth = 1; c.setLineDash([3, 5]); c.stroke(); c.setLineDash([]);
    text(String(range / 2), a.x + r * 0.71 + 4, a.y - r * 0.71 - 6, DIM, 11, 'left', false);
    // The scale bar: the longest round length under 110 px.
    const k = ppf() * NM;
    const len = [10, 5, 2, 1, 0.5, 0.25, 0.2, 0.1].find((l) => l * k <= 110) || 0.1, px = len * k;
    const y = H - 16;
    c.strokeStyle = INK; c.lineWidth = 2;
    c.beginPath(); c.moveTo(12, y - 5); c.lineTo(12, y); c.lineTo(12 + px, y); c.lineTo(12 + px, y - 5); c.stroke();
    text(len + ' NM', 18 + px, y - 2, INK, 12, 'left');
    // The north arrow.
    c.save();
    c.translate(W - 34, 42); c.rotate(-up(s) * DEG);
    c.beginPath(); c.moveTo(0, -15); c.lineTo(6, 6); c.lineTo(0, 2); c.lineTo(-6, 6); c.closePath();
    c.fillStyle = INK; c.fill();
    c.restore();
    const nx = W - 34 + 23 * Math.sin(-up(s) * DEG), ny = 42 - 23 * Math.cos(-up(s) * DEG);
    text('N', nx, ny, INK, 12);
    text((orientation === 'track' ? 'TRACK UP' : 'NORTH UP') + '   ' + range + ' NM', 10, 14, INK, 13, 'left');
    if (orientation === 'track') {
      const value = String(((Math.round(up(s)) % 360) + 360) % 360).padStart(3, '0');
      c.fillStyle = '#000'; c.fillRect(W / 2 - 30, 4, 60, 22);
      c.strokeStyle = INK; c.lineWidth = 1.5; c.strokeRect(W / 2 - 30, 4, 60, 22);
      text((s.track === null ? 'HDG ' : 'TRK ') + value, W / 2, 15.5, INK, 13);
    }
  }

  function size() {
    const dpr = window.devicePixelRatio || 1, bw = Math.round(W * dpr), bh = Math.round(H * dpr);
    if (canvas.width !== bw || canvas.height !== bh) { canvas.width = bw; canvas.height = bh; }
    canvas.style.width = W + 'px'; canvas.style.height = H + 'px';
    return dpr;
  }

  // Draws the map about `state`, which joins the track unless `track` is false (the trainer adds the trace's
  // samples to the track itself, with remember, so that a replay draws the same track as the flight).
  function draw(state, track = true) {
    const s = state && typeof state === 'object' ? state : {}, dpr = size();
    if (track) remember(s);
    c.setTransform(dpr, 0, 0, dpr, 0, 0);
    c.fillStyle = BACK; c.fillRect(0, 0, W, H);
    c.lineCap = 'round'; c.lineJoin = 'round';
    airport(s);
    const points = history.map((p) => toPixel(s, p.n, p.e));
    points.push(aircraftPixel());
    polyline(points, glass.trackLine, 2);
    aircraft(s);
    furniture(s);
  }

  size();
  return {
    draw, toPixel, aircraftPixel: () => aircraftPixel(), ranges: RANGES.slice(),
    remember: (state) => remember(state && typeof state === 'object' ? state : {}),
    clear() { history = []; },
    get historyLength() { return history.length; },
    get orientation() { return orientation; },
    set orientation(v) { if (v === 'north' || v === 'track') orientation = v; },
    get range() { return range; },
    // Any positive range snaps to the nearest offered one.
    set range(v) {
      if (typeof v !== 'number' || !(v > 0) || !Number.isFinite(v)) return;
      range = RANGES.reduce((best, r) => (Math.abs(Math.log(r / v)) < Math.abs(Math.log(best / v)) ? r : best));
    },
  };
}


export { create };
