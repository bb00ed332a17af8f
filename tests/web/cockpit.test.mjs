// The cockpit's power gauges and the end of a flight: the torque dial reads the model's torque and marks the limit
// the model names, the rotor speed dial its one speed; a hard landing ends the flight on screen with its cause and
// a restart; turbulence picked on the page is the scenario language's and a saved flight keeps it.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { dist, launch, modules, open, root } from './browser.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

const hardLanding = fs.readFileSync(path.join(root, 'tests/scenarios/both/touchdown-hard.txt'), 'utf8')
  .split('\n').filter((line) => !/^\s*expect\b/.test(line)).join('\n');

for (const module of modules) {
  describe(module + ': the power gauges', () => {
    test('torque and each engine\'s follow the collective up to the engines\' ratings, where the rotor droops', async () => {
      const page = await open(browser, module, { situation: 'hover' });
      const dials = await page.evaluate(() => panel.instruments.power.dials);
      // The take-off range in amber, from both engines' maximum continuous torque (2 x 480 hp of the 1,100 hp
      // rating) up to the take-off rating.
      assert.deepEqual(dials, [{ name: 'TQ', limits: [100], caution: [100 * 960 / 1100, 100] }, { name: 'NR', limits: [95, 105] }]);
      const read = () => page.evaluate(() => {
        const a = panel.aircraft();
        return { model: a, shown: panel.instruments.power.shown() };
      });
      // Red pixels under a dial (0: the torque's, 1: the rotor's): a needle and a figure past a limit.
      const red = (half) => page.$eval('canvas[data-instrument="power"]', (c, h) => {
        const d = c.getContext('2d').getImageData(h * c.width / 2, 0, c.width / 2, c.height).data;
        let n = 0;
        for (let i = 0; i < d.length; i += 4) if (d[i] > 200 && d[i + 1] < 90 && d[i + 2] < 80) n++;
        return n;
      }, half);
      await page.evaluate(() => panel.fly(1));
      const hover = await read();
      assert.ok(hover.model.torque > 30 && hover.model.torque < 100, 'a hover takes part of the rating: ' + hover.model.torque);
      for (const name of ['torque', 'engine_1_torque', 'engine_2_torque', 'rotor_speed'])
        assert.ok(Math.abs(hover.shown[name] - hover.model[name]) < 0.5, name + ': ' + JSON.stringify(hover));
      assert.ok(Math.abs(hover.shown.rotor_speed - 100) < 1, 'governed: ' + hover.shown.rotor_speed);
      assert.ok(Math.abs(hover.shown.engine_1_torque - hover.shown.engine_2_torque) < 1, 'the engines share the load');
      const marks = await red(1);  // the rotor in its range: only the limits' radials are red
      // The lever right up: the engines give their take-off power, no more; the rotor's speed droops below its
      // range, and the same power at the slower shaft is more torque than the rating. Both needles and figures
      // turn red.
      const torqueMarks = await red(0);
      await page.evaluate(() => { panel.control('collective', 1); panel.fly(3); });
      const pulled = await read();
      assert.ok(pulled.model.rotor_speed < 95, 'the rotor droops: ' + pulled.model.rotor_speed);
      assert.ok(pulled.model.torque > 100, 'over-torque at the drooping rotor: ' + pulled.model.torque);
      assert.ok(Math.abs(pulled.shown.torque - pulled.model.torque) < 0.5, JSON.stringify(pulled.shown));
      assert.ok(await red(0) > torqueMarks + 40, 'red pixels of the torque\'s needle and figure past the rating');
      assert.ok(Math.abs(pulled.shown.rotor_speed - pulled.model.rotor_speed) < 0.5, JSON.stringify(pulled.shown));
      assert.ok(await red(1) > marks + 40, 'red pixels of the rotor\'s needle and figure out of its range');
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  });

  describe(module + ': a crash', () => {
    test('a hard landing is shown with its cause, nothing flies on, and Restart starts the situation afresh',
      { timeout: 60000 }, async () => {
        const page = await open(browser, module, { situation: 'hover' });
        assert.equal(await page.evaluate(() => panel.crash()), null);
        const log = await page.evaluate((t) => panel.run(t), hardLanding);
        assert.match(log.join('\n'), /until crashed: touched down faster than 600 ft\/min/);
        const crash = await page.evaluate(() => panel.crash());
        assert.equal(crash.cause, 'hard_touchdown');
        assert.equal(crash.caption, 'Hard touchdown');
        assert.match(crash.detail, /^the aircraft touched down faster than 600 ft\/min at \d+\.\d s/);
        assert.equal(await page.$eval('#crash', (e) => e.hidden || getComputedStyle(e).display === 'none'), false);
        await page.screenshot({ path: path.join(dist, 'web', module + '-crash.png') });
        // Live, the frames go by and the clock stands; a Step says why nothing flies.
        await page.evaluate(() => panel.resume());
        const at = await page.evaluate(() => panel.time());
        await page.evaluate(() => { for (let i = 0; i < 20; i++) panel.advance(0.05); });
        assert.equal(await page.evaluate(() => panel.time()), at);
        await page.evaluate(() => panel.pause());
        await page.click('#step');
        assert.match(await page.$eval('#click-message', (p) => p.textContent), /crashed: Restart/);
        assert.equal(await page.evaluate(() => panel.time()), at);

        await page.click('#crash-restart');
        assert.equal(await page.evaluate(() => panel.crash()), null);
        assert.equal(await page.$eval('#crash', (e) => e.hidden), true);
        await page.evaluate(() => panel.fly(1));
        assert.equal((await page.evaluate(() => panel.aircraft())).crashed, 0);
        const height = await page.evaluate(() => panel.reading().radar_height);
        assert.ok(height > 40, 'hovering again at the hover\'s 50 ft: ' + height);
        assert.deepEqual(page.errors, []);
        await page.close();
      });
  });

  describe(module + ': engine failures from the page', () => {
    test('the engines menu fails both in cruise: ALT lets go of the lever, the warning sounds, the rotor runs down ' +
      'with the lever held; a situation starts with both running', { timeout: 60000 }, async () => {
      const page = await open(browser, module, { situation: 'cruise' });
      const options = await page.$$eval('#engines option', (o) => o.map((x) => x.value));
      assert.deepEqual(options, ['running', '1', '2', 'both']);
      await page.evaluate(() => { panel.command(panel.face().module === 'korstpanel' ? 'STAB' : 'ALT'); panel.update(2); });
      if (module === 'korstpanel') await page.evaluate(() => { panel.command('ALT'); panel.update(2); });
      await page.evaluate(() => panel.fly(2));
      assert.match(await page.evaluate(() => panel.reading().modes), /\bALT\b/);
      await page.select('#engines', '1');
      await page.evaluate(() => panel.fly(5));
      let a = await page.evaluate(() => panel.aircraft());
      assert.equal(a.engines_out, 1);
      assert.ok(a.engine_1_torque < 1, 'the failed engine runs down to nothing: ' + a.engine_1_torque);
      assert.ok(a.engine_2_torque > 60, 'the other carries the cruise: ' + a.engine_2_torque);
      assert.ok(Math.abs(a.rotor_speed - 100) < 2, 'one engine flies the cruise: ' + a.rotor_speed);
      await page.select('#engines', 'both');
      await page.evaluate(() => panel.fly(3));
      a = await page.evaluate(() => panel.aircraft());
      assert.equal(a.engines_out, 2);
      assert.ok(a.rotor_speed < 90, 'the lever held where ALT left it: the rotor runs down: ' + a.rotor_speed);
      const heard = (await page.evaluate(() => panel.cues())).map((h) => h.cue);
      for (const cue of ['engine', 'low_rotor']) assert.ok(heard.includes(cue), cue + ' in ' + heard);
      assert.match(await page.$eval('#caution', (p) => p.textContent), /^(LOW ROTOR|ENGINES OUT|AFCS CAUTION)/);
      assert.equal(await page.$eval('#engines', (s) => s.value), 'both');
      const shown = await page.evaluate(() => panel.instruments.power.shown());
      assert.ok(Math.abs(shown.rotor_speed - a.rotor_speed) < 0.5 && shown.engine_1_torque < 1 &&
        shown.engine_2_torque < 15, JSON.stringify(shown));
      await page.screenshot({ path: path.join(dist, 'web', module + '-engines-out.png') });
      await page.select('#situation', 'cruise');
      await page.evaluate(() => panel.fly(2));
      a = await page.evaluate(() => panel.aircraft());
      assert.equal(a.engines_out, 0, 'a new situation flies with both engines');
      assert.equal(await page.$eval('#engines', (s) => s.value), 'running');
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  });

  describe(module + ': turbulence from the page', () => {
    test('the select sets the level through the instruction, a scenario\'s shows in it, a saved flight keeps both',
      { timeout: 60000 }, async () => {
        const page = await open(browser, module);
        const options = await page.$$eval('#turbulence option', (o) => o.map((x) => x.value));
        assert.deepEqual(options, ['off', 'light', 'moderate', 'severe']);
        assert.equal(await page.$eval('#turbulence', (s) => s.value), 'off');
        await page.evaluate(() => panel.fly(1));
        await page.select('#turbulence', 'moderate');
        const air = await page.evaluate(() => panel.reading().turbulence);
        assert.equal(air.level, 'moderate');
        assert.ok(Number.isInteger(air.seed) && air.seed >= 0 && air.seed < 2 ** 32, String(air.seed));
        await page.evaluate(() => panel.fly(2));
        // The scenario box's help names the instruction, from the host's table.
        assert.match(await page.$eval('#scenario-help', (e) => e.textContent), /\bfly, wind, turbulence, control\b/);
        // The scenario language sets it as well: the select follows.
        await page.evaluate(() => panel.run('turbulence light 7\nfly 1'));
        assert.equal(await page.$eval('#turbulence', (s) => s.value), 'light');
        const saved = JSON.parse(await page.evaluate(() => panel.flightFile()));
        assert.deepEqual(saved.turbulence.map(([, level, seed]) => [level, seed]),
          [['off', 0], ['moderate', air.seed], ['light', 7]]);
        assert.ok(saved.turbulence[1][0] > 0.9 && saved.turbulence[1][0] < 1.2, 'set after a second: ' + saved.turbulence[1][0]);
        // A new situation keeps the air as it is, and its flight starts with it.
        await page.evaluate(() => { panel.situation('cruise'); panel.fly(0.5); });
        const fresh = JSON.parse(await page.evaluate(() => panel.flightFile()));
        assert.deepEqual(fresh.turbulence, [[0, 'light', 7]]);
        // A file with a setting that is not one is refused.
        const bad = { ...saved, turbulence: [[0, 'light']] };
        await assert.rejects(page.evaluate((t) => panel.replay(t), JSON.stringify(bad)), /turbulence setting/);
        assert.deepEqual(page.errors, []);
        await page.close();
      });
  });
}
