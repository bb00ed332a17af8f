// The power gauges a helicopter pilot flies by: the torque, in percent of the transmission's rating, with a thin
// needle for each engine's (in percent of its share), and the rotor speed, in percent of its nominal speed, as
// round dials with a readout. Each dial marks the limits the flight model names (the core's info.power) as red
// radials: the take-off torque, and the rotor speed's low and high cautions; a figure past them is red. The torque
// dial's amber arc is the take-off range, from the engines' maximum continuous torque up to the take-off rating,
// which an engine may give for minutes only (the caution range of an instrument's markings, FAA-H-8083-21B,
// ch. 5). Drawn anew only when a shown figure changes.

import { glass } from './palette.js';

// The dials' scales, percent: where the needle starts and ends, and a tick every TICK, a figure every FIGURE.
const TORQUE_SCALE = { from: 0, to: 120 };
const ROTOR_SCALE = { from: 0, to: 120 };
const TICK = 10, FIGURE = 20;
// The needle sweeps 270 degrees, from the lower left (the scale's start) clockwise to the lower right.
const SWEEP = 1.5 * Math.PI, START = 0.75 * Math.PI;

// `marks`: the core's info.power ({take_off_torque, continuous_torque, low_rotor, high_rotor}).
function create(canvas, marks) {
  const c = canvas.getContext('2d');
  const W = canvas.width, H = canvas.height;
  const radius = Math.min(H / 2 - 6, W / 4 - 20);
  const dials = [
    { name: 'TQ', unit: '%', scale: TORQUE_SCALE, x: W / 4, limits: [marks.take_off_torque],
      caution: [marks.continuous_torque, marks.take_off_torque], inside: (v) => v <= marks.take_off_torque },
    { name: 'NR', unit: '%', scale: ROTOR_SCALE, x: (3 * W) / 4, limits: [marks.low_rotor, marks.high_rotor],
      inside: (v) => v >= marks.low_rotor && v <= marks.high_rotor },
  ];
  const angle = (scale, v) => START + SWEEP * (Math.min(scale.to, Math.max(scale.from, v)) - scale.from) / (scale.to - scale.from);

  // What never moves, drawn once: each dial's arc, ticks, figures, limit marks and name.
  const face = document.createElement('canvas');
  face.width = W;
  face.height = H;
  (function drawFace(f) {
    f.fillStyle = glass.back;
    f.fillRect(0, 0, W, H);
    for (const d of dials) {
      const cx = d.x, cy = H / 2;
      f.strokeStyle = glass.edge;
      f.lineWidth = 2;
      f.beginPath();
      f.arc(cx, cy, radius, START, START + SWEEP);
      f.stroke();
      f.fillStyle = glass.ink;
      f.strokeStyle = glass.ink;
      f.font = '10px system-ui, sans-serif';
      f.textAlign = 'center';
      f.textBaseline = 'middle';
      for (let v = d.scale.from; v <= d.scale.to; v += TICK) {
        const a = angle(d.scale, v), long = v % FIGURE === 0, inner = radius - (long ? 8 : 5);
        f.lineWidth = long ? 2 : 1;
        f.beginPath();
        f.moveTo(cx + Math.cos(a) * radius, cy + Math.sin(a) * radius);
        f.lineTo(cx + Math.cos(a) * inner, cy + Math.sin(a) * inner);
        f.stroke();
        if (long) f.fillText(String(v), cx + Math.cos(a) * (radius - 17), cy + Math.sin(a) * (radius - 17));
      }
      if (d.caution) {
        f.strokeStyle = glass.amber;
        f.lineWidth = 4;
        f.beginPath();
        f.arc(cx, cy, radius - 3, angle(d.scale, d.caution[0]), angle(d.scale, d.caution[1]));
        f.stroke();
      }
      f.strokeStyle = glass.red;
      f.lineWidth = 3;
      for (const limit of d.limits) {
        const a = angle(d.scale, limit);
        f.beginPath();
        f.moveTo(cx + Math.cos(a) * (radius + 4), cy + Math.sin(a) * (radius + 4));
        f.lineTo(cx + Math.cos(a) * (radius - 10), cy + Math.sin(a) * (radius - 10));
        f.stroke();
      }
      // The name in the gap the sweep leaves at the bottom, the figure under it (drawn with the needle).
      f.fillStyle = glass.dim;
      f.font = '11px system-ui, sans-serif';
      f.fillText(d.name + ' ' + d.unit, cx, cy + radius * 0.42);
    }
  })(face.getContext('2d'));

  // An engine's thin needle on the torque dial, its number near the tip.
  function engineNeedle(d, value, number) {
    if (!Number.isFinite(value)) return;
    const cx = d.x, cy = H / 2, a = angle(d.scale, value), tip = radius - 16;
    c.strokeStyle = glass.dim;
    c.lineWidth = 1.5;
    c.beginPath();
    c.moveTo(cx, cy);
    c.lineTo(cx + Math.cos(a) * tip, cy + Math.sin(a) * tip);
    c.stroke();
    c.fillStyle = glass.dim;
    c.font = '9px system-ui, sans-serif';
    c.textAlign = 'center';
    c.textBaseline = 'middle';
    c.fillText(String(number), cx + Math.cos(a) * (tip - 9), cy + Math.sin(a) * (tip - 9));
  }
  // A dial's needle and figure at `value`.
  function needle(d, value) {
    const cx = d.x, cy = H / 2;
    const over = Number.isFinite(value) && !d.inside(value);
    if (Number.isFinite(value)) {
      const a = angle(d.scale, value);
      c.strokeStyle = over ? glass.red : glass.ink;
      c.lineWidth = 3;
      c.beginPath();
      c.moveTo(cx, cy);
      c.lineTo(cx + Math.cos(a) * (radius - 6), cy + Math.sin(a) * (radius - 6));
      c.stroke();
    }
    c.fillStyle = glass.edge;
    c.beginPath();
    c.arc(cx, cy, 4, 0, 2 * Math.PI);
    c.fill();
    c.font = 'bold 16px ui-monospace, "DejaVu Sans Mono", monospace';
    c.textAlign = 'center';
    c.textBaseline = 'middle';
    c.fillStyle = over ? glass.red : glass.ink;
    c.fillText(Number.isFinite(value) ? value.toFixed(0) : '---', cx, cy + radius * 0.78);
  }

  let drawn = '';
  // The dials as `reading` has them: {torque, rotor_speed, engine_1_torque, engine_2_torque}, percent. What each
  // last showed: shown().
  const figure = (v) => (Number.isFinite(v) ? v : NaN);
  let figures = { torque: NaN, rotor_speed: NaN, engine_1_torque: NaN, engine_2_torque: NaN };
  function draw(reading) {
    const now = { torque: figure(reading.torque), rotor_speed: figure(reading.rotor_speed),
      engine_1_torque: figure(reading.engine_1_torque), engine_2_torque: figure(reading.engine_2_torque) };
    const key = Object.values(now).map((v) => Math.round(v * 2)).join('|');
    if (key === drawn) return;
    drawn = key;
    figures = now;
    c.drawImage(face, 0, 0);
    engineNeedle(dials[0], now.engine_1_torque, 1);
    engineNeedle(dials[0], now.engine_2_torque, 2);
    needle(dials[0], now.torque);
    needle(dials[1], now.rotor_speed);
  }

  return { draw, shown: () => ({ ...figures }), dials: dials.map((d) => ({ name: d.name, limits: d.limits.slice(),
    ...(d.caution ? { caution: d.caution.slice() } : {}) })) };
}


export { create, TORQUE_SCALE };
