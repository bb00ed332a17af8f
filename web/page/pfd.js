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
    o.airspeed = clamp(finite(s.airspeed), -999, 9999); o.altitude = big(s.altitude); o.radar = big(s.radar_height, 1e6);
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

  // ---- painting helpers, for the pictures painted once ---------------------------------------------------------
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
  // shape facing right to one facing left (pi), below (pi / 2) or above (-pi / 2).
  const BUG = [[-3, -8], [7, -8], [7, -3], [2, 0], [7, 3], [7, 8], [-3, 8]];
  const bugFacing = (turn) => path(BUG.map(([x, y]) => [x * Math.cos(turn) - y * Math.sin(turn),
    x * Math.sin(turn) + y * Math.cos(turn)]));
  const BUG_RIGHT = bugFacing(0), BUG_LEFT = bugFacing(Math.PI), BUG_UP = bugFacing(-Math.PI / 2);

  // Fixed shapes, in their own coordinates where they move by translation, else in the display's.
  const SPEED_BOX = path([[6, CY - 14], [58, CY - 14], [58, CY - 6], [66, CY], [58, CY + 6], [58, CY + 14], [6, CY + 14]]);
  const ALT_BOX = path([[ALT.x - 8, CY], [ALT.x, CY - 6], [ALT.x, CY - 15], [ALT.x + ALT.width + 4, CY - 15],
    [ALT.x + ALT.width + 4, CY + 15], [ALT.x, CY + 15], [ALT.x, CY + 6]]);
  const HDG_BOX = path([[CX - 24, HDG.y - 25], [CX + 24, HDG.y - 25], [CX + 24, HDG.y - 6], [CX + 5, HDG.y - 6],
    [CX, HDG.y], [CX - 5, HDG.y - 6], [CX - 24, HDG.y - 6]]);
  const SELECTED_MARK = path([[-1, -7], [-1, 7], [-8, 7], [-8, 2], [-4, 0], [-8, -2], [-8, -7]]);  // from the tape's right
  const RADAR_BUG = path([[-3, -7], [7, 0], [-3, 7]]);
  const COURSE_ARROW = path([[0, H - 16], [-5, H - 9], [5, H - 9]]);
  const TRACK_MARK = path([[0, 30], [4, 35], [0, 40], [-4, 35]]);  // from the top of the heading strip
  const BANK_POINTER = path([[0, -BANK_R + 2], [-8, -BANK_R + 14], [8, -BANK_R + 14]]);
  const VS_TOP = VS.centreY - VS.halfHeight - 8, VS_BOTTOM = VS.centreY + VS.halfHeight + 8;
  const HEADING_NAMES = { 0: 'N', 90: 'E', 180: 'S', 270: 'W' };
  // The pitch ladder's clip, and the plain layer it is drawn into (a little larger, so the shadow at the clip's
  // edges is cast by what lies beyond them, as when drawn in place).
  const LADDER = { x: CX - 90, y: CY - 120, width: 180, height: 208, margin: 4 };

  // Convex polygons (x, y pairs) clipped to an axis-aligned box, in two scratch buffers.
  const polyA = new Float64Array(40), polyB = new Float64Array(40);
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
  // Fills the polygon in polyA (n points) clipped to the box, as one path.
  function fillClipped(c, n, x0, y0, x1, y1, colour) {
    n = cut(polyA, n, polyB, 0, x0, 1); n = cut(polyB, n, polyA, 0, x1, -1);
    n = cut(polyA, n, polyB, 1, y0, 1); n = cut(polyB, n, polyA, 1, y1, -1);
    if (n < 3) return;
    c.beginPath(); c.moveTo(polyA[0], polyA[1]);
    for (let i = 1; i < n; i++) c.lineTo(polyA[2 * i], polyA[2 * i + 1]);
    c.closePath(); c.fillStyle = colour; c.fill();
  }
  // Puts into polyA the rectangle u0..u1, v0..v1 of a frame turned by `turn` about (ox, oy).
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

  // ---- the pictures painted once -----------------------------------------------------------------------------
  // The background: panels of the tapes and the heading strip, and the whole vertical speed scale.
  function paintBackground(c) {
    c.fillStyle = BACK; c.fillRect(0, 0, W, H);
    c.fillStyle = PANEL;
    c.fillRect(SPEED.x, SPEED.top, SPEED.width, SPEED.bottom - SPEED.top);
    c.fillRect(ALT.x, ALT.top, ALT.width, ALT.bottom - ALT.top);
    c.fillRect(HDG.x, HDG.y, HDG.width, H - HDG.y);
    const x = VS.x, top = VS_TOP, bottom = VS_BOTTOM;
    poly(c, [[x, top], [x + 26, top], [x + VS.width, VS.centreY - 40], [x + VS.width, VS.centreY + 40],
      [x + 26, bottom], [x, bottom]], PANEL, EDGE, 1);
    for (const v of [-2000, -1500, -1000, -500, 0, 500, 1000, 1500, 2000]) {
      const y = vsY(v), major = v % 1000 === 0;
      line(c, x + 12, y, x + (major ? 20 : 17), y, v === 0 ? INK : DIM, v === 0 ? 2 : 1.5);
      if (major && v) label(c, String(Math.abs(v / 1000)), x + 6, y, INK, 12);
    }
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
  // What lies outside the sphere's rounded corners: the background, as much as the rounding leaves uncovered.
  function paintCorners(c) {
    c.fillStyle = BACK; c.fillRect(ATT.x, ATT.y, ATT.width, ATT.height);
    c.globalCompositeOperation = 'destination-out';
    c.beginPath(); c.roundRect(ATT.x, ATT.y, ATT.width, ATT.height, 10); c.fillStyle = '#000'; c.fill();
  }
  // The deviation scales: four dots and a centre mark each, shadowed.
  function paintDots(c, vertical) {
    c.shadowColor = 'rgba(0,0,0,0.7)'; c.shadowBlur = 2;
    for (const d of [-2, -1, 1, 2]) {
      const x = vertical ? GS.x : LOC.centreX + d * LOC.pixelsPerDot, y = vertical ? GS.centreY + d * GS.pixelsPerDot : LOC.y;
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
  function paintModes(c, modes, armed) {
    c.fillStyle = '#000'; c.fillRect(0, 0, W, 24);
    c.beginPath(); c.rect(ATT.x, 0, W - ATT.x - 4, 24); c.clip();
    label(c, modes, ATT.x + 4, 13, GREEN, 15, 'left');
    const w = modes ? c.measureText(modes).width + 28 : 0;
    label(c, armed, ATT.x + 4 + w, 13, INK, 15, 'left');
  }

  // Pictures of a shape that moves, by quarter device pixels of its position: painted about its origin when first
  // wanted at that phase.
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

  // Everything painted once for a pixel ratio.
  function pictures(dpr) {
    const lx = Math.floor((LADDER.x - LADDER.margin) * dpr), ly = Math.floor((LADDER.y - LADDER.margin) * dpr);
    const ladder = canvasOf(Math.ceil((LADDER.x + LADDER.width + LADDER.margin) * dpr) - lx,
      Math.ceil((LADDER.y + LADDER.height + LADDER.margin) * dpr) - ly);
    const top = BANK_R + 16, side = Math.ceil((BANK_R + 14) * Math.sin(60 * DEG)) + 6;
    return {
      dpr,
      background: picture(dpr, 0, 0, W, H, paintBackground),
      bankScale: picture(dpr, CX - side, CY - top - 4, CX + side, CY - (BANK_R - 14) * Math.cos(60 * DEG) + 4,
        paintBankScale),
      aircraft: picture(dpr, CX - 74, CY - 6, CX + 74, CY + 13, paintAircraft),
      cornersTop: picture(dpr, ATT.x, ATT.y, ATT.x + ATT.width, ATT.y + 11, paintCorners),
      cornersBottom: picture(dpr, ATT.x, ATT.y + ATT.height - 11, ATT.x + ATT.width, ATT.y + ATT.height, paintCorners),
      localizerScale: picture(dpr, LOC.centreX - 2 * LOC.pixelsPerDot - 10, LOC.y - 14,
        LOC.centreX + 2 * LOC.pixelsPerDot + 10, LOC.y + 14, (g) => paintDots(g, false)),
      glideSlopeScale: picture(dpr, GS.x - 14, GS.centreY - 2 * GS.pixelsPerDot - 10, GS.x + 14,
        GS.centreY + 2 * GS.pixelsPerDot + 10, (g) => paintDots(g, true)),
      diamond: phased(dpr, 12, (g) => paintDiamond(g, false)),
      hollowDiamond: phased(dpr, 12, (g) => paintDiamond(g, true)),
      ladder, ladderContext: ladder.getContext('2d'), ladderX: lx, ladderY: ly,
      modes: null, modesKey: null,
    };
  }

  function create(canvas) {
    const c = canvas.getContext('2d');
    const s = read(null);  // the state as drawn, refilled every frame
    let p = null;          // the pictures, for the present pixel ratio
    const widths = new Map();  // text widths, by font and text
    function width(f, t) {
      const k = f + '|' + t;
      let w = widths.get(k);
      if (w === undefined) {
        if (widths.size > 256) widths.clear();
        c.font = f; font_ = f; w = c.measureText(t).width;
        widths.set(k, w);
      }
      return w;
    }

    // The canvas state as last set in this frame: only changes are sent.
    let dpr = 1, font_ = '', align_ = '';
    const scaled = () => c.setTransform(dpr, 0, 0, dpr, 0, 0);
    const at = (x, y) => c.setTransform(dpr, 0, 0, dpr, x * dpr, y * dpr);
    function text(t, x, y, colour, f, align) {
      if (f !== font_) { c.font = f; font_ = f; }
      if (align !== align_) { c.textAlign = align; align_ = align; }
      c.fillStyle = colour;
      c.fillText(t, x, y);
    }
    function blit(pic) { c.drawImage(pic.image, pic.x, pic.y); }
    function shape(pathAt, fill, stroke, lineWidth) {
      if (fill) { c.fillStyle = fill; c.fill(pathAt); }
      if (stroke) { c.strokeStyle = stroke; c.lineWidth = lineWidth; c.stroke(pathAt); }
    }
    // Saves the state and clips to the rectangle (the caller restores).
    function clipRect(x, y, w, h) { c.save(); c.beginPath(); c.rect(x, y, w, h); c.clip(); }

    // ---- attitude --------------------------------------------------------------------------------------------
    function attitude() {
      const turn = -s.bank * DEG, cos = Math.cos(turn), sin = Math.sin(turn), off = s.pitch * PPD;
      const ox = CX - off * sin, oy = CY + off * cos;  // the foot of the horizon
      const x0 = ATT.x, y0 = ATT.y, x1 = ATT.x + ATT.width, y1 = ATT.y + ATT.height;
      c.fillStyle = SKY; c.fillRect(ATT.x, ATT.y, ATT.width, ATT.height);
      turnedRect(-1500, 0, 1500, 1500, ox, oy, cos, sin);
      fillClipped(c, 4, x0, y0, x1, y1, GROUND);
      turnedRect(-1500, -1, 1500, 1, ox, oy, cos, sin);
      fillClipped(c, 4, x0, y0, x1, y1, INK);

      // The pitch ladder, clipped to the middle of the sphere so it stays clear of the scales; only the rungs
      // near enough to the centre to show are drawn.
      c.save();
      c.beginPath(); c.arc(CX, CY, BANK_R - 12, 0, 2 * Math.PI); c.clip();
      c.beginPath(); c.rect(LADDER.x, LADDER.y, LADDER.width, LADDER.height); c.clip();
      c.setTransform(dpr * cos, dpr * sin, -dpr * sin, dpr * cos, dpr * ox, dpr * oy);
      c.shadowColor = SHADE; c.shadowBlur = 2;
      const first = Math.max(-90, Math.ceil((s.pitch - 17) / 5) * 5), last = Math.min(90, s.pitch + 17);
      c.beginPath();
      for (let q = first; q <= last; q += 5) {
        if (q === 0) continue;
        const y = -q * PPD, half = q % 10 === 0 ? 38 : 18;
        c.moveTo(-half, y); c.lineTo(half, y);
      }
      c.strokeStyle = INK; c.lineWidth = 1.5; c.stroke();
      c.font = F12; c.fillStyle = INK; c.textAlign = 'center';
      for (let q = Math.ceil(first / 10) * 10; q <= last; q += 10) {
        if (q === 0) continue;
        const y = -q * PPD, t = String(Math.abs(q));
        c.fillText(t, -51, y);
        c.fillText(t, 51, y);
      }
      c.restore();

      c.setTransform(1, 0, 0, 1, 0, 0);
      blit(p.cornersTop); blit(p.cornersBottom); blit(p.bankScale); blit(p.aircraft);
      // The bank pointer turns with the sky.
      c.setTransform(dpr * cos, dpr * sin, -dpr * sin, dpr * cos, dpr * CX, dpr * CY);
      c.shadowColor = SHADE; c.shadowBlur = 2;
      c.fillStyle = Math.abs(s.bank) > 45 ? AMBER : INK; c.fill(BANK_POINTER);
      c.shadowBlur = 0; c.shadowColor = NONE;
    }

    // The localizer (horizontal, below the centre) and glide slope (vertical, right of the centre) scales.
    function deviation() {
      if (s.localizer === null && s.glideSlope === null) return;
      c.setTransform(1, 0, 0, 1, 0, 0);
      if (s.localizer !== null) {
        blit(p.localizerScale);
        (Math.abs(s.localizer) > 2.2 ? p.hollowDiamond : p.diamond)(c, atLocalizer(s), LOC.y);
      }
      if (s.glideSlope !== null) {
        blit(p.glideSlopeScale);
        (Math.abs(s.glideSlope) > 2.2 ? p.hollowDiamond : p.diamond)(c, GS.x, atGlideSlope(s));
      }
    }

    function radarHeight() {
      if (!(s.radar < 2500)) return;
      const t = 'RA ' + whole(s.radar), w = width(F15, t) + 14;
      c.fillStyle = 'rgba(0,0,0,0.75)'; c.fillRect(CX - w / 2, 288, w, 22);
      text(t, CX, 299.5, s.refs.radar !== null && s.radar < s.refs.radar - 20 ? AMBER : INK, F15, 'center');
    }

    // ---- tapes -----------------------------------------------------------------------------------------------
    const onTape = (T, y) => clamp(y, T.top + 2, T.bottom - 2);
    function edge(x, y, w, h) { c.strokeStyle = EDGE; c.lineWidth = 1; c.strokeRect(x + 0.5, y + 0.5, w - 1, h - 1); }

    function speedTape() {
      const T = SPEED, v = s.airspeed, right = T.x + T.width;
      clipRect(T.x, T.top, T.width, T.bottom - T.top);
      const first = Math.max(0, Math.floor((v - 45) / 10) * 10);
      c.beginPath();
      for (let k = first; k <= v + 45; k += 10) {
        const y = atSpeed(s, k);
        c.moveTo(right - (k % 20 ? 7 : 11), y); c.lineTo(right, y);
      }
      c.strokeStyle = INK; c.lineWidth = 1.5; c.stroke();
      for (let k = Math.ceil(first / 20) * 20; k <= v + 45; k += 20) text(String(k), right - 15, atSpeed(s, k), INK, F14, 'right');
      if (v < 45) {  // below zero the tape is darker
        const y0 = atSpeed(s, 0);
        c.fillStyle = '#1c1f24'; c.fillRect(T.x, y0, T.width, T.bottom - y0);
      }
      c.restore(); font_ = ''; align_ = '';
      edge(T.x, T.top, T.width, T.bottom - T.top);
      shape(SPEED_BOX, '#000', INK, 1.5);
      text(whole(Math.max(0, s.airspeed)), 52, CY + 1, INK, F19, 'right');
      if (s.refs.airspeed !== null) {
        at(T.bugX, onTape(T, atSpeed(s, s.refs.airspeed)));
        shape(BUG_LEFT, MAGENTA, SHADE, 1);
        scaled();
        text(whole(s.refs.airspeed), T.x + T.width / 2, 35, MAGENTA, F16, 'center');
      }
      if (s.groundSpeed !== null) {
        text('GS', 8, 334, DIM, F12, 'left');
        text(whole(s.groundSpeed), 30, 334, INK, F14, 'left');
      }
    }

    function altitudeTape() {
      const T = ALT, a = s.altitude, left = T.x;
      clipRect(T.x, T.top, T.width, T.bottom - T.top);
      // The ground under the aircraft, from the radar height, as a hatched band.
      const ground = a - s.radar, gy = atAltitude(s, ground);
      if (gy < T.bottom) {
        c.fillStyle = 'rgba(122,82,48,0.85)'; c.fillRect(T.x, gy, T.width, T.bottom - gy + 1);
        c.save(); c.beginPath(); c.rect(T.x, gy, T.width, T.bottom - gy); c.clip();
        c.beginPath();
        for (let x = T.x - 300; x < T.x + T.width; x += 8) { c.moveTo(x, gy + 300); c.lineTo(x + 300, gy); }
        c.strokeStyle = 'rgba(255,179,64,0.55)'; c.lineWidth = 1; c.stroke();
        c.restore();
        c.fillStyle = AMBER; c.fillRect(T.x, gy - 1, T.width, 2);
      }
      const first = Math.floor((a - 460) / 100) * 100;
      c.beginPath();
      for (let f = first; f <= a + 460; f += 100) {
        const y = atAltitude(s, f);
        c.moveTo(left, y); c.lineTo(left + (f % 200 ? 6 : 10), y);
      }
      c.strokeStyle = INK; c.lineWidth = 1.5; c.stroke();
      for (let f = first; f <= a + 460; f += 100) {
        if (f % 200 === 0) text(String(f), T.x + T.width - 4, atAltitude(s, f), INK, F13, 'right');
      }
      c.restore(); font_ = ''; align_ = '';
      edge(T.x, T.top, T.width, T.bottom - T.top);
      if (s.refs.selected !== null) {
        at(T.x + T.width, onTape(T, atAltitude(s, s.refs.selected)));
        shape(SELECTED_MARK, CYAN, null, 0);
        scaled();
        text(whole(s.refs.selected), T.x + T.width / 2, 35, CYAN, F16, 'center');
      }
      shape(ALT_BOX, '#000', INK, 1.5);
      const shown = whole(clamp(a, -99999, 99999)), right = T.x + T.width;
      if (Math.abs(a) >= 1000) {  // thousands large, hundreds smaller, as pilots read them
        const head = shown.slice(0, -3), tail = shown.slice(-3), tw = width(F15, tail);
        text(tail, right, CY + 1.5, INK, F15, 'right');
        text(head, right - tw - 1, CY + 0.5, INK, F19, 'right');
      } else {
        text(shown, right, CY + 1, INK, F19, 'right');
      }
      if (s.refs.altitude !== null) {
        at(T.bugX, onTape(T, atAltitude(s, s.refs.altitude)));
        shape(BUG_RIGHT, MAGENTA, SHADE, 1);
        scaled();
      }
      if (s.refs.radar !== null) {  // the radar height reference, as the altitude it means over this ground
        at(T.bugX, onTape(T, atAltitude(s, a - s.radar + s.refs.radar)));
        shape(RADAR_BUG, MAGENTA, '#000', 1);
        scaled();
        text('RH ' + whole(s.refs.radar), CX, 316, MAGENTA, F12, 'center');
      }
    }

    function verticalSpeed() {
      const x = VS.x;
      if (s.refs.vs !== null) {
        at(VS.bugX, vsY(s.refs.vs));
        shape(BUG_RIGHT, MAGENTA, SHADE, 1);
        scaled();
      }
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
      clipRect(left, y, HDG.width, H - y);
      const first = Math.floor((s.heading - 45) / 5) * 5;
      c.beginPath();
      for (let d = first; d <= s.heading + 45; d += 5) {
        const x = atHeading(s, d), ten = (((d % 360) + 360) % 360) % 10 === 0;
        c.moveTo(x, y); c.lineTo(x, y + (ten ? 10 : 6));
      }
      c.strokeStyle = INK; c.lineWidth = 1.5; c.stroke();
      for (let d = Math.ceil(first / 30) * 30; d <= s.heading + 45; d += 30) {
        const n = ((d % 360) + 360) % 360;
        text(HEADING_NAMES[n] || String(n / 10), atHeading(s, d), y + 22, INK, F15, 'center');
      }
      for (let d = Math.ceil(first / 10) * 10; d <= s.heading + 45; d += 10) {
        const n = ((d % 360) + 360) % 360;
        if (n % 30 !== 0) text(String(n / 10), atHeading(s, d), y + 21, DIM, F11, 'center');
      }
      // The selected course: a cyan arrow from the bottom edge.
      const cx = clamp(atHeading(s, s.refs.course), left + 4, right - 4);
      c.fillStyle = CYAN; c.fillRect(cx - 1.5, H - 10, 3, 10);
      at(cx, 0); c.fill(COURSE_ARROW);
      if (s.track !== null) {  // the ground track: a small green diamond under the labels
        const tx = atHeading(s, s.track);
        if (Math.abs(tx - CX) < HDG.width / 2) { at(tx, y); shape(TRACK_MARK, null, GREEN, 1.5); }
      }
      c.restore(); font_ = ''; align_ = '';
      c.strokeStyle = EDGE; c.lineWidth = 1; c.strokeRect(left + 0.5, y + 0.5, HDG.width - 1, H - y);
      at(clamp(atHeading(s, s.refs.bug), left + 8, right - 8), HDG.bugY);
      shape(BUG_UP, MAGENTA, SHADE, 1);
      scaled();
      // The current heading in a box above the strip, its pointer touching the strip.
      shape(HDG_BOX, '#000', INK, 1.5);
      text(three(s.heading), CX, y - 15, INK, F16, 'center');
      text('HDG ' + three(s.refs.bug), 8, 372, MAGENTA, F14, 'left');
      text('CRS ' + three(s.refs.course), W - 4, 372, CYAN, F14, 'right');
    }

    function modeLine() {
      const key = s.modes + '\n' + s.armed;
      if (p.modesKey !== key) {
        if (p.modes && typeof p.modes.image.close === 'function') p.modes.image.close();
        p.modes = picture(dpr, 0, 0, W, 24, (g) => paintModes(g, s.modes, s.armed));
        p.modesKey = key;
      }
      c.setTransform(1, 0, 0, 1, 0, 0);
      blit(p.modes);
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
      font_ = ''; align_ = '';
      c.textBaseline = 'middle';
      c.setTransform(1, 0, 0, 1, 0, 0);
      blit(p.background);
      scaled();
      attitude();
      deviation();
      scaled();
      radarHeight();
      speedTape();
      altitudeTape();
      verticalSpeed();
      heading();
      modeLine();
    }
    size();
    return { draw, geometry };
  }

  return { create };
})();
