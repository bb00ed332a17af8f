// A flight kept as the trace records it (samples of the readings, with both mode words, and the mode marks) from
// the situation it started in, so that it can be saved as a file and opened again to replay it on the map and the
// chart. The file is JSON: {kind, version, module, situation, samples, marks}.

export const KIND = 'afcp-flight', VERSION = 1;

export function createRecording(module, mostSamples) {
  let flight = { situation: null, samples: [], marks: [] };
  return {
    // A new flight, from a situation (its name) or from whatever a scenario did.
    restart(situation = null) { flight = { situation, samples: [], marks: [] }; },
    sample(s) {
      flight.samples.push(s);
      if (flight.samples.length > mostSamples) flight.samples.splice(0, flight.samples.length - mostSamples);
    },
    mark(kind, time, modes) { flight.marks.push([kind, time, modes]); },
    get flight() { return flight; },
    // The file's text.
    text() {
      return JSON.stringify({ kind: KIND, version: VERSION, module, situation: flight.situation,
        samples: flight.samples, marks: flight.marks });
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
  return f;
}
