// The page's start and its wiring: every change goes through changed(),
// which redraws the page from the state and writes the address fragment.

import { getOrdering, getVersion } from './api.js';
import { buildCards, drawCards, readCardFields, setCardHooks } from './cards.js';
import { commandLine } from './command.js';
import { readFragment, writeFragment } from './fragment.js';
import { buildLibrary, drawLibrary, loadLibrary } from './library.js';
import { addPlayer, drawAllPlayers, drawPlayers, readText, setPlayerHooks } from './players.js';
import { buildResults, drawResults } from './results.js';
import { buildRun, calculate, drawRun, setRunHooks } from './run.js';
import { newPlayer, state } from './state.js';

const $ = (id) => document.getElementById(id);

function changed() {
  writeFragment();
  $('command-line').value = commandLine();
  drawCards();
  drawRun();
  drawResults();
  drawLibrary();
  drawAllPlayers();
}

function applySpot(spot) {
  state.players = spot.ranges.map((text) => newPlayer(text));
  state.boardText = spot.board;
  state.deadText = spot.dead;
  state.board = [];
  state.dead = [];
  readCardFields();
  for (const name of ['method', 'trials', 'precision', 'seed', 'categories', 'byCard', 'scale']) state[name] = spot[name];
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
  $('copy-command').addEventListener('click', copyCommand);
  // A link pasted into this tab, or a fragment edited by hand.
  window.addEventListener('hashchange', () => {
    const next = readFragment();
    if (next) {
      applySpot(next);
      changed();
    }
  });
  getVersion()
    .then((v) => ($('version').textContent = `${v.name} ${v.version}`))
    .catch(() => {});
  getOrdering()
    .then((list) => (state.ordering = list))
    .catch((e) => {
      state.runError = `the preflop ordering could not be read: ${e.message}`;
      changed();
    });
  changed();
}

start();
