// The page's front: draws the drawing steps the host core hands over on one canvas per gauge, turns mouse
// clicks into clicks of the core, runs the host frames at 18 a second, and offers the script interface
// window.panel. Opened with "?paused" in the address, the page starts paused.
'use strict';

(function () {
  const FRAME_MS = 1000 / 18;
  const $ = (id) => document.getElementById(id);

  const panel = {
    ready: false,
    module: '',
  };
  window.panel = panel;

  createPanelModule().then(start, (e) => {
    $('status').textContent = 'cannot start the panel: ' + e;
  });

  function start(M) {
    // ---- calls into the core ----------------------------------------------------------------------------------
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
    panel.module = info.module;
    document.title = info.module + ' - automatic flight control panel, live';

    // ---- bitmaps --------------------------------------------------------------------------------------------
    // Each bitmap as a canvas, and once more with its pure black pixels clear, for images drawn that way.
    const pictures = new Map();
    const sizeAt = M._malloc(8);
    function picture(id, blackIsClear) {
      let p = pictures.get(id);
      if (!p) {
        const at = M._panel_bitmap(id, sizeAt, sizeAt + 4);
        const width = M.HEAP32[sizeAt >> 2], height = M.HEAP32[(sizeAt >> 2) + 1];
        if (at === 0) throw new Error('the module has no bitmap 0x' + id.toString(16));
        const pixels = new Uint8ClampedArray(M.HEAPU8.subarray(at, at + width * height * 4));
        const plain = document.createElement('canvas');
        plain.width = width;
        plain.height = height;
        plain.getContext('2d').putImageData(new ImageData(pixels, width, height), 0, 0);
        const keyed = document.createElement('canvas');
        keyed.width = width;
        keyed.height = height;
        const clear = new Uint8ClampedArray(pixels);
        for (let i = 0; i < clear.length; i += 4)
          if (clear[i] === 0 && clear[i + 1] === 0 && clear[i + 2] === 0) clear[i + 3] = 0;
        keyed.getContext('2d').putImageData(new ImageData(clear, width, height), 0, 0);
        p = { plain, keyed };
        pictures.set(id, p);
      }
      return blackIsClear ? p.keyed : p.plain;
    }

    // ---- gauges ---------------------------------------------------------------------------------------------
    const gauges = info.gauges.map((g, slot) => {
      const figure = document.createElement('figure');
      const caption = document.createElement('figcaption');
      caption.textContent = g.name;
      const canvas = document.createElement('canvas');
      canvas.width = g.width;
      canvas.height = g.height;
      canvas.dataset.gauge = g.name;
      figure.append(caption, canvas);
      $('gauges').append(figure);
      const context = canvas.getContext('2d', { alpha: false });
      context.imageSmoothingEnabled = false;
      canvas.addEventListener('click', (event) => mouseClick(slot, canvas, event));
      canvas.addEventListener('mousemove', (event) => {
        const [x, y] = pixelOf(canvas, event);
        canvas.style.cursor = cursorOf(M._panel_cursor(slot, x, y));
      });
      return { name: g.name, width: g.width, height: g.height, canvas, context, texts: [], drawn: '' };
    });

    function colour(word) {
      return 'rgb(' + (word & 0xff) + ',' + ((word >>> 8) & 0xff) + ',' + ((word >>> 16) & 0xff) + ')';
    }

    // DrawText's format flags as the elements use them: horizontal and vertical centring on one line.
    const DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8;
    function drawText(c, s) {
      const [, x, y, w, h, ink, paper, flags, fontHeight, fontWidth, weight, text] = s;
      c.fillStyle = colour(paper);
      c.fillRect(x, y, w, h);
      if (text === '') return;
      c.save();
      c.beginPath();
      c.rect(x, y, w, h);
      c.clip();
      c.font = (weight >= 600 ? 'bold ' : '') + fontHeight + 'px ui-monospace, "DejaVu Sans Mono", monospace';
      // A fixed-pitch font as narrow as the host asks: each character fontWidth wide.
      const advance = c.measureText('0').width || 1;
      const scale = fontWidth > 0 ? fontWidth / advance : 1;
      const width = c.measureText(text).width * scale;
      let left = x;
      if (flags & DT_CENTER) left = x + (w - width) / 2;
      else if (flags & DT_RIGHT) left = x + w - width;
      let baseline = 'top', top = y;
      if (flags & DT_VCENTER) { baseline = 'middle'; top = y + h / 2; }
      else if (flags & DT_BOTTOM) { baseline = 'bottom'; top = y + h; }
      c.textBaseline = baseline;
      c.fillStyle = colour(ink);
      c.translate(left, top);
      c.scale(scale, 1);
      c.fillText(text, 0, 0);
      c.restore();
    }

    function drawGauge(g, steps) {
      const c = g.context;
      for (const s of steps) {
        if (s[0] === 0) {
          const [, x, y, w, h, id, fromX, fromY, blackIsClear] = s;
          c.drawImage(picture(id, blackIsClear === 1), fromX, fromY, w, h, x, y, w, h);
        } else {
          drawText(c, s);
        }
      }
    }

    // ---- what the page shows beside the gauges --------------------------------------------------------------
    let events = [];
    const bitCells = { engaged: [], armed: [] };
    for (const word of ['engaged', 'armed'])
      for (const [bit, name] of info.bits) {
        const cell = document.createElement('span');
        cell.className = 'bit';
        cell.textContent = name;
        cell.title = name + ' 0x' + (bit >>> 0).toString(16).toUpperCase().padStart(8, '0');
        $(word).append(cell);
        bitCells[word].push([bit >>> 0, cell]);
      }
    const referenceNames = [['altitude', 'altitude reference', 'ft'], ['radar_height', 'radar height reference', 'ft'],
      ['hover_height', 'hover height reference', 'ft'], ['fore_aft', 'fore-aft input', ''], ['lateral', 'lateral input', '']];
    const referenceCells = {};
    for (const [key, label, unit] of referenceNames) {
      const row = $('references').insertRow();
      row.insertCell().textContent = label;
      referenceCells[key] = row.insertCell();
      row.cells[1].dataset.unit = unit;
    }

    function hex(word) {
      return '0x' + (word >>> 0).toString(16).toUpperCase().padStart(8, '0');
    }
    function showWords(view) {
      for (const word of ['engaged', 'armed']) {
        const value = view[word] >>> 0;
        $(word + '-word').textContent = word + ' ' + hex(value) + (view.attached ? '' : '  (no block: not attached)');
        for (const [bit, cell] of bitCells[word]) cell.classList.toggle('on', (value & bit) !== 0);
      }
      for (const [key] of referenceNames) {
        const v = view.references[key];
        referenceCells[key].textContent = v === null ? 'not a number' : String(v);
      }
    }

    function showEvents(fresh) {
      if (fresh.length === 0) return;
      const log = $('events');
      for (const [id, parameter, text] of fresh) {
        events.push([id, parameter]);
        log.append(text + '\n');
      }
      log.scrollTop = log.scrollHeight;
    }

    // Simulator variables, editable: Enter or leaving the field sets the variable.
    const variableInputs = [];
    for (const v of info.variables) {
      const row = $('variables').insertRow();
      row.insertCell().textContent = v.name;
      const input = document.createElement('input');
      input.type = 'text';
      input.setAttribute('aria-label', v.name);
      row.insertCell().append(input);
      const unit = row.insertCell();
      unit.className = 'unit';
      unit.textContent = v.token + ', ' + v.unit;
      const commit = () => {
        try {
          panel.set(v.name, input.value.trim());
          say('variable-message', v.name + ' = ' + input.value.trim());
        } catch (e) {
          say('variable-message', e.message, true);
          input.classList.add('refused');
          return;
        }
        input.classList.remove('refused');
      };
      input.addEventListener('change', commit);
      input.addEventListener('keydown', (e) => { if (e.key === 'Enter') commit(); });
      variableInputs.push(input);
    }
    function showVariables() {
      const values = answer(M._panel_variables());
      values.forEach((v, i) => {
        const input = variableInputs[i];
        if (document.activeElement !== input && !input.classList.contains('refused')) input.value = String(v);
      });
    }

    // The parameter strings of the two gauges that read one.
    for (const name of ['AFCP', 'Annunciator-T']) {
      const row = $('parameters').insertRow();
      row.insertCell().textContent = name;
      const input = document.createElement('input');
      input.type = 'text';
      input.setAttribute('aria-label', name + ' parameter');
      row.insertCell().append(input);
      const apply = document.createElement('button');
      apply.textContent = 'Set';
      row.insertCell().append(apply);
      apply.addEventListener('click', () => {
        try {
          panel.parameter(name, input.value);
          say('parameter-message', name + ': parameter set');
        } catch (e) {
          say('parameter-message', e.message, true);
        }
      });
    }

    function say(id, text, error) {
      const p = $(id);
      p.textContent = text;
      p.classList.toggle('error', !!error);
    }

    // Everything drawn and shown anew from the core's view.
    function refresh() {
      const view = answer(M._panel_view(events.length));
      view.gauges.forEach((v, slot) => {
        const g = gauges[slot];
        g.texts = v.texts;
        drawGauge(g, v.steps);
      });
      showWords(view);
      showEvents(view.events);
      showVariables();
    }

    // ---- mouse ----------------------------------------------------------------------------------------------
    function pixelOf(canvas, event) {
      const box = canvas.getBoundingClientRect();
      const x = Math.floor((event.clientX - box.left) * canvas.width / box.width);
      const y = Math.floor((event.clientY - box.top) * canvas.height / box.height);
      return [x, y];
    }
    const plus = 'url("data:image/svg+xml,' + encodeURIComponent(
      '<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24"><circle cx="12" cy="12" r="10" fill="#222" stroke="#fff" stroke-width="2"/><path d="M7 12h10M12 7v10" stroke="#fff" stroke-width="2.5"/></svg>') + '") 12 12, zoom-in';
    const minus = 'url("data:image/svg+xml,' + encodeURIComponent(
      '<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24"><circle cx="12" cy="12" r="10" fill="#222" stroke="#fff" stroke-width="2"/><path d="M7 12h10" stroke="#fff" stroke-width="2.5"/></svg>') + '") 12 12, zoom-out';
    function cursorOf(kind) {
      if (kind === info.cursors.push) return 'pointer';
      if (kind === info.cursors.increase) return plus;
      if (kind === info.cursors.decrease) return minus;
      return kind === 0 ? 'default' : 'pointer';
    }
    function mouseClick(slot, canvas, event) {
      const [x, y] = pixelOf(canvas, event);
      if (M._panel_cursor(slot, x, y) === 0) {
        say('click-message', gauges[slot].name + ' (' + x + ', ' + y + '): no control here');
        return;
      }
      try {
        const reached = panel.click(gauges[slot].name, x, y);
        say('click-message', gauges[slot].name + ' (' + x + ', ' + y + '): ' + reached);
      } catch (e) {
        say('click-message', e.message, true);
      }
    }

    // ---- the script interface -------------------------------------------------------------------------------
    function slotOf(gauge) {
      if (typeof gauge !== 'string') throw new Error('a gauge is named by its name, such as "AFCP"');
      const name = gauge.toLowerCase();
      const slot = gauges.findIndex((g) => g.name.toLowerCase() === name);
      if (slot < 0) throw new Error("unknown gauge '" + gauge + "' (gauges: " + gauges.map((g) => g.name).join(', ') + ')');
      return slot;
    }
    function whole(value, what) {
      if (typeof value !== 'number' || !Number.isInteger(value)) throw new Error(what + ' is a whole number, not ' + String(value));
      return value;
    }

    panel.set = (name, value) => {
      const key = typeof name === 'number' ? String(name) : name;
      if (typeof key !== 'string') throw new Error('a variable is named by its name or token number');
      const text = typeof value === 'number' ? String(value) : value;
      if (typeof text !== 'string') throw new Error("a variable's value is a finite number, not " + String(value));
      withText(key, (k) => withText(text, (v) => answer(M._panel_set(k, v))));
      showVariables();
    };
    panel.update = (n = 1) => {
      whole(n, 'the number of frames');
      if (n < 1 || n > info.most_frames) throw new Error('update takes 1 to ' + info.most_frames + ' frames');
      answer(M._panel_update(n));
      refresh();
    };
    panel.click = (gauge, x, y) => {
      const slot = slotOf(gauge);
      whole(x, 'x');
      whole(y, 'y');
      const result = answer(M._panel_click(slot, x, y));
      refresh();
      return result.reached;
    };
    panel.command = (name) => {
      if (typeof name !== 'string') throw new Error('a command is named by its name, such as "ALT"');
      withText(name, (n) => answer(M._panel_command(n)));
      refresh();
    };
    panel.capture = () => {
      const result = answer(M._panel_capture());
      refresh();
      return result.captured;
    };
    panel.parameter = (gauge, text) => {
      const slot = slotOf(gauge);
      if (typeof text !== 'string') throw new Error('a parameter string is text');
      if (text.includes('\0')) throw new Error('a parameter string holds no NUL character');
      withText(text, (t) => answer(M._panel_parameter(slot, t)));
      refresh();
    };
    panel.run = (scenario) => {
      if (typeof scenario !== 'string') throw new Error('a scenario is text');
      if (scenario.includes('\0')) throw new Error('a scenario holds no NUL character');
      const result = withText(scenario, (t) => answer(M._panel_run(t)));
      refresh();
      return result.log;
    };
    panel.words = () => {
      const w = answer(M._panel_words());
      return { engaged: w.engaged >>> 0, armed: w.armed >>> 0 };
    };
    panel.references = () => answer(M._panel_words()).references;
    panel.texts = (gauge) => gauges[slotOf(gauge)].texts.slice();
    panel.events = () => events.map((e) => e.slice());

    // ---- the frames ------------------------------------------------------------------------------------------
    let paused = new URLSearchParams(location.search).has('paused');
    let timer = 0;
    let frames = 0, frameStart = performance.now();
    function tick() {
      timer = 0;
      if (paused) return;
      const begun = performance.now();
      try {
        panel.update(1);
      } catch (e) {
        say('click-message', e.message, true);
      }
      frames += 1;
      if (begun - frameStart >= 1000) {
        $('status').textContent = (frames * 1000 / (begun - frameStart)).toFixed(0) + ' frames a second';
        frames = 0;
        frameStart = begun;
      }
      timer = setTimeout(tick, Math.max(0, FRAME_MS - (performance.now() - begun)));
    }
    function showPaused() {
      $('pause').textContent = paused ? 'Resume' : 'Pause';
      $('step').disabled = !paused;
      $('status').textContent = paused ? 'paused' : 'running at 18 frames a second';
    }
    panel.pause = () => {
      paused = true;
      if (timer) clearTimeout(timer);
      timer = 0;
      showPaused();
    };
    panel.resume = () => {
      if (!paused) return;
      paused = false;
      showPaused();
      frameStart = performance.now();
      frames = 0;
      if (!timer) timer = setTimeout(tick, FRAME_MS);
    };

    $('pause').addEventListener('click', () => (paused ? panel.resume() : panel.pause()));
    $('step').addEventListener('click', () => panel.update(1));
    $('capture').addEventListener('click', () => {
      try {
        say('click-message', 'the engine captured ' + panel.capture());
      } catch (e) {
        say('click-message', e.message, true);
      }
    });
    $('run').addEventListener('click', () => {
      try {
        const log = panel.run($('scenario').value);
        say('scenario-message', 'played' + (log.length ? ':\n' + log.join('\n') : ''));
      } catch (e) {
        say('scenario-message', e.message + '\nnothing of the scenario was played', true);
      }
    });
    $('save').addEventListener('click', savePicture);

    // Every gauge on one picture, under its name, saved as a PNG file.
    function savePicture() {
      const gap = 16, label = 20, widest = 1600;
      let x = gap, y = gap, shelf = 0, width = 0;
      const places = gauges.map((g) => {
        if (x > gap && x + g.width > widest) { x = gap; y += shelf + gap; shelf = 0; }
        const place = [x, y];
        x += Math.max(g.width, 140) + gap;
        width = Math.max(width, x);
        shelf = Math.max(shelf, g.height + label);
        return place;
      });
      const sheet = document.createElement('canvas');
      sheet.width = width;
      sheet.height = y + shelf + gap;
      const c = sheet.getContext('2d');
      c.fillStyle = '#17191c';
      c.fillRect(0, 0, sheet.width, sheet.height);
      c.font = '13px system-ui, sans-serif';
      c.fillStyle = '#e4e6ea';
      gauges.forEach((g, i) => {
        const [px, py] = places[i];
        c.fillText(g.name, px, py + 13);
        c.drawImage(g.canvas, px, py + label);
      });
      const link = document.createElement('a');
      link.download = panel.module + '.png';
      link.href = sheet.toDataURL('image/png');
      link.click();
    }

    refresh();
    panel.ready = true;
    showPaused();
    if (!paused) timer = setTimeout(tick, FRAME_MS);
  }
})();
