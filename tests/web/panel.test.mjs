// The panel pages in headless Chromium: the default scenarios against the Wine preview of the real DLLs, real
// mouse clicks on every AFCP control against the same command called by name, and bad input of every kind.
import assert from 'node:assert/strict';
import fs from 'node:fs';
import path from 'node:path';
import { after, before, describe, test } from 'node:test';

import { dist, launch, modules, open, refusals, root } from './browser.mjs';
import { afcpControls } from './controls.mjs';

let browser;
before(async () => { browser = await launch(); });
after(async () => { await browser?.close(); });

const state = (page) => page.evaluate(() => ({
  words: panel.words(), references: panel.references(), events: panel.events(),
  texts: [panel.texts('Annunciator'), panel.texts('Annunciator-T')],
}));

// The default scenario of a module, cut at its snapshots: the lines before each, and the snapshot's name.
function defaultParts(module) {
  const variant = module.replace('panel', '');
  const lines = fs.readFileSync(path.join(root, 'preview', variant + '-default.txt'), 'utf8').split('\n');
  const parts = [];
  let current = [];
  for (const line of lines) {
    const m = line.match(/^\s*snapshot\s+(\S+)/);
    if (m) {
      parts.push({ lines: current, snapshot: m[1] });
      current = [];
    } else {
      current.push(line);
    }
  }
  return parts;
}

for (const module of modules) {
  describe(module, () => {
    // The preview runs the real DLLs under Wine, which needs a kernel that runs 32-bit programs.
    const previewMissing = fs.existsSync(path.join(dist, 'preview')) ? false
      : 'no Wine preview in dist/preview (Wine cannot run on this machine)';
    test('each default snapshot shows what the preview of the real DLL shows', { skip: previewMissing }, async () => {
      const page = await open(browser, module, { frozen: true });
      for (const part of defaultParts(module)) {
        await page.evaluate((t) => panel.run(t), part.lines.join('\n'));
        const expected = JSON.parse(fs.readFileSync(path.join(dist, 'preview', part.snapshot + '-state.json'), 'utf8'));
        const shown = await state(page);
        assert.deepEqual(shown.words, expected.words, part.snapshot + ': mode words');
        assert.deepEqual(shown.references, expected.references, part.snapshot + ': references');
        assert.deepEqual(shown.events, expected.events, part.snapshot + ': key events');
        for (const [name, gauge] of Object.entries(expected.gauges)) {
          assert.deepEqual(await page.evaluate((n) => panel.texts(n), name), gauge.texts, part.snapshot + ': ' + name + ' texts');
          // Pixels: the page's canvas against the preview's PNG, outside the text boxes.
          const png = fs.readFileSync(path.join(dist, 'preview', gauge.picture)).toString('base64');
          const differing = await page.evaluate(async (n, data, boxes) => {
            const image = new Image();
            image.src = 'data:image/png;base64,' + data;
            await image.decode();
            const canvas = document.querySelector(`canvas[data-gauge="${n}"]`);
            const expected = document.createElement('canvas');
            expected.width = image.width;
            expected.height = image.height;
            const e = expected.getContext('2d');
            e.drawImage(image, 0, 0);
            if (image.width !== canvas.width || image.height !== canvas.height) return -1;
            const a = canvas.getContext('2d').getImageData(0, 0, canvas.width, canvas.height).data;
            const b = e.getImageData(0, 0, canvas.width, canvas.height).data;
            let count = 0;
            for (let y = 0; y < canvas.height; y++)
              for (let x = 0; x < canvas.width; x++) {
                if (boxes.some(([bx, by, bw, bh]) => x >= bx && x < bx + bw && y >= by && y < by + bh)) continue;
                const i = (y * canvas.width + x) * 4;
                if (a[i] !== b[i] || a[i + 1] !== b[i + 1] || a[i + 2] !== b[i + 2]) count++;
              }
            return count;
          }, name, png, gauge.text_boxes);
          assert.equal(differing, 0, part.snapshot + ': ' + name + ' pixels outside the text boxes');
        }
      }
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('a real click at the centre of every AFCP control reaches what a call by name reaches', async () => {
      const clicked = await open(browser, module, { frozen: true });
      const called = await open(browser, module, { frozen: true });
      const setup = 'set airspeed 95\nset radar_height 300\nset current_altitude 1480\nset heading_bug 90\nupdate 2\n';
      for (const page of [clicked, called]) await page.evaluate((t) => panel.run(t), setup);
      const canvas = await clicked.$('canvas[data-gauge="AFCP"]');
      for (const c of afcpControls[module]) {
        const x = c.x + Math.floor(c.w / 2), y = c.y + Math.floor(c.h / 2);
        const box = await canvas.boundingBox();
        const eventsBefore = (await clicked.evaluate(() => panel.events())).length;
        await clicked.mouse.click(box.x + x + 0.5, box.y + y + 0.5);
        const message = await clicked.$eval('#click-message', (p) => p.textContent);
        // The pixel the mouse landed on lies in the control's area (a canvas may sit at a fraction of a pixel).
        const m = message.match(/^AFCP \((\d+), (\d+)\): (.*)$/);
        assert.ok(m, message);
        const [px, py] = [Number(m[1]), Number(m[2])];
        assert.ok(px >= c.x && px < c.x + c.w && py >= c.y && py < c.y + c.h, message + ' lies in the area');
        if (typeof c.reaches === 'string') {
          assert.equal(m[3], c.reaches);
          await called.evaluate((n) => panel.command(n), c.reaches);
        } else if (c.reaches === null) {
          assert.equal(m[3], 'a handler outside the command table');
        } else {
          assert.equal(m[3], `key event ${c.reaches}`);
          const events = await clicked.evaluate(() => panel.events());
          assert.deepEqual(events.slice(eventsBefore), [[c.reaches, 0]]);
        }
        for (const page of [clicked, called]) await page.evaluate(() => panel.update(1));
        const [a, b] = [await state(clicked), await state(called)];
        const keyEvents = (s) => s.events.filter(([id]) => !afcpControls[module].some((k) => k.reaches === id));
        assert.deepEqual({ ...a, events: keyEvents(a) }, { ...b, events: keyEvents(b) }, 'after ' + String(c.reaches));
      }
      assert.deepEqual(clicked.errors, []);
      await Promise.all([clicked.close(), called.close()]);
    });

    test('bad input is refused with a clear message and changes nothing', async () => {
      const page = await open(browser, module, { frozen: true });
      await page.evaluate(() => panel.run('set airspeed 95\nset radar_height 300\nupdate 2\ncommand STAB\nupdate'));
      const before = await state(page);
      const refused = await refusals(page, () => ({
          'set NaN': () => panel.set('airspeed', NaN),
          'set inf': () => panel.set('airspeed', Infinity),
          'set text': () => panel.set('airspeed', 'fast'),
          'set unknown': () => panel.set('wind', 3),
          'update 0': () => panel.update(0),
          'update 1.5': () => panel.update(1.5),
          'update too many': () => panel.update(1e6),
          'click outside': () => panel.click('AFCP', 5000, 1),
          'click nowhere': () => panel.click('AFCP', 1, 1),
          'click fraction': () => panel.click('AFCP', 120.5, 100),
          'click unknown gauge': () => panel.click('Radar', 1, 1),
          'command unknown': () => panel.command('FROBNICATE'),
          'command long': () => panel.command('A'.repeat(100000)),
          'parameter NUL': () => panel.parameter('Annunciator-T', '1\0 2'),
          'parameter not text': () => panel.parameter('Annunciator-T', 12),
          'run unknown': () => panel.run('update\nfrobnicate'),
          'run late error': () => panel.run('update 3\ncommand ALT\nclick AFCP 1 1'),
          'run too long': () => panel.run('update 60000\nupdate 60000'),
          'run garbage': () => panel.run('\u0000\u00ff"\n\t# x'),
          'run not text': () => panel.run(42),
      }));
      for (const [name, message] of Object.entries(refused)) assert.ok(typeof message === 'string' && message.length > 0, name + ' is refused');
      assert.equal(refused['run unknown'],
        "line 2: unknown instruction 'frobnicate': expected set, update, click, command, capture, parameter, snapshot, situation, fly, wind, turbulence, control, fail, restore, expect or caution");
      assert.equal(refused['run late error'], 'line 3: no mouse area of AFCP holds (1, 1)');
      assert.match(refused['set NaN'], /finite number/);
      assert.deepEqual(await state(page), before, 'nothing changed');
      // What is taken: a finite value of any size, a parameter of any length and content, a huge scenario.
      await page.evaluate(() => {
        panel.set('current_altitude', 1e300);
        panel.parameter('AFCP', 'x'.repeat(1 << 20) + '\u00e9\u4e2d');
        panel.run('# a long scenario\n' + 'set heading_bug 90\n'.repeat(100000));
        panel.update(1);
      });
      const typed = await page.$('input[aria-label="airspeed"]');
      await typed.click({ clickCount: 3 });
      await typed.type('abc\n');
      assert.match(await page.$eval('#variable-message', (p) => p.textContent), /finite number/);
      assert.equal((await page.evaluate(() => panel.words())).engaged, before.words.engaged);
      await page.$eval('#scenario', (t) => { t.value = 'update\nfrobnicate'; });
      await page.click('#run');
      assert.match(await page.$eval('#scenario-message', (p) => p.textContent), /unknown instruction 'frobnicate'/);
      assert.deepEqual(page.errors, []);
      await page.close();
    });

    test('the page as it opens, live', async () => {
      const page = await open(browser, module, { paused: false });
      await page.evaluate(() => panel.run('set airspeed 95\nset radar_height 300\nset current_altitude 1480\nupdate 2\ncommand STAB\nupdate\ncommand ALT\ncommand HDG'));
      await new Promise((r) => setTimeout(r, 600));
      assert.ok((await page.evaluate(() => panel.words())).engaged & 0x200, 'ALT engaged');
      assert.deepEqual(page.errors, []);
      await page.close();
    });
  });
}
