// The module's gauges: one canvas each, drawn from the drawing steps the core hands over, with the module's own
// bitmaps (`ready` once they are decoded); a click or a tap on a gauge is a click of the core at that pixel, and the cursor shows what an area
// does (push, or + and - on the knob and rocker halves).

import { page } from './palette.js';
import { hold } from './repeat.js';

function colour(word) {
  return 'rgb(' + (word & 0xff) + ',' + ((word >>> 8) & 0xff) + ',' + ((word >>> 16) & 0xff) + ')';
}

// `flags`: the text format bits as the core names them (its info.text_flags).
function drawText(c, s, flags) {
  const [, x, y, w, h, ink, paper, format, fontHeight, fontWidth, weight, text] = s;
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
  if (format & flags.centred) left = x + (w - width) / 2;
  else if (format & flags.right) left = x + w - width;
  let baseline = 'top', top = y;
  if (format & flags.vertically_centred) { baseline = 'middle'; top = y + h / 2; }
  else if (format & flags.bottom) { baseline = 'bottom'; top = y + h; }
  c.textBaseline = baseline;
  c.fillStyle = colour(ink);
  c.translate(left, top);
  c.scale(scale, 1);
  c.fillText(text, 0, 0);
  c.restore();
}

const cursorIcon = (path) => 'url("data:image/svg+xml,' + encodeURIComponent(
  '<svg xmlns="http://www.w3.org/2000/svg" width="24" height="24"><circle cx="12" cy="12" r="10" fill="#222" stroke="#fff" stroke-width="2"/><path d="' + path + '" stroke="#fff" stroke-width="2.5"/></svg>') + '") 12 12, ';
const plus = cursorIcon('M7 12h10M12 7v10') + 'zoom-in';
const minus = cursorIcon('M7 12h10') + 'zoom-out';

// `place(gauge)` picks the element each gauge's figure goes into; `press(slot, x, y)` is called for a click or
// tap on a pixel that holds a control, `missed(text)` for one that holds none.
function create(core, place, press, missed) {
  // Each bitmap decoded by the browser from the module's PNG file, exactly as stored (no colour conversion),
  // and, the first time an element draws it so, a canvas of it with its pure black pixels clear.
  const pictures = new Map();
  const ready = Promise.all(core.info.bitmaps.map(async (id) => {
    const file = new Blob([core.bitmapFile(id)], { type: 'image/png' });
    const plain = await createImageBitmap(file, { colorSpaceConversion: 'none', premultiplyAlpha: 'none' });
    pictures.set(id, { plain, keyed: null });
  }));
  function picture(id, blackIsClear) {
    const p = pictures.get(id);
    if (!p) throw new Error('the module has no bitmap 0x' + id.toString(16));
    if (!blackIsClear) return p.plain;
    if (!p.keyed) {
      const canvas = document.createElement('canvas');
      canvas.width = p.plain.width;
      canvas.height = p.plain.height;
      const c = canvas.getContext('2d', { willReadFrequently: true });
      c.drawImage(p.plain, 0, 0);
      const image = c.getImageData(0, 0, canvas.width, canvas.height);
      const d = image.data;
      for (let i = 0; i < d.length; i += 4) if (d[i] === 0 && d[i + 1] === 0 && d[i + 2] === 0) d[i + 3] = 0;
      c.putImageData(image, 0, 0);
      p.keyed = canvas;
    }
    return p.keyed;
  }

  function pixelOf(canvas, event) {
    const box = canvas.getBoundingClientRect();
    return [Math.floor((event.clientX - box.left) * canvas.width / box.width),
      Math.floor((event.clientY - box.top) * canvas.height / box.height)];
  }
  function cursorOf(kind) {
    const c = core.info.cursors;
    if (kind === c.increase) return plus;
    if (kind === c.decrease) return minus;
    return kind === 0 ? 'default' : 'pointer';
  }

  // The AFCP knob last turned by hand, which the + and - keys turn on: a pixel of one of its halves.
  let inHand = null;
  const gauges = core.info.gauges.map((g, slot) => {
    const figure = document.createElement('figure');
    const caption = document.createElement('figcaption');
    caption.textContent = g.name;
    const canvas = document.createElement('canvas');
    canvas.width = g.width;
    canvas.height = g.height;
    canvas.dataset.gauge = g.name;
    figure.append(caption, canvas);
    place(g).append(figure);
    const context = canvas.getContext('2d', { alpha: false });
    context.imageSmoothingEnabled = false;
    // A press of the mouse or a finger presses what lies under it; held on a knob or rocker half, it repeats
    // (repeat.js) until let go or moved off the canvas.
    let release = null;
    const letGo = () => { if (release) { release(); release = null; } };
    canvas.addEventListener('pointerdown', (event) => {
      if (event.button !== 0) return;
      event.preventDefault();
      letGo();
      const [x, y] = pixelOf(canvas, event);
      const kind = core.cursor(slot, x, y);
      if (kind === 0) { missed(g.name + ' (' + x + ', ' + y + '): no control here'); return; }
      if (kind === core.info.cursors.increase || kind === core.info.cursors.decrease) {
        if (g.name === 'AFCP') inHand = [x, y];
        release = hold(() => press(g.name, x, y));
      } else {
        press(g.name, x, y);
      }
    });
    for (const end of ['pointerup', 'pointercancel', 'pointerleave']) canvas.addEventListener(end, letGo);
    canvas.addEventListener('mousemove', (event) => {
      const [x, y] = pixelOf(canvas, event);
      canvas.style.cursor = cursorOf(core.cursor(slot, x, y));
    });
    return { name: g.name, canvas, context, texts: [] };
  });

  // Draws what changed since the last view: a gauge drawn as before comes as null and is left as it is.
  function draw(view) {
    view.gauges.forEach((v, slot) => {
      if (v === null) return;
      const g = gauges[slot];
      g.texts = v.texts;
      const c = g.context;
      for (const s of v.steps) {
        if (s[0] === 0) {
          const [, x, y, w, h, id, fromX, fromY, blackIsClear] = s;
          c.drawImage(picture(id, blackIsClear === 1), fromX, fromY, w, h, x, y, w, h);
        } else {
          drawText(c, s, core.info.text_flags);
        }
      }
    });
  }

  // The knob in hand turned by a key held: + (or =) its increasing half, - its decreasing half, the half beside the
  // one last pressed (the areas' layout from the core).
  const afcpSlot = core.info.gauges.findIndex((g) => g.name === 'AFCP');
  const inside = (a, x, y) => x >= a[0] && y >= a[1] && x < a[0] + a[2] && y < a[1] + a[3];
  const touching = (a, b) => a[0] <= b[0] + b[2] && b[0] <= a[0] + a[2] && a[1] <= b[1] + b[3] && b[1] <= a[1] + a[3];
  function halfFor(kind) {
    if (!inHand) return null;
    const areas = core.info.afcp_areas, [x, y] = inHand;
    const pressed = areas.find((a) => inside(a, x, y));
    if (!pressed) return null;
    const half = pressed[4] === kind ? pressed : areas.find((a) => a !== pressed && a[4] === kind && touching(a, pressed));
    return half ? [half[0] + (half[2] >> 1), half[1] + (half[3] >> 1)] : null;
  }
  const keyHolds = new Map();  // key -> the function that ends its hold
  const typing = (target) => target instanceof HTMLElement &&
    (target.tagName === 'INPUT' || target.tagName === 'TEXTAREA' || target.tagName === 'SELECT' || target.isContentEditable);
  window.addEventListener('keydown', (event) => {
    const kind = { '+': core.info.cursors.increase, '=': core.info.cursors.increase, '-': core.info.cursors.decrease }[event.key];
    if (kind === undefined || afcpSlot < 0 || typing(event.target) || event.ctrlKey || event.metaKey || event.altKey) return;
    event.preventDefault();
    if (keyHolds.has(event.key)) return;  // the browser's own key repeat: the hold paces itself
    const at = halfFor(kind);
    if (!at) { missed('turn a knob by hand first: + and - then turn it on'); return; }
    keyHolds.set(event.key, hold(() => press('AFCP', at[0], at[1])));
  });
  const keyUp = (key) => { const end = keyHolds.get(key); if (end) { end(); keyHolds.delete(key); } };
  // A key let go ends the holds of its knob: '+' and '=' are one key with or without Shift.
  window.addEventListener('keyup', (event) => { if (['+', '=', '-'].includes(event.key)) [...keyHolds.keys()].forEach(keyUp); });
  window.addEventListener('blur', () => [...keyHolds.keys()].forEach(keyUp));

  // Every gauge on one picture, under its name, as a PNG file.
  function save(fileName) {
    const gap = 16, label = 20, widest = 1600;
    let x = gap, y = gap, shelf = 0, width = 0;
    const places = gauges.map((g) => {
      if (x > gap && x + g.canvas.width > widest) { x = gap; y += shelf + gap; shelf = 0; }
      const at = [x, y];
      x += Math.max(g.canvas.width, 140) + gap;
      width = Math.max(width, x);
      shelf = Math.max(shelf, g.canvas.height + label);
      return at;
    });
    const sheet = document.createElement('canvas');
    sheet.width = width;
    sheet.height = y + shelf + gap;
    const c = sheet.getContext('2d');
    c.fillStyle = page.back;
    c.fillRect(0, 0, sheet.width, sheet.height);
    c.font = '13px system-ui, sans-serif';
    c.fillStyle = page.ink;
    gauges.forEach((g, i) => {
      const [px, py] = places[i];
      c.fillText(g.name, px, py + 13);
      c.drawImage(g.canvas, px, py + label);
    });
    const link = document.createElement('a');
    link.download = fileName;
    link.href = sheet.toDataURL('image/png');
    link.click();
  }

  return { ready, draw, save, texts: (slot) => gauges[slot].texts.slice() };
}


export { create };
