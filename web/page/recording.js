// A flight kept as the trace records it (samples of the readings, with both mode words, and the mode marks) from
// the situation it started in, so that it can be saved as a file and opened again to replay it on the map and the
// chart. The file is JSON: {kind, version, module, situation, samples, marks, turbulence}; turbulence lists the
// settings the flight was flown in, [time, level, seed] each, the first the one it started with (a file saved
// before the page kept them has none: the air was still).

export const KIND = 'afcp-flight', VERSION = 1;

export function createRecording(module, mostSamples) {
  let flight = { situation: null, samples: [], marks: [], turbulence: [] };
  return {
    // A new flight, from a situation (its name) or from whatever a scenario did, in the turbulence it starts in
    // ({level, seed}, or none).
    restart(situation = null, air = null) {
      flight = { situation, samples: [], marks: [], turbulence: [] };
      if (air) flight.turbulence.push([0, air.level, air.seed]);
    },
    // The turbulence set anew at `time`: kept where it differs from the setting before.
    turbulence(time, level, seed) {
      const last = flight.turbulence[flight.turbulence.length - 1];
      if (!last || last[1] !== level || last[2] !== seed) flight.turbulence.push([time, level, seed]);
    },
    sample(s) {
      flight.samples.push(s);
      if (flight.samples.length > mostSamples) flight.samples.splice(0, flight.samples.length - mostSamples);
    },
    mark(kind, time, modes) { flight.marks.push([kind, time, modes]); },
    get flight() { return flight; },
    // The file's text.
    text() {
      return JSON.stringify({ kind: KIND, version: VERSION, module, situation: flight.situation,
        samples: flight.samples, marks: flight.marks, turbulence: flight.turbulence });
    },
  };
}

// A saved flight read back, checked: an Error says what is wrong with the file.
export function readFlight(text, module) {
  let f;
  try {
    f = JSON.parse(text);
  } catch {
    throw new Error('the file is not a saved flight (not JSON)');
  }
  if (!f || typeof f !== 'object' || f.kind !== KIND) throw new Error('the file is not a saved flight');
  if (f.version !== VERSION) throw new Error('the saved flight is of version ' + f.version + ', not ' + VERSION);
  if (f.module !== module) throw new Error('the flight was flown on ' + f.module + ', not on ' + module);
  if (!Array.isArray(f.samples) || !Array.isArray(f.marks)) throw new Error('the saved flight has no samples or marks');
  const finite = (v) => typeof v === 'number' && Number.isFinite(v);
  for (const s of f.samples)
    if (!s || typeof s !== 'object' || !finite(s.time)) throw new Error('a sample of the saved flight has no time');
  for (const m of f.marks)
    if (!Array.isArray(m) || typeof m[0] !== 'string' || !finite(m[1])) throw new Error('a mark of the saved flight is not [kind, time, modes]');
  if (f.turbulence === undefined) f.turbulence = [];
  if (!Array.isArray(f.turbulence) || f.turbulence.some((t) => !Array.isArray(t) || !finite(t[0]) ||
      typeof t[1] !== 'string' || !Number.isInteger(t[2])))
    throw new Error('a turbulence setting of the saved flight is not [time, level, seed]');
  return f;
}
