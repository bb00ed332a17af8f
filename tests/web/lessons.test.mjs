// The exercises flown as a pilot reads them: real clicks on each module's face in the order the exercise's text
// gives, with simulated time passing between the clicks as it would for a hand on the panel, and flown wrong; the
// texts of each page name only that module's controls; a click while paused shows on the panel; Step is one host
// frame; text comes back whole in a message.
import assert from 'node:assert/strict';
import { after, before, describe, test } from 'node:test';

import { launch, modules, open } from './browser.mjs';
import { centreOf, clickControl, clickGauge } from './controls.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

// A hand on the panel: a press, then a moment of flight before the next.
const HAND_S = 0.25;
const fly = (page, seconds) => page.evaluate((s) => panel.fly(s), seconds);
const run = (page, text) => page.evaluate((t) => panel.run(t), text);
async function press(page, module, reaches, times = 1) {
  for (let i = 0; i < times; i++) {
    await clickControl(page, module, reaches);
    await fly(page, HAND_S);
  }
}
const goAround = async (page) => { await clickGauge(page, 'Go-Around', 16, 16); await fly(page, HAND_S); };
const status = (page, id) => page.evaluate((i) => panel.exercises().find((e) => e.id === i), id);
const korst = (module) => module === 'korstpanel';
// STAB on, where the face has a STAB button; the Brevane's comes with the modes.
const stab = (page, module) => (korst(module) ? press(page, module, 'STAB') : null);
// The ILS's modes as each face arms them: APP and G/S, or NAVD CPL reading the receiver.
async function armIls(page, module, { beams = true } = {}) {
  await stab(page, module);
  await press(page, module, 'ALT');
  await press(page, module, 'IAS');
  if (korst(module)) {
    await press(page, module, 'APP');
    if (beams) await press(page, module, 'GS');
  } else {
    await press(page, module, beams ? 'NAV' : 'HDG');
  }
}
// Down the approach to a radar height (feet) with the modes flying it.
const downTo = (page, feet) => run(page, 'fly 600 until radar_height below ' + (feet * 0.3048).toFixed(4));

// Each exercise: a flight done as its text says, and one done wrong, both with real clicks.
const flights = {
  heading: {
    async right(page, module) {
      await stab(page, module);
      await press(page, module, 'HDG');
      await press(page, module, 'HDG_RIGHT', 65);
      await fly(page, 60);
    },
    async wrong(page, module) {  // a bug only 30 degrees away is no turn to a heading
      await stab(page, module);
      await press(page, module, 'HDG');
      await press(page, module, 'HDG_RIGHT', 30);
      await fly(page, 60);
    },
  },
  hover: {
    async right(page, module) {
      await stab(page, module);
      await press(page, module, 'HOV_UP', 23);  // 1-ft steps to 20 ft, then 10-ft steps to 50 ft
      await press(page, module, 'TDN');
      await fly(page, 300);  // about four minutes down from the cruise's 1,450 ft, then the 30 s of the hover
    },
    async wrong(page, module) {  // the hover knob pushed in the cruise instead of F/TDN: no transition down
      await stab(page, module);
      await press(page, module, 'HOV_UP', 23);
      await press(page, module, 'HOV');
      await fly(page, 240);
    },
  },
  ils: {
    async right(page, module) {
      await armIls(page, module);
      await downTo(page, 200.4);  // the readout shows 200 ft: the pilot goes around at the decision height
      await goAround(page);
    },
    async wrong(page, module) {  // no glide slope armed (Korst: APP alone; Brevane: HDG instead of NAVD CPL)
      await armIls(page, module, { beams: false });
      await fly(page, 400);
    },
  },
  'go-around': {
    async right(page, module) {
      await armIls(page, module);
      await downTo(page, 300);
      await goAround(page);
      await fly(page, 40);
    },
    async wrong(page, module) {  // a climb with V/S from the approach is no go-around
      await stab(page, module);
      await press(page, module, 'IAS');
      await press(page, module, 'VS');
      await press(page, module, 'VS_INCREASE', 8);
      await fly(page, 60);
    },
  },
  'altitude-acquire': {
    // Push ALT.A (it arms at the present altitude), turn the knob 1,000 ft up, then V/S for the climb.
    async right(page, module) {
      await (korst(module) ? stab(page, module) : press(page, module, 'ALT'));
      await press(page, module, 'ALTA');
      await press(page, module, 'ALTA_INCREASE', 10);
      await press(page, module, 'VS');
      await press(page, module, 'VS_INCREASE', 8);
      await fly(page, 180);
    },
    // Climbing with V/S and pressing ALT at the altitude is no acquisition.
    async wrong(page, module) {
      await stab(page, module);
      await press(page, module, 'VS');
      await press(page, module, 'VS_INCREASE', 8);
      await run(page, 'fly 240 until current_altitude above 2990');
      await press(page, module, 'ALT');
      await fly(page, 30);
    },
  },
};

for (const module of modules) {
  describe(module + ': the exercises flown as their texts say', () => {
    for (const [id, flight] of Object.entries(flights)) {
      for (const how of ['right', 'wrong']) {
        test(`${id}, flown ${how} with real clicks`, { timeout: 120000 }, async () => {
          const page = await open(browser, module, { situation: (await exerciseSituation(id)) });
          await flight[how](page, module);
          const s = await status(page, id);
          assert.equal(s.met, how === 'right', `${id} flown ${how}: ${s.progress}`);
          assert.deepEqual(page.errors, []);
          await page.close();
        });
      }
    }
  });

  describe(module + ': the page speaks of this panel', () => {
    test('its texts name only the controls of its own face', async () => {
      const page = await open(browser, module);
      const texts = await page.evaluate(() => [document.getElementById('click-message').textContent,
        document.getElementById('scenario').value, ...panel.exercises().map((e) => e.goal),
        ...['controls-help', 'scenario-help'].map((id) => document.getElementById(id).textContent),
        document.querySelector('header').innerText].join('\n'));
      // What only the other face has, as its texts would name it.
      const foreign = korst(module) ? /NAVD CPL|FND CPL|HT\/HOV|\bBARO\b|\bUPLIM\b/
        : /\bAPP\b|G\/S|HOV\/HT|V\/S|\bSTAB\b(?! comes)|command STAB/;
      assert.doesNotMatch(texts, foreign);
      // And each goal names controls this face has.
      const goals = await page.evaluate(() => panel.exercises().map((e) => e.goal));
      if (korst(module)) assert.match(goals.join(' '), /With STAB on, arm APP and G\/S/);
      else assert.match(goals.join(' '), /push NAVD CPL/);
      await page.close();
    });

    test('a press that changes nothing says why in this panel\'s terms', async () => {
      const page = await open(browser, module);
      await page.evaluate(() => panel.situation('cruise'));
      await clickGauge(page, 'Stab', 16, 16);
      const why = await page.$eval('#why-message', (p) => p.textContent);
      const words = await page.evaluate(() => { panel.update(1); return panel.words(); });
      if (korst(module)) {
        assert.equal(why, '');
        assert.ok(words.engaged & 0x100000, 'STAB engaged by the Stab gauge');
      } else {
        assert.match(why, /STAB on this panel follows the modes/);
        assert.equal(words.engaged & 0x100000, 0, 'STAB gone at the next update');
        // An arm with no mode engaged goes at the next update, and the page says so.
        await clickControl(page, module, 'ALTA');
        assert.match(await page.$eval('#why-message', (p) => p.textContent), /an arm lasts only while a mode is engaged/);
      }
      await page.close();
    });
  });

  describe(module + ': knobs held and keys', () => {
    const bug = (page) => page.evaluate(() => panel.reading().refs.heading_bug);
    const turned = (from, to) => ((to - from) % 360 + 360) % 360;
    // Holds the HDG knob's right half for `seconds` by mouse, finger or key; answers the degrees turned.
    async function holdFor(page, how, seconds) {
      const from = await bug(page);
      const box = await (await page.$('canvas[data-gauge="AFCP"]')).boundingBox();
      const [x, y] = centreOf(module, 'HDG_RIGHT');
      if (how === 'mouse') { await page.mouse.move(box.x + x, box.y + y); await page.mouse.down(); }
      else if (how === 'touch') await page.touchscreen.touchStart(box.x + x, box.y + y);
      else await page.keyboard.down('+');
      await new Promise((r) => setTimeout(r, seconds * 1000));
      if (how === 'mouse') await page.mouse.up();
      else if (how === 'touch') await page.touchscreen.touchEnd();
      else await page.keyboard.up('+');
      return turned(from, await bug(page));
    }
    test('a knob half held by mouse, finger or key: one step, then a repeat that speeds up', async () => {
      const page = await open(browser, module, { touch: true });
      await stab(page, module);
      await press(page, module, 'HDG');
      // A short press is one step; held past half a second it repeats, at 10 a second and then faster.
      await clickControl(page, module, 'HDG_RIGHT');  // the knob in hand for the keys
      for (const how of ['mouse', 'touch', 'key']) {
        const short = await holdFor(page, how, 0.2);
        assert.equal(short, 1, how + ': a short press is one step');
        const one = await holdFor(page, how, 1.5);
        assert.ok(one >= 8 && one <= 14, how + ': held 1.5 s, ' + one + ' steps (one, then 10 a second)');
      }
      // 90 deg held in under 10 s.
      const from = await bug(page);
      await clickControl(page, module, 'HDG_RIGHT');
      const box = await (await page.$('canvas[data-gauge="AFCP"]')).boundingBox();
      const [x, y] = centreOf(module, 'HDG_RIGHT');
      await page.mouse.move(box.x + x, box.y + y);
      const t0 = Date.now();
      await page.mouse.down();
      await page.waitForFunction((f) => ((panel.reading().refs.heading_bug - f) % 360 + 360) % 360 >= 90,
        { timeout: 10000, polling: 50 }, from);
      await page.mouse.up();
      assert.ok(Date.now() - t0 < 10000, '90 deg in ' + (Date.now() - t0) + ' ms');
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('C puts the cyclic and the pedals back where the situation trimmed them, leaving the collective', async () => {
      const page = await open(browser, module);
      const trimmed = await page.evaluate(() => panel.aircraft());
      await page.evaluate(() => {
        panel.control('pitch', panel.aircraft().pitch_control - 0.2);
        panel.control('roll', 0.3);
        panel.control('pedals', -0.4);
        panel.control('collective', panel.aircraft().collective + 0.05);
      });
      await page.keyboard.press('c');
      const after = await page.evaluate(() => panel.aircraft());
      for (const axis of ['pitch_control', 'roll_control', 'pedals']) assert.ok(Math.abs(after[axis] - trimmed[axis]) < 1e-9, axis);
      assert.ok(Math.abs(after.collective - trimmed.collective - 0.05) < 1e-9, 'the collective stays');
      await page.close();
    });
  });

  describe(module + ': force-trim release', () => {
    test('T held lets the cyclic\'s trim follow the hand; C then brings the cyclic back there, the pedals to the situation\'s',
      async () => {
        const page = await open(browser, module);
        const trimmed = await page.evaluate(() => panel.aircraft());
        const trim = () => page.evaluate(() => panel.instruments.controls.trim());
        // Moved without T, the trim point stays where the situation put it.
        await page.evaluate(() => { panel.control('pitch', panel.aircraft().pitch_control - 0.1); panel.advance(0.02); });
        assert.ok(Math.abs((await trim()).pitch - trimmed.pitch_control) < 1e-9, 'no release, no new trim');
        await page.keyboard.down('t');
        assert.equal(await page.evaluate(() => panel.instruments.controls.trimReleased()), true);
        await page.evaluate(() => {
          panel.control('roll', 0.25);
          panel.control('pedals', -0.3);
          panel.advance(0.02);
        });
        const held = await page.evaluate(() => panel.aircraft());
        await page.keyboard.up('t');
        assert.equal(await page.evaluate(() => panel.instruments.controls.trimReleased()), false);
        const moved = await trim();
        assert.ok(Math.abs(moved.pitch - held.pitch_control) < 1e-9 && Math.abs(moved.roll - 0.25) < 1e-9,
          'the trim point is where the hand was: ' + JSON.stringify(moved));
        assert.ok(Math.abs(moved.pedals - trimmed.pedals) < 1e-9, 'the pedals\' trim is not the cyclic\'s');
        // Moved on after T came up: C brings the cyclic back to the new trim point.
        await page.evaluate(() => { panel.control('roll', -0.4); panel.control('pitch', 0.3); panel.advance(0.02); });
        await page.keyboard.press('c');
        const after = await page.evaluate(() => panel.aircraft());
        assert.ok(Math.abs(after.roll_control - 0.25) < 1e-9 && Math.abs(after.pitch_control - held.pitch_control) < 1e-9,
          JSON.stringify(after));
        assert.ok(Math.abs(after.pedals - trimmed.pedals) < 1e-9, 'pedals at the situation\'s trim');
        // A new situation trims afresh.
        await page.evaluate(() => panel.situation('cruise'));
        assert.ok(Math.abs((await trim()).roll - (await page.evaluate(() => panel.aircraft())).roll_control) < 1e-9);
        assert.match(await page.$eval('#controls-help', (e) => e.textContent), /T held: force-trim release/);
        assert.deepEqual(page.errors, []);
        await page.close();
      });
  });

  describe(module + ': time and text', () => {
    test('paused, a click shows on the annunciator at once, and 18 Steps fly one simulated second', async () => {
      const page = await open(browser, module);  // opens paused
      const blank = await page.evaluate(() => panel.texts('Annunciator').join('|'));
      await stab(page, module);
      await clickControl(page, module, 'ALT');
      const shown = await page.evaluate(() => panel.texts('Annunciator').join('|'));
      assert.notEqual(shown, blank, 'the annunciator drew the press');
      assert.match(shown, /ALT/);
      const t0 = await page.evaluate(() => panel.time());
      for (let i = 0; i < 18; i++) await page.click('#step');
      const t1 = await page.evaluate(() => panel.time());
      assert.ok(Math.abs(t1 - t0 - 1) < 1e-6, `18 Steps flew ${t1 - t0} s`);
      await page.click('#step');
      const t2 = await page.evaluate(() => panel.time());
      assert.ok(Math.abs(t2 - t1 - 0.05) < 1e-6 || Math.abs(t2 - t1 - 0.06) < 1e-6, `one Step: ${t2 - t1} s`);
      await page.close();
    });

    test('non-ASCII text and emoji come back whole in a message', async () => {
      const page = await open(browser, module);
      const name = 'höhe_über_grund_🚁', long = '🚁'.repeat(45);
      const said = await page.evaluate((n, l) => {
        const out = {};
        try { panel.set(n, 1); } catch (e) { out.variable = e.message; }
        try { panel.run('set ' + n + ' 1'); } catch (e) { out.scenario = e.message; }
        try { panel.set(l, 'x'); } catch (e) { out.long = e.message; }
        try { panel.set('airspeed', l); } catch (e) { out.value = e.message; }
        return out;
      }, name, long);
      assert.ok(said.variable.includes("'" + name + "'"), said.variable);
      assert.ok(said.scenario.includes(name), said.scenario);
      // A long text is cut by characters, never inside one.
      assert.ok(!/[\uD800-\uDBFF](?![\uDC00-\uDFFF])/.test(said.value) && !said.value.includes('\uFFFD'), said.value);
      assert.ok(said.value.includes('🚁'.repeat(40) + '...') || said.value.includes('🚁'.repeat(45)), said.value);
      assert.ok(!said.long.includes('\uFFFD'), said.long);
      await page.close();
    });
    test('a non-ASCII line comes back whole in its message', async () => {
      const page = await open(browser, module);
      const word = 'flieg_über_straße_🚁', quoted = '"Höhe 🚁 \\ über"';
      const said = await page.evaluate((w, q) => {
        const out = {};
        try { panel.run('situation cruise\n' + w + ' 10'); } catch (e) { out.instruction = e.message; }
        try { panel.parameter('AFCP', q); out.parameter = 'taken'; } catch (e) { out.parameter = e.message; }
        try { panel.set('airspeed', 'ü'); } catch (e) { out.value = e.message; }
        return out;
      }, word, quoted);
      assert.ok(said.instruction.startsWith("line 2: unknown instruction '" + word + "'"), said.instruction);
      assert.ok(!said.parameter.includes('\uFFFD'), said.parameter);
      assert.ok(said.value.includes("'ü'"), said.value);
      for (const text of Object.values(said)) assert.ok(!/[\u0080-\u00ff]{2}/.test(text), 'no UTF-8 read as Latin-1: ' + text);
      await page.close();
    });
  });
}

// The situation an exercise starts in, as the page lists it.
let situations = null;
async function exerciseSituation(id) {
  if (!situations) {
    const page = await open(browser, 'korstpanel');
    situations = Object.fromEntries((await page.evaluate(() => panel.exercises())).map((e) => [e.id, e.situation]));
    await page.close();
  }
  return situations[id];
}

for (const module of modules) {
  describe(module + ': the cues', () => {
    test('minimums at the decision height once, low height when sinking near the ground, and the autopilot let go',
      { timeout: 120000 }, async () => {
        const page = await open(browser, module, { situation: 'approach' });
        await armIls(page, module);
        await downTo(page, 200.4);  // the readout shows 200 ft: the autopilot levels off there
        let heard = await page.evaluate(() => panel.cues());
        assert.deepEqual(heard.map((h) => h.cue), ['minimums']);
        assert.match(heard[0].text, /^MINIMUMS: decision height 200 ft$/);
        assert.equal(heard[0].sounded, true, 'the tone played');
        assert.equal(await page.$eval('#caution', (p) => p.textContent), heard[0].text);
        // Level at the decision height the call is not given again; a pilot who lets go of everything with the
        // lever down dives to the low height (at 2,500 ft/min: flown to 20 ft, so that samples, four a second,
        // fall below 50 ft).
        await fly(page, 5);
        await page.click('#sound');  // muted from here
        await page.evaluate(() => panel.run('command ' + (panel.face().module === 'korstpanel' ? 'STAB' : 'ALT') +
          '\nset enable_switch 0\nupdate 2\ncontrol collective 0.1\nfly 60 until radar_height below 6'));
        heard = await page.evaluate(() => panel.cues());
        assert.deepEqual(heard.map((h) => h.cue), ['minimums', 'disengaged', 'low'], JSON.stringify(heard));
        assert.match(heard[1].text, /^AUTOPILOT OFF: .* dropped$/);
        // levelled off at the decision height: ALT in place of GS, on the localizer
        for (const word of ['LOC', 'ALT']) assert.match(heard[1].text, new RegExp('\\b' + word + '\\b'), heard[1].text);
        assert.equal(heard[1].sounded, false, 'muted');
        assert.match(heard[2].text, /^LOW HEIGHT: \d+ ft, sinking \d+ ft\/min$/);
        // A situation the pilot chooses drops the modes without a warning.
        await page.evaluate(() => { panel.situation('cruise'); panel.command('ALT'); panel.fly(1); panel.situation('cruise'); panel.fly(1); });
        assert.equal((await page.evaluate(() => panel.cues())).length, 3);
        assert.deepEqual(page.errors, []);
        await page.close();
      });

    test('the AFCS caution while HOV sits at its bank limit in a 40 kt crosswind, gone with the wind', async () => {
      const page = await open(browser, module, { paused: true });
      await page.evaluate(() => panel.run('situation hover\nupdate 2\ncommand STAB\nupdate\ncommand HOV\nfly 1\n' +
        'wind 270 40\nfly 60'));
      const heard = await page.evaluate(() => panel.cues());
      const caution = heard.filter((h) => h.cue === 'caution');
      assert.equal(caution.length, 1, JSON.stringify(heard));
      assert.equal(caution[0].text, 'AFCS CAUTION: HOV at its bank limit');
      assert.ok(caution[0].time > 2, 'not before the mode has sat at the limit: ' + caution[0].time);
      assert.equal(await page.$eval('#caution', (p) => p.textContent), caution[0].text);
      assert.equal(await page.$eval('#caution', (p) => p.dataset.level), 'caution');
      await page.evaluate(() => panel.run('wind 270 0\nfly 60'));
      assert.equal(await page.$eval('#caution', (p) => p.textContent), '', 'cleared once HOV holds again');
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  });
}
