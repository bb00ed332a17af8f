// Painting helpers of the flight display: paths, convex clipping without the canvas's clip (quicker every frame),
// and pictures painted once and copied by whole device pixels: fixed ones, ones painted at a quarter-pixel phase,
// and tape strips.

import { ATT, BANK_R, CX, CY, DEG, font } from './layout.js';

// ---- painting helpers, for what is painted once ----------------------------------------------------------------
function poly(c, points, fill, stroke, lineWidth = 1) {
  c.beginPath();
  points.forEach(([x, y], i) => (i ? c.lineTo(x, y) : c.moveTo(x, y)));
  c.closePath();
  if (fill) { c.fillStyle = fill; c.fill(); }
  if (stroke) { c.strokeStyle = stroke; c.lineWidth = lineWidth; c.stroke(); }
}
function line(c, x0, y0, x1, y1, colour, width = 1.5) {
  c.beginPath(); c.moveTo(x0, y0); c.lineTo(x1, y1);
  c.strokeStyle = colour; c.lineWidth = width; c.stroke();
}
function label(c, s, x, y, colour, px, align = 'center') {
  c.font = font(px); c.fillStyle = colour; c.textAlign = align; c.textBaseline = 'middle';
  c.fillText(s, x, y);
}
function path(points) {
  const p = new Path2D();
  points.forEach(([x, y], i) => (i ? p.lineTo(x, y) : p.moveTo(x, y)));
  p.closePath();
  return p;
}

// Convex polygons (x, y pairs) clipped to an axis-aligned box, in two scratch buffers.
const polyA = new Float64Array(600), polyB = new Float64Array(600);
// Keeps the part of the polygon in `from` (n points) where the coordinate `axis` (0 x, 1 y) is >= bound
// (side 1) or <= bound (side -1), into `to`; answers the points kept.
function cut(from, n, to, axis, bound, side) {
  let m = 0;
  for (let i = 0; i < n; i++) {
    const j = (i + n - 1) % n;
    const pi = from[2 * i + axis], pj = from[2 * j + axis];
    const inI = (pi - bound) * side >= 0, inJ = (pj - bound) * side >= 0;
    if (inI !== inJ) {
      const t = (bound - pj) / (pi - pj);
      to[2 * m] = from[2 * j] + t * (from[2 * i] - from[2 * j]);
      to[2 * m + 1] = from[2 * j + 1] + t * (from[2 * i + 1] - from[2 * j + 1]);
      to[2 * m + axis] = bound;
      m++;
    }
    if (inI) { to[2 * m] = from[2 * i]; to[2 * m + 1] = from[2 * i + 1]; m++; }
  }
  return m;
}
// Fills the polygon in polyA (n points) clipped to the box, as one path: what a rectangular clip would leave.
function fillClipped(c, n, x0, y0, x1, y1, colour) {
  n = cut(polyA, n, polyB, 0, x0, 1); n = cut(polyB, n, polyA, 0, x1, -1);
  n = cut(polyA, n, polyB, 1, y0, 1); n = cut(polyB, n, polyA, 1, y1, -1);
  if (n < 3) return;
  c.beginPath(); c.moveTo(polyA[0], polyA[1]);
  for (let i = 1; i < n; i++) c.lineTo(polyA[2 * i], polyA[2 * i + 1]);
  c.closePath(); c.fillStyle = colour; c.fill();
}
// The sphere's box with its rounded corners, as the edges of a convex polygon (each corner in 12 chords, within
// 0.02 px of the arc): nx, ny, d with nx * x + ny * y <= d inside.
const SPHERE = (() => {
  const r = 10, points = [], edges = [];
  const corners = [[ATT.x + ATT.width - r, ATT.y + r, -90], [ATT.x + ATT.width - r, ATT.y + ATT.height - r, 0],
    [ATT.x + r, ATT.y + ATT.height - r, 90], [ATT.x + r, ATT.y + r, 180]];
  for (const [cx, cy, a0] of corners) {
    for (let k = 0; k <= 12; k++) {
      const a = (a0 + (90 * k) / 12) * DEG;
      points.push([cx + r * Math.cos(a), cy + r * Math.sin(a)]);
    }
  }
  for (let i = 0; i < points.length; i++) {
    const [x0, y0] = points[i], [x1, y1] = points[(i + 1) % points.length];
    const len = Math.hypot(x1 - x0, y1 - y0);
    if (len < 1e-9) continue;
    const nx = (y1 - y0) / len, ny = -(x1 - x0) / len;  // outward, the points running clockwise on screen
    edges.push(nx, ny, nx * x0 + ny * y0);
  }
  return Float64Array.from(edges);
})();
// The pitch ladder's round clip as the edges of a convex polygon of 240 sides (within 0.01 px of the circle).
const LADDER_RING = (() => {
  const edges = [], n = 240, r = BANK_R - 12;
  for (let i = 0; i < n; i++) {
    const a = (2 * Math.PI * (i + 0.5)) / n;
    edges.push(Math.cos(a), Math.sin(a), Math.cos(a) * CX + Math.sin(a) * CY + r * Math.cos(Math.PI / n));
  }
  return Float64Array.from(edges);
})();
// Keeps the part of the convex polygon in polyA (n points) inside all the edges (nx, ny, d: nx * x + ny * y <= d
// inside); answers the points kept, in polyA.
function cutConvex(edges, n) {
  for (let e = 0; e < edges.length; e += 3) {
    const nx = edges[e], ny = edges[e + 1], d = edges[e + 2];
    let out = false;
    for (let i = 0; i < n && !out; i++) out = nx * polyA[2 * i] + ny * polyA[2 * i + 1] > d;
    if (!out) continue;
    let m = 0;
    for (let i = 0; i < n; i++) {
      const j = (i + n - 1) % n;
      const si = nx * polyA[2 * i] + ny * polyA[2 * i + 1] - d, sj = nx * polyA[2 * j] + ny * polyA[2 * j + 1] - d;
      if ((si <= 0) !== (sj <= 0)) {
        const t = sj / (sj - si);
        polyB[2 * m] = polyA[2 * j] + t * (polyA[2 * i] - polyA[2 * j]);
        polyB[2 * m + 1] = polyA[2 * j + 1] + t * (polyA[2 * i + 1] - polyA[2 * j + 1]);
        m++;
      }
      if (si <= 0) { polyB[2 * m] = polyA[2 * i]; polyB[2 * m + 1] = polyA[2 * i + 1]; m++; }
    }
    polyA.set(polyB.subarray(0, 2 * m));
    n = m;
    if (n < 3) return 0;
  }
  return n;
}
// Fills the polygon in polyA (n points) as clipped to the box x0..x1, y0..y1 and the convex edges.
function fillWithin(c, n, x0, y0, x1, y1, edges, colour) {
  n = cut(polyA, n, polyB, 0, x0, 1); n = cut(polyB, n, polyA, 0, x1, -1);
  n = cut(polyA, n, polyB, 1, y0, 1); n = cut(polyB, n, polyA, 1, y1, -1);
  n = n < 3 ? 0 : cutConvex(edges, n);
  if (n < 3) return;
  c.beginPath(); c.moveTo(polyA[0], polyA[1]);
  for (let i = 1; i < n; i++) c.lineTo(polyA[2 * i], polyA[2 * i + 1]);
  c.closePath(); c.fillStyle = colour; c.fill();
}
const fillInSphere = (c, n, colour) => fillWithin(c, n, ATT.x, ATT.y, ATT.x + ATT.width, ATT.y + ATT.height, SPHERE,
  colour);
// Puts into polyA the rectangle u0..u1, v0..v1 of a frame turned (cos, sin) about (ox, oy).
function turnedRect(u0, v0, u1, v1, ox, oy, cos, sin) {
  polyA[0] = ox + u0 * cos - v0 * sin; polyA[1] = oy + u0 * sin + v0 * cos;
  polyA[2] = ox + u1 * cos - v0 * sin; polyA[3] = oy + u1 * sin + v0 * cos;
  polyA[4] = ox + u1 * cos - v1 * sin; polyA[5] = oy + u1 * sin + v1 * cos;
  polyA[6] = ox + u0 * cos - v1 * sin; polyA[7] = oy + u0 * sin + v1 * cos;
}

const canvasOf = (w, h) => {
  if (typeof OffscreenCanvas === 'function') return new OffscreenCanvas(w, h);
  const e = document.createElement('canvas'); e.width = w; e.height = h;
  return e;
};
// A frozen copy of a painted canvas, cheaper to copy from than the canvas itself where the browser offers it.
const frozen = (cv) => (typeof cv.transferToImageBitmap === 'function' ? cv.transferToImageBitmap() : cv);
const release = (image) => { if (image && typeof image.close === 'function') image.close(); };

// A picture of the display's area x0..x1, y0..y1 (CSS pixels), painted once in the display's own coordinates at
// the pixel ratio and copied to the device pixels it covers.
function picture(dpr, x0, y0, x1, y1, paint) {
  const x = Math.floor(x0 * dpr), y = Math.floor(y0 * dpr);
  const cv = canvasOf(Math.max(1, Math.ceil(x1 * dpr) - x), Math.max(1, Math.ceil(y1 * dpr) - y));
  const g = cv.getContext('2d');
  g.setTransform(dpr, 0, 0, dpr, -x, -y);
  paint(g);
  return { image: frozen(cv), x, y };
}

// Pictures of a shape that moves, by quarter device pixels of its position: painted about its origin when first
// wanted at that phase, `reach` CSS pixels around it.
const PHASES = 4;
function phased(dpr, reach, paint) {
  const r = Math.ceil(reach * dpr) + 1, store = new Array(PHASES * PHASES).fill(null);
  return (c, x, y) => {
    let ix = Math.floor(x * dpr), iy = Math.floor(y * dpr);
    let qx = Math.round((x * dpr - ix) * PHASES), qy = Math.round((y * dpr - iy) * PHASES);
    if (qx === PHASES) { ix++; qx = 0; }
    if (qy === PHASES) { iy++; qy = 0; }
    const k = qx * PHASES + qy;
    if (!store[k]) {
      const cv = canvasOf(2 * r + 1, 2 * r + 1), g = cv.getContext('2d');
      g.setTransform(dpr, 0, 0, dpr, r + qx / PHASES, r + qy / PHASES);
      paint(g);
      store[k] = frozen(cv);
    }
    c.drawImage(store[k], ix - r, iy - r);
  };
}

// A tape's scale, painted a chunk of values at a time into strips (clear where it has nothing) at a quarter
// device pixel phase, and copied by whole device pixels into the tape's window: inside its edge, which the
// background holds and which was drawn over the scale anyway. Along the axis, the value v sits at `centre` and
// k at centre + sign * (k - v) * ppu; a chunk holds `span` values and `margin` more each side, enough to fill
// the window from any value in the chunk; the three chunks last used are kept. `paint(g, at, lo, hi, end)`
// draws the values lo..hi at `at(k)` along the strip, across it in the display's coordinates; `end` is the
// strip's length. The copy is made with the canvas in device pixels.
function tapeStrips(dpr, T) {
  const chunks = new Map(), pad = 2;
  const a0 = Math.round(T.from * dpr), a1 = Math.round(T.to * dpr);
  const x0 = Math.floor(T.across0 * dpr), across = Math.ceil(T.across1 * dpr) - x0;
  function render(lo, hi, q) {
    const ref = T.sign < 0 ? hi : lo, end = (hi - lo) * T.ppu + 2 * pad, len = Math.ceil(end * dpr) + 1;
    const cv = T.vertical ? canvasOf(across, len) : canvasOf(len, across), g = cv.getContext('2d');
    if (T.vertical) g.setTransform(dpr, 0, 0, dpr, -x0, q / PHASES);
    else g.setTransform(dpr, 0, 0, dpr, q / PHASES, -x0);
    g.textBaseline = 'middle';
    T.paint(g, (k) => T.sign * (k - ref) * T.ppu + pad, lo, hi, end);
    return frozen(cv);
  }
  return (c, v) => {
    const i = Math.floor(v / T.span), lo = i * T.span - T.margin, hi = (i + 1) * T.span + T.margin;
    const z = dpr * (T.centre + T.sign * ((T.sign < 0 ? hi : lo) - v) * T.ppu - pad);
    let o = Math.floor(z), q = Math.round((z - o) * PHASES);
    if (q === PHASES) { o++; q = 0; }
    let set = chunks.get(i);
    if (set) { chunks.delete(i); chunks.set(i, set); }  // the last used last
    else {
      if (chunks.size >= 3) {
        const oldest = chunks.keys().next().value;
        chunks.get(oldest).forEach(release);
        chunks.delete(oldest);
      }
      set = new Array(PHASES).fill(null);
      chunks.set(i, set);
    }
    if (!set[q]) set[q] = render(lo, hi, q);
    if (T.vertical) c.drawImage(set[q], 0, a0 - o, across, a1 - a0, x0, a0, across, a1 - a0);
    else c.drawImage(set[q], a0 - o, 0, a1 - a0, across, a0, x0, a1 - a0, across);
  };
}

export {
  poly, line, label, path, polyA, polyB, cut, fillClipped, SPHERE, LADDER_RING, cutConvex, fillWithin,
  fillInSphere, turnedRect, canvasOf, frozen, release, picture, PHASES, phased, tapeStrips
};
