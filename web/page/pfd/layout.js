// The flight display's layout in CSS pixels, its fonts, and the state as drawn: what every part reads. The
// geometry is offered to scripts and tests, so that they can find where the display puts a value.

const W = 480, H = 400, DEG = Math.PI / 180;
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
const VS_TOP = VS.centreY - VS.halfHeight - 8, VS_BOTTOM = VS.centreY + VS.halfHeight + 8;

export {
  W, H, DEG, CX, CY, PPD, ATT, BANK_R, SPEED, ALT, VS, HDG, LOC, GS, font, F11, F12, F13, F14, F15, F16, F19,
  finite, maybe, clamp, whole, three, wrap360, wrap180, read, atSpeed, atAltitude, atHeading, atLocalizer,
  atGlideSlope, vsY, horizonPoint, geometry, VS_TOP, VS_BOTTOM
};
