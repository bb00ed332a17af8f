// The primary flight display: attitude with pitch ladder and bank scale (attitude.js), airspeed and altitude tapes,
// vertical speed and radar height (tapes.js), the heading strip (heading.js), localizer and glide-slope deviation
// (deviations.js) and the mode line (pictures.js, with the background). Every call draws from the instrument state
// alone, so a frame that jumps any distance in time draws as well as the next.
//
// It is drawn every animation frame, so what never moves (the background and panels, the vertical speed scale,
// the bank scale, the aircraft, the deviation scales, the rounded corners of the sphere) is painted once per pixel
// ratio into pictures of its own (pictures.js) and copied by whole device pixels; the moving parts are drawn as
// paths and text, with the canvas state changed only where it differs (pen.js). Shadowed parts that move are either
// copied from pictures painted at a quarter-pixel phase (the deviation diamonds) or, for the pitch ladder, drawn
// plain into a layer that is then copied once with the shadow. The only memory between frames is these pictures,
// keyed by what they show.
//
// A new instrument on the display: its layout in layout.js, what it paints once in pictures.js, a part of its own
// drawing with the pen, called from draw() below.

import { attitude } from './attitude.js';
import { deviations } from './deviations.js';
import { heading } from './heading.js';
import { geometry, H, read, W } from './layout.js';
import { canvasOf } from './paint.js';
import { createPen } from './pen.js';
import { paintBackground, paintModes, pictures } from './pictures.js';
import { altitudeTape, radarHeight, speedTape, verticalSpeed } from './tapes.js';

export function create(canvas) {
  const pen = createPen(canvas);
  function size() {
    const ratio = window.devicePixelRatio || 1, bw = Math.round(W * ratio), bh = Math.round(H * ratio);
    if (canvas.width !== bw || canvas.height !== bh) { canvas.width = bw; canvas.height = bh; }
    if (canvas.style.width !== W + 'px') canvas.style.width = W + 'px';
    if (canvas.style.height !== H + 'px') canvas.style.height = H + 'px';
    return ratio;
  }
  function draw(state) {
    const dpr = size(), s = pen.s;
    pen.dpr = dpr;
    read(state, s);
    if (!pen.p || pen.p.dpr !== dpr) pen.p = pictures(dpr);
    const p = pen.p;
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
    pen.font_ = ''; pen.align_ = '';
    const c = pen.c;
    c.textBaseline = 'middle';
    pen.device();
    c.drawImage(p.background, 0, 0);
    pen.scaled();
    attitude(pen);
    deviations(pen);
    radarHeight(pen);
    speedTape(pen);
    altitudeTape(pen);
    verticalSpeed(pen);
    heading(pen);
  }
  size();
  return { draw, geometry };
}
