// The pen a frame of the flight display draws with: the canvas, the state as drawn, the pictures for the present
// pixel ratio, and the canvas state as last set in this frame (font and alignment), so that only changes go to
// the canvas. Each part of the display (attitude, deviations, tapes, heading) draws with it.

import { read } from './layout.js';

export function createPen(canvas) {
  const c = canvas.getContext('2d');
  const widths = new Map();  // text widths, by font and text
  const pen = {
    c,
    s: read(null),  // the state as drawn, refilled every frame
    p: null,        // the pictures, for the present pixel ratio
    dpr: 1,
    font_: '',
    align_: '',
    width(f, t) {
      const k = f + '|' + t;
      let w = widths.get(k);
      if (w === undefined) {
        if (widths.size > 256) widths.clear();
        if (f !== pen.font_) { c.font = f; pen.font_ = f; }
        w = c.measureText(t).width;
        widths.set(k, w);
      }
      return w;
    },
    // The canvas in CSS pixels, or in device pixels (where the pictures are copied by whole pixels).
    scaled: () => c.setTransform(pen.dpr, 0, 0, pen.dpr, 0, 0),
    device: () => c.setTransform(1, 0, 0, 1, 0, 0),
    text(t, x, y, colour, f, align) {
      if (f !== pen.font_) { c.font = f; pen.font_ = f; }
      if (align !== pen.align_) { c.textAlign = align; pen.align_ = align; }
      c.fillStyle = colour;
      c.fillText(t, x, y);
    },
    blit: (pic) => c.drawImage(pic.image, pic.x, pic.y),
    // Saves the state and clips to the rectangle; the caller restores, after which the font and alignment are
    // those of the save.
    clipRect(x, y, w, h) { c.save(); c.beginPath(); c.rect(x, y, w, h); c.clip(); },
    restore() { c.restore(); pen.font_ = ''; pen.align_ = ''; },
  };
  return pen;
}
