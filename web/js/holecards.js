// A player's own two cards, chosen from the deck: a hand, not a range. Cards
// taken elsewhere (board, dead, another player's hand) cannot be chosen.

import { cardButtonHtml, moveWithArrows } from './cards.js';
import { allCards, canonicalHand, cardName } from './hands.js';
import { cardsInUse, cardsOf, holderName } from './holdings.js';
import { state } from './state.js';

// onHand(text): the player's range becomes this text (a hand, or '' while one card is chosen).
export function buildHandPicker(box, i, onHand) {
  const n = i + 1;
  box.innerHTML = `<summary>Hand cards</summary>
    <p class="hint">Two cards for Player ${n}: a hand instead of a range.</p>
    <div class="card-grid" role="group" aria-label="Player ${n} hand cards">${allCards().map(cardButtonHtml).join('')}</div>`;
  const grid = box.querySelector('.card-grid');
  moveWithArrows(grid);
  grid.addEventListener('click', (e) => {
    const button = e.target.closest('.card');
    if (!button || button.getAttribute('aria-disabled') === 'true') return;
    const p = state.players[i];
    const card = button.dataset.card;
    const held = cardsOf(p);
    const chosen = held.includes(card) ? held.filter((c) => c !== card) : held.length === 2 ? [card] : [...held, card];
    p.pick = chosen.length === 2 ? [] : chosen;
    onHand(chosen.length === 2 ? canonicalHand(chosen.join('')) : '');
  });
}

export function drawHandPicker(box, i) {
  const taken = cardsInUse();
  const mine = cardsOf(state.players[i]);
  for (const button of box.querySelectorAll('.card')) {
    const card = button.dataset.card;
    const holder = taken.get(card);
    const chosen = mine.includes(card);
    button.setAttribute('aria-pressed', String(chosen));
    button.setAttribute('aria-disabled', String(holder !== undefined && !chosen));
    button.classList.toggle('in-hand', chosen);
    button.title = `${cardName(card)}${holder === undefined || chosen ? '' : `: ${holderName(holder)}`}`;
  }
}
