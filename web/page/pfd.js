// The primary flight display: attitude with pitch ladder and bank scale, airspeed and altitude tapes, vertical
// speed, heading strip, radar height, localizer and glide-slope deviation and the mode line. Every call draws
// from the instrument state alone, so a frame that jumps any distance in time draws as well as the next.
//
// It is drawn every animation frame, so what never moves (the background and panels, the vertical speed scale,
// the bank scale, the aircraft, the deviation scales, the rounded corners of the sphere) is painted once per pixel
// ratio into pictures of its own and copied by whole device pixels; the moving parts are drawn as paths and text,
// with the canvas state changed only where it differs. Shadowed parts that move are either copied from pictures
// painted at a quarter-pixel phase (the deviation diamonds) or, for the pitch ladder, drawn plain into a layer that
// is then copied once with the shadow. The only memory between frames is these pictures, keyed by what they show.
const PfdInstrument = (() => {
  'use strict';

  const W = 480, H = 400, DEG = Math.PI / 180;
  const INK = '#f2f4f6', DIM = '#9aa0a8', BACK = '#0b0d10', PANEL = '#2a2f36', EDGE = '#4a5058';
  const SKY = '#2a6fb0', GROUND = '#7a5230', MAGENTA = '#ff4fd8', CYAN = '#3fd0ff', GREEN = '#4fe07a';
  const YELLOW = '#ffd23f', AMBER = '#ffb340';
  const SHADE = 'rgba(0,0,0,0.6)', NONE = 'rgba(0,0,0,0)';
  const font = (px, bold = true) => (bold ? 'bold ' : '') + px + 'px "DejaVu Sans", Arial, sans-serif';
  const F11 = font(11), F12 = font(12), F13 = font(13), F14 = font(14), F15 = font(15), F16 = font(16), F19 = font(19);

  // Layout, in CSS pixels. The tapes and the deviation scales share the attitude centre line.
  const CX = 215, CY = 175, PPD = 7;
  const ATT = { x: 78, y: 28, width: 274, height: 294 };
  const BANK_R = 118;
  const SPEED = { x: 8, width: 60, top: 45, bottom: 305, centreY: CY, pixelsPerKnot: 3.2 };
  const ALT = { x: 362, width: 62, top: 45, bottom: 305, centreY: CY, pixelsPerFoot: 0.3 };
  const VS = { x: 432, width: 44, centreY: CY, halfHeight: 110, fullScale: 2000, bugX: 441 };
  const HDG = { x: 78, width: 274, centreX: CX, y: 350, pixelsPerDegree: 3.2, bugY: 359 };
  const LOC = { centreX: CX, y: CY + 95, pixelsPerDot: 30 };
  const GS = { x: 340, centreY: CY, pixelsPerDot: 26 };
  SPEED.bugX = SPEED.x + SPEED.width + 1;  // where the speed bug is solid
  ALT.bugX = ALT.x - 1;                    // where the altitude and radar height bugs are solid
  ALT.markX = ALT.x + ALT.width - 3;       // where the selected altitude mark is solid

  const finite = (v, d = 0) => (typeof v === 'number' && Number.isFinite(v) ? v : d);
  const maybe = (v) => (typeof v === 'number' && Number.isFinite(v) ? v : null);
  const clamp = (v, lo, hi) => Math.min(hi, Math.max(lo, v));
  const whole = (v) => String(Math.round(v) || 0);  // never "-0"
  const three = (deg) => String(((Math.round(deg) % 360) + 360) % 360).padStart(3, '0');
  const wrap360 = (deg) => ((deg % 360) + 360) % 360;
  const wrap180 = (deg) => wrap360(deg + 180) - 180;

  // The state as drawn: every number finite and within what the scales can show, every reference a number or null.
  // Filled into `into` when given (the drawing reuses one), else into a new object.
  const big = (v, d = 0) => clamp(finite(v, d), -1e6, 1e6), ref = (v) => (maybe(v) === null ? null : big(v));
  const spaced = new Map();  // mode texts as shown, by the text given: the page repeats the same few
  function words(v) {
    if (typeof v !== 'string') return '';
    let w = spaced.get(v);
    if (w === undefined) {
      if (spaced.size > 64) spaced.clear();
      w = v.trim().split(/\s+/).join('  ');
      spaced.set(v, w);
    }
    return w;
  }
  function read(state, into) {
    const s = state && typeof state === 'object' ? state : {};
    const r = s.refs && typeof s.refs === 'object' ? s.refs : {};
    const o = into || { refs: {} }, q = o.refs;
    o.airspeed = clamp(finite(s.airspeed), -999, 9999); o.altitude = big(s.altitude);
    o.radar = big(s.radar_height, 1e6);
    o.heading = wrap360(finite(s.heading)); o.track = maybe(s.track) === null ? null : wrap360(s.track);
    o.pitch = clamp(finite(s.pitch), -90, 90); o.bank = wrap180(finite(s.bank)); o.climb = big(s.climb_rate);
    o.groundSpeed = ref(s.ground_speed); o.localizer = maybe(s.localizer); o.glideSlope = maybe(s.glide_slope);
    o.modes = words(s.modes); o.armed = words(s.armed);
    q.airspeed = ref(r.airspeed); q.altitude = ref(r.altitude); q.selected = ref(r.selected_altitude);
    q.vs = ref(r.vertical_speed); q.radar = ref(r.radar_height);
    q.bug = wrap360(finite(r.heading_bug)); q.course = wrap360(finite(r.course));
    return o;
  }

  // Positions of values on the scales (unclamped; the drawing clamps what it puts on the edges), from the state as
  // drawn; the geometry offers them from the instrument state.
  const atSpeed = (s, knots) => CY - (finite(knots) - s.airspeed) * SPEED.pixelsPerKnot;
  const atAltitude = (s, feet) => CY - (finite(feet) - s.altitude) * ALT.pixelsPerFoot;
  const atHeading = (s, deg) => CX + wrap180(finite(deg) - s.heading) * HDG.pixelsPerDegree;
  const atLocalizer = (s) => CX - clamp(finite(s.localizer), -2.3, 2.3) * LOC.pixelsPerDot;
  const atGlideSlope = (s) => CY + clamp(finite(s.glideSlope), -2.3, 2.3) * GS.pixelsPerDot;
  const speedY = (state, knots) => atSpeed(read(state), knots);
  const altitudeY = (state, feet) => atAltitude(read(state), feet);
  const headingX = (state, deg) => atHeading(read(state), deg);
  const localizerX = (state) => atLocalizer(read(state));
  const glideSlopeY = (state) => atGlideSlope(read(state));
  // The vertical speed scale is linear to 1000 ft/min over 60 % of its half height, then half as steep.
  function vsY(fpm) {
    const a = Math.min(Math.abs(finite(fpm)), VS.fullScale), h = VS.halfHeight;
    const f = a <= 1000 ? (a / 1000) * 0.6 * h : 0.6 * h + ((a - 1000) / 1000) * 0.4 * h;
    return VS.centreY - Math.sign(finite(fpm)) * f;
  }
  // The point of the horizon `along` pixels to the right of its foot (the point nearest the centre).
  function horizonPoint(state, along = 0) {
    const s = read(state), b = s.bank * DEG, p = s.pitch * PPD;
    return { x: CX + p * Math.sin(b) + along * Math.cos(b), y: CY + p * Math.cos(b) - along * Math.sin(b) };
  }

  const geometry = {
    width: W, height: H, centre: { x: CX, y: CY }, pitchPixelsPerDegree: PPD, attitude: ATT, bankRadius: BANK_R,
    speedTape: SPEED, altitudeTape: ALT, verticalSpeed: VS, headingScale: HDG, localizer: LOC, glideSlope: GS,
    speedY, altitudeY, headingX, vsY, horizonPoint, localizerX, glideSlopeY,
  };

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
  // A reference bug: a block with a V notch cut on the side facing its scale, solid at its origin; `turn` maps the
  // shape facing right to one facing left (pi) or above (-pi / 2).
  const BUG = [[-3, -8], [7, -8], [7, -3], [2, 0], [7, 3], [7, 8], [-3, 8]];
  const bugFacing = (turn) => path(BUG.map(([x, y]) => [x * Math.cos(turn) - y * Math.sin(turn),
    x * Math.sin(turn) + y * Math.cos(turn)]));
  const BUG_RIGHT = bugFacing(0), BUG_LEFT = bugFacing(Math.PI), BUG_UP = bugFacing(-Math.PI / 2);
  // The selected altitude mark, from the tape's right edge.
  const SELECTED_MARK = path([[-1, -7], [-1, 7], [-8, 7], [-8, 2], [-4, 0], [-8, -2], [-8, -7]]);
  const RADAR_BUG = path([[-3, -7], [7, 0], [-3, 7]]);
  const COURSE_ARROW = path([[0, -10], [-5, -3], [5, -3]]);  // about (course, H - 6), the line beneath it
  const TRACK_MARK = path([[0, -5], [4, 0], [0, 5], [-4, 0]]);  // about (track, the strip's top + 35)
  const BANK_POINTER = path([[0, -BANK_R + 2], [-8, -BANK_R + 14], [8, -BANK_R + 14]]);
  const VS_TOP = VS.centreY - VS.halfHeight - 8, VS_BOTTOM = VS.centreY + VS.halfHeight + 8;
  const HEADING_NAMES = { 0: 'N', 90: 'E', 180: 'S', 270: 'W' };
  const LABELS = ['0', '10', '20', '30', '40', '50', '60', '70', '80', '90'];  // the pitch ladder's, by tens
  const LADDER = { x: CX - 90, y: CY - 120, width: 180, height: 208, radius: BANK_R - 12 };

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
  const SPEED_SCALE = {
    vertical: true, sign: -1, centre: CY, ppu: SPEED.pixelsPerKnot, span: 100, margin: 50,
    from: SPEED.top + 1, to: SPEED.bottom - 1, across0: SPEED.x + 1, across1: SPEED.x + SPEED.width - 1,
    paint(g, at, lo, hi, end) {
      const right = SPEED.x + SPEED.width;
      for (let k = Math.max(0, Math.ceil(lo / 10) * 10); k <= hi; k += 10) {
        const y = at(k);
        line(g, right - (k % 20 ? 7 : 11), y, right, y, INK, 1.5);
        if (k % 20 === 0) label(g, String(k), right - 15, y, INK, 14, 'right');
      }
      if (lo < 0) {  // below zero the tape is darker
        const y0 = at(0);
        g.fillStyle = '#1c1f24'; g.fillRect(SPEED.x, y0, SPEED.width, end - y0);
      }
    },
  };
  const ALTITUDE_SCALE = {
    vertical: true, sign: -1, centre: CY, ppu: ALT.pixelsPerFoot, span: 1000, margin: 500,
    from: ALT.top + 1, to: ALT.bottom - 1, across0: ALT.x + 1, across1: ALT.x + ALT.width - 1,
    paint(g, at, lo, hi) {
      for (let f = Math.ceil(lo / 100) * 100; f <= hi; f += 100) {
        const y = at(f);
        line(g, ALT.x, y, ALT.x + (f % 200 ? 6 : 10), y, INK, 1.5);
        if (f % 200 === 0) label(g, String(f), ALT.x + ALT.width - 4, y, INK, 13, 'right');
      }
    },
  };
  const HEADING_SCALE = {  // headings are 0..360, so one chunk: -60..420
    vertical: false, sign: 1, centre: CX, ppu: HDG.pixelsPerDegree, span: 360, margin: 60,
    from: HDG.x + 1, to: HDG.x + HDG.width - 1, across0: HDG.y + 1, across1: H,
    paint(g, at, lo, hi) {
      const y = HDG.y;
      for (let d = Math.ceil(lo / 5) * 5; d <= hi; d += 5) {
        const x = at(d), n = ((d % 360) + 360) % 360, ten = n % 10 === 0;
        line(g, x, y, x, y + (ten ? 10 : 6), INK, 1.5);
        if (n % 30 === 0) label(g, HEADING_NAMES[n] || String(n / 10), x, y + 22, INK, 15);
        else if (ten) label(g, String(n / 10), x, y + 21, DIM, 11);
      }
    },
  };

  // ---- the pictures painted once -------------------------------------------------------------------------------
  // The background: panels of the tapes and the heading strip, the whole vertical speed scale and the mode line.
  function paintBackground(c, groundSpeed, modes, armed) {
    c.fillStyle = BACK; c.fillRect(0, 0, W, H);
    c.beginPath(); c.roundRect(ATT.x, ATT.y, ATT.width, ATT.height, 10); c.fillStyle = SKY; c.fill();
    // The panels and their edges: what moves on them is drawn inside the edges.
    for (const T of [SPEED, ALT]) {
      c.fillStyle = PANEL; c.fillRect(T.x, T.top, T.width, T.bottom - T.top);
      c.strokeStyle = EDGE; c.lineWidth = 1; c.strokeRect(T.x + 0.5, T.top + 0.5, T.width - 1, T.bottom - T.top - 1);
    }
    c.fillStyle = PANEL; c.fillRect(HDG.x, HDG.y, HDG.width, H - HDG.y);
    c.strokeStyle = EDGE; c.lineWidth = 1; c.strokeRect(HDG.x + 0.5, HDG.y + 0.5, HDG.width - 1, H - HDG.y);
    if (groundSpeed) label(c, 'GS', 8, 334, DIM, 12, 'left');
    const x = VS.x, top = VS_TOP, bottom = VS_BOTTOM;
    poly(c, [[x, top], [x + 26, top], [x + VS.width, VS.centreY - 40], [x + VS.width, VS.centreY + 40],
      [x + 26, bottom], [x, bottom]], PANEL, EDGE, 1);
    for (const v of [-2000, -1500, -1000, -500, 0, 500, 1000, 1500, 2000]) {
      const y = vsY(v), major = v % 1000 === 0;
      line(c, x + 12, y, x + (major ? 20 : 17), y, v === 0 ? INK : DIM, v === 0 ? 2 : 1.5);
      if (major && v) label(c, String(Math.abs(v / 1000)), x + 6, y, INK, 12);
    }
    paintModes(c, modes, armed);
  }
  // The mode line. Nothing else reaches its band, so it is part of the background rather than drawn last, and
  // painted over alone when the modes change.
  function paintModes(c, modes, armed) {
    c.fillStyle = '#000'; c.fillRect(0, 0, W, 24);
    c.save();
    c.beginPath(); c.rect(ATT.x, 0, W - ATT.x - 4, 24); c.clip();
    label(c, modes, ATT.x + 4, 13, GREEN, 15, 'left');
    const w = modes ? c.measureText(modes).width + 28 : 0;
    label(c, armed, ATT.x + 4 + w, 13, INK, 15, 'left');
    c.restore();
  }
  // The bank scale, fixed to the aircraft.
  function paintBankScale(c) {
    c.translate(CX, CY);
    c.shadowColor = SHADE; c.shadowBlur = 2;
    c.beginPath(); c.arc(0, 0, BANK_R, -Math.PI / 2 - 60 * DEG, -Math.PI / 2 + 60 * DEG);
    c.strokeStyle = INK; c.lineWidth = 1.5; c.stroke();
    for (const a of [10, 20, 30, 45, 60]) {
      for (const side of [-1, 1]) {
        const t = (-90 + side * a) * DEG, len = a === 30 || a === 60 ? 13 : 8;
        if (a === 45) {
          const ux = Math.cos(t), uy = Math.sin(t), vx = -uy, vy = ux, r = BANK_R;
          poly(c, [[ux * r, uy * r], [ux * (r + 8) + vx * 4, uy * (r + 8) + vy * 4],
            [ux * (r + 8) - vx * 4, uy * (r + 8) - vy * 4]], null, INK, 1.5);
        } else {
          const r1 = BANK_R + len;
          line(c, Math.cos(t) * BANK_R, Math.sin(t) * BANK_R, Math.cos(t) * r1, Math.sin(t) * r1, INK, 2);
        }
      }
    }
    poly(c, [[0, -BANK_R - 1], [-7, -BANK_R - 12], [7, -BANK_R - 12]], INK);
  }
  // The aircraft: two wing bars and the centre square, yellow with a black edge.
  function paintAircraft(c) {
    const wing = (d) => [[CX + d * 72, CY - 3], [CX + d * 30, CY - 3], [CX + d * 30, CY + 10], [CX + d * 24, CY + 10],
      [CX + d * 24, CY + 3], [CX + d * 72, CY + 3]];
    poly(c, wing(-1), YELLOW, '#000', 1.5);
    poly(c, wing(1), YELLOW, '#000', 1.5);
    c.fillStyle = '#000'; c.fillRect(CX - 5, CY - 5, 10, 10);
    c.fillStyle = YELLOW; c.fillRect(CX - 3.5, CY - 3.5, 7, 7);
  }
  // The deviation scales: four dots and a centre mark each, shadowed.
  function paintDots(c, vertical) {
    c.shadowColor = 'rgba(0,0,0,0.7)'; c.shadowBlur = 2;
    for (const d of [-2, -1, 1, 2]) {
      const x = vertical ? GS.x : LOC.centreX + d * LOC.pixelsPerDot;
      const y = vertical ? GS.centreY + d * GS.pixelsPerDot : LOC.y;
      c.beginPath(); c.arc(x, y, 3.5, 0, 2 * Math.PI); c.strokeStyle = INK; c.lineWidth = 1.5; c.stroke();
    }
    if (vertical) line(c, GS.x - 9, GS.centreY, GS.x + 9, GS.centreY, INK, 2);
    else line(c, LOC.centreX, LOC.y - 9, LOC.centreX, LOC.y + 9, INK, 2);
  }
  // The deviation diamond about its centre; past full scale it is hollow.
  function paintDiamond(c, hollow) {
    c.shadowColor = 'rgba(0,0,0,0.7)'; c.shadowBlur = 2;
    poly(c, [[0, -8], [8, 0], [0, 8], [-8, 0]], hollow ? null : MAGENTA, MAGENTA, 1.5);
  }
  const paintShape = (shape, fill, stroke, lineWidth) => (c) => {
    if (fill) { c.fillStyle = fill; c.fill(shape); }
    if (stroke) { c.strokeStyle = stroke; c.lineWidth = lineWidth; c.stroke(shape); }
  };

  // Everything painted once for a pixel ratio (the background kept as a canvas, its mode line painted again when
  // the modes change, all of it when the ground speed comes or goes).
  function pictures(dpr) {
    const top = BANK_R + 16, side = Math.ceil((BANK_R + 14) * Math.sin(60 * DEG)) + 6;
    const box = (points) => {
      const xs = points.map((q) => q[0]), ys = points.map((q) => q[1]);
      return picture(dpr, Math.min(...xs) - 2, Math.min(...ys) - 2, Math.max(...xs) + 2, Math.max(...ys) + 2,
        (g) => poly(g, points, '#000', INK, 1.5));
    };
    return {
      dpr, background: null, groundSpeed: null, modes: null,
      bankScale: picture(dpr, CX - side, CY - top - 4, CX + side, CY - (BANK_R - 14) * Math.cos(60 * DEG) + 4,
        paintBankScale),
      aircraft: picture(dpr, CX - 74, CY - 6, CX + 74, CY + 13, paintAircraft),
      localizerScale: picture(dpr, LOC.centreX - 2 * LOC.pixelsPerDot - 10, LOC.y - 14,
        LOC.centreX + 2 * LOC.pixelsPerDot + 10, LOC.y + 14, (g) => paintDots(g, false)),
      glideSlopeScale: picture(dpr, GS.x - 14, GS.centreY - 2 * GS.pixelsPerDot - 10, GS.x + 14,
        GS.centreY + 2 * GS.pixelsPerDot + 10, (g) => paintDots(g, true)),
      speedBox: box([[6, CY - 14], [58, CY - 14], [58, CY - 6], [66, CY], [58, CY + 6], [58, CY + 14], [6, CY + 14]]),
      altitudeBox: box([[ALT.x - 8, CY], [ALT.x, CY - 6], [ALT.x, CY - 15], [ALT.x + ALT.width + 4, CY - 15],
        [ALT.x + ALT.width + 4, CY + 15], [ALT.x, CY + 15], [ALT.x, CY + 6]]),
      headingBox: box([[CX - 24, HDG.y - 25], [CX + 24, HDG.y - 25], [CX + 24, HDG.y - 6], [CX + 5, HDG.y - 6],
        [CX, HDG.y], [CX - 5, HDG.y - 6], [CX - 24, HDG.y - 6]]),
      diamond: phased(dpr, 12, (g) => paintDiamond(g, false)),
      hollowDiamond: phased(dpr, 12, (g) => paintDiamond(g, true)),
      bugLeft: phased(dpr, 10, paintShape(BUG_LEFT, MAGENTA, SHADE, 1)),
      bugRight: phased(dpr, 10, paintShape(BUG_RIGHT, MAGENTA, SHADE, 1)),
      bugUp: phased(dpr, 10, paintShape(BUG_UP, MAGENTA, SHADE, 1)),
      radarBug: phased(dpr, 10, paintShape(RADAR_BUG, MAGENTA, '#000', 1)),
      selectedMark: phased(dpr, 10, paintShape(SELECTED_MARK, CYAN, null, 0)),
      courseArrow: phased(dpr, 10, (g) => { g.fillStyle = CYAN; g.fillRect(-1.5, -4, 3, 10); g.fill(COURSE_ARROW); }),
      trackMark: phased(dpr, 7, paintShape(TRACK_MARK, null, GREEN, 1.5)),
      speedScale: tapeStrips(dpr, SPEED_SCALE),
      altitudeScale: tapeStrips(dpr, ALTITUDE_SCALE),
      headingScale: tapeStrips(dpr, HEADING_SCALE),
    };
  }

  // ---- drawing, every frame ------------------------------------------------------------------------------------
  function create(canvas) {
    const c = canvas.getContext('2d');
    const s = read(null);  // the state as drawn, refilled every frame
    let p = null;          // the pictures, for the present pixel ratio
    let dpr = 1, font_ = '', align_ = '';  // the canvas state as last set in this frame: only changes are sent
    const widths = new Map();  // text widths, by font and text
    function width(f, t) {
      const k = f + '|' + t;
      let w = widths.get(k);
      if (w === undefined) {
        if (widths.size > 256) widths.clear();
        if (f !== font_) { c.font = f; font_ = f; }
        w = c.measureText(t).width;
        widths.set(k, w);
      }
      return w;
    }
    const scaled = () => c.setTransform(dpr, 0, 0, dpr, 0, 0);
    const device = () => c.setTransform(1, 0, 0, 1, 0, 0);
    function text(t, x, y, colour, f, align) {
      if (f !== font_) { c.font = f; font_ = f; }
      if (align !== align_) { c.textAlign = align; align_ = align; }
      c.fillStyle = colour;
      c.fillText(t, x, y);
    }
    function blit(pic) { c.drawImage(pic.image, pic.x, pic.y); }
    // Saves the state and clips to the rectangle; the caller restores, after which the font and alignment are
    // those of the save.
    function clipRect(x, y, w, h) { c.save(); c.beginPath(); c.rect(x, y, w, h); c.clip(); }
    function restore() { c.restore(); font_ = ''; align_ = ''; }

    // ---- attitude --------------------------------------------------------------------------------------------
    // Where a ladder item of `reach` pixels about (x, y) (shadow included) stands against the ladder's clip: 0 clear
    // of it, 1 wholly inside, 2 across its edge.
    function against(x, y, reach) {
      const d = Math.hypot(x - CX, y - CY), L = LADDER;
      if (d - reach >= L.radius || x + reach <= L.x || x - reach >= L.x + L.width || y + reach <= L.y ||
        y - reach >= L.y + L.height) return 0;
      if (d + reach <= L.radius && x - reach >= L.x && x + reach <= L.x + L.width && y - reach >= L.y &&
        y + reach <= L.y + L.height) return 1;
      return 2;
    }
    // Saves the state and clips to the ladder's clip within the box x0..x1, y0..y1: a small clip is quicker made.
    function ladderClip(bx0, by0, bx1, by1) {
      const L = LADDER;
      const x0 = Math.max(L.x, Math.floor(bx0)), x1 = Math.min(L.x + L.width, Math.ceil(bx1));
      const y0 = Math.max(L.y, Math.floor(by0)), y1 = Math.min(L.y + L.height, Math.ceil(by1));
      scaled();
      c.save();
      c.beginPath(); c.rect(x0, y0, x1 - x0, y1 - y0); c.clip();
      c.beginPath(); c.arc(CX, CY, L.radius, 0, 2 * Math.PI); c.clip();
    }
    const LINE_REACH = 4, LABEL_REACH = 13;  // half a rung line's width or a label's diagonal, and the shadow

    function attitude() {
      const turn = -s.bank * DEG, cos = Math.cos(turn), sin = Math.sin(turn), off = s.pitch * PPD;
      const ox = CX - off * sin, oy = CY + off * cos;  // the foot of the horizon
      // The sky is the background's; the ground and the horizon line are cut to the sphere's rounded box.
      turnedRect(-1500, 0, 1500, 1500, ox, oy, cos, sin);
      fillInSphere(c, 4, GROUND);
      turnedRect(-1500, -1, 1500, 1, ox, oy, cos, sin);
      fillInSphere(c, 4, INK);

      // The pitch ladder, clipped to the middle of the sphere so it stays clear of the scales. What the clip leaves
      // whole is drawn without it; what it cuts is drawn after, within one clip made no larger than that needs.
      // Only rungs near enough to the centre to show are looked at. The labels are drawn upright in the ladder
      // turned to the nearest degree (a label's glyphs move less than a tenth of a pixel for it), so that the
      // browser can keep its glyphs, shadowed, from frame to frame.
      c.shadowColor = SHADE; c.shadowBlur = 2;
      c.strokeStyle = INK; c.lineWidth = 1.5; c.fillStyle = INK;
      c.font = F12; font_ = F12; c.textAlign = 'center'; align_ = 'center';
      const first = Math.max(-90, Math.ceil((s.pitch - 17) / 5) * 5), last = Math.min(90, s.pitch + 17);
      const qt = Math.round(turn / DEG) * DEG, qc = dpr * Math.cos(qt), qs = dpr * Math.sin(qt);
      let cx0 = Infinity, cy0 = Infinity, cx1 = -Infinity, cy1 = -Infinity;  // what the clip must cover
      for (let pass = 1; pass <= 2; pass++) {
        if (pass === 2) {
          if (cx0 > cx1) break;
          ladderClip(cx0, cy0, cx1, cy1);
        }
        for (let q = first; q <= last; q += 5) {
          if (q === 0) continue;
          const y = -q * PPD, half = q % 10 === 0 ? 38 : 18;
          const mx = ox - y * sin, my = oy + y * cos;  // the middle of the rung
          const where = against(mx - half * cos, my - half * sin, LINE_REACH) === 1 &&
            against(mx + half * cos, my + half * sin, LINE_REACH) === 1 ? 1 : against(mx, my, half + LINE_REACH);
          if (pass === 1 && where === 1) {
            c.setTransform(dpr * cos, dpr * sin, -dpr * sin, dpr * cos, dpr * mx, dpr * my);
            c.beginPath(); c.moveTo(-half, 0); c.lineTo(half, 0); c.stroke();
          } else if (pass === 1 && where === 2) {  // the line as the part of its outline inside the clip
            scaled();
            turnedRect(-half, -0.75, half, 0.75, mx, my, cos, sin);
            fillWithin(c, 4, LADDER.x, LADDER.y, LADDER.x + LADDER.width, LADDER.y + LADDER.height, LADDER_RING, INK);
          }
          if (q % 10 !== 0) continue;
          const t = LABELS[Math.abs(q) / 10];
          for (let u = -51; u <= 51; u += 102) {
            const lx = ox + u * cos - y * sin, ly = oy + u * sin + y * cos, at = against(lx, ly, LABEL_REACH);
            if (at === pass) {
              c.setTransform(qc, qs, -qs, qc, dpr * lx, dpr * ly);
              c.fillText(t, 0, 0);
            } else if (at === 2) {
              cx0 = Math.min(cx0, lx - LABEL_REACH); cy0 = Math.min(cy0, ly - LABEL_REACH);
              cx1 = Math.max(cx1, lx + LABEL_REACH); cy1 = Math.max(cy1, ly + LABEL_REACH);
            }
          }
        }
        if (pass === 2) c.restore();
      }

      device();
      c.shadowBlur = 0; c.shadowColor = NONE;
      blit(p.bankScale); blit(p.aircraft);
      // The bank pointer turns with the sky.
      c.setTransform(dpr * cos, dpr * sin, -dpr * sin, dpr * cos, dpr * CX, dpr * CY);
      c.shadowColor = SHADE; c.shadowBlur = 2;
      c.fillStyle = Math.abs(s.bank) > 45 ? AMBER : INK; c.fill(BANK_POINTER);
      c.shadowBlur = 0; c.shadowColor = NONE;
    }

    // The localizer (horizontal, below the centre) and glide slope (vertical, right of the centre) scales.
    function deviation() {
      device();
      if (s.localizer !== null) {
        blit(p.localizerScale);
        (Math.abs(s.localizer) > 2.2 ? p.hollowDiamond : p.diamond)(c, atLocalizer(s), LOC.y);
      }
      if (s.glideSlope !== null) {
        blit(p.glideSlopeScale);
        (Math.abs(s.glideSlope) > 2.2 ? p.hollowDiamond : p.diamond)(c, GS.x, atGlideSlope(s));
      }
      scaled();
    }

    function radarHeight() {
      if (!(s.radar < 2500)) return;
      const t = 'RA ' + whole(s.radar), w = width(F15, t) + 14;
      c.fillStyle = 'rgba(0,0,0,0.75)'; c.fillRect(CX - w / 2, 288, w, 22);
      text(t, CX, 299.5, s.refs.radar !== null && s.radar < s.refs.radar - 20 ? AMBER : INK, F15, 'center');
    }

    // ---- tapes -----------------------------------------------------------------------------------------------
    const onTape = (T, y) => clamp(y, T.top + 2, T.bottom - 2);

    function speedTape() {
      const T = SPEED;
      device();
      p.speedScale(c, s.airspeed);
      blit(p.speedBox);
      scaled();
      text(whole(Math.max(0, s.airspeed)), 52, CY + 1, INK, F19, 'right');
      if (s.refs.airspeed !== null) {
        device();
        p.bugLeft(c, T.bugX, onTape(T, atSpeed(s, s.refs.airspeed)));
        scaled();
        text(whole(s.refs.airspeed), T.x + T.width / 2, 35, MAGENTA, F16, 'center');
      }
      if (s.groundSpeed !== null) text(whole(s.groundSpeed), 30, 334, INK, F14, 'left');
    }

    function altitudeTape() {
      const T = ALT, a = s.altitude;
      // The ground under the aircraft, from the radar height, as a hatched band (inside the tape's edge).
      const gy = atAltitude(s, a - s.radar), inner = T.width - 2, bottom = T.bottom - 1;
      if (gy < bottom) {
        const g0 = Math.max(gy, T.top + 1);
        c.fillStyle = 'rgba(122,82,48,0.85)'; c.fillRect(T.x + 1, g0, inner, bottom - g0);
        clipRect(T.x + 1, g0, inner, bottom - g0);
        c.beginPath();
        for (let x = T.x - 300; x < T.x + T.width; x += 8) { c.moveTo(x, gy + 300); c.lineTo(x + 300, gy); }
        c.strokeStyle = 'rgba(255,179,64,0.55)'; c.lineWidth = 1; c.stroke();
        restore();
        const l0 = Math.max(gy - 1, T.top + 1), l1 = Math.min(gy + 1, bottom);
        if (l1 > l0) { c.fillStyle = AMBER; c.fillRect(T.x + 1, l0, inner, l1 - l0); }
      }
      device();
      p.altitudeScale(c, a);
      scaled();
      if (s.refs.selected !== null) {
        device();
        p.selectedMark(c, T.x + T.width, onTape(T, atAltitude(s, s.refs.selected)));
        scaled();
        text(whole(s.refs.selected), T.x + T.width / 2, 35, CYAN, F16, 'center');
      }
      device();
      blit(p.altitudeBox);
      scaled();
      const shown = whole(clamp(a, -99999, 99999)), right = T.x + T.width;
      if (Math.abs(a) >= 1000) {  // thousands large, hundreds smaller, as pilots read them
        const head = shown.slice(0, -3), tail = shown.slice(-3), tw = width(F15, tail);
        text(tail, right, CY + 1.5, INK, F15, 'right');
        text(head, right - tw - 1, CY + 0.5, INK, F19, 'right');
      } else {
        text(shown, right, CY + 1, INK, F19, 'right');
      }
      device();
      if (s.refs.altitude !== null) p.bugRight(c, T.bugX, onTape(T, atAltitude(s, s.refs.altitude)));
      if (s.refs.radar !== null) {  // the radar height reference, as the altitude it means over this ground
        p.radarBug(c, T.bugX, onTape(T, atAltitude(s, a - s.radar + s.refs.radar)));
        scaled();
        text('RH ' + whole(s.refs.radar), CX, 316, MAGENTA, F12, 'center');
      }
      scaled();
    }

    function verticalSpeed() {
      const x = VS.x;
      if (s.refs.vs !== null) { device(); p.bugRight(c, VS.bugX, vsY(s.refs.vs)); scaled(); }
      // The needle: a line 2.5 wide from the pivot, cut at the scale's box.
      const x0 = x + VS.width + 30, y0 = VS.centreY, x1 = x + 12, y1 = vsY(s.climb);
      const len = Math.hypot(x1 - x0, y1 - y0), nx = -(y1 - y0) / len * 1.25, ny = (x1 - x0) / len * 1.25;
      polyA[0] = x0 + nx; polyA[1] = y0 + ny; polyA[2] = x1 + nx; polyA[3] = y1 + ny;
      polyA[4] = x1 - nx; polyA[5] = y1 - ny; polyA[6] = x0 - nx; polyA[7] = y0 - ny;
      fillClipped(c, 4, x, VS_TOP, x + VS.width, VS_BOTTOM, INK);
      if (Math.abs(s.climb) >= 100) {
        const v = whole(clamp(Math.round(s.climb / 10) * 10, -99990, 99990));
        text(v, x + VS.width / 2, s.climb > 0 ? VS_TOP - 9 : VS_BOTTOM + 9, INK, F12, 'center');
      }
    }

    // ---- heading ---------------------------------------------------------------------------------------------
    function heading() {
      const y = HDG.y, left = HDG.x, right = HDG.x + HDG.width;
      device();
      p.headingScale(c, s.heading);
      scaled();
      // The scale holds every label; the display leaves out one more than 45 degrees right of the heading, whose
      // edge would otherwise just show at the strip's right end.
      const beyond = Math.ceil((s.heading + 45) / 10) * 10;
      if (beyond > s.heading + 45) {
        const lx = atHeading(s, beyond) - 11;
        if (lx < right - 1) { c.fillStyle = PANEL; c.fillRect(lx, y + 12, right - 1 - lx, 20); }
      }
      // The selected course: a cyan arrow from the bottom edge; the ground track: a small green diamond under the
      // labels. Either may reach past the strip's ends, which cut it.
      const cx = clamp(atHeading(s, s.refs.course), left + 4, right - 4);
      const tx = s.track === null ? CX : atHeading(s, s.track);
      const track = s.track !== null && Math.abs(tx - CX) < HDG.width / 2;
      const cut = cx - 5 < left + 1 || cx + 5 > right - 1 || (track && (tx - 5 < left + 1 || tx + 5 > right - 1));
      if (cut) clipRect(left + 1, y + 1, HDG.width - 2, H - y - 1);
      device();
      p.courseArrow(c, cx, H - 6);
      if (track) p.trackMark(c, tx, y + 35);
      if (cut) restore();
      device();
      p.bugUp(c, clamp(atHeading(s, s.refs.bug), left + 8, right - 8), HDG.bugY);
      // The current heading in a box above the strip, its pointer touching the strip.
      blit(p.headingBox);
      scaled();
      text(three(s.heading), CX, y - 15, INK, F16, 'center');
      text('HDG ' + three(s.refs.bug), 8, 372, MAGENTA, F14, 'left');
      text('CRS ' + three(s.refs.course), W - 4, 372, CYAN, F14, 'right');
    }

    function size() {
      const ratio = window.devicePixelRatio || 1, bw = Math.round(W * ratio), bh = Math.round(H * ratio);
      if (canvas.width !== bw || canvas.height !== bh) { canvas.width = bw; canvas.height = bh; }
      if (canvas.style.width !== W + 'px') canvas.style.width = W + 'px';
      if (canvas.style.height !== H + 'px') canvas.style.height = H + 'px';
      return ratio;
    }
    function draw(state) {
      dpr = size();
      read(state, s);
      if (!p || p.dpr !== dpr) p = pictures(dpr);
      const modes = s.modes + '\n' + s.armed, groundSpeed = s.groundSpeed !== null;
      if (!p.background || p.groundSpeed !== groundSpeed) {
        const g = (p.background || canvasOf(Math.round(W * dpr), Math.round(H * dpr))).getContext('2d');
        g.setTransform(dpr, 0, 0, dpr, 0, 0);
        paintBackground(g, groundSpeed, s.modes, s.armed);
        p.background = g.canvas; p.groundSpeed = groundSpeed; p.modes = modes;
      } else if (p.modes !== modes) {
        paintModes(p.background.getContext('2d'), s.modes, s.armed);
        p.modes = modes;
      }
      font_ = ''; align_ = '';
      c.textBaseline = 'middle';
      device();
      c.drawImage(p.background, 0, 0);
      scaled();
      attitude();
      deviation();
      radarHeight();
      speedTape();
      altitudeTape();
      verticalSpeed();
      heading();
    }
    size();
    return { draw, geometry };
  }

  return { create };
})();
