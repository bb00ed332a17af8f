// Lessons and flights shared: a ?scenario= link plays its scenario as the page opens, with the mode words and the
// aircraft the native scenario runner gives for the same text; "Copy link" makes such a link; a saved flight opened
// again replays to the same chart and map.
import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import fs from 'node:fs';
import os from 'node:os';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';
import zlib from 'node:zlib';

import { launch, modules, open, root } from './browser.mjs';
import { clickControl } from './controls.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

const variant = (module) => module.replace('panel', '');
const runner = (module) => path.join(root, 'build', 'native', 'scenarios_' + variant(module));
// A link's value as the page makes it: raw DEFLATE in base64url.
const linkValue = (text) => zlib.deflateRawSync(Buffer.from(text, 'utf8')).toString('base64url');
// A lesson with the modes each face has; the last `fly 0.01` makes the native runner print the state at 20 s.
const lesson = (module) => ['situation cruise', 'update 2', module === 'korstpanel' ? 'command STAB' : '',
  'command ALT', 'command HDG', 'set heading_bug 45   # a turn to the right, ünd a comment in UTF-8', 'fly 20',
  'fly 0.01', ''].join('\n');

// The native runner's last line of the aircraft (-v prints one each simulated second).
function nativeState(module, text) {
  const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'lesson-')), 'lesson.txt');
  fs.writeFileSync(file, text);
  const out = execFileSync(runner(module), ['-v', file], { encoding: 'utf8' });
  const line = out.split('\n').filter((l) => /^\s*t=/.test(l)).pop();
  const value = (name) => Number(line.match(new RegExp(' ' + name + '=(\\S+)'))[1]);
  return { time: Number(line.match(/t=\s*(\S+)/)[1]), airspeed: value('airspeed'), current_altitude: value('current_altitude'),
    heading: value('heading'), engaged: parseInt(line.match(/ e=(\w+)/)[1], 16), armed: parseInt(line.match(/ a=(\w+)/)[1], 16) };
}

for (const module of modules) {
  describe(module + ': a lesson as a link', () => {
    test('?scenario= plays as the page opens, to the mode words and aircraft the native runner gives',
      { skip: fs.existsSync(runner(module)) ? false : 'no native scenario runner: make native' }, async () => {
        const text = lesson(module);
        const native = nativeState(module, text);
        assert.ok(Math.abs(native.time - 20) < 1e-6, 'the native line at 20 s: ' + native.time);
        const page = await open(browser, module, { scenario: linkValue(text) });
        const got = await page.evaluate(() => ({ words: panel.words(), aircraft: panel.aircraft(), time: panel.time(),
          box: document.getElementById('scenario').value, said: document.getElementById('scenario-message').textContent }));
        assert.equal(got.box, text, 'the scenario box holds the lesson, UTF-8 whole');
        assert.match(got.said, /the linked scenario played/);
        assert.equal(got.words.engaged >>> 0, native.engaged >>> 0, 'engaged');
        assert.equal(got.words.armed >>> 0, native.armed >>> 0, 'armed');
        // The page ends one physics step (0.01 s) after the runner's line.
        assert.ok(Math.abs(got.time - 20.01) < 1e-6, 'flown ' + got.time);
        assert.ok(Math.abs(got.aircraft.airspeed - native.airspeed) < 0.05, 'airspeed ' + got.aircraft.airspeed + ' ' + native.airspeed);
        assert.ok(Math.abs(got.aircraft.current_altitude - native.current_altitude) < 1, 'altitude');
        assert.ok(Math.abs(got.aircraft.heading - native.heading) < 0.2, 'heading ' + got.aircraft.heading + ' ' + native.heading);
        assert.deepEqual(page.errors, []);
        await page.close();
      });

    test('seeded turbulence flies the same flight in the page as natively, to 12 figures',
      { skip: fs.existsSync(runner(module)) ? false : 'no native scenario runner: make native' }, async () => {
        const text = lesson(module).replace('situation cruise', 'situation cruise\nturbulence moderate 7');
        const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'lesson-')), 'lesson.txt');
        fs.writeFileSync(file, text);
        // The runner's last line: the state the file ends in, every value to 17 figures.
        const line = execFileSync(runner(module), ['-v', file], { encoding: 'utf8' }).split('\n')
          .find((l) => /^\s*end=/.test(l));
        const native = Object.fromEntries([...line.matchAll(/ (\w+)=(-?[\d.e+-]+)(?= |$)/g)].map((m) => [m[1], Number(m[2])]));
        const page = await open(browser, module, { paused: true });
        const got = await page.evaluate((t) => { panel.run(t); return { aircraft: panel.aircraft(), time: panel.time() }; }, text);
        assert.equal(got.time, Number(line.match(/end=(\S+)/)[1]), 'the time flown');
        // The two builds' C libraries may round a sine or a cosine apart in the last bit (glibc natively, musl in
        // WebAssembly): the flight agrees to 1 part in 10^12, where a seed or a gust law apart moves it at once.
        for (const name of ['airspeed', 'current_altitude', 'heading', 'pitch', 'bank', 'climb_rate'])
          assert.ok(Math.abs(got.aircraft[name] - native[name]) <= 1e-12 * Math.max(1, Math.abs(native[name])),
            name + ' ' + got.aircraft[name] + ' ' + native[name]);
        assert.deepEqual(page.errors, []);
        await page.close();
      });

    test('Copy link makes a link that opens the same scenario; a broken link says why and plays nothing', async () => {
      const page = await open(browser, module);
      const text = 'situation hover\nupdate 2\nfly 1   # 🚁 über dem Platz\n';
      await page.$eval('#scenario', (box, t) => { box.value = t; }, text);
      await page.click('#copy-link');
      await page.waitForFunction(() => document.getElementById('link').value !== '');
      const link = await page.$eval('#link', (l) => l.value);
      assert.match(link, /^file:.*\?scenario=[A-Za-z0-9_-]+$/);
      const value = new URL(link).searchParams.get('scenario');
      assert.equal(zlib.inflateRawSync(Buffer.from(value, 'base64url')).toString('utf8'), text);
      await page.close();
      const opened = await open(browser, module, { scenario: value });
      assert.equal(await opened.$eval('#scenario', (b) => b.value), text);
      await opened.close();
      for (const bad of ['not*base64', linkValue('fly nothing')]) {
        const broken = await open(browser, module, { scenario: bad });
        const said = await broken.$eval('#scenario-message', (p) => p.textContent);
        assert.match(said, /^the linked scenario: /);
        assert.deepEqual(broken.errors, []);
        await broken.close();
      }
    });
  });

  describe(module + ': a flight saved and opened again', () => {
    test('replays to the same chart, marks and map', async () => {
      const page = await open(browser, module);
      await page.evaluate(() => panel.situation('cruise'));
      if (module === 'korstpanel') await clickControl(page, module, 'STAB');
      await clickControl(page, module, 'ALT');
      await page.evaluate(() => panel.fly(5));
      await clickControl(page, module, 'HDG');
      for (let i = 0; i < 30; i++) await clickControl(page, module, 'HDG_RIGHT');
      await page.evaluate(() => panel.fly(40));
      const live = await page.evaluate(() => ({ data: panel.instruments.chart.plot.data, marks: panel.instruments.chart.marks(),
        track: panel.instruments.map.historyLength, file: panel.flightFile() }));
      await page.close();
      const flight = JSON.parse(live.file);
      assert.equal(flight.situation, 'cruise');
      assert.ok(flight.samples.length > 150 && flight.marks.length >= 1, flight.samples.length + ' samples, marks ' + JSON.stringify(flight.marks));
      const file = path.join(fs.mkdtempSync(path.join(os.tmpdir(), 'flight-')), 'flight.json');
      fs.writeFileSync(file, live.file);

      const again = await open(browser, module);
      await (await again.$('#flight-file')).uploadFile(file);
      await again.waitForFunction(() => panel.replaying());
      const shown = await again.evaluate(() => ({ data: panel.instruments.chart.plot.data, marks: panel.instruments.chart.marks(),
        track: panel.instruments.map.historyLength, said: document.getElementById('replay-message').textContent }));
      assert.deepEqual(shown.data, live.data, 'the same chart');
      assert.deepEqual(shown.marks, live.marks, 'the same marks');
      assert.equal(shown.track, live.track, 'the same track on the map');
      assert.match(shown.said, /replaying a flight from cruise of 4\d\.\d s/);
      // The live flight is kept off the replay while paused, and comes back with Resume.
      await again.evaluate(() => panel.advance(0.05));
      assert.deepEqual(await again.evaluate(() => panel.instruments.chart.plot.data), live.data);
      await again.click('#pause');
      assert.equal(await again.evaluate(() => panel.replaying()), false);
      // A file of another module, or no flight at all, is refused with a reason.
      const refused = await again.evaluate((text) => {
        const out = [];
        for (const t of [text.replace(/"module":"\w+"/, '"module":"other"'), '{"kind":"x"}', 'not json'])
          try { panel.replay(t); out.push(null); } catch (e) { out.push(e.message); }
        return out;
      }, live.file);
      assert.deepEqual(refused, ['the flight was flown on other, not on ' + module, 'the file is not a saved flight',
        'the file is not a saved flight (not JSON)']);
      assert.deepEqual(again.errors, []);
      await again.close();
    });

    test('flies on from a moment of the flight replayed: placed as it was then, its modes pressed again', { timeout: 60000 },
      async () => {
        const page = await open(browser, module);
        await page.evaluate(() => panel.situation('cruise'));
        if (module === 'korstpanel') await clickControl(page, module, 'STAB');
        await clickControl(page, module, 'ALT');
        await clickControl(page, module, 'HDG');
        for (let i = 0; i < 20; i++) await clickControl(page, module, 'HDG_RIGHT');
        await page.evaluate(() => { panel.turbulence('light', 11); panel.fly(30); });
        const text = await page.evaluate(() => panel.flightFile());
        const flight = JSON.parse(text);
        await assert.rejects(page.evaluate(() => panel.flyOnFrom(10)), /open a saved flight first/);
        await page.evaluate((t) => panel.replay(t), text);
        // The moment picked on the replay's slider shows on the instruments; Fly on flies from it.
        const index = flight.samples.findIndex((s) => s.time >= 15);
        const then = flight.samples[index];
        await page.evaluate((i) => {
          const range = document.getElementById('replay-moment');
          range.value = String(i);
          range.dispatchEvent(new Event('input'));
        }, index);
        assert.equal(await page.evaluate(() => panel.shown().time), then.time);
        assert.equal(await page.$eval('#replay-at', (e) => e.textContent), then.time.toFixed(1) + ' s');
        await page.click('#fly-on');
        await page.evaluate(() => panel.pause());
        assert.equal(await page.evaluate(() => panel.replaying()), false);
        const now = await page.evaluate(() => panel.reading());
        assert.ok(now.time < 1, 'a new flight from the moment: ' + now.time);
        for (const [k, tolerance] of [['altitude', 15], ['airspeed', 3], ['north', 150], ['east', 150]])
          assert.ok(Math.abs(now[k] - then[k]) < tolerance, k + ': ' + now[k] + ' against ' + then[k]);
        assert.ok(Math.abs(((now.heading - then.heading + 540) % 360) - 180) < 3, 'heading ' + now.heading + ' against ' + then.heading);
        assert.equal(now.modes, then.modes, 'the modes pressed again');
        assert.equal(now.refs.heading_bug, then.refs.heading_bug);
        assert.deepEqual(now.turbulence, { level: 'light', seed: 11 });
        // And it flies on, holding the recorded altitude.
        await page.evaluate(() => panel.fly(10));
        const later = await page.evaluate(() => panel.reading());
        assert.ok(Math.abs(later.altitude - then.refs.altitude) < 50, later.altitude + ' against ' + then.refs.altitude);
        assert.match(await page.$eval('#click-message', (e) => e.textContent), /^flying on from 1\d\.\d s of the flight replayed/);
        assert.deepEqual(page.errors, []);
        await page.close();
      });
  });
}
