// Exercises the page checks by itself while the pilot flies: each has a goal, the situation it starts from, and
// a check that reads the flight's samples (readings, four a second of simulated time, with both mode words) and says how
// far the pilot has come. A new situation starts every check anew; an exercise once met stays met until then.

import { READOUT_ROUNDING_FT } from './cues.js';
import { FAST } from './controls.js';

// The tolerances each exercise holds the pilot to.
const ALT_LEAST_CHANGE_FT = 300, ALT_HOLD_FT = 50, ALT_HOLD_S = 20;
const HDG_LEAST_TURN_DEG = 60, HDG_HOLD_DEG = 5, HDG_HOLD_S = 15;
const HOVER_GROUND_SPEED_KT = 2, HOVER_HOLD_S = 30;
const ILS_MOST_DOTS = 1;
// The decision height where the module's panel sets none: the usual height of a precision approach's minimums.
export const DEFAULT_DECISION_HEIGHT_FT = 200;
const GA_CLIMB_FT = 300;
// The autorotation (FAA-H-8083-21B, ch. 11): the rotor's speed kept in the power-off range with the lever, the
// glide near the speed of least power, the flare and the cushion; met once the aircraft stands on the ground,
// whole, for LANDED_S. A rotor let fall below AUTO_LEAST_ROTOR % has lost what the flare needs.
const AUTO_ROTOR_LOW = 90, AUTO_ROTOR_HIGH = 110, AUTO_GLIDE_KT = 65, AUTO_LEAST_ROTOR = 80, LANDED_S = 3;
const ON_GROUND_FT = 0.5;

// A text that may begin with a word of the middle of a sentence, begun as a sentence.
const sentence = (text) => text.charAt(0).toUpperCase() + text.slice(1);
const angle = (a, b) => Math.abs(((a - b) % 360 + 540) % 360 - 180);
// A condition held for `seconds`: true once it has, else `off` while it does not hold, or how long it has.
function held(m, s, holds, seconds, off, doing) {
  if (!holds) { m.held = null; return off; }
  if (m.held === null || m.held === undefined) m.held = s.time;
  return s.time - m.held >= seconds ? true : doing + ' ' + Math.round(s.time - m.held) + ' s';
}

// Each exercise: its goal in the words of the module's face (`face`, face.js), and a check made per start:
// `check(m, s, has, context)` updates its memory `m` from the sample `s` and answers true once met, or the progress
// text. `context` holds the decision height and the trace's sample period.
const LIST = [
  {
    id: 'altitude-acquire', title: 'Arm ALT.A and let it capture', situation: 'cruise',
    // The panel's own order: a push arms ALT.A at the present altitude (rounded to 100 ft), the knob then moves
    // the selected altitude, and a vertical mode flies toward it.
    goal: (f) => (f.stabFollowsModes ? 'Engage ' + f.label('ALT') + ' first (an arm lasts only while a mode is engaged ' +
      'on this panel). Then push ' : f.withStab + 'push ') + f.label('ALTA') + ': it arms at your altitude. Turn the ' +
      f.label('ALTA') + ' knob at least ' + ALT_LEAST_CHANGE_FT + ' ft up or down to the target, then push ' +
      f.label('VS') + ' and set the climb or descent with its knob: the autopilot captures the target and holds it ' +
      'within ' + ALT_HOLD_FT + ' ft for ' + ALT_HOLD_S + ' s.',
    check(m, s, has, { face: f }) {
      if (m.from === undefined) { m.from = m.first.altitude; m.captured = null; m.wasArmed = false; }
      const far = Math.abs(s.refs.selected_altitude - m.from) >= ALT_LEAST_CHANGE_FT;
      if (has(s.armed_word, 'ALT')) {
        m.wasArmed = m.wasArmed || far;
        m.captured = null;
        if (!far) return f.label('ALTA') + ' armed: turn its knob at least ' + ALT_LEAST_CHANGE_FT + ' ft away';
        return has(s.engaged_word, 'VS') ? 'armed: flying toward ' + Math.round(s.refs.selected_altitude) + ' ft'
          : 'armed for ' + Math.round(s.refs.selected_altitude) + ' ft: push ' + f.label('VS') + ' to fly toward it';
      }
      // A capture: ALT engaged on a target armed far enough away.
      if (has(s.engaged_word, 'ALT') && m.wasArmed && far) {
        if (m.captured === null) m.captured = s.time;
        if (Math.abs(s.altitude - s.refs.selected_altitude) > ALT_HOLD_FT) { m.captured = s.time; return 'captured: settling'; }
        return s.time - m.captured >= ALT_HOLD_S ? true : 'captured: holding ' + Math.round(s.time - m.captured) + ' s';
      }
      // Anything else starts the exercise again from here.
      m.from = s.altitude;
      m.wasArmed = false;
      m.captured = null;
      return has(s.engaged_word, 'ALT') ? 'ALT holds your altitude: push ' + f.label('ALTA') + ' to arm a new one' : 'push ' + f.label('ALTA');
    },
  },
  {
    id: 'heading', title: 'Turn to a heading with HDG', situation: 'cruise',
    goal: (f) => f.withStab + 'push ' + f.label('HDG') + ' and turn its knob at least ' + HDG_LEAST_TURN_DEG +
      '° from your heading: the autopilot turns to the bug and holds it within ' + HDG_HOLD_DEG + '° for ' +
      HDG_HOLD_S + ' s.',
    check(m, s, has) {
      if (m.from === undefined) { m.from = m.first.heading; m.turned = false; m.held = null; }
      if (!has(s.engaged_word, 'HDG')) { m.from = s.heading; m.turned = false; m.held = null; return 'engage HDG'; }
      m.turned = m.turned || angle(s.refs.heading_bug, m.from) >= HDG_LEAST_TURN_DEG;
      if (!m.turned) return 'HDG engaged: set the bug at least ' + HDG_LEAST_TURN_DEG + '° away';
      return held(m, s, angle(s.heading, s.refs.heading_bug) <= HDG_HOLD_DEG, HDG_HOLD_S, 'turning', 'on the heading');
    },
  },
  {
    id: 'hover', title: 'Transition down to a hover and hold it', situation: 'cruise',
    goal: (f) => f.withStab + 'set the hover height with the ' + f.label('HOV') + ' knob and push ' + f.label('TDN') +
      (f.stabFollowsModes ? ' (STAB comes on with it)' : '') + ': the autopilot decelerates and descends ' +
      'into a hover (from the cruise it takes about four minutes). Hold it: ground speed under ' +
      HOVER_GROUND_SPEED_KT + ' kt for ' + HOVER_HOLD_S + ' s, as the GS gauge shows.',
    check(m, s, has, { face: f }) {
      m.transition = m.transition || has(s.armed_word, 'TDN') || has(s.engaged_word, 'TDN');
      if (!m.transition) return 'push ' + f.label('TDN');
      if (!has(s.engaged_word, 'HOV')) { m.held = null; return has(s.engaged_word, 'TDN') ? 'transition down' : 'TDN armed'; }
      return held(m, s, s.ground_speed < HOVER_GROUND_SPEED_KT, HOVER_HOLD_S,
        'hover: ' + s.ground_speed.toFixed(1) + ' kt over the ground', 'hovering');
    },
  },
  {
    id: 'ils', title: 'Fly the ILS with the panel’s modes', situation: 'approach',
    goal: (f) => (f.has('APP')
      ? f.withStab + 'arm ' + f.label('APP') + ' and ' + f.label('GS') + ' (' + f.label('ALT') + ' and ' + f.label('IAS') +
        ' help until then)'
      : 'with ' + f.label('ALT') + ' and ' + f.label('IAS') + ' engaged, push ' + f.label('NAV') +
        ' (on the localizer it arms the localizer and the glide slope from the receiver)') +
      ': the localizer and the glide slope capture by themselves. Follow them down to the decision height (' +
      DEFAULT_DECISION_HEIGHT_FT + ' ft radar height) with both needles within ' + ILS_MOST_DOTS +
      ' dot; the autopilot levels off there in ' + f.label('ALT') + ' (the glide-slope needle may then leave). ' +
      'Going around at the decision height counts.',
    check(m, s, has, context) {
      const onLocalizer = has(s.engaged_word, 'LOC');
      const onBoth = onLocalizer && has(s.engaged_word, 'GS');
      // The coupled glide slope ends in a level-off at the decision height: ALT takes over from GS there, LOC
      // staying, and the aircraft leaves the glide path as it levels. The approach goes on down to the height.
      const levelling = m.onBoth && onLocalizer && has(s.engaged_word, 'ALT') && !has(s.engaged_word, 'GS');
      const within = Math.abs(s.localizer) <= ILS_MOST_DOTS && (levelling || Math.abs(s.glide_slope) <= ILS_MOST_DOTS);
      // The sample before the one that reaches the decision height may stand a sample's descent above it: a pilot
      // who goes around as the readout shows the decision height is credited.
      const lead = Math.abs(s.climb_rate) / 60 * context.sampleSeconds + READOUT_ROUNDING_FT;
      if (!onBoth && !levelling) { m.onBoth = false; m.off = false; return 'capture LOC and GS'; }
      if (!m.onBoth) { m.onBoth = true; m.off = false; }
      if (!within) m.off = true;
      if (m.off) return 'off the beams by more than ' + ILS_MOST_DOTS + ' dot: go around and try again';
      return s.radar_height <= context.decisionHeight + lead ? true : 'on the beams, ' + Math.round(s.radar_height) + ' ft';
    },
  },
  {
    id: 'go-around', title: 'Go around', situation: 'approach',
    goal: () => 'On the glide slope (GS engaged), press Go-Around: the autopilot climbs away at its go-around ' +
      'airspeed. Met once GA has climbed ' + GA_CLIMB_FT + ' ft from the lowest point.',
    check(m, s, has) {
      if (m.lowest === undefined) m.lowest = s.altitude;
      if (has(s.engaged_word, 'GS')) { m.onSlope = true; m.lowest = s.altitude; return 'GS engaged: press Go-Around'; }
      if (!m.onSlope) return 'capture the glide slope first';
      if (!has(s.engaged_word, 'GA')) { m.lowest = Math.min(m.lowest, s.altitude); return 'press Go-Around'; }
      m.lowest = Math.min(m.lowest, s.altitude);
      return s.altitude - m.lowest >= GA_CLIMB_FT ? true : 'climbing: ' + Math.round(s.altitude - m.lowest) + ' ft';
    },
  },
  {
    id: 'autorotation', title: 'Autorotate to the ground after both engines fail', situation: 'cruise',
    goal: (f) => 'Fail both engines from the engines menu: a collective mode such as ' + f.label('ALT') +
      ' lets go of the lever. Lower it at once (Shift and Page Down: Shift moves a control ' + FAST + ' times as fast) and ' +
      'keep NR between ' + AUTO_ROTOR_LOW + ' and ' + AUTO_ROTOR_HIGH + ' % with it, gliding at about ' +
      AUTO_GLIDE_KT + ' kt (the nose a little down); at about 130 ft flare (Shift and Down: stick aft), and about ' +
      '25 ft up level the skids (Shift and Up) and raise the lever (Shift and Page Up) together to cushion the ' +
      'touchdown: land and stop without a crash.',
    check(m, s) {
      if (s.crash_cause) return 'crashed: restart and try again';
      if (!m.failed) {
        if (s.engines_out < 2) return 'fail both engines from the engines menu';
        m.failed = true;
        m.lowest = s.rotor_speed;
        m.held = null;
      }
      if (s.engines_out < 2) { m.failed = false; return 'an engine runs again: fail both to autorotate'; }
      if (s.radar_height > ON_GROUND_FT) m.lowest = Math.min(m.lowest, s.rotor_speed);  // landed, it runs down
      if (m.lowest < AUTO_LEAST_ROTOR) {
        return 'NR fell to ' + Math.round(m.lowest) + ' %: lower the lever at once after the failure; restart and try again';
      }
      if (s.radar_height > ON_GROUND_FT) {
        m.held = null;
        return 'autorotating: NR ' + Math.round(s.rotor_speed) + ' %, ' + Math.round(s.airspeed) + ' kt, ' +
          Math.round(Math.max(0, -s.climb_rate)) + ' ft/min down';
      }
      return held(m, s, s.ground_speed < 1, LANDED_S, 'on the ground: stop the slide', 'landed');
    },
  },
];

// `bits`: the core's [[bit, name], ...]; `face`: the module's face (face.js); `list` the element the exercises are
// shown in; `begin(situation)` starts an exercise's situation; `context` {decisionHeight, sampleSeconds}.
function create(bits, face, list, begin, context) {
  const bitOf = new Map(bits.map(([bit, name]) => [name, bit >>> 0]));
  const has = (word, name) => ((word >>> 0) & bitOf.get(name)) !== 0;
  const rows = LIST.map((e) => {
    const item = document.createElement('li');
    item.dataset.exercise = e.id;
    const head = document.createElement('div');
    head.className = 'exercise-head';
    const mark = document.createElement('span');
    mark.className = 'exercise-mark';
    const title = document.createElement('strong');
    title.textContent = e.title;
    const from = document.createElement('button');
    from.className = 'exercise-start';
    from.textContent = 'start in ' + e.situation;
    from.addEventListener('click', () => begin(e.situation));
    head.append(mark, title, from);
    const goal = document.createElement('div');
    goal.className = 'help';
    goal.textContent = sentence(e.goal(face));
    const progress = document.createElement('div');
    progress.className = 'exercise-progress';
    item.append(head, goal, progress);
    list.append(item);
    return { exercise: e, item, mark, progress, memory: {}, met: false, text: '' };
  });
  function show(r) {
    const shown = r.met + r.text;
    if (shown === r.shown) return;
    r.shown = shown;
    r.item.classList.toggle('met', r.met);
    r.mark.textContent = r.met ? '✓' : '○';
    r.progress.textContent = r.met ? 'met' : r.text;
  }
  function restart() {
    for (const r of rows) {
      r.memory = {};
      r.met = false;
      r.text = '';
      show(r);
    }
  }
  function feed(sample) {
    for (const r of rows) {
      if (r.met) continue;
      // What the aircraft did when the check began, for checks that measure from there.
      if (!r.memory.first) r.memory.first = sample;
      const verdict = r.exercise.check(r.memory, sample, has, context);
      r.met = verdict === true;
      r.text = r.met ? '' : verdict;
    }
  }
  restart();
  return {
    restart,
    feed,
    show: () => rows.forEach(show),
    status: () => rows.map((r) => ({ id: r.exercise.id, title: r.exercise.title, situation: r.exercise.situation,
      goal: sentence(r.exercise.goal(face)),
      met: r.met, progress: r.met ? 'met' : r.text })),
  };
}


export { create, LIST };
