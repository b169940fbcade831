// A player's panel: the range field, its square, the counter and the tools
// beside them. The text and the square are kept the same both ways: typing is
// read by the server (/api/range), painting is written back by it
// (/api/notation), each time in the shortest notation it knows.

import { readRange, writeNotation } from './api.js';
import { escapeHtml, shortPercent } from './format.js';
import { ALL_COMBOS, CLASSES, canonicalHand, classCombos } from './hands.js';
import { remember } from './history.js';
import { buildHandPicker, drawHandPicker } from './holecards.js';
import { buildSquare, drawSquare } from './square.js';
import { openSuitPicker } from './suitpicker.js';
import { playerTableHtml } from './results.js';
import { equityColour, scaleMiddle } from './scale.js';
import { MAX_PLAYERS, MIN_PLAYERS, currentResults, newPlayer, scaleKind, state } from './state.js';

const TYPING_PAUSE_MS = 300;

let hooks = { changed() {}, calculate() {} };
const panels = []; // per player: {element, field, error, count, cells, ...}

export function setPlayerHooks(h) {
  hooks = h;
}

const paintWeight = (p) => p.weight / 100;

function classIsIn(p, name) {
  const w = paintWeight(p);
  return w > 0 && classCombos(name).every((h) => p.hands.get(h) === w);
}

function paint(i, name, add) {
  const p = state.players[i];
  const w = paintWeight(p);
  for (const h of classCombos(name)) {
    if (add && w > 0) p.hands.set(h, w);
    else p.hands.delete(h);
  }
  drawPlayer(i);
}

// The hands as the server wants them, and the text it writes for them. Until
// it answers, the text is behind the square: p.pending says so.
function rewriteText(i) {
  const p = state.players[i];
  const seq = ++p.seq;
  p.error = '';
  p.pick = [];
  if (p.hands.size === 0) {
    setText(i, '');
    return;
  }
  const hands = [...p.hands].map(([hand, weight]) => ({ hand, weight }));
  const pending = writeNotation(hands).then(
    ({ range }) => {
      if (seq === p.seq && state.players[i] === p) setText(i, range);
    },
    (e) => {
      if (seq === p.seq && state.players[i] === p) {
        p.error = e.message;
        drawPlayer(i);
      }
    },
  );
  p.pending = pending;
  pending.finally(() => {
    if (p.pending === pending) p.pending = null;
  });
}

// Resolves once every range text says what its square shows.
export const rangesWritten = () => Promise.all(state.players.map((p) => p.pending));

function setText(i, text) {
  const p = state.players[i];
  p.text = text;
  if (panels[i]) panels[i].field.value = text;
  remember();
  drawPlayer(i);
  hooks.changed();
}

export async function readText(i) {
  const p = state.players[i];
  if (!p) return;
  const seq = ++p.seq;
  clearTimeout(p.timer);
  if (p.text.trim() === '') {
    p.hands = new Map();
    p.error = '';
    drawPlayer(i);
    return;
  }
  try {
    const answer = await readRange(p.text, state.rules);
    if (seq !== p.seq) return;
    p.hands = new Map(answer.hands.map((h) => [canonicalHand(h.hand), h.weight]));
    p.error = '';
    remember();
  } catch (e) {
    if (seq !== p.seq) return;
    p.error = e.message;
  }
  hooks.changed(); // a hand held now or no more changes every picker
}

// The classes "N%" takes, as the server counts them.
const topClasses = (percent) =>
  state.ordering.classes.slice(0, state.ordering.topCounts[percent - 1]).map((c) => c.class);

// The N of the range when it is the top N% of hands, else null: the text
// "N%" itself, or full-weight classes that are the first ones of the ordering.
function topPercentOf(p) {
  const typed = /^\s*(\d+)%\s*$/.exec(p.text);
  if (typed && Number(typed[1]) >= 1 && Number(typed[1]) <= 100) return Number(typed[1]);
  const { classes, topCounts } = state.ordering;
  if (p.hands.size === 0 || p.error) return null;
  let taken = 0;
  let combos = 0;
  for (const c of classes) {
    const held = classCombos(c.class).filter((h) => p.hands.get(h) === 1).length;
    if (held === 0) break;
    if (held !== c.combos) return null;
    taken++;
    combos += c.combos;
  }
  if (combos !== p.hands.size) return null;
  const at = topCounts.indexOf(taken);
  return at < 0 ? null : at + 1;
}

function setTop(i, percent) {
  const p = state.players[i];
  if (state.ordering.classes.length === 0) return setRangeText(i, `${percent}%`); // the server reads it instead
  p.seq++;
  p.error = '';
  p.pick = [];
  p.hands = new Map(topClasses(percent).flatMap((name) => classCombos(name).map((h) => [h, 1])));
  setText(i, `${percent}%`);
}

function setWhole(i, text, all) {
  const p = state.players[i];
  p.seq++;
  p.pick = [];
  p.error = '';
  p.hands = new Map(all ? CLASSES.flatMap((name) => classCombos(name).map((h) => [h, 1])) : []);
  setText(i, text);
}

// A range file as the command reads "@FILE": the server reads the text as it
// stands (line breaks, # comments), and the box takes the shortest notation
// for it, since a one-line box cannot hold the file's lines.
function importRange(i, file) {
  const p = state.players[i];
  const seq = ++p.seq;
  const shown = (error) => {
    if (seq !== p.seq || state.players[i] !== p) return;
    p.error = `${file.name}: ${error}`;
    drawPlayer(i);
  };
  const reader = new FileReader();
  reader.onerror = () => shown('the file cannot be read');
  reader.onload = async () => {
    try {
      const answer = await readRange(reader.result);
      if (seq !== p.seq || state.players[i] !== p) return;
      if (answer.combos === 0) return shown('its items take out every combination');
      setRangeText(i, answer.notation);
    } catch (e) {
      shown(e.message);
    }
  };
  reader.readAsText(file);
}

export function setRangeText(i, text) {
  state.players[i].text = text;
  state.players[i].pending = null;
  if (panels[i]) panels[i].field.value = text;
  hooks.changed();
  return readText(i);
}

function countText(p) {
  const n = p.hands.size;
  let weighted = 0;
  for (const w of p.hands.values()) weighted += w;
  let text = `${n} ${n === 1 ? 'combo' : 'combos'}, ${((100 * n) / ALL_COMBOS).toFixed(1)}%`;
  if (Math.abs(weighted - n) > 1e-9) text += ` (${Number(weighted.toFixed(2))} weighted)`;
  return text;
}

function panelHtml(i) {
  const n = i + 1;
  return `<header class="player-head">
      <span class="swatch" aria-hidden="true"></span>
      <h2 id="p${n}-title">Player ${n}</h2>
      <span class="player-equity" id="p${n}-equity"></span>
      <button type="button" class="remove quiet" aria-label="Remove player ${n}" title="Remove player ${n}">✕</button>
    </header>
    <div class="field">
      <label for="p${n}-range">Range</label>
      <input id="p${n}-range" class="range-text" type="text" autocomplete="off" spellcheck="false"
        aria-describedby="p${n}-error p${n}-count" placeholder="e.g. QQ+, AKs or 15%">
      <button type="button" class="import"
        title="Read player ${n}'s range from a text file: items on lines or separated by commas, # comments">From file…</button>
      <input type="file" class="import-file" accept=".txt,text/plain" hidden>
      <p class="field-error" id="p${n}-error" aria-live="polite"></p>
    </div>
    <div class="square-box"></div>
    <div class="player-figures"></div>
    <p class="count" id="p${n}-count" aria-live="polite"></p>
    <div class="tools">
      <label class="slider">Weight <input type="range" class="weight-slider" min="0" max="100" step="5">
        <output class="weight-out"></output></label>
      <label class="slider">Top <input type="range" class="top-slider" min="1" max="100" step="1">
        <output class="top-out"></output></label>
    </div>
    <details class="hand-picker"></details>
    <div class="tools">
      <button type="button" class="clear">Clear</button>
      <button type="button" class="random">Random</button>
      <select class="saved" aria-label="Saved ranges for player ${n}"></select>
    </div>`;
}

function buildPanel(i) {
  const element = document.createElement('section');
  element.className = 'player';
  element.dataset.player = String(i + 1);
  element.setAttribute('aria-labelledby', `p${i + 1}-title`);
  element.innerHTML = panelHtml(i);
  const q = (s) => element.querySelector(s);
  const panel = {
    element,
    field: q('.range-text'),
    error: q('.field-error'),
    count: q('.count'),
    equity: q('.player-equity'),
    figures: q('.player-figures'),
    weight: q('.weight-slider'),
    weightOut: q('.weight-out'),
    top: q('.top-slider'),
    topOut: q('.top-out'),
    hand: q('.hand-picker'),
    saved: q('.saved'),
    remove: q('.remove'),
  };
  const p = () => state.players[i];
  panel.cells = buildSquare(q('.square-box'), `Player ${i + 1} hand classes`, {
    isIn: (name) => classIsIn(p(), name),
    paint: (name, add) => paint(i, name, add),
    paintEnd: () => rewriteText(i),
    openSuits: (name, cell) =>
      openSuitPicker(name, cell, {
        isIn: (hand) => p().hands.has(hand),
        toggle: (hand) => {
          if (p().hands.has(hand)) p().hands.delete(hand);
          else p().hands.set(hand, paintWeight(p()) || 1);
          drawPlayer(i);
          rewriteText(i);
        },
        setAll: (on) => {
          for (const h of classCombos(name)) {
            if (on) p().hands.set(h, paintWeight(p()) || 1);
            else p().hands.delete(h);
          }
          drawPlayer(i);
          rewriteText(i);
        },
      }),
  });
  buildHandPicker(panel.hand, i, (text) => setRangeText(i, text));
  panel.field.value = p().text;
  panel.field.addEventListener('input', () => {
    p().text = panel.field.value;
    p().pending = null;
    p().pick = [];
    p().seq++;
    clearTimeout(p().timer);
    p().timer = setTimeout(() => readText(i), TYPING_PAUSE_MS);
    hooks.changed();
  });
  panel.field.addEventListener('keydown', (e) => {
    if (e.key !== 'Enter') return;
    e.preventDefault();
    readText(i);
    hooks.calculate();
  });
  panel.weight.addEventListener('input', () => {
    p().weight = Number(panel.weight.value);
    drawPlayer(i);
  });
  panel.top.addEventListener('input', () => setTop(i, Number(panel.top.value)));
  const file = q('.import-file');
  q('.import').addEventListener('click', () => file.click());
  file.addEventListener('change', () => {
    if (file.files.length) importRange(i, file.files[0]);
    file.value = ''; // the same file chosen again is read again
  });
  panel.remove.addEventListener('click', () => removePlayer(i));
  element.querySelector('.clear').addEventListener('click', () => setWhole(i, '', false));
  element.querySelector('.random').addEventListener('click', () => setWhole(i, 'random', true));
  panel.saved.addEventListener('change', () => {
    const entry = state.library[Number(panel.saved.value)];
    panel.saved.value = '';
    if (entry) setRangeText(i, entry.text);
  });
  return panel;
}

export function addPlayer() {
  if (state.players.length >= MAX_PLAYERS) return;
  state.players.push(newPlayer('random'));
  drawPlayers();
  readText(state.players.length - 1);
  hooks.changed();
  panels.at(-1).field.focus();
}

function removePlayer(i) {
  if (state.players.length <= MIN_PLAYERS) return;
  state.players.splice(i, 1);
  remember();
  drawPlayers();
  hooks.changed();
  document.getElementById('add-player').focus(); // its own button is gone
}

// Every panel anew: for a change in the number of players.
export function drawPlayers() {
  const list = document.getElementById('players');
  panels.length = 0;
  list.replaceChildren();
  state.players.forEach((_, i) => {
    panels.push(buildPanel(i));
    list.append(panels[i].element);
    drawPlayer(i);
  });
  document.getElementById('add-player').disabled = state.players.length >= MAX_PLAYERS;
}

export const drawAllPlayers = () => state.players.forEach((_, i) => drawPlayer(i));

// Cards on the board or dead cannot be dealt to anyone.
function liveHand(hand, used) {
  return !used.has(hand.slice(0, 2)) && !used.has(hand.slice(2, 4));
}

const weightOf = (p, hands) => (hands.length ? hands.reduce((s, h) => s + p.hands.get(h), 0) / hands.length : 0);

// A class's look: its fill's height is its weight; a class holding only some
// of its suits is striped and says how many, so that it never passes for a
// weight; a class the board and dead cards leave no combination of is blocked.
function squareLooks(i, results) {
  const p = state.players[i];
  const used = new Set([...state.board, ...state.dead]);
  const grid = results?.answer.players[i]?.grid;
  const middle = scaleMiddle(scaleKind(), state.players.length);
  return CLASSES.map((name, at) => {
    const combos = classCombos(name);
    const held = combos.filter((h) => p.hands.has(h));
    const blocked = !combos.some((h) => liveHand(h, used));
    const pressed = held.length === 0 ? false : held.length === combos.length ? true : 'mixed';
    const weightNote = held.length ? `, weight ${shortPercent(weightOf(p, held))}%` : '';
    const look = {
      fill: weightOf(p, held),
      suits: pressed === 'mixed' ? `${held.length}/${combos.length}` : '',
      blocked,
      pressed,
      colour: null,
      figure: '',
      label: blocked ? `${name}, blocked by the board and dead cards` : name,
      title: `${name}: ${held.length} of ${combos.length} combos${weightNote}${blocked ? '; none can be dealt' : ''}`,
    };
    const cell = grid?.[at];
    if (!grid) return look;
    if (!cell || cell.equity === null) return { ...look, fill: 0 };
    const live = held.filter((h) => liveHand(h, used));
    const liveWeight = live.length ? weightOf(p, live) : 1;
    const figure = (100 * cell.equity).toFixed(1);
    return {
      ...look,
      fill: Math.max(liveWeight, 0.03),
      colour: equityColour(cell.equity, middle),
      figure,
      label: `${name}, equity ${figure}%`,
      title: `${name}: ${live.length} live ${live.length === 1 ? 'combo' : 'combos'}, weight ${shortPercent(liveWeight)}%, equity ${figure}%`,
    };
  });
}

export function drawPlayer(i) {
  const p = state.players[i];
  const panel = panels[i];
  if (!p || !panel) return;
  const results = currentResults();
  if (document.activeElement !== panel.field && panel.field.value !== p.text) panel.field.value = p.text;
  panel.error.textContent = p.error;
  panel.field.setAttribute('aria-invalid', String(p.error !== ''));
  panel.count.textContent = countText(p);
  panel.weight.value = String(p.weight);
  panel.weightOut.textContent = `${p.weight}%`;
  const top = topPercentOf(p);
  panel.top.value = String(top ?? 1);
  panel.top.classList.toggle('unset', top === null);
  panel.top.setAttribute('aria-valuetext', top === null ? 'not a top range' : `${top}%`);
  panel.topOut.textContent = top === null ? '–' : `${top}%`;
  panel.remove.disabled = state.players.length <= MIN_PLAYERS;
  const answer = results?.answer.players[i];
  panel.equity.textContent = answer ? `${(100 * answer.equity).toFixed(2)}%` : '';
  panel.equity.title = answer ? 'Equity of this range in the calculated spot' : '';
  const figures = answer ? playerTableHtml(results.answer, i) : '';
  if (panel.figures.dataset.html !== figures) {
    panel.figures.innerHTML = figures;
    panel.figures.dataset.html = figures;
  }
  panel.figures.hidden = !answer;
  drawSquare(panel.cells, squareLooks(i, results), Boolean(results));
  drawHandPicker(panel.hand, i);
  drawSaved(panel);
}

function drawSaved(panel) {
  const options = state.library.map((entry, at) => `<option value="${at}">${escapeHtml(entry.name)}</option>`);
  const html = `<option value="">Load saved…</option>${options.join('')}`;
  if (panel.saved.dataset.html !== html) {
    panel.saved.innerHTML = html;
    panel.saved.dataset.html = html;
  }
  panel.saved.disabled = state.library.length === 0;
}
