// The cues a cockpit gives beside its instruments: the decision-height call and the low-height warning from the
// radar height, the autopilot-disengage caption and tone when the modes drop without the pilot asking, the
// engine's AFCS caution, and the drive's: an engine failed, the rotor's speed out of its range, over-torque. The
// tones are the browser's own (Web Audio), muted by the page's sound switch; the captions stand beside the panel.

// The low-height warning: below this radar height while sinking faster than LOW_SINK_FPM, the ground is close and
// coming: 50 ft is the hover height the transitions down end at, and 300 ft/min is more sink than a
// transition's last stage holds. Both cues re-arm once the aircraft is REARM_FT above their height again.
export const LOW_HEIGHT_FT = 50, LOW_SINK_FPM = 300, REARM_FT = 50;
// The radar height readout shows whole feet: a reading that shows the decision height is within half a foot of it.
// The call comes as the readout shows the height, so that an autopilot levelling off there gives it too.
export const READOUT_ROUNDING_FT = 0.5;

// Tones: [frequency Hz, start s, length s] each. The decision height: two short high tones ("minimums");
// the low height: three fast ones; the autopilot let go: a falling three-tone chime, as disconnect warnings go.
const TONES = {
  minimums: [[1000, 0, 0.12], [1000, 0.2, 0.12]],
  low: [[1400, 0, 0.08], [1400, 0.12, 0.08], [1400, 0.24, 0.08]],
  disengaged: [[880, 0, 0.18], [660, 0.2, 0.18], [440, 0.4, 0.3]],
  // The AFCS caution: one long mid tone, a caution's rather than a warning's.
  caution: [[740, 0, 0.4]],
  // A failed engine: a low two-tone warble; the rotor's speed out of its range: a rising pair; over-torque:
  // the caution's tone.
  engine: [[520, 0, 0.15], [390, 0.18, 0.15], [520, 0.36, 0.15], [390, 0.54, 0.15]],
  low_rotor: [[600, 0, 0.1], [900, 0.12, 0.1], [600, 0.3, 0.1], [900, 0.42, 0.1]],
  high_rotor: [[900, 0, 0.1], [600, 0.12, 0.1]],
  over_torque: [[740, 0, 0.4]],
};
// The drive's cautions (the reading's power_cautions, by the bits the core names): the cue, its caption and level.
const POWER_CAUTIONS = [
  ['low_rotor', 'LOW ROTOR', 'warning'],
  ['high_rotor', 'HIGH ROTOR', 'caution'],
  ['over_torque', 'OVER-TORQUE', 'caution'],
];
const VOLUME = 0.15;

// `caption`: the element the captions go in; `decisionHeight()`: feet; `muted()`: whether the sound switch is off;
// `cautionBits`: the core's info.power.caution_bits ({low_rotor, high_rotor, over_torque}).
export function createCues(caption, decisionHeight, muted, cautionBits) {
  let audio = null;
  const heard = [];  // every cue given: {cue, time, text, sounded}
  let armed = { minimums: true, low: true };
  let lastModes = null;  // the pilot's modes at the last reading, as the annunciator words
  let expected = false;  // the pilot dropped the modes himself (a situation, a restart): no warning for it
  let caution = '';      // the engine's caution last shown: a mode that cannot hold, at which limit
  let powerBits = 0;     // the drive's cautions at the last reading
  let enginesOut = 0;    // engines failed at the last reading

  function sound(name) {
    if (muted()) return false;
    try {
      audio = audio || new AudioContext();
      const start = audio.currentTime + 0.01;
      for (const [hz, at, length] of TONES[name]) {
        const tone = audio.createOscillator(), gain = audio.createGain();
        tone.frequency.value = hz;
        gain.gain.setValueAtTime(VOLUME, start + at);
        gain.gain.exponentialRampToValueAtTime(0.001, start + at + length);
        tone.connect(gain).connect(audio.destination);
        tone.start(start + at);
        tone.stop(start + at + length + 0.02);
      }
      return true;
    } catch {
      return false;  // no audio device: the caption still says it
    }
  }
  function give(cue, time, text, level) {
    heard.push({ cue, time, text, sounded: sound(cue) });
    caption.textContent = text;
    caption.dataset.level = level;
  }

  // One sample of the live flight (the trace's: a reading with the pilot's modes).
  function feed(r) {
    const dh = decisionHeight(), h = r.radar_height, sink = -r.climb_rate;
    if (Number.isFinite(h)) {
      if (armed.minimums && h <= dh + READOUT_ROUNDING_FT && sink > 0) {
        armed.minimums = false;
        give('minimums', r.time, 'MINIMUMS: decision height ' + Math.round(dh) + ' ft', 'call');
      } else if (h > dh + REARM_FT) {
        armed.minimums = true;
      }
      if (armed.low && h <= LOW_HEIGHT_FT && sink > LOW_SINK_FPM) {
        armed.low = false;
        give('low', r.time, 'LOW HEIGHT: ' + Math.round(h) + ' ft, sinking ' + Math.round(sink) + ' ft/min', 'warning');
      } else if (h > LOW_HEIGHT_FT + REARM_FT) {
        armed.low = true;
      }
    }
    const modes = new Set((r.modes || '').split(/\s+/).filter(Boolean));
    if (lastModes && !expected) {
      const dropped = [...lastModes].filter((m) => !modes.has(m));
      if (dropped.length > 0 && modes.size === 0) give('disengaged', r.time, 'AUTOPILOT OFF: ' + dropped.join(' ') + ' dropped', 'warning');
      else if (dropped.length > 0 && caption.dataset.level !== 'warning') {
        caption.textContent = dropped.join(' ') + ' off';
        caption.dataset.level = 'note';
      }
    }
    // The engine's caution: a mode that has sat at one of its limits for more than 2 s cannot hold its target.
    const now = r.caution || '';
    if (now !== caution) {
      if (now) give('caution', r.time, 'AFCS CAUTION: ' + now, 'caution');
      else if (caption.dataset.level === 'caution') {
        caption.textContent = '';
        caption.dataset.level = '';
      }
      caution = now;
    }
    // The drive: a caution as its bit comes on (the rotor's speed and the torque with it), an engine as it fails.
    const bits = Number(r.power_cautions) | 0;
    for (const [cue, text, level] of POWER_CAUTIONS) {
      const bit = cautionBits[cue];
      if ((bits & bit) && !(powerBits & bit)) {
        give(cue, r.time, text + ': NR ' + Math.round(r.rotor_speed) + ' %, TQ ' + Math.round(r.torque) + ' %', level);
      }
    }
    powerBits = bits;
    const out = Number(r.engines_out) | 0;
    if (out > enginesOut) {
      give('engine', r.time, out >= 2 ? 'ENGINES OUT: both engines failed, lower the collective and autorotate'
        : 'ENGINE OUT: one engine failed, the other at its one-engine rating', 'warning');
    }
    enginesOut = out;
    expected = false;
    lastModes = modes;
  }

  return {
    feed,
    // The pilot placed the aircraft anew, or dropped the modes by a choice of the page: no warning for it.
    reset() {
      expected = true;
      armed = { minimums: true, low: true };
      caution = '';
      powerBits = 0;
      enginesOut = 0;
      caption.textContent = '';
      caption.dataset.level = '';
    },
    heard: () => heard.map((h) => ({ ...h })),
  };
}
