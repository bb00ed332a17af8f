// The attitude: the ground and the horizon cut to the sphere, the pitch ladder, the bank scale and pointer, the
// aircraft symbol.

import { glass } from '../palette.js';
import { CX, CY, DEG, F12, PPD } from './layout.js';
import { fillInSphere, fillWithin, LADDER_RING, turnedRect } from './paint.js';
import { BANK_POINTER, LABELS, LADDER } from './pictures.js';

const { ink: INK, ground: GROUND, amber: AMBER, shade: SHADE, none: NONE } = glass;

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
function ladderClip(pen, bx0, by0, bx1, by1) {
  const { c, scaled } = pen;
  const L = LADDER;
  const x0 = Math.max(L.x, Math.floor(bx0)), x1 = Math.min(L.x + L.width, Math.ceil(bx1));
  const y0 = Math.max(L.y, Math.floor(by0)), y1 = Math.min(L.y + L.height, Math.ceil(by1));
  scaled();
  c.save();
  c.beginPath(); c.rect(x0, y0, x1 - x0, y1 - y0); c.clip();
  c.beginPath(); c.arc(CX, CY, L.radius, 0, 2 * Math.PI); c.clip();
}
const LINE_REACH = 4, LABEL_REACH = 13;  // half a rung line's width or a label's diagonal, and the shadow

export function attitude(pen) {
  const { c, s, p, blit, scaled, device } = pen;
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
  c.font = F12; pen.font_ = F12; c.textAlign = 'center'; pen.align_ = 'center';
  const first = Math.max(-90, Math.ceil((s.pitch - 17) / 5) * 5), last = Math.min(90, s.pitch + 17);
  const qt = Math.round(turn / DEG) * DEG, qc = pen.dpr * Math.cos(qt), qs = pen.dpr * Math.sin(qt);
  let cx0 = Infinity, cy0 = Infinity, cx1 = -Infinity, cy1 = -Infinity;  // what the clip must cover
  for (let pass = 1; pass <= 2; pass++) {
    if (pass === 2) {
      if (cx0 > cx1) break;
      ladderClip(pen, cx0, cy0, cx1, cy1);
    }
    for (let q = first; q <= last; q += 5) {
      if (q === 0) continue;
      const y = -q * PPD, half = q % 10 === 0 ? 38 : 18;
      const mx = ox - y * sin, my = oy + y * cos;  // the middle of the rung
      const where = against(mx - half * cos, my - half * sin, LINE_REACH) === 1 &&
        against(mx + half * cos, my + half * sin, LINE_REACH) === 1 ? 1 : against(mx, my, half + LINE_REACH);
      if (pass === 1 && where === 1) {
        c.setTransform(pen.dpr * cos, pen.dpr * sin, -pen.dpr * sin, pen.dpr * cos, pen.dpr * mx, pen.dpr * my);
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
          c.setTransform(qc, qs, -qs, qc, pen.dpr * lx, pen.dpr * ly);
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
  c.setTransform(pen.dpr * cos, pen.dpr * sin, -pen.dpr * sin, pen.dpr * cos, pen.dpr * CX, pen.dpr * CY);
  c.shadowColor = SHADE; c.shadowBlur = 2;
  c.fillStyle = Math.abs(s.bank) > 45 ? AMBER : INK; c.fill(BANK_POINTER);
  c.shadowBlur = 0; c.shadowColor = NONE;
}
