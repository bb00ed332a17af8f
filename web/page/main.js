// The trainer page: the panel, the instruments, flying by hand, the exercises, the cues, lessons and flights and
// the workbench, put together; the frame loop and the script interface window.panel.
//
// The address may hold "?situation=ground|hover|cruise|approach" (the default: cruise), "?paused", "?frozen" (the
// panel on the bench, nothing flying until a situation or a fly starts the flight) and "?scenario=..." (a lesson:
// lesson.js), which plays as the page opens.
import * as ChartInstrument from './chart.js';
import * as PilotControls from './controls.js';
import * as PanelCore from './core.js';
import { createCues } from './cues.js';
import * as Exercises from './exercises.js';
import { faceOf } from './face.js';
import * as GaugeView from './gauges.js';
import * as Lesson from './lesson.js';
import * as MapInstrument from './map.js';
import { applyToPage } from './palette.js';
import * as PfdInstrument from './pfd/index.js';
import * as PowerGauges from './power.js';
import { createRecording, readFlight } from './recording.js';
import * as SidePanels from './side.js';

(function () {
  const $ = (id) => document.getElementById(id);
  const TIME_SCALES = [1, 2, 4, 8, 16];
  const LONGEST_FRAME = 0.1;      // seconds of the pilot's time one animation frame may catch up
  const VARIABLES_EVERY = 0.25;   // seconds between refreshes of the variables' table

  const panel = { ready: false, module: '' };
  window.panel = panel;

  applyToPage();
  // The module's script (Emscripten's) stands before this one in the page and leaves its factory global.
  globalThis.createPanelModule().then(start).catch((e) => {
    $('status').textContent = 'cannot start the panel: ' + e;
  });

  async function start(M) {
    const core = PanelCore.create(M);
    const info = core.info;
    const check = core.check;
    // The host's clock: the physics and the engine step at steps_per_second, the panel's frames come every
    // frame_seconds.
    const STEPS_PER_SECOND = info.time.steps_per_second;
    const FRAME_SECONDS = info.time.frame_seconds;
    panel.module = info.module;
    document.title = info.module + ' - helicopter trainer';
    const params = new URLSearchParams(location.search);

    // ---- the panel ------------------------------------------------------------------------------------------
    const face = faceOf(info);
    const say = (text, error) => SidePanels.say('click-message', text, error);
    say('Click or tap the panel as in the cockpit: buttons push, the knob and rocker halves step their reference. ' +
      face.hint);
    const gauges = GaugeView.create(core, (g) => (g.name === 'AFCP' ? $('afcp') : $('gauges')),
      (gauge, x, y) => {
        // A press that changes nothing a pilot would see is explained beside the panel.
        try {
          const before = core.words();
          const reached = core.click(gauge, x, y);
          say(gauge + ' (' + x + ', ' + y + '): ' + reached);
          SidePanels.say('why-message', core.why(reached, before));
          // Paused, no frame would come: the panel's own frame shows what the press did (its gauges draw only in
          // a frame), with no simulated time passing.
          if (paused) core.update(1);
        } catch (e) {
          say(e.message, true);
        }
        refresh();
      },
      (text) => say(text));

    // ---- the instruments --------------------------------------------------------------------------------------
    const pfd = PfdInstrument.create(document.querySelector('canvas[data-instrument="pfd"]'));
    const power = PowerGauges.create(document.querySelector('canvas[data-instrument="power"]'), info.power);
    const map = MapInstrument.create(document.querySelector('canvas[data-instrument="map"]'), info.world);
    const chart = ChartInstrument.create($('chart'), { width: 480, height: 400 });
    const controls = PilotControls.create(document.querySelector('canvas[data-instrument="controls"]'), info.controls,
      (axis, value) => core.control(axis, value), (held) => core.set('force_trim_release', held ? 1 : 0));
    $('controls-help').textContent = controls.help;
    // The decision height: the simulator's, where the module's panel sets one, else the usual one.
    const decisionHeightAt = info.variables.findIndex((v) => v.name === 'decision_height');
    const decisionHeight = () => (decisionHeightAt >= 0 ? core.variables()[decisionHeightAt]
      : Exercises.DEFAULT_DECISION_HEIGHT_FT);
    const cues = createCues($('caution'), decisionHeight, () => !$('sound').checked, info.power.caution_bits);
    const exercises = Exercises.create(info.bits, face, $('exercises'), (name) => panel.situation(name),
      { face, sampleSeconds: info.time.sample_seconds, get decisionHeight() { return decisionHeight(); } });

    // ---- the workbench ----------------------------------------------------------------------------------------
    const side = SidePanels.create(core, panel);

    // Everything drawn and shown anew from the core.
    let reading = core.reading();
    let shown = null;  // the reading the instruments last drew
    let variablesShown = -Infinity;
    // The flight as recorded since its situation, for saving; a flight opened from a file while it is replayed.
    const recording = createRecording(info.module, Math.ceil(info.time.most_flight_seconds / info.time.sample_seconds));
    let placedIn = null;     // the situation the page last placed the aircraft in
    let replaying = null;    // the flight opened, while it is shown instead of the live one
    function refresh() {
      const view = core.view(side.eventCount());
      gauges.draw(view);
      const now = performance.now() / 1000;
      const showValues = now - variablesShown >= VARIABLES_EVERY;
      if (showValues) variablesShown = now;
      side.show(view, showValues ? core.variables() : []);
      reading = core.reading();
      const trace = core.trace();
      if (trace.restarted) {
        recording.restart(placedIn, reading.turbulence);
        placedIn = null;
        if (!replaying) { chart.clear(); map.clear(); }
        exercises.restart();
      }
      for (const sample of trace.samples) {
        recording.sample(sample);
        if (!replaying) { chart.push(sample); map.remember(sample); cues.feed(sample); }
        exercises.feed(sample);
      }
      for (const [kind, time, modes] of trace.marks) {
        recording.mark(kind, time, modes);
        if (!replaying) chart.mark(time, modes, kind);
      }
      recording.turbulence(reading.time, reading.turbulence.level, reading.turbulence.seed);
      if ($('turbulence').value !== reading.turbulence.level) $('turbulence').value = reading.turbulence.level;
      // The menu follows failures made otherwise (a scenario, a situation): none, or both.
      if (reading.engines_out === 0 && $('engines').value !== 'running') $('engines').value = 'running';
      if (reading.engines_out === 2 && $('engines').value !== 'both') $('engines').value = 'both';
      exercises.show();
      if (!replaying) {
        shown = reading;
        pfd.draw(reading);
        power.draw(reading);
        map.draw(reading, false);
      }
      showCrash(reading.crash_cause);
      controls.draw(reading);
      $('clock').textContent = reading.flying ? reading.time.toFixed(1) + ' s' : 'on the bench';
    }

    // ---- a crash ----------------------------------------------------------------------------------------------
    // Once the aircraft has crashed nothing flies on: the page says why, in a pilot's words, and offers a fresh
    // start of the situation.
    let crashShown = 0;
    function showCrash(cause) {
      if (cause === crashShown) return;
      crashShown = cause;
      $('crash').hidden = cause === 0;
      const c = info.crash_causes[cause];
      $('crash-caption').textContent = cause === 0 ? '' : c.caption;
      $('crash-detail').textContent = cause === 0 ? '' : 'the aircraft ' + c.detail + ' at ' + reading.time.toFixed(1) +
        ' s. Restart flies the situation afresh.';
    }

    // ---- time ---------------------------------------------------------------------------------------------------
    let paused = params.has('paused');
    let scale = 1;
    let owed = 0;  // simulated seconds the loop owes the flight, less than a step
    let stepOwed = 0;  // physics steps a Step owes, less than one: a host frame is not a whole number of steps
    let last = 0;

    // One animation frame: `seconds` of the pilot's time pass.
    function advance(seconds) {
      seconds = Math.min(Math.max(seconds, 0), LONGEST_FRAME);
      controls.tick(seconds, reading);
      if (paused) {
        refresh();
        return;
      }
      owed += seconds * scale;
      if (reading.crash_cause !== 0) {
        owed = 0;  // crashed: nothing flies until a restart
      } else if (reading.flying) {
        const steps = Math.floor(owed * STEPS_PER_SECOND + 1e-9);
        if (steps > 0) {
          core.fly(steps / STEPS_PER_SECOND);
          owed -= steps / STEPS_PER_SECOND;
        }
      } else {
        const frames = Math.floor(owed / FRAME_SECONDS + 1e-9);
        if (frames > 0) {
          core.update(Math.min(frames, info.most_frames));
          owed -= frames * FRAME_SECONDS;
        }
      }
      refresh();
    }
    function loop(now) {
      const seconds = last === 0 ? 0 : (now - last) / 1000;
      last = now;
      try {
        advance(seconds);
      } catch (e) {
        say(e.message, true);
      }
      requestAnimationFrame(loop);
    }

    function showTime() {
      $('pause').textContent = paused ? 'Resume' : 'Pause';
      $('step').disabled = !paused;
      for (const b of document.querySelectorAll('#scales button')) b.classList.toggle('on', Number(b.dataset.scale) === scale);
      $('status').textContent = paused ? 'paused' : scale + 'x';
    }
    for (const k of TIME_SCALES) {
      const b = document.createElement('button');
      b.textContent = k + 'x';
      b.dataset.scale = String(k);
      b.addEventListener('click', () => panel.timeScale(k));
      $('scales').append(b);
    }
    // The scenario box opens with a scenario of this module's own controls.
    $('scenario').value = 'situation cruise\n' + (face.stabFollowsModes ? '' : 'command STAB\n') +
      'command ALT\nfly 30\nexpect current_altitude 2000 30';
    // The scenario language's instructions, from the host's one table: the names, each form on hovering.
    $('scenario-help').textContent = info.instructions.map((i) => i.name).join(', ');
    $('scenario-help').title = info.instructions.map((i) => i.form).join('\n');
    for (const name of info.situations) {
      const option = document.createElement('option');
      option.value = name;
      option.textContent = name;
      $('situation').append(option);
    }

    // ---- the script interface -----------------------------------------------------------------------------------
    // Each call checks what it is given (PanelCore) and draws the page anew after it.
    // A call that throws (a scenario that crashes at a line) still shows what it did before it stopped.
    const andRefresh = (f) => (...args) => {
      try {
        return f(...args);
      } finally {
        refresh();
      }
    };
    Object.assign(panel, {
      set: andRefresh((name, value) => core.set(name, value)),
      update: andRefresh((n = 1) => core.update(n)),
      click: andRefresh((gauge, x, y) => core.click(gauge, x, y)),
      command: andRefresh((name) => core.command(name)),
      capture: andRefresh(() => core.capture()),
      parameter: andRefresh((gauge, text) => core.parameter(gauge, text)),
      run: andRefresh((scenario) => core.run(scenario).log),
      words: () => { const w = core.words(); return { engaged: w.engaged, armed: w.armed }; },
      references: () => core.words().references,
      texts: (gauge) => gauges.texts(core.slotOf(gauge)),
      events: () => side.events(),
      // A fresh start: the aircraft placed and trimmed, every mode dropped (as a scenario's situation does not).
      situation: andRefresh((name) => {
        endReplay();
        placedIn = name;
        cues.reset();
        core.situation(name);
        core.restore();  // a situation chosen on the page starts with both engines running
        core.dropModes();
        controls.trimmedAt(core.reading());
        owed = 0;
        $('situation').value = name;
      }),
      fly: andRefresh((seconds) => core.fly(seconds)),
      control: andRefresh((axis, value) => core.control(axis, value)),
      wind: andRefresh((direction, speed) => core.wind(direction, speed)),
      turbulence: andRefresh((level, seed) => core.turbulence(level, seed)),
      // The instructor's failures: fail('1' | '2' | 'both'), restore().
      fail: andRefresh((engine) => core.fail(engine)),
      restore: andRefresh(() => core.restore()),
      // The engines as the menu sets them: 'running', or '1', '2' or 'both' failed (the others running).
      engines: andRefresh((choice) => {
        core.restore();
        if (choice !== 'running') core.fail(choice);
      }),
      // The crash as the page shows it: {cause, caption, detail} or null while the flight goes on.
      crash: () => ($('crash').hidden ? null : { cause: info.crash_causes[crashShown].name,
        caption: $('crash-caption').textContent, detail: $('crash-detail').textContent }),
      aircraft() {
        const values = core.variables();
        const out = {};
        info.variables.forEach((v, i) => {
          if (v.source === 'aircraft' || v.source === 'derived' || v.source === 'world' || v.source === 'pilot') out[v.name] = values[i];
        });
        return out;
      },
      reading: () => core.reading(),
      // The instruments, and the state they last drew, for scripts that check what they show.
      instruments: { pfd, power, map, chart, controls },
      face: () => ({ module: face.module, hint: face.hint }),
      shown: () => shown,
      exercises: () => exercises.status(),
      time: () => core.reading().time,
      timeScale(k) {
        if (k === undefined) return scale;
        scale = check.oneOf(k, TIME_SCALES, 'the time scale');
        showTime();
        return scale;
      },
      pause() {
        paused = true;
        stepOwed = 0;
        showTime();
      },
      resume() {
        endReplay();
        paused = false;
        owed = 0;
        showTime();
      },
      paused: () => paused,
      // The flight recorded since its situation ({situation, samples, marks}), and its file's text.
      flight: () => recording.flight,
      flightFile: () => recording.text(),
      // Replays a saved flight's text on the map and the chart (the live flight paused meanwhile).
      replay: (text) => replay(readFlight(check.text(text, 'a saved flight'), info.module)),
      replaying: () => replaying !== null,
      // Flies on from the moment of the flight replayed nearest `time` (seconds of it).
      flyOnFrom: andRefresh((time) => flyOnFrom(time)),
      // The cues given since the page opened: {cue, time, text, sounded}.
      cues: () => cues.heard(),
      // The address that carries a scenario's text to a page that plays it when it opens.
      linkTo: (text) => Lesson.linkTo(check.text(text, 'a scenario')),
      // The engine and the physics alone, without the panel's frames (benchmarks): answers the seconds flown.
      flyAlone: (seconds) => core.flyAlone(seconds),
      // One frame of the loop as if `seconds` of the pilot's time had passed (for benchmarks and tests).
      advance: (seconds) => advance(check.finite(seconds, 'the seconds of a frame')),
    });

    // ---- flights and lessons -------------------------------------------------------------------------------------
    // A saved flight drawn on the chart and the map as it was flown, the flight display at its last sample.
    function replay(flight) {
      panel.pause();
      replaying = flight;
      chart.clear();
      map.clear();
      for (const sample of flight.samples) {
        chart.push(sample);
        map.remember(sample);
      }
      for (const [kind, time, modes] of flight.marks) chart.mark(time, modes, kind);
      const last = flight.samples[flight.samples.length - 1];
      $('replay-message').textContent = 'replaying a flight' + (flight.situation ? ' from ' + flight.situation : '') +
        ' of ' + (last ? last.time.toFixed(1) : '0') + ' s: Resume or a situation flies on live, or fly on from a moment';
      $('replay-controls').hidden = flight.samples.length === 0;
      $('replay-moment').max = String(Math.max(0, flight.samples.length - 1));
      $('replay-moment').value = $('replay-moment').max;
      showMoment(flight.samples.length - 1);
    }
    // The instruments as they were at a sample of the flight replayed.
    function showMoment(index) {
      const s = replaying && replaying.samples[index];
      if (!s) return;
      shown = s;
      pfd.draw(s);
      power.draw(s);
      map.draw(s, false);
      $('replay-at').textContent = s.time.toFixed(1) + ' s';
    }
    // Flies on from the moment of the flight replayed nearest `time`: the aircraft placed as it was then, trimmed,
    // in the turbulence then set, and its modes pressed again with their references (a mode this panel has no
    // command of stays off). Answers what was done: {time, modes, missing}.
    function flyOnFrom(time) {
      if (!replaying) throw new Error('fly on from a moment: open a saved flight first');
      check.finite(time, 'the moment to fly on from');
      const samples = replaying.samples;
      if (samples.length === 0) throw new Error('the flight replayed has no samples');
      let at = samples[0];
      for (const s of samples) if (Math.abs(s.time - time) < Math.abs(at.time - time)) at = s;
      const air = replaying.turbulence.filter(([t]) => t <= at.time + 1e-9).pop();
      const situation = replaying.situation;
      endReplay();
      cues.reset();
      core.place(at);
      core.dropModes();
      if (air) core.turbulence(air[1], air[2]);
      // The references the modes fly to, then the modes, STAB first.
      const refs = at.refs || {};
      if (Number.isFinite(refs.heading_bug)) core.set('heading_bug', refs.heading_bug);
      if (Number.isFinite(refs.selected_altitude)) core.set('autopilot_altitude', refs.selected_altitude);
      if (Number.isFinite(refs.vertical_speed)) core.set('vertical_speed', refs.vertical_speed);
      core.update(2);  // the panel samples the aircraft where it now is
      const wanted = String(at.modes || '').split(' ').filter(Boolean).sort((a, b) => (b === 'STAB') - (a === 'STAB'));
      const missing = [];
      for (const mode of wanted) {
        try { core.command(mode); core.update(1); } catch { missing.push(mode); }
      }
      controls.trimmedAt(core.reading());
      placedIn = situation;
      owed = 0;
      const modes = core.reading().modes;
      say('flying on from ' + at.time.toFixed(1) + ' s of the flight replayed' + (modes ? ', with ' + modes : '') +
        (missing.length ? '; not pressed again: ' + missing.join(' ') : ''));
      return { time: at.time, modes, missing };
    }
    function endReplay() {
      if (!replaying) return;
      replaying = null;
      chart.clear();
      map.clear();
      $('replay-message').textContent = '';
      $('replay-controls').hidden = true;
    }
    $('replay-moment').addEventListener('input', () => showMoment(Number($('replay-moment').value)));
    $('fly-on').addEventListener('click', () => {
      try {
        const s = replaying.samples[Number($('replay-moment').value)];
        panel.flyOnFrom(s.time);
        panel.resume();
      } catch (e) {
        say(e.message, true);
      }
    });
    const download = (name, text, type) => {
      const link = document.createElement('a');
      link.download = name;
      link.href = URL.createObjectURL(new Blob([text], { type }));
      link.click();
      setTimeout(() => URL.revokeObjectURL(link.href), 1000);
    };
    $('save-flight').addEventListener('click', () => download(info.module + '-flight.json', recording.text(), 'application/json'));
    $('open-flight').addEventListener('click', () => $('flight-file').click());
    $('flight-file').addEventListener('change', async () => {
      const file = $('flight-file').files[0];
      $('flight-file').value = '';
      if (!file) return;
      try {
        panel.replay(await file.text());
      } catch (e) {
        $('replay-message').textContent = e.message;
      }
    });
    $('copy-link').addEventListener('click', async () => {
      try {
        const link = await panel.linkTo($('scenario').value);
        $('link').value = link;
        try {
          await navigator.clipboard.writeText(link);
          SidePanels.say('scenario-message', 'the link to this scenario is copied: it plays when the page opens');
        } catch {
          $('link').select();
          SidePanels.say('scenario-message', 'the link is below, selected: copy it (the browser refused the clipboard)');
        }
      } catch (e) {
        SidePanels.say('scenario-message', e.message, true);
      }
    });

    $('pause').addEventListener('click', () => (paused ? panel.resume() : panel.pause()));
    $('step').addEventListener('click', () => {
      try {
        // One host frame: its steps of the physics, with a frame's fraction of a step kept for the next, so that
        // 18 Steps fly one second.
        if (reading.crash_cause !== 0) {
          say('the aircraft has crashed: Restart flies the situation afresh', true);
        } else if (reading.flying) {
          stepOwed += FRAME_SECONDS * STEPS_PER_SECOND;
          const steps = Math.floor(stepOwed + 1e-9);
          stepOwed -= steps;
          if (steps > 0) panel.fly(steps / STEPS_PER_SECOND);
        } else {
          panel.update(1);
        }
      } catch (e) {
        say(e.message, true);
      }
    });
    const restart = (name) => {
      try {
        panel.situation(name);
        say('situation ' + name + ': placed and trimmed, every mode dropped');
      } catch (e) {
        say(e.message, true);
      }
    };
    $('situation').addEventListener('change', () => restart($('situation').value));
    $('restart').addEventListener('click', () => restart($('situation').value));
    $('crash-restart').addEventListener('click', () => restart($('situation').value));
    // A menu of the header: its [value, text] choices, and what a choice does (a message, or an error said).
    const menu = (id, choices, chosen) => {
      for (const [value, text] of choices) {
        const option = document.createElement('option');
        option.value = value;
        option.textContent = text;
        $(id).append(option);
      }
      $(id).addEventListener('change', () => {
        try {
          say(chosen($(id).value, $(id).selectedOptions[0].textContent));
        } catch (e) {
          say(e.message, true);
        }
      });
    };
    // Turbulence from the page: the scenario language's own instruction, from a seed of its own each time a level
    // is picked (a saved flight keeps it).
    menu('turbulence', info.turbulence_levels.map((level) => [level, level]), (level) => {
      const seed = Math.floor(Math.random() * 2 ** 32);
      panel.turbulence(level, seed);
      return 'turbulence ' + level + ' from seed ' + seed;
    });
    // The engines, from the instructor's menu: both running, or one or both failed.
    menu('engines', [['running', 'both running'], ['1', 'engine 1 failed'], ['2', 'engine 2 failed'],
      ['both', 'both failed']], (choice, text) => {
      panel.engines(choice);
      return text;
    });
    $('north-up').addEventListener('change', () => { map.orientation = $('north-up').checked ? 'north' : 'track'; });
    $('map-range').addEventListener('change', () => { map.range = Number($('map-range').value); });
    $('save').addEventListener('click', () => gauges.save(panel.module + '.png'));

    await gauges.ready;
    // A lesson's link: the page opens on the bench, as a scenario starts, and plays it.
    const lesson = Lesson.inAddress(params);
    if (lesson !== null) {
      try {
        const text = await Lesson.decode(lesson);
        $('scenario').value = text;
        const log = panel.run(text);
        SidePanels.say('scenario-message', 'the linked scenario played' + (log.length ? ':\n' + log.join('\n') : ''));
      } catch (e) {
        SidePanels.say('scenario-message', 'the linked scenario: ' + e.message, true);
      }
    }
    // Opens flying (unless on the bench or playing a lesson), in the situation asked for.
    const wanted = params.get('situation') || 'cruise';
    if (!params.has('frozen') && lesson === null) {
      try {
        panel.situation(wanted);
      } catch (e) {
        say(e.message + '; opened in the cruise instead', true);
        panel.situation('cruise');
      }
      panel.update(2);  // the panel's first frames: the AFCP gauge attaches to the engine, then samples
    }
    refresh();
    panel.openedIn = performance.now();  // milliseconds from opening the page to its first frame
    panel.ready = true;
    showTime();
    requestAnimationFrame(loop);
  }
})();
