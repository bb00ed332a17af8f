// The tapes: airspeed with its bug and the ground speed, altitude with the selected altitude, the ground band and
// the radar height bug, the vertical speed needle, and the radar height readout.

import { glass } from '../palette.js';
import {
  ALT, atAltitude, atSpeed, clamp, CX, CY, F12, F14, F15, F16, F19, SPEED, VS, VS_BOTTOM, VS_TOP, vsY, whole,
} from './layout.js';
import { fillClipped, polyA } from './paint.js';

const { ink: INK, magenta: MAGENTA, cyan: CYAN, amber: AMBER } = glass;

export function radarHeight(pen) {
  const { c, s, text, width } = pen;
  if (!(s.radar < 2500)) return;
  const t = 'RA ' + whole(s.radar), w = width(F15, t) + 14;
  c.fillStyle = glass.readoutBack; c.fillRect(CX - w / 2, 288, w, 22);
  text(t, CX, 299.5, s.refs.radar !== null && s.radar < s.refs.radar - 20 ? AMBER : INK, F15, 'center');
}

const onTape = (T, y) => clamp(y, T.top + 2, T.bottom - 2);

export function speedTape(pen) {
  const { c, s, p, text, blit, scaled, device } = pen;
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

export function altitudeTape(pen) {
  const { c, s, p, text, width, blit, clipRect, restore, scaled, device } = pen;
  const T = ALT, a = s.altitude;
  // The ground under the aircraft, from the radar height, as a hatched band (inside the tape's edge).
  const gy = atAltitude(s, a - s.radar), inner = T.width - 2, bottom = T.bottom - 1;
  if (gy < bottom) {
    const g0 = Math.max(gy, T.top + 1);
    c.fillStyle = glass.groundBand; c.fillRect(T.x + 1, g0, inner, bottom - g0);
    clipRect(T.x + 1, g0, inner, bottom - g0);
    c.beginPath();
    for (let x = T.x - 300; x < T.x + T.width; x += 8) { c.moveTo(x, gy + 300); c.lineTo(x + 300, gy); }
    c.strokeStyle = glass.groundHatch; c.lineWidth = 1; c.stroke();
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

export function verticalSpeed(pen) {
  const { c, s, p, text, scaled, device } = pen;
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
