// The localizer (horizontal, below the centre) and glide-slope (vertical, right of the centre) deviations.

import { atGlideSlope, atLocalizer, GS, LOC } from './layout.js';

// The localizer (horizontal, below the centre) and glide slope (vertical, right of the centre) scales.
export function deviations(pen) {
  const { c, s, p, blit, scaled, device } = pen;
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
