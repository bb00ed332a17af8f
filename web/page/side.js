// The workbench beside the trainer: the mode words bit by bit with the block's references, the simulator's
// variables (editable), the gauges' parameter strings, the scenario box and the key events sent.

const $ = (id) => document.getElementById(id);
const REFERENCES = [['altitude', 'altitude reference'], ['radar_height', 'radar height reference'],
  ['hover_height', 'hover height reference'], ['fore_aft', 'fore-aft input'], ['lateral', 'lateral input']];
const PARAMETER_GAUGES = ['AFCP', 'Annunciator-T'];

function say(id, text, error) {
  const p = $(id);
  p.textContent = text;
  p.classList.toggle('error', !!error);
}
// A value as the table shows it: seven significant digits, and rounding noise as 0.
const shown = (v) => (v === null ? 'not a number' : Math.abs(v) < 1e-9 ? '0' : String(Number(v.toPrecision(7))));
const hex = (word) => '0x' + (word >>> 0).toString(16).toUpperCase().padStart(8, '0');

// `panel` is the script interface (window.panel): every edit goes through it, as a script's would.
function create(core, panel) {
  const info = core.info;
  const bitCells = { engaged: [], armed: [] };
  for (const word of ['engaged', 'armed'])
    for (const [bit, name] of info.bits) {
      const cell = document.createElement('span');
      cell.className = 'bit';
      cell.textContent = name;
      cell.title = name + ' ' + hex(bit);
      $(word).append(cell);
      bitCells[word].push([bit >>> 0, cell]);
    }
  const referenceCells = {};
  for (const [key, label] of REFERENCES) {
    const row = $('references').insertRow();
    row.insertCell().textContent = label;
    referenceCells[key] = row.insertCell();
  }

  // Simulator variables, editable: Enter or leaving the field sets the variable.
  const variableInputs = info.variables.map((v) => {
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
        input.classList.remove('refused');
      } catch (e) {
        say('variable-message', e.message, true);
        input.classList.add('refused');
      }
    };
    input.addEventListener('change', commit);
    input.addEventListener('keydown', (e) => { if (e.key === 'Enter') commit(); });
    return input;
  });

  for (const name of PARAMETER_GAUGES) {
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

  $('run').addEventListener('click', () => {
    try {
      const log = panel.run($('scenario').value);
      say('scenario-message', 'played' + (log.length ? ':\n' + log.join('\n') : ''));
    } catch (e) {
      say('scenario-message', e.message + '\nnothing of the scenario was played', true);
    }
  });

  const events = [];
  function showEvents(fresh) {
    if (fresh.length === 0) return;
    const log = $('events');
    for (const [id, parameter, text] of fresh) {
      events.push([id, parameter]);
      log.append(text + '\n');
    }
    log.scrollTop = log.scrollHeight;
  }

  let lastWords = '';
  function show(view, values) {
    const words = view.engaged + ' ' + view.armed + ' ' + view.attached + ' ' + JSON.stringify(view.references);
    if (words !== lastWords) {
      lastWords = words;
      for (const word of ['engaged', 'armed']) {
        const value = view[word] >>> 0;
        $(word + '-word').textContent = word + ' ' + hex(value) + (view.attached ? '' : '  (no block: not attached)');
        for (const [bit, cell] of bitCells[word]) cell.classList.toggle('on', (value & bit) !== 0);
      }
      for (const [key] of REFERENCES) {
        const v = view.references[key];
        referenceCells[key].textContent = v === null ? 'not a number' : String(v);
      }
    }
    showEvents(view.events);
    values.forEach((v, i) => {
      const input = variableInputs[i];
      const text = shown(v);
      if (document.activeElement !== input && !input.classList.contains('refused') && input.value !== text) input.value = text;
    });
  }

  return { show, say, events: () => events.map((e) => e.slice()), eventCount: () => events.length };
}


export { create, say };
