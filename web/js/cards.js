// The card picker: the 36 cards, a row per suit. A click puts a card on the
// board or, in dead mode, out of play; the two text fields say the same in
// writing, and either side can be changed. The fields are read by the server,
// by the rules and in the words of the command.

import { readCards } from './api.js';
import { allCards, cardName, cardSymbol } from './hands.js';
import { cardsInUse, holderName } from './holdings.js';
import { state } from './state.js';

const MAX_BOARD = 5;
let hooks = { changed() {}, calculate() {} };
let buttons = [];
let reading = { seq: 0, done: Promise.resolve() };

const $ = (id) => document.getElementById(id);

// One card as a button of a picker; `data-card` names it.
export const cardButtonHtml = (card, i) =>
  `<button type="button" class="card suit-${card[1]}" data-card="${card}" tabindex="${i === 0 ? 0 : -1}" ` +
  `aria-label="${cardName(card)}"><span class="rank">${card[0]}</span><span class="pip">${cardSymbol(card).slice(1)}</span></button>`;

// Arrow keys within a picker, one tab stop for all of it.
export function moveWithArrows(grid) {
  grid.addEventListener('keydown', (e) => {
    const list = [...grid.querySelectorAll('.card')];
    const button = e.target.closest('.card');
    const steps = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -9, ArrowDown: 9 };
    if (!button || !(e.key in steps)) return;
    e.preventDefault();
    const i = list.indexOf(button);
    const next = i + steps[e.key];
    if (next < 0 || next >= list.length) return;
    if (Math.abs(steps[e.key]) === 1 && Math.floor(next / 9) !== Math.floor(i / 9)) return;
    for (const b of list) b.tabIndex = -1;
    list[next].tabIndex = 0;
    list[next].focus();
  });
}

function toggle(card) {
  const list = state.cardMode === 'board' ? state.board : state.dead;
  const at = list.indexOf(card);
  if (at >= 0) list.splice(at, 1);
  else if (state.cardMode === 'dead' || list.length < MAX_BOARD) list.push(card);
  else return;
  state.boardText = state.board.join('');
  state.deadText = state.dead.join('');
  state.boardError = '';
  state.deadError = '';
  drawCards();
  hooks.changed();
}

// Both fields read by the server; a fault stays by the field it names, and
// the last good cards stay in play until the text is put right. Resolves
// once read.
export function readCardFields() {
  const seq = ++reading.seq;
  reading.done = readCards(state.boardText, state.deadText).then(
    ({ board, dead }) => {
      if (seq !== reading.seq) return;
      Object.assign(state, { board, dead, boardError: '', deadError: '' });
    },
    (error) => {
      if (seq !== reading.seq) return;
      state.boardError = error.field === 'dead' ? '' : error.message;
      state.deadError = error.field === 'dead' ? error.message : '';
    },
  );
  reading.done.then(() => {
    if (seq !== reading.seq) return;
    drawCards();
    hooks.changed();
  });
  return reading.done;
}

export function setCardHooks(h) {
  hooks = h;
}

export function buildCards() {
  const grid = $('card-grid');
  grid.innerHTML = allCards().map(cardButtonHtml).join('');
  buttons = [...grid.querySelectorAll('.card')];
  grid.addEventListener('click', (e) => {
    const button = e.target.closest('.card');
    if (button && button.getAttribute('aria-disabled') !== 'true') toggle(button.dataset.card);
  });
  moveWithArrows(grid);
  for (const which of ['board', 'dead']) {
    const field = $(which);
    field.addEventListener('input', () => {
      state[`${which}Text`] = field.value;
      readCardFields();
    });
    field.addEventListener('keydown', (e) => {
      if (e.key === 'Enter') {
        e.preventDefault();
        hooks.calculate();
      }
    });
  }
  document.querySelectorAll('input[name="card-mode"]').forEach((radio) =>
    radio.addEventListener('change', () => {
      state.cardMode = radio.value;
      drawCards();
    }),
  );
}

// One card shown, not pressed: `size` is "big" for the board's slots, "mini" in a table.
export const cardHtml = (card, size) =>
  `<span class="card ${size} suit-${card[1]}"><span class="rank">${card[0]}</span><span class="pip">${cardSymbol(card).slice(1)}</span></span>`;

const slotHtml = (card, label) => (card ? cardHtml(card, 'big') : `<span class="slot empty">${label}</span>`);

export function drawCards() {
  const boardFull = state.board.length >= MAX_BOARD;
  const taken = cardsInUse();
  for (const button of buttons) {
    const card = button.dataset.card;
    const holder = taken.get(card);
    button.classList.toggle('on-board', holder === 'board');
    button.classList.toggle('is-dead', holder === 'dead');
    const mine = holder === state.cardMode;
    const elsewhere = holder !== undefined && !mine;
    button.setAttribute('aria-pressed', String(mine));
    button.setAttribute('aria-disabled', String(elsewhere || (state.cardMode === 'board' && boardFull && !mine)));
    button.title = `${cardName(card)}${holder === undefined ? '' : `: ${holderName(holder)}`}`;
  }
  document.querySelector(`input[name="card-mode"][value="${state.cardMode}"]`).checked = true;
  const labels = ['Flop', 'Flop', 'Flop', 'Turn', 'River'];
  $('board-slots').innerHTML = labels.map((l, i) => slotHtml(state.board[i], l)).join('');
  for (const which of ['board', 'dead']) {
    const field = $(which);
    const text = state[`${which}Text`];
    if (document.activeElement !== field && field.value !== text) field.value = text;
    const error = state[`${which}Error`];
    $(`${which}-error`).textContent = error;
    field.setAttribute('aria-invalid', String(error !== ''));
  }
}
