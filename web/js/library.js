// Named ranges kept in this browser (localStorage), and written out or read
// back as text: one "name = range" a line.

import { escapeHtml } from './players.js';
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

// Lines without " = " are skipped and counted, so that a stray line is reported rather than lost silently.
function importText(text) {
  let read = 0;
  let skipped = 0;
  for (const line of text.split('\n')) {
    if (!line.trim()) continue;
    const at = line.indexOf('=');
    const name = line.slice(0, at).trim();
    const range = line.slice(at + 1).trim();
    if (at < 0 || !name || !range) {
      skipped++;
      continue;
    }
    put(name, range);
    read++;
  }
  return `${read} ${read === 1 ? 'range' : 'ranges'} read${skipped ? `, ${skipped} lines skipped (each line is "name = range")` : ''}.`;
}

export function buildLibrary(h) {
  hooks = h;
  // Enter in the name saves, rather than calculating as elsewhere in the form.
  $('save-name').addEventListener('keydown', (e) => {
    if (e.key !== 'Enter') return;
    e.preventDefault();
    $('save-range').click();
  });
  $('save-range').addEventListener('click', () => {
    const name = $('save-name').value.trim().replace(/=/g, '');
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
    put(name, player.text.trim());
    $('save-name').value = '';
    $('library-message').textContent = `Saved "${name}".`;
    store();
  });
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
  $('import-ranges').addEventListener('click', () => {
    $('library-message').textContent = importText($('library-text').value);
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
    if (Number(chosen) < state.players.length) from.value = chosen;
  }
  $('library-list').innerHTML = state.library.length
    ? state.library
        .map(
          (e, i) => `<li><span class="saved-name">${escapeHtml(e.name)}</span> <code>${escapeHtml(e.text)}</code>
          <button type="button" class="quiet" data-delete="${i}" aria-label="Delete ${escapeHtml(e.name)}">✕</button></li>`,
        )
        .join('')
    : '<li class="hint">None yet. Saved ranges appear in each player\'s "Load saved…" list.</li>';
}
