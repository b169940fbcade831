// Named ranges kept in this browser (localStorage), and written out or read
// back as text: one "name = range" a line. Notation never holds "=", so the
// last one on a line ends the name, and a name may hold any of its own.

import { readRange } from './api.js';
import { escapeHtml } from './format.js';
import { state } from './state.js';

const KEY = 'varnolith.saved-ranges';
const $ = (id) => document.getElementById(id);
let hooks = { changed() {} };

export function loadLibrary() {
  try {
    const list = JSON.parse(localStorage.getItem(KEY) ?? '[]');
    state.library = Array.isArray(list) ? list.filter((e) => typeof e?.name === 'string' && typeof e?.text === 'string') : [];
  } catch {
    state.library = []; // storage off or spoilt: start empty
  }
}

function store() {
  try {
    localStorage.setItem(KEY, JSON.stringify(state.library));
  } catch {
    $('library-message').textContent = 'This browser would not keep the ranges (storage is off or full).';
  }
  hooks.changed();
}

function put(name, text) {
  const at = state.library.findIndex((e) => e.name === name);
  if (at >= 0) state.library[at].text = text;
  else state.library.push({ name, text });
}

export const exportText = () => state.library.map((e) => `${e.name} = ${e.text}`).join('\n');

// Every line read, its range checked by the server; a line that is not
// "name = range", or whose range does not parse, is named and left out.
async function importText(text) {
  let read = 0;
  const skipped = [];
  const lines = text.split('\n').filter((line) => line.trim());
  for (const line of lines) {
    const at = line.lastIndexOf('=');
    const name = line.slice(0, at).trim();
    const range = line.slice(at + 1).trim();
    if (at < 0 || !name || !range) {
      skipped.push(`"${line.trim()}": each line is "name = range"`);
      continue;
    }
    try {
      await readRange(range);
    } catch (e) {
      skipped.push(`"${name}": ${e.message}`);
      continue;
    }
    put(name, range);
    read++;
  }
  const lead = `${read} ${read === 1 ? 'range' : 'ranges'} read.`;
  return skipped.length ? `${lead} Left out: ${skipped.join('; ')}.` : lead;
}

// A name saved already is replaced only when asked to: the first Save says so.
let replacing = null;

function save() {
  const name = $('save-name').value.trim();
  const player = state.players[Number($('save-from').value)];
  if (!name) {
    $('library-message').textContent = 'Give the range a name first.';
    $('save-name').focus();
    return;
  }
  if (!player?.text.trim()) {
    $('library-message').textContent = "That player's range is empty.";
    return;
  }
  const text = player.text.trim();
  const old = state.library.find((e) => e.name === name);
  if (old && old.text !== text && replacing !== name) {
    replacing = name;
    $('library-message').textContent = `"${name}" is saved already as ${old.text}. Save again to replace it.`;
    $('save-range').textContent = 'Replace';
    return;
  }
  put(name, text);
  $('save-name').value = '';
  $('library-message').textContent = old ? `Replaced "${name}".` : `Saved "${name}".`;
  forgetReplacing();
  store();
}

function forgetReplacing() {
  replacing = null;
  $('save-range').textContent = 'Save';
}

export function buildLibrary(h) {
  hooks = h;
  // Enter in the name saves, rather than calculating as elsewhere in the form.
  $('save-name').addEventListener('keydown', (e) => {
    if (e.key !== 'Enter') return;
    e.preventDefault();
    $('save-range').click();
  });
  $('save-range').addEventListener('click', save);
  $('save-name').addEventListener('input', forgetReplacing);
  $('save-from').addEventListener('change', forgetReplacing);
  $('library-list').addEventListener('click', (e) => {
    const button = e.target.closest('[data-delete]');
    if (!button) return;
    state.library.splice(Number(button.dataset.delete), 1);
    $('library-message').textContent = '';
    store();
  });
  $('export-ranges').addEventListener('click', () => {
    $('library-text').value = exportText();
    $('library-message').textContent = state.library.length ? 'Copy the text below to keep or share it.' : 'Nothing saved yet.';
  });
  $('import-ranges').addEventListener('click', async () => {
    $('library-message').textContent = await importText($('library-text').value);
    store();
  });
}

export function drawLibrary() {
  const from = $('save-from');
  const options = state.players.map((_, i) => `<option value="${i}">Player ${i + 1}</option>`).join('');
  if (from.dataset.html !== options) {
    const chosen = from.value;
    from.innerHTML = options;
    from.dataset.html = options;
    // The first draw has no choice yet ("" is no player): Player 1 then.
    from.value = chosen !== '' && Number(chosen) < state.players.length ? chosen : '0';
  }
  $('library-list').innerHTML = state.library.length
    ? state.library
        .map(
          (e, i) => `<li><span class="saved-name" title="${escapeHtml(e.name)}">${escapeHtml(e.name)}</span>
          <code title="${escapeHtml(e.text)}">${escapeHtml(e.text)}</code>
          <button type="button" class="quiet" data-delete="${i}" aria-label="Delete ${escapeHtml(e.name)}">✕</button></li>`,
        )
        .join('')
    : '<li class="hint">None yet. Saved ranges appear in each player\'s "Load saved…" list.</li>';
}
