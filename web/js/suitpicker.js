// The small popup that chooses which combinations of one class are in: only
// the hearts of AKs, say. One popup serves every square.

import { classCombos, SUIT_SYMBOL } from './hands.js';

const comboText = (hand) => hand[0] + SUIT_SYMBOL[hand[1]] + hand[2] + SUIT_SYMBOL[hand[3]];
const suitClass = (suit) => `suit-${suit}`;

let popup = null;
let opened = null; // {name, cell, isIn, toggle, setAll}

function close() {
  if (!opened) return;
  const { cell } = opened;
  opened = null;
  popup.hidden = true;
  cell.focus();
}

function draw() {
  const { name, isIn } = opened;
  popup.querySelector('h3').textContent = `Suits of ${name}`;
  const list = popup.querySelector('.combos');
  list.innerHTML = classCombos(name)
    .map(
      (hand) =>
        `<button type="button" class="combo" data-hand="${hand}" aria-pressed="${isIn(hand)}" aria-label="${hand}">` +
        `<span class="${suitClass(hand[1])}">${hand[0]}${SUIT_SYMBOL[hand[1]]}</span>` +
        `<span class="${suitClass(hand[3])}">${hand[2]}${SUIT_SYMBOL[hand[3]]}</span></button>`,
    )
    .join('');
  list.classList.toggle('wide', name.endsWith('o'));
  list.title = classCombos(name).map(comboText).join(' ');
}

function build() {
  popup = document.createElement('div');
  popup.className = 'suit-picker';
  popup.setAttribute('role', 'dialog');
  popup.setAttribute('aria-label', 'Suits');
  popup.hidden = true;
  popup.innerHTML = `<h3></h3><div class="combos"></div>
    <div class="row"><button type="button" data-all="1">All</button><button type="button" data-all="0">None</button>
    <button type="button" class="done">Done</button></div>`;
  document.body.append(popup);
  popup.addEventListener('click', (e) => {
    const combo = e.target.closest('.combo');
    if (combo) {
      opened.toggle(combo.dataset.hand);
      draw();
      popup.querySelector(`[data-hand="${combo.dataset.hand}"]`).focus();
    } else if (e.target.closest('[data-all]')) {
      opened.setAll(e.target.closest('[data-all]').dataset.all === '1');
      draw();
    } else if (e.target.closest('.done')) {
      close();
    }
  });
  popup.addEventListener('keydown', (e) => {
    if (e.key === 'Escape') {
      e.preventDefault();
      close();
    }
  });
  document.addEventListener('pointerdown', (e) => {
    if (opened && !popup.contains(e.target)) close();
  });
}

// isIn(hand) -> bool, toggle(hand), setAll(bool): the player's side of it.
export function openSuitPicker(name, cell, player) {
  if (!popup) build();
  opened = { name, cell, ...player };
  popup.setAttribute('aria-label', `Suits of ${name}`);
  draw();
  popup.hidden = false;
  const box = cell.getBoundingClientRect();
  const width = popup.offsetWidth;
  const left = Math.min(window.scrollX + box.left, window.scrollX + document.documentElement.clientWidth - width - 8);
  popup.style.left = `${Math.max(8, left)}px`;
  popup.style.top = `${window.scrollY + box.bottom + 4}px`;
  popup.querySelector('.combo').focus();
}
