// The calls into the panel's core (the module, the engine and the flying host, in WebAssembly), and the one
// place where what a user or a script hands the page is checked before it goes in. Every call answers a value or
// throws an Error whose message says what was wrong; nothing half-done is left behind.

// Checks of what comes in from outside: typed text, scripts, gamepads.
const check = {
  text(value, what) {
    if (typeof value !== 'string') throw new Error(what + ' is text, not ' + describe(value));
    if (value.includes('\0')) throw new Error(what + ' holds no NUL character');
    return value;
  },
  // A single word of the scenario language: no spaces, no line breaks, so that it cannot carry a second
  // instruction.
  word(value, what) {
    check.text(value, what);
    if (value === '' || /\s/.test(value)) throw new Error(what + ' is one word, not ' + JSON.stringify(value));
    return value;
  },
  finite(value, what) {
    if (typeof value !== 'number' || !Number.isFinite(value)) throw new Error(what + ' is a finite number, not ' + describe(value));
    return value;
  },
  whole(value, what) {
    if (typeof value !== 'number' || !Number.isInteger(value)) throw new Error(what + ' is a whole number, not ' + describe(value));
    return value;
  },
  oneOf(value, names, what) {
    if (!names.includes(value)) throw new Error(what + ' is one of ' + names.join(', ') + ', not ' + describe(value));
    return value;
  },
};
function describe(value) {
  if (typeof value === 'string') {
    // Cut by characters, not UTF-16 units, so that an emoji is never split in half.
    const characters = Array.from(value);
    return JSON.stringify(characters.length > 40 ? characters.slice(0, 40).join('') + '...' : value);
  }
  if (typeof value === 'number' || typeof value === 'boolean' || value === null || value === undefined) return String(value);
  return 'a' + (Array.isArray(value) ? 'n array' : ' ' + typeof value);
}

function create(M) {
  // Text goes through the heap, so that a parameter or scenario of any length fits.
  function withText(text, use) {
    const size = M.lengthBytesUTF8(text) + 1;
    const at = M._malloc(size);
    if (at === 0) throw new Error('the text is too long for the page (' + size + ' bytes)');
    try {
      M.stringToUTF8(text, at, size);
      return use(at);
    } finally {
      M._free(at);
    }
  }
  function answer(at) {
    const result = JSON.parse(M.UTF8ToString(at));
    if (result !== null && typeof result === 'object' && !Array.isArray(result) && 'error' in result)
      throw new Error(result.error);
    return result;
  }

  const info = answer(M._panel_open());
  const sizeAt = M._malloc(4);

  function slotOf(gauge) {
    check.text(gauge, 'a gauge name');
    const name = gauge.toLowerCase();
    const slot = info.gauges.findIndex((g) => g.name.toLowerCase() === name);
    if (slot < 0) throw new Error("unknown gauge '" + gauge + "' (gauges: " + info.gauges.map((g) => g.name).join(', ') + ')');
    return slot;
  }
  // One instruction of the scenario language, whose parser checks ranges and names as it does for scenarios.
  function instruction(text) {
    return withText(text, (t) => answer(M._panel_instruction(t)));
  }

  return {
    info,
    check,
    slotOf,
    // A bitmap's PNG file, as bytes of its own.
    bitmapFile(id) {
      const at = M._panel_bitmap_file(id, sizeAt);
      if (at === 0) throw new Error('the module has no bitmap 0x' + id.toString(16));
      return M.HEAPU8.slice(at, at + M.HEAP32[sizeAt >> 2]);
    },
    // Gauges drawn as in the last view come as null.
    view: (eventsFrom) => answer(M._panel_view(eventsFrom, 1)),
    variables: () => answer(M._panel_variables()),
    reading: () => answer(M._panel_reading()),
    trace: () => answer(M._panel_trace()),
    cursor: (slot, x, y) => M._panel_cursor(slot, x, y),
    set(name, value) {
      const key = typeof name === 'number' ? String(name) : check.text(name, 'a variable (its name or token number)');
      const text = typeof value === 'number' ? String(value) : check.text(value, "a variable's value");
      withText(key, (k) => withText(text, (v) => answer(M._panel_set(k, v))));
    },
    update(n) {
      check.whole(n, 'the number of frames');
      if (n < 1 || n > info.most_frames) throw new Error('update takes 1 to ' + info.most_frames + ' frames');
      answer(M._panel_update(n));
    },
    click(gauge, x, y) {
      const slot = slotOf(gauge);
      return answer(M._panel_click(slot, check.whole(x, 'x'), check.whole(y, 'y'))).reached;
    },
    command(name) {
      check.text(name, 'a command name, such as "ALT",');
      withText(name, (n) => answer(M._panel_command(n)));
    },
    capture: () => answer(M._panel_capture()).captured,
    parameter(gauge, text) {
      const slot = slotOf(gauge);
      check.text(text, 'a parameter string');
      withText(text, (t) => answer(M._panel_parameter(slot, t)));
    },
    run(scenario) {
      check.text(scenario, 'a scenario');
      return withText(scenario, (t) => answer(M._panel_run(t)));
    },
    words() {
      const w = answer(M._panel_words());
      return { engaged: w.engaged >>> 0, armed: w.armed >>> 0, attached: w.attached, references: w.references };
    },
    texts(slot) { return answer(M._panel_texts(slot)); },
    why(command, before) {
      return withText(command, (c) => answer(M._panel_why(c, before.engaged, before.armed))).why;
    },
    situation(name) {
      instruction('situation ' + check.word(name, 'a situation'));
    },
    dropModes: () => answer(M._panel_drop_modes()),
    // The aircraft placed where a reading (a recorded sample) had it, trimmed there; the flight starts.
    place(r) {
      for (const k of ['airspeed', 'altitude', 'heading', 'north', 'east', 'radar_height']) check.finite(r[k], 'the sample\'s ' + k);
      answer(M._panel_place(r.airspeed, r.altitude, r.heading, r.north, r.east, r.radar_height));
    },
    flyAlone: (seconds) => M._panel_fly_alone(check.finite(seconds, 'the seconds to fly')),
    fly(seconds) {
      check.finite(seconds, 'the seconds to fly');
      if (seconds <= 0) throw new Error('fly takes a number of seconds above 0, not ' + seconds);
      instruction('fly ' + seconds);
    },
    control(axis, value) {
      check.oneOf(axis, info.controls.map((c) => c.name), 'a control');
      instruction('control ' + axis + ' ' + check.finite(value, 'the position of ' + axis));
    },
    wind(direction, speed) {
      instruction('wind ' + check.finite(direction, 'the direction the wind comes from') + ' ' +
        check.finite(speed, 'the wind speed'));
    },
    turbulence(level, seed = 0) {
      check.oneOf(level, info.turbulence_levels, 'a turbulence level');
      if (!Number.isInteger(seed) || seed < 0 || seed > 4294967295)
        throw new Error('turbulence takes a seed from 0 to 4294967295, not ' + seed);
      instruction('turbulence ' + level + ' ' + seed);
    },
    // An engine failed ('1', '2' or 'both'), or every engine running again.
    fail(engine) {
      check.oneOf(String(engine), ENGINES, 'an engine');
      instruction('fail engine ' + engine);
    },
    restore: () => instruction('restore'),
  };
}


// The engines the scenario language can fail.
const ENGINES = ['1', '2', 'both'];

export { create, check, ENGINES };
