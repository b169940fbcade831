// The page's start and its wiring: every change goes through changed(),
// which redraws the page from the state and writes the address fragment.

import { getOrdering, getVersion } from './api.js';
import { backend } from './backend.js';
import { buildCards, drawCards, readCardFields, setCardHooks } from './cards.js';
import { commandLine } from './command.js';
import { readFragment, writeFragment } from './fragment.js';
import { canRedo, canUndo, redo, undo } from './history.js';
import { buildKeepOnly } from './keep.js';
import { buildLibrary, drawLibrary, loadLibrary } from './library.js';
import { addPlayer, drawAllPlayers, drawPlayers, readText, setPlayerHooks } from './players.js';
import { buildResults, drawResults } from './results.js';
import { buildRun, calculate, drawRun, setRunHooks } from './run.js';
import { newPlayer, state } from './state.js';

const $ = (id) => document.getElementById(id);

// The command box grows to show a long command whole.
function drawCommand() {
  const box = $('command-line');
  box.value = commandLine();
  box.style.height = 'auto';
  box.style.height = `${box.scrollHeight + 2}px`;
}

function changed() {
  writeFragment();
  drawCommand();
  $('undo').disabled = !canUndo();
  $('redo').disabled = !canRedo();
  drawCards();
  drawRun();
  drawResults();
  drawLibrary();
  drawAllPlayers();
}

// Every player's range text set back as it was at a step of the history.
function restore(texts) {
  if (!texts) return;
  const same = texts.length === state.players.length;
  if (!same) state.players = texts.map((text) => newPlayer(text));
  texts.forEach((text, i) => Object.assign(state.players[i], { text, pending: null, pick: [] }));
  if (!same) drawPlayers();
  texts.forEach((_, i) => readText(i));
  changed();
}

// Ctrl+Z and Ctrl+Shift+Z (or Ctrl+Y) for the ranges; a text field keeps its own.
function undoKeys(e) {
  if (!(e.ctrlKey || e.metaKey) || e.altKey) return;
  const key = e.key.toLowerCase();
  if (key !== 'z' && key !== 'y') return;
  if (e.target.closest('input[type="text"], textarea')) return;
  e.preventDefault();
  restore(key === 'y' || e.shiftKey ? redo() : undo());
}

function applySpot(spot) {
  state.players = spot.ranges.map((text) => newPlayer(text));
  state.boardText = spot.board;
  state.deadText = spot.dead;
  state.board = [];
  state.dead = [];
  readCardFields();
  for (const name of ['rules', 'method', 'trials', 'precision', 'seed', 'categories', 'byCard', 'flops', 'scale'])
    state[name] = spot[name];
  state.results = null;
  drawPlayers();
  state.players.forEach((_, i) => readText(i));
}

async function copyCommand() {
  const line = commandLine();
  try {
    await navigator.clipboard.writeText(line);
    state.status = 'Command copied.';
  } catch {
    $('command-line').select();
    state.status = 'Select the command line and copy it.';
  }
  changed();
}

function start() {
  loadLibrary();
  const hooks = { changed, calculate };
  setPlayerHooks(hooks);
  setCardHooks(hooks);
  setRunHooks({ ran: changed, changed });
  buildCards();
  buildRun();
  buildResults(changed);
  buildKeepOnly($('details'), changed);
  buildLibrary({ changed });
  const spot = readFragment();
  if (spot) applySpot(spot);
  else {
    drawPlayers();
    state.players.forEach((_, i) => readText(i));
  }
  $('spot').addEventListener('submit', (e) => {
    e.preventDefault();
    calculate();
  });
  $('add-player').addEventListener('click', addPlayer);
  $('undo').addEventListener('click', () => restore(undo()));
  $('redo').addEventListener('click', () => restore(redo()));
  document.addEventListener('keydown', undoKeys);
  $('skip-to-range').addEventListener('click', (e) => {
    e.preventDefault(); // the fragment holds the spot, not a place on the page
    $('p1-range').focus();
  });
  $('copy-command').addEventListener('click', copyCommand);
  // A link pasted into this tab, or a fragment edited by hand.
  window.addEventListener('hashchange', () => {
    const next = readFragment();
    if (next) {
      applySpot(next);
      loadOrdering();
      changed();
    }
  });
  // Which engine answers: the server, or this browser's own.
  const engine = backend === 'wasm' ? 'engine: WebAssembly in this browser' : 'engine: varnolith_web';
  $('version').textContent = engine;
  getVersion()
    .then((v) => {
      const threads = v.threads ? ` (${v.threads === 1 ? 'one thread' : `${v.threads} threads`})` : '';
      $('version').textContent = `${v.name} ${v.version} · ${engine}${threads}`;
    })
    .catch(() => {});
  $('rules').addEventListener('change', () => {
    state.rules = $('rules').value;
    // "N%" names other classes under other rules: every range is read again.
    state.players.forEach((_, i) => readText(i));
    loadOrdering();
    changed();
  });
  loadOrdering();
  changed();
}

// The ordering of the rules in force; an answer for rules since left is dropped.
function loadOrdering() {
  const rules = state.rules;
  getOrdering(rules)
    .then((o) => {
      if (rules !== state.rules) return;
      state.ordering = { classes: o.classes, topCounts: o.top_class_counts };
      changed();
    })
    .catch((e) => {
      state.runError = `the preflop ordering could not be read: ${e.message}`;
      changed();
    });
}

start();
