// Flying by hand: the keyboard and any gamepad move the pilot's controls, and a small canvas shows where they
// are (the pilot's hand) and what the blades get (the hand plus the autopilot's share).
//
// Keys move a control while held and leave it where it is: arrows the cyclic (Up pushes the nose down), Page Up
// and Page Down the collective, Z and X the pedals. T held is the cyclic's force-trim release: while it is down
// the cyclic's trim point follows the hand, and where the hand is when it comes up is the new trim point, the
// one C brings the cyclic back to; the simulator is told, so that the engine's attitude hold takes the attitude
// flown while T is down (as it does by itself while the pilot's hand moves the stick). A gamepad's sticks do the same at a rate that grows with their
// deflection (left stick the cyclic, right stick the pedals across and the collective up and down), so that
// taking hold of a stick never jumps a control away from its trim.

import { page } from './palette.js';

// Full travel per second of a key held, or of a stick held right over. The cyclic is slow: a tenth of its
// travel is already a brisk attitude change in this helicopter.
const TRAVEL_PER_SECOND = { collective: 0.12, pitch: 0.15, roll: 0.15, pedals: 0.3 };
// Shift held with a key moves its control this many times as fast: what the lever's quick movements ask (down at
// once when the engines fail, up in a second for the cushion) and the flare's aft stick, which the slow rates
// above cannot give in time (at 0.12 a second the lever takes 3 s from the cruise to an autorotation's).
const FAST = 4;
// [axis, direction] of each key.
const KEYS = {
  ArrowUp: ['pitch', -1], ArrowDown: ['pitch', 1], ArrowLeft: ['roll', -1], ArrowRight: ['roll', 1],
  PageUp: ['collective', 1], PageDown: ['collective', -1], z: ['pedals', -1], x: ['pedals', 1],
  Z: ['pedals', -1], X: ['pedals', 1],
};
// Gamepad axes of the standard mapping: [axis index, control, direction].
const STICKS = [[0, 'roll', 1], [1, 'pitch', 1], [2, 'pedals', 1], [3, 'collective', -1]];
const DEAD_ZONE = 0.15;
const HELP = 'Arrows: cyclic (Up: nose down) · Page Up/Down: collective · Z/X: pedals · Shift with them: ' + FAST +
  ' times as fast · T held: force-trim release, ' +
  'the cyclic\'s trim moves to the hand · C: cyclic and pedals back to the trim · + and -: the knob last turned · ' +
  'or a gamepad';
// The key that puts the cyclic and the pedals back where the situation trimmed them (the hand's offset gone).
const CENTRE_KEYS = ['c', 'C'];
// The cyclic's force-trim release, held.
const TRIM_RELEASE_KEYS = ['t', 'T'];
const CYCLIC = ['pitch', 'roll'];

// `move(axis, value)` puts a control; `axes` are the core's controls [{name, low, high}]; `release(held)` tells the
// simulator whether the force-trim release is held (the attitude hold takes the attitude flown while it is).
function create(canvas, axes, move, release = () => {}) {
  const held = new Map();  // key -> [axis, direction]
  let fast = false;        // Shift is down
  let gamepadName = '';
  const typing = (target) => target instanceof HTMLElement &&
    (target.tagName === 'INPUT' || target.tagName === 'TEXTAREA' || target.tagName === 'SELECT' || target.isContentEditable);
  // Where the situation trimmed the controls, by axis name: the cyclic and the pedals go back there on the centre key.
  let trim = null;
  let released = false;  // the force-trim release held: the cyclic's trim follows the hand
  let last = null;       // the reading the controls were last moved or drawn from
  const trimToHand = () => {
    if (trim && last) CYCLIC.forEach((axis) => { trim[axis] = last.controls[axes.findIndex((a) => a.name === axis)]; });
  };
  window.addEventListener('keydown', (event) => {
    fast = event.shiftKey;
    if (TRIM_RELEASE_KEYS.includes(event.key) && !typing(event.target) && !event.ctrlKey && !event.metaKey && !event.altKey) {
      event.preventDefault();
      if (!released) release(true);
      released = true;
      return;
    }
    if (CENTRE_KEYS.includes(event.key) && !typing(event.target) && !event.ctrlKey && !event.metaKey && !event.altKey) {
      event.preventDefault();
      if (trim) for (const axis of ['pitch', 'roll', 'pedals']) if (axis in trim) move(axis, trim[axis]);
      return;
    }
    const binding = KEYS[event.key];
    if (!binding || typing(event.target) || event.ctrlKey || event.metaKey || event.altKey) return;
    held.set(event.key.toLowerCase(), binding);
    event.preventDefault();
  });
  const endRelease = () => { if (released) { trimToHand(); released = false; release(false); } };
  window.addEventListener('keyup', (event) => {
    fast = event.shiftKey;
    if (TRIM_RELEASE_KEYS.includes(event.key)) endRelease();
    held.delete(event.key.toLowerCase());
  });
  window.addEventListener('blur', () => { endRelease(); held.clear(); fast = false; });

  // How far each control moves in `seconds` of the pilot's time.
  function rates() {
    const rate = { collective: 0, pitch: 0, roll: 0, pedals: 0 };
    for (const [axis, direction] of held.values()) rate[axis] += direction * (fast ? FAST : 1);
    gamepadName = '';
    const pads = typeof navigator.getGamepads === 'function' ? navigator.getGamepads() : [];
    for (const pad of pads || []) {
      if (!pad || !pad.connected || !pad.axes || typeof pad.axes.length !== 'number') continue;
      gamepadName = String(pad.id || 'gamepad').slice(0, 40);
      for (const [index, axis, direction] of STICKS) {
        const v = Number(pad.axes[index]);
        if (!Number.isFinite(v) || Math.abs(v) < DEAD_ZONE) continue;
        rate[axis] += direction * Math.sign(v) * (Math.min(1, Math.abs(v)) - DEAD_ZONE) / (1 - DEAD_ZONE);
      }
      break;  // the first gamepad flies
    }
    return rate;
  }

  // Moves the controls for `seconds` of the pilot's time from where `reading` has them.
  function tick(seconds, reading) {
    last = reading;
    if (released) trimToHand();
    if (!(seconds > 0)) return;
    const rate = rates();
    axes.forEach((a, i) => {
      if (rate[a.name] === 0) return;
      const from = reading.controls[i];
      const to = Math.min(a.high, Math.max(a.low, from + rate[a.name] * TRAVEL_PER_SECOND[a.name] * Math.min(seconds, 0.25)));
      if (to !== from) move(a.name, to);
    });
  }

  // ---- the picture: the cyclic's square, the pedals' bar under it, the collective's bar beside it ----------
  const c = canvas.getContext('2d');
  const W = canvas.width, H = canvas.height;
  let drawn = '';
  function draw(reading) {
    last = reading;
    if (released) trimToHand();
    const key = reading.controls.join() + reading.blades.join() + [...held.keys()].join() + fast + gamepadName +
      (trim ? trim.pitch + ',' + trim.roll : '') + released;
    if (key === drawn) return;
    drawn = key;
    const at = (name) => axes.findIndex((a) => a.name === name);
    const pilot = (name) => reading.controls[at(name)];
    const blade = (name) => reading.blades[at(name)];
    c.fillStyle = page.field;
    c.fillRect(0, 0, W, H);
    c.font = '11px system-ui, sans-serif';
    c.textBaseline = 'top';
    const box = { x: 10, y: 18, size: H - 48 };
    c.strokeStyle = page.controlEdge;
    c.strokeRect(box.x, box.y, box.size, box.size);
    c.beginPath();
    c.moveTo(box.x + box.size / 2, box.y);
    c.lineTo(box.x + box.size / 2, box.y + box.size);
    c.moveTo(box.x, box.y + box.size / 2);
    c.lineTo(box.x + box.size, box.y + box.size / 2);
    c.stroke();
    c.fillStyle = page.dim;
    c.fillText('cyclic', box.x, 3);
    // Aft (+) is down on the picture, as the stick comes back toward the pilot.
    const dot = (roll, pitch, style, r) => {
      c.fillStyle = style;
      c.beginPath();
      c.arc(box.x + (roll + 1) / 2 * box.size, box.y + (pitch + 1) / 2 * box.size, r, 0, 2 * Math.PI);
      c.fill();
    };
    // The cyclic's trim point: a cross, lit while the force-trim release is held.
    if (trim) {
      const tx = box.x + (trim.roll + 1) / 2 * box.size, ty = box.y + (trim.pitch + 1) / 2 * box.size;
      c.strokeStyle = released ? page.lit : page.dim;
      c.beginPath();
      c.moveTo(tx - 5, ty);
      c.lineTo(tx + 5, ty);
      c.moveTo(tx, ty - 5);
      c.lineTo(tx, ty + 5);
      c.stroke();
      c.strokeStyle = page.controlEdge;
    }
    dot(blade('roll'), blade('pitch'), page.good, 5);
    dot(pilot('roll'), pilot('pitch'), page.ink, 3);

    const bar = (x, y, w, h, low, value, vertical, style) => {
      const f = (Math.min(1, Math.max(low, value)) - low) / (1 - low);
      c.fillStyle = style;
      if (vertical) c.fillRect(x, y + h - f * h - 1.5, w, 3);
      else c.fillRect(x + f * w - 1.5, y, 3, h);
    };
    const pedals = { x: box.x, y: box.y + box.size + 8, w: box.size, h: 12 };
    c.strokeRect(pedals.x, pedals.y, pedals.w, pedals.h);
    bar(pedals.x, pedals.y, pedals.w, pedals.h, -1, blade('pedals'), false, page.good);
    bar(pedals.x, pedals.y + 3, pedals.w, pedals.h - 6, -1, pilot('pedals'), false, page.ink);
    c.fillStyle = page.dim;
    c.fillText('pedals', pedals.x + pedals.w + 6, pedals.y);
    const lever = { x: box.x + box.size + 60, y: box.y, w: 14, h: box.size };
    c.strokeRect(lever.x, lever.y, lever.w, lever.h);
    bar(lever.x, lever.y, lever.w, lever.h, 0, blade('collective'), true, page.good);
    bar(lever.x + 3, lever.y, lever.w - 6, lever.h, 0, pilot('collective'), true, page.ink);
    c.fillStyle = page.dim;
    c.fillText('collective', lever.x - 14, 3);

    const x = lever.x + 40;
    const lines = [
      ['hand', page.ink], ['blades (hand + autopilot)', page.good],
      ['collective ' + pilot('collective').toFixed(2) + '  pitch ' + pilot('pitch').toFixed(2), page.ink],
      ['roll ' + pilot('roll').toFixed(2) + '  pedals ' + pilot('pedals').toFixed(2), page.ink],
      [gamepadName ? 'gamepad: ' + gamepadName : 'no gamepad', page.dim],
      [(released ? 'force-trim release ' : '') + (held.size ? 'keys: ' + (fast ? 'shift ' : '') + [...held.keys()].join(' ') : ''),
        page.lit],
    ];
    lines.forEach(([text, style], i) => {
      c.fillStyle = style;
      c.fillText(text, x, 6 + i * 15);
    });
  }

  // Takes the controls of `reading` as the trim point (after a situation placed the aircraft, trimmed).
  function trimmedAt(reading) {
    trim = Object.fromEntries(axes.map((a, i) => [a.name, reading.controls[i]]));
  }

  return { tick, draw, trimmedAt, help: HELP, holding: () => held.size > 0,
    // The trim point C brings the controls back to ({pitch, roll, pedals, collective}), and whether the force-trim
    // release is held.
    trim: () => (trim ? { ...trim } : null), trimReleased: () => released };
}


export { create, KEYS, TRAVEL_PER_SECOND, FAST };
