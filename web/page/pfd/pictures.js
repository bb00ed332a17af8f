// What the flight display paints once per pixel ratio: the background with the tapes' panels, the vertical speed
// scale and the mode line; the bank scale, the aircraft, the deviation scales; the bugs and marks; the tapes' scales.

import { glass } from '../palette.js';
import {
  ALT, ATT, BANK_R, CX, CY, DEG, GS, H, HDG, LOC, SPEED, VS, VS_BOTTOM, VS_TOP, vsY, W,
} from './layout.js';
import { label, line, path, phased, picture, poly, tapeStrips } from './paint.js';

const {
  ink: INK, dim: DIM, back: BACK, panel: PANEL, edge: EDGE, sky: SKY, magenta: MAGENTA, cyan: CYAN, green: GREEN,
  yellow: YELLOW, shade: SHADE,
} = glass;

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
const HEADING_NAMES = { 0: 'N', 90: 'E', 180: 'S', 270: 'W' };
const LABELS = ['0', '10', '20', '30', '40', '50', '60', '70', '80', '90'];  // the pitch ladder's, by tens
const LADDER = { x: CX - 90, y: CY - 120, width: 180, height: 208, radius: BANK_R - 12 };

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
      g.fillStyle = glass.belowZero; g.fillRect(SPEED.x, y0, SPEED.width, end - y0);
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
  c.shadowColor = glass.shadeDeep; c.shadowBlur = 2;
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
  c.shadowColor = glass.shadeDeep; c.shadowBlur = 2;
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

export {
  BUG, bugFacing, BUG_RIGHT, BUG_LEFT, BUG_UP, SELECTED_MARK, RADAR_BUG, COURSE_ARROW, TRACK_MARK, BANK_POINTER,
  HEADING_NAMES, LABELS, LADDER, SPEED_SCALE, ALTITUDE_SCALE, HEADING_SCALE, paintBackground, paintModes,
  paintBankScale, paintAircraft, paintDots, paintDiamond, paintShape, pictures
};
