// The trainer pages in headless Chromium: the page opens flying and holds what the panel's modes hold, keys fly
// the aircraft the right way, the instruments draw what it does, the exercises know a flight done right from one
// done wrong, taps work on a tablet, and no input breaks the page.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { dist, launch, modules, open, refusals, root } from './browser.mjs';
import { afcpControls } from './controls.mjs';
import { FAST, TRAVEL_PER_SECOND } from '../../web/page/controls.js';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

const ALT_BIT = 0x200, STAB_BIT = 0x100000;
const centreOf = (module, reaches) => {
  const c = afcpControls[module].find((k) => k.reaches === reaches);
  return [c.x + c.w / 2, c.y + c.h / 2];
};
async function clickControl(page, module, reaches, how = 'mouse') {
  const box = await (await page.$('canvas[data-gauge="AFCP"]')).boundingBox();
  const [x, y] = centreOf(module, reaches);
  if (how === 'tap') await page.touchscreen.tap(box.x + x, box.y + y);
  else await page.mouse.click(box.x + x, box.y + y);
}
const hasStab = (module) => afcpControls[module].some((k) => k.reaches === 'STAB');
const aircraft = (page) => page.evaluate(() => panel.aircraft());
const variant = (module) => module.replace('panel', '');

for (const module of modules) {
  describe(module, () => {
    test('opens flying in the cruise; real clicks on STAB and ALT hold the altitude against a disturbance', async () => {
      const page = await open(browser, module, { paused: false, width: 1366, height: 1024 });
      await page.waitForFunction(() => panel.time() > 0.5, { timeout: 10000 });
      await page.evaluate(() => panel.pause());
      const start = await aircraft(page);
      await page.evaluate(() => panel.fly(10));
      const handsOff = await aircraft(page);
      assert.ok(Math.abs(handsOff.current_altitude - start.current_altitude) < 100, 'altitude after 10 s hands off');
      assert.ok(Math.abs(handsOff.airspeed - start.airspeed) < 5, 'airspeed after 10 s hands off');

      // The same disturbance twice: a wind from the side and the collective lowered. With ALT the altitude stays;
      // without, it goes (flown for less time: with nothing engaged the bare airframe diverges and, left alone
      // long enough, meets the ground).
      const disturbedFlight = (seconds) => page.evaluate((seconds) => {
        panel.wind(270, 25);
        panel.control('collective', panel.aircraft().collective - 0.03);
        const from = panel.aircraft().current_altitude;
        let low = from, high = from;
        for (let s = 0; s < seconds; s++) {
          panel.fly(1);
          const a = panel.aircraft().current_altitude;
          low = Math.min(low, a);
          high = Math.max(high, a);
        }
        return { from, low, high, reference: panel.references().altitude };
      }, seconds);
      // The Brevane has no STAB button on the AFCP: its modes engage the STAB set themselves.
      if (hasStab(module)) await clickControl(page, module, 'STAB');
      await clickControl(page, module, 'ALT');
      const words = await page.evaluate(() => panel.words());
      assert.ok(words.engaged & ALT_BIT && words.engaged & STAB_BIT, 'STAB and ALT engaged by the clicks');
      const held = await disturbedFlight(60);
      assert.ok(held.high - held.reference <= 30 && held.reference - held.low <= 30, JSON.stringify(held));

      await page.evaluate(() => { panel.situation('cruise'); panel.wind(0, 0); });  // a fresh start drops ALT
      assert.equal((await page.evaluate(() => panel.words())).engaged & ALT_BIT, 0);
      const drifted = await disturbedFlight(20);
      assert.ok(drifted.from - drifted.low > 30, 'without ALT the disturbance moves it: ' + JSON.stringify(drifted));
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('holding a key moves its control, and the aircraft answers the right way', async () => {
      const page = await open(browser, module);
      const cases = [
        ['ArrowUp', 'pitch_control', -1, (a, b) => b.pitch < a.pitch - 1, 'the nose goes down'],
        ['ArrowRight', 'roll_control', 1, (a, b) => b.bank > a.bank + 2, 'the right wing goes down'],
        ['PageUp', 'collective', 1, (a, b) => b.climb_rate > a.climb_rate + 200, 'it climbs'],
        ['z', 'pedals', -1, (a, b) => Math.sin((b.heading - a.heading) * Math.PI / 180) < -0.01, 'the nose goes left'],
      ];
      for (const [key, control, sign, answered, what] of cases) {
        await page.evaluate(() => panel.situation('cruise'));
        const a = await aircraft(page);
        await page.keyboard.down(key);
        await new Promise((r) => setTimeout(r, 600));
        await page.keyboard.up(key);
        const moved = (await aircraft(page))[control] - a[control];
        assert.ok(sign * moved > 0.03, `${key} moves ${control} (${moved})`);
        await new Promise((r) => setTimeout(r, 200));
        const left = (await aircraft(page))[control];
        await new Promise((r) => setTimeout(r, 200));
        assert.equal((await aircraft(page))[control], left, `${control} stays where the key left it`);
        await page.evaluate(() => panel.fly(3));
        const b = await aircraft(page);
        assert.ok(answered(a, b), `${key}: ${what} (${JSON.stringify([a, b].map((x) => [x.pitch, x.bank, x.climb_rate, x.heading]))})`);
      }
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('Shift held with a key moves its control four times as far in the same time', async () => {
      const page = await open(browser, module);
      const moved = async (shift) => {
        await page.evaluate(() => panel.situation('cruise'));
        const from = (await aircraft(page)).collective;
        if (shift) await page.keyboard.down('Shift');
        await page.keyboard.down('PageDown');
        await new Promise((r) => setTimeout(r, 500));
        await page.keyboard.up('PageDown');
        if (shift) await page.keyboard.up('Shift');
        return from - (await aircraft(page)).collective;
      };
      const slow = await moved(false), fast = await moved(true);
      assert.ok(slow > 0.02, 'Page Down lowers the lever: ' + slow);
      assert.ok(fast / slow > FAST * 0.75 && fast / slow < FAST * 1.25, `${fast} against ${slow}`);
      assert.ok((await page.$eval('#controls-help', (e) => e.textContent)).includes(`Shift with them: ${FAST} times as fast`));
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('the instruments show what the aircraft does', async () => {
      const page = await open(browser, module, { width: 1366, height: 1024 });
      const found = await page.evaluate(async () => {
        // The colour at a CSS pixel of an instrument's canvas, and whether one of the 5 x 5 around it looks so.
        const near = (canvas, x, y, looks) => {
          const k = canvas.width / canvas.clientWidth;
          const d = canvas.getContext('2d').getImageData(Math.round(x * k) - 2, Math.round(y * k) - 2, 5, 5).data;
          for (let i = 0; i < d.length; i += 4) if (looks(d[i], d[i + 1], d[i + 2])) return true;
          return false;
        };
        const magenta = (r, g, b) => r > 200 && g < 130 && b > 170;
        const sky = (r, g, b) => b > r + 40, ground = (r, g, b) => r > b + 30;
        const { pfd, map, chart } = panel.instruments;
        const pfdCanvas = document.querySelector('canvas[data-instrument="pfd"]');
        const out = {};
        panel.situation('cruise');
        panel.command('STAB');
        panel.command('IAS');
        panel.command('ALT');
        panel.set('autopilot_airspeed', 90 * 64);
        panel.set('heading_bug', 20);
        panel.control('roll', panel.aircraft().roll_control + 0.06);
        panel.fly(2);
        let s = panel.shown();
        const g = pfd.geometry;
        out.banked = s.bank;
        // A point of the horizon beyond the fixed aircraft symbol's wings (they reach 72 px from the centre).
        const h = g.horizonPoint(s, 100);
        out.skyAbove = near(pfdCanvas, h.x, h.y - 8, sky) && !near(pfdCanvas, h.x, h.y - 8, ground);
        out.groundBelow = near(pfdCanvas, h.x, h.y + 8, ground) && !near(pfdCanvas, h.x, h.y + 8, sky);
        out.speedBug = near(pfdCanvas, g.speedTape.bugX, g.speedY(s, s.refs.airspeed), magenta);
        out.altitudeBug = near(pfdCanvas, g.altitudeTape.bugX, g.altitudeY(s, s.refs.altitude), magenta);
        out.headingBug = near(pfdCanvas, g.headingX(s, 20), g.headingScale.bugY, magenta);
        out.noLocalizer = s.localizer === null;

        panel.situation('approach');
        panel.fly(1);
        s = panel.shown();
        out.localizerDiamond = s.localizer !== null && near(pfdCanvas, g.localizerX(s), g.localizer.y, magenta);
        out.glideSlopeDiamond = s.glide_slope !== null && near(pfdCanvas, g.glideSlope.x, g.glideSlopeY(s), magenta);

        const mapCanvas = document.querySelector('canvas[data-instrument="map"]');
        map.range = 10;
        map.orientation = 'north';
        map.draw(s);
        const ac = map.aircraftPixel(s);
        out.aircraftOnMap = near(mapCanvas, ac.x, ac.y, (r, gg, b) => r > 200 && gg > 170 && b < 100);
        const w = panel.reading();
        const t = map.toPixel(s, w.north + 0, w.east + 0);
        out.aircraftWhereItIs = Math.hypot(t.x - ac.x, t.y - ac.y) < 1;

        panel.fly(20);
        await new Promise((r) => setTimeout(r, 50));  // the chart draws in a task of its own
        for (const name of ['altitude', 'airspeed', 'heading', 'climb_rate', 'radar_height']) {
          const p = chart.lastPoint(name);
          const colour = chart.series.find((x) => x.name === name).color;
          const want = [1, 3, 5].map((i) => parseInt(colour.slice(i, i + 2), 16));
          out['chart ' + name] = p !== null && near(chart.canvas, p.x, p.y,
            (r, gg, b) => Math.abs(r - want[0]) + Math.abs(gg - want[1]) + Math.abs(b - want[2]) < 60);
        }
        return out;
      });
      assert.ok(found.banked > 2, 'the roll control banked it: ' + found.banked);
      for (const [name, ok] of Object.entries(found)) if (name !== 'banked') assert.equal(ok, true, name);
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    // Each exercise flown as a pilot would, and flown wrong. Scenarios of the flying tests do the right flights.
    const scenario = (file) => fs.readFileSync(path.join(root, 'tests', 'scenarios', file), 'utf8');
    const flights = {
      'altitude-acquire': {
        right: scenario('both/altitude-acquire.txt').split('\n\nset vertical_speed -1000')[0] + '\nfly 25',
        // Climbing there with V/S and pressing ALT at the altitude is not an acquisition.
        wrong: 'situation cruise\nupdate 2\ncommand STAB\nset vertical_speed 1000\ncommand VS\nfly 90 until current_altitude above 2990\ncommand ALT\nfly 30',
      },
      heading: {
        right: scenario('both/heading.txt') + '\nfly 20',
        wrong: 'situation cruise\nupdate 2\ncommand STAB\ncommand ALT\nset heading_bug 90\ncontrol roll 0.1\nfly 20\ncommand HDG\nfly 20',
      },
      hover: {
        right: scenario('both/transition-down.txt') + '\nfly 35',
        wrong: 'situation hover\nupdate 2\ncommand STAB\ncommand HOV\ncontrol pitch -0.3\nfly 40',
      },
      ils: {
        // down the approach to the level-off at the decision height, until the readout shows 200 ft (61.1 m)
        right: scenario(variant(module) + '/ils.txt').split('command GO_AROUND')[0] + 'fly 60 until radar_height below 61.1\nfly 0.5',
        wrong: 'situation approach\nupdate 2\ncommand STAB\ncommand IAS\ncommand HDG\nset vertical_speed -500\ncommand VS\nfly 300 until radar_height below 60',
      },
      // Both engines out at 66 kt, the lever lowered, the flare and the cushion; the same without them crashes.
      autorotation: {
        right: scenario('both/autorotation-flare.txt') + '\nfly 5',
        wrong: scenario('both/autorotation-no-flare.txt'),
      },
      'go-around': {
        right: scenario(variant(module) + '/ils.txt') + '\nfly 20',
        wrong: 'situation approach\nupdate 2\ncommand STAB\ncommand IAS\nset vertical_speed 800\ncommand VS\nfly 60',
      },
    };
    test('each exercise is met when flown right and not when flown wrong', async () => {
      const page = await open(browser, module);
      const ids = await page.evaluate(() => panel.exercises().map((e) => e.id));
      assert.deepEqual(ids.slice().sort(), Object.keys(flights).sort());
      for (const [id, { right, wrong }] of Object.entries(flights)) {
        for (const [how, text, expected] of [['right', right, true], ['wrong', wrong, false]]) {
          const status = await page.evaluate((t, i) => {
            panel.situation('ground');  // every check starts anew, and no mode stays from the last flight
            panel.run(t);
            return panel.exercises().find((e) => e.id === i);
          }, text, id);
          assert.equal(status.met, expected, `${id} flown ${how}: ${status.progress}`);
        }
      }
      const shown = await page.$$eval('#exercises li', (items) => items.map((li) => li.textContent));
      assert.equal(shown.length, Object.keys(flights).length);
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    // The autorotation exercise flown as a pilot on the keyboard flies it, the lever and the stick moved at the keys'
    // own rates a tenth of a second at a time: the lever down and the nose a little down for 65 kt, at 130 ft
    // (40 m) the flare, at 25 ft (8 m) the skids levelled and the lever raised together. With Shift the keys are
    // quick enough and the exercise is met; at the plain keys' rates the same flight cannot be flown in time.
    test('the autorotation can be flown on the keys with Shift, and not on the keys alone', async () => {
      const page = await open(browser, module);
      const entry = scenario('both/autorotation-flare.txt').split('control collective')[0];
      const flown = async (k) => {
        const hand = await page.evaluate((t) => {
          panel.situation('ground');
          panel.run(t);
          const a = panel.aircraft();
          return { collective: a.collective, pitch: a.pitch_control };
        }, entry);
        const lines = [entry];
        const move = (to) => {  // the keys of each axis held together until each control is where it is wanted
          for (;;) {
            const left = Object.entries(to).filter(([axis, v]) => Math.abs(v - hand[axis]) > 1e-9);
            if (left.length === 0) return;
            for (const [axis, v] of left) {
              const step = TRAVEL_PER_SECOND[axis] * k * 0.1;
              hand[axis] += Math.max(-step, Math.min(step, v - hand[axis]));
              lines.push(`control ${axis} ${hand[axis].toFixed(5)}`);
            }
            lines.push('fly 0.1');
          }
        };
        move({ collective: 0.03, pitch: -0.35 });
        lines.push('fly 120 until radar_height below 40');
        move({ pitch: 0.2 });
        lines.push('fly 10 until radar_height below 8');
        move({ pitch: -0.3, collective: 0.5 });
        lines.push('fly 8');
        return page.evaluate((t) => {
          panel.situation('ground');
          let error = '';
          try { panel.run(t); } catch (e) { error = e.message; }
          return { error, status: panel.exercises().find((e) => e.id === 'autorotation'), crash: panel.crash() };
        }, lines.join('\n'));
      };
      const fast = await flown(FAST);
      assert.equal(fast.status.met, true, JSON.stringify(fast));
      const slow = await flown(1);
      assert.equal(slow.status.met, false, JSON.stringify(slow));
      assert.match(slow.error, /crashed/, 'too slow on the keys it crashes');
      assert.equal(slow.crash && slow.crash.cause, 'hard_touchdown', 'and the page shows it at once');
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    // The preview runs the real DLL under Wine, which needs a kernel that runs 32-bit programs.
    const flightPreview = path.join(dist, 'preview');
    test('a flying scenario gives the mode words the Wine preview of the real DLL gives at every snapshot',
      { skip: fs.existsSync(flightPreview) ? false : 'no Wine preview in dist/preview (Wine cannot run on this machine)' },
      async () => {
        const page = await open(browser, module, { frozen: true });
        const lines = fs.readFileSync(path.join(root, 'preview', variant(module) + '-flight.txt'), 'utf8').split('\n');
        let part = [];
        for (const line of lines) {
          const m = line.match(/^\s*snapshot\s+(\S+)/);
          if (!m) { part.push(line); continue; }
          await page.evaluate((t) => panel.run(t), part.join('\n'));
          part = [];
          const expected = JSON.parse(fs.readFileSync(path.join(flightPreview, m[1] + '-state.json'), 'utf8'));
          assert.deepEqual(await page.evaluate(() => panel.words()), expected.words, m[1]);
        }
        await page.close();
      });

    test('on a tablet: a tap on ALT engages it, and the panel, the PFD and the time controls fit the screen', async () => {
      const page = await open(browser, module, { paused: false, width: 1366, height: 1024, touch: true });
      await page.waitForFunction(() => panel.time() > 0.3);
      await clickControl(page, module, 'ALT', 'tap');
      assert.ok((await page.evaluate(() => panel.words())).engaged & ALT_BIT, 'ALT engaged by the tap');
      for (const selector of ['canvas[data-gauge="AFCP"]', 'canvas[data-instrument="pfd"]', '#pause', '#step', '#scales', '#situation']) {
        const box = await (await page.$(selector)).boundingBox();
        assert.ok(box.x >= 0 && box.y >= 0 && box.x + box.width <= 1366 && box.y + box.height <= 1024,
          selector + ' on screen: ' + JSON.stringify(box));
      }
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('says why a press did nothing', async () => {
      const page = await open(browser, module, { situation: 'ground' });
      await page.evaluate(() => panel.update(2));
      await clickControl(page, module, 'ALT');
      const why = await page.$eval('#why-message', (p) => p.textContent);
      assert.match(why, /engage gate needs an airspeed above 40 kt and a radar height above 60\.96 m; it sampled an airspeed of 0\.0 kt and a radar height of 0\.\d m at its last update/);
      await page.evaluate(() => { panel.situation('cruise'); panel.update(1); });  // the module samples the cruise
      await clickControl(page, module, 'HDG');
      const after = await page.$eval('#why-message', (p) => p.textContent);
      if (module === 'korstpanel') assert.match(after, /HDG engaged, but the engine flies no mode while STAB is off/);
      else assert.equal(after, '', 'HDG turns the STAB set on by itself');
      await page.close();
    });

    test('bad input through the script interface and from a gamepad is refused or taken, never breaks the page', async () => {
      const page = await open(browser, module);
      await page.evaluate(() => {
        // A gamepad that reports nonsense.
        navigator.getGamepads = () => [null, { connected: true, id: 42, axes: [NaN, Infinity, '1', -1e9] },
          { connected: true, axes: null }, { connected: true, axes: { length: 9 } }];
      });
      const refused = await refusals(page, () => ({
          'situation unknown': () => panel.situation('moon'),
          'situation two instructions': () => panel.situation('cruise\nfly 5'),
          'situation not text': () => panel.situation(3),
          'fly negative': () => panel.fly(-1),
          'fly NaN': () => panel.fly(NaN),
          'fly text': () => panel.fly('5'),
          'fly too long': () => panel.fly(1e9),
          'control out of range': () => panel.control('pitch', 2),
          'control unknown': () => panel.control('yaw', 0),
          'control NaN': () => panel.control('pitch', NaN),
          'wind direction': () => panel.wind(400, 5),
          'wind speed': () => panel.wind(90, -1),
          'wind text': () => panel.wind('90', 5),
          'turbulence unknown': () => panel.turbulence('stormy', 1),
          'turbulence seed': () => panel.turbulence('light', -1),
          'time scale': () => panel.timeScale(3),
          'advance NaN': () => panel.advance(NaN),
          'set while flying': () => panel.set('current_altitude', 1e300),
          'set derived': () => panel.set('pitch', 3),
      }));
      for (const [name, message] of Object.entries(refused)) assert.ok(typeof message === 'string' && message.length > 0, name + ' is refused');
      assert.match(refused['situation unknown'], /situation cruise/);
      assert.match(refused['control out of range'], /takes -1 to 1/);
      // The loop keeps running through the bad gamepad; no instrument gets a NaN.
      await page.evaluate(() => panel.resume());
      await new Promise((r) => setTimeout(r, 500));
      const state = await page.evaluate(() => ({ shown: panel.shown(), time: panel.time(), reading: panel.reading() }));
      assert.ok(state.time > 0.2, 'still flying');
      const numbers = JSON.stringify(state);
      assert.ok(!/NaN|Infinity/.test(numbers), numbers);
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('one turbulence seed flies one flight, placed anew', async () => {
      const page = await open(browser, module, { paused: true, width: 1366, height: 1024 });
      const fly = (seed) => page.evaluate((s) => {
        panel.situation('cruise');
        panel.turbulence('severe', s);
        panel.fly(20);
        const a = panel.aircraft();
        return [a.current_altitude, a.airspeed, a.heading, a.pitch, a.bank];
      }, seed);
      const first = await fly(5);
      assert.deepEqual(await fly(5), first);
      assert.notDeepEqual(await fly(6), first);
      await page.evaluate(() => panel.turbulence('off'));
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('a screenshot of the trainer in flight', async () => {
      const page = await open(browser, module, { width: 1366, height: 1024 });
      await page.evaluate(() => {
        // STAB, ALT, HDG and IAS; then a turn to 060 and a climb with V/S toward 2500 ft, ALT.A armed.
        panel.situation('cruise');
        panel.command('STAB');
        panel.command('ALT');
        panel.command('HDG');
        panel.command('IAS');
        panel.fly(20);
        panel.set('heading_bug', 60);
        panel.set('vertical_speed', 500);
        panel.command('VS');
        panel.fly(6);
        panel.command('ALTA');
        panel.set('autopilot_altitude', 2500);
        panel.fly(40);
      });
      fs.mkdirSync(path.join(dist, 'web'), { recursive: true });
      await page.screenshot({ path: path.join(dist, 'web', module + '-trainer.png') });
      await page.screenshot({ path: path.join(dist, 'web', module + '-trainer-full.png'), fullPage: true });
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  });
}
