// The heading strip: the scale, the selected course arrow, the ground track mark, the heading bug and the readouts.

import { glass } from '../palette.js';
import { atHeading, clamp, CX, F14, F16, H, HDG, three, W } from './layout.js';

const { ink: INK, panel: PANEL, magenta: MAGENTA, cyan: CYAN } = glass;

export function heading(pen) {
  const { c, s, p, text, blit, clipRect, restore, scaled, device } = pen;
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
