// Which cards are taken, and by what: the board, the dead cards and the hands
// players hold. Every card picker greys what is taken elsewhere, so that an
// impossible spot cannot be built by clicking.

import { state } from './state.js';

// A range of one combination is a hand: its two cards are then in use.
export function handOf(p) {
  if (p.hands.size !== 1 || p.error) return [];
  const [hand] = p.hands.keys();
  return [hand.slice(0, 2), hand.slice(2, 4)];
}

// The cards a player has chosen in the picker, or holds as a hand.
export const cardsOf = (p) => (p.pick.length ? p.pick : handOf(p));

// card -> who holds it: "board", "dead" or a player's index.
export function cardsInUse() {
  const taken = new Map();
  for (const card of state.board) taken.set(card, 'board');
  for (const card of state.dead) taken.set(card, 'dead');
  state.players.forEach((p, i) => {
    for (const card of cardsOf(p)) if (!taken.has(card)) taken.set(card, i);
  });
  return taken;
}

export function holderName(holder) {
  if (holder === 'board') return 'on the board';
  if (holder === 'dead') return 'dead';
  return `held by Player ${holder + 1}`;
}
