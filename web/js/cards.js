// The card picker: the 36 cards, a row per suit. A click puts a card on the
// board or, in dead mode, out of play; the two text fields say the same in
// writing, and either side can be changed.

import { allCards, cardName, cardSymbol, parseCards } from './hands.js';
import { state } from './state.js';

const MAX_BOARD = 5;
let hooks = { changed() {}, calculate() {} };
let buttons = [];

const $ = (id) => document.getElementById(id);

function toggle(card) {
  const list = state.cardMode === 'board' ? state.board : state.dead;
  const other = state.cardMode === 'board' ? state.dead : state.board;
  if (other.includes(card)) return;
  const at = list.indexOf(card);
  if (at >= 0) list.splice(at, 1);
  else if (state.cardMode === 'dead' || list.length < MAX_BOARD) list.push(card);
  else return;
  if (state.cardMode === 'board') {
    state.boardText = state.board.join('');
    state.boardError = '';
  } else {
    state.deadText = state.dead.join('');
    state.deadError = '';
  }
  drawCards();
  hooks.changed();
}

// A field's text read into its cards; a fault stays by the field.
function readField(which) {
  const text = which === 'board' ? state.boardText : state.deadText;
  const read = parseCards(text, which === 'board' ? 'board' : 'dead cards');
  let error = read.error ?? '';
  if (!error && which === 'board' && read.cards.length > MAX_BOARD)
    error = `board: ${read.cards.length} cards given, at most ${MAX_BOARD} allowed`;
  if (!error) {
    const other = which === 'board' ? state.dead : state.board;
    const twice = read.cards.find((c) => other.includes(c));
    if (twice) error = `card ${twice} is given twice among the board and dead cards`;
  }
  if (which === 'board') state.boardError = error;
  else state.deadError = error;
  if (!error) state[which] = read.cards;
}

export function readCardFields() {
  readField('board');
  readField('dead');
}

export function setCardHooks(h) {
  hooks = h;
}

export function buildCards() {
  const grid = $('card-grid');
  grid.innerHTML = allCards()
    .map(
      (card, i) =>
        `<button type="button" class="card suit-${card[1]}" data-card="${card}" tabindex="${i === 0 ? 0 : -1}" ` +
        `aria-label="${cardName(card)}"><span class="rank">${card[0]}</span><span class="pip">${cardSymbol(card).slice(1)}</span></button>`,
    )
    .join('');
  buttons = [...grid.querySelectorAll('.card')];
  grid.addEventListener('click', (e) => {
    const button = e.target.closest('.card');
    if (button && button.getAttribute('aria-disabled') !== 'true') toggle(button.dataset.card);
  });
  grid.addEventListener('keydown', (e) => {
    const button = e.target.closest('.card');
    const steps = { ArrowLeft: -1, ArrowRight: 1, ArrowUp: -9, ArrowDown: 9 };
    if (!button || !(e.key in steps)) return;
    e.preventDefault();
    const i = buttons.indexOf(button);
    const next = i + steps[e.key];
    if (next < 0 || next >= buttons.length) return;
    if (Math.abs(steps[e.key]) === 1 && Math.floor(next / 9) !== Math.floor(i / 9)) return;
    for (const b of buttons) b.tabIndex = -1;
    buttons[next].tabIndex = 0;
    buttons[next].focus();
  });
  for (const which of ['board', 'dead']) {
    const field = $(which);
    field.addEventListener('input', () => {
      state[`${which}Text`] = field.value;
      readCardFields();
      drawCards();
      hooks.changed();
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

function slotHtml(card, label) {
  if (!card) return `<span class="slot empty">${label}</span>`;
  return `<span class="card big suit-${card[1]}"><span class="rank">${card[0]}</span><span class="pip">${cardSymbol(card).slice(1)}</span></span>`;
}

export function drawCards() {
  const boardFull = state.board.length >= MAX_BOARD;
  for (const button of buttons) {
    const card = button.dataset.card;
    const onBoard = state.board.includes(card);
    const dead = state.dead.includes(card);
    button.classList.toggle('on-board', onBoard);
    button.classList.toggle('is-dead', dead);
    const mine = state.cardMode === 'board' ? onBoard : dead;
    const elsewhere = state.cardMode === 'board' ? dead : onBoard;
    button.setAttribute('aria-pressed', String(mine));
    button.setAttribute('aria-disabled', String(elsewhere || (state.cardMode === 'board' && boardFull && !mine)));
    button.title = `${cardName(card)}${onBoard ? ': on the board' : dead ? ': dead' : ''}`;
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
