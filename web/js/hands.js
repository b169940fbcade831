// Cards, combinations and the 81 hand classes of the 36-card deck, written
// the way the server writes them: rank first, higher card first.

export const RANKS = 'AKQJT9876'; // the square's order, row and column
export const SUITS = 'shdc'; // the card picker's rows, highest first
export const SUIT_SYMBOL = { s: '♠', h: '♥', d: '♦', c: '♣' };
export const SUIT_NAME = { s: 'spades', h: 'hearts', d: 'diamonds', c: 'clubs' };
export const RANK_NAME = {
  A: 'Ace', K: 'King', Q: 'Queen', J: 'Jack', T: 'Ten', 9: 'Nine', 8: 'Eight', 7: 'Seven', 6: 'Six',
};
export const ALL_COMBOS = 630;

const rankValue = (r) => 8 - RANKS.indexOf(r);
const suitValue = (s) => 'cdhs'.indexOf(s);

export const cardName = (card) => `${RANK_NAME[card[0]]} of ${SUIT_NAME[card[1]]}`;
export const cardSymbol = (card) => card[0] + SUIT_SYMBOL[card[1]];

export function allCards() {
  const cards = [];
  for (const s of SUITS) for (const r of RANKS) cards.push(r + s);
  return cards;
}

// "AKs" at row 0 column 1, "AKo" at row 1 column 0.
export function className(row, column) {
  const high = RANKS[Math.min(row, column)];
  const low = RANKS[Math.max(row, column)];
  if (row === column) return high + low;
  return high + low + (row < column ? 's' : 'o');
}

export const CLASSES = Array.from({ length: 81 }, (_, i) => className(Math.floor(i / 9), i % 9));

// One order for every combination, so that the page's keys match the server's.
export function canonicalHand(text) {
  const a = text.slice(0, 2);
  const b = text.slice(2, 4);
  const first = rankValue(a[0]) * 4 + suitValue(a[1]);
  const second = rankValue(b[0]) * 4 + suitValue(b[1]);
  return first >= second ? a + b : b + a;
}

export function classOfHand(hand) {
  const [r1, s1, r2, s2] = hand;
  if (r1 === r2) return r1 + r2;
  const [high, low] = rankValue(r1) > rankValue(r2) ? [r1, r2] : [r2, r1];
  return high + low + (s1 === s2 ? 's' : 'o');
}

const combosCache = new Map();

// Every combination of a class: 6 for a pair, 4 suited, 12 offsuit.
export function classCombos(name) {
  if (combosCache.has(name)) return combosCache.get(name);
  const [high, low, kind] = name;
  const list = [];
  const suits = 'shdc';
  if (high === low) {
    for (let i = 0; i < 4; i++) for (let j = i + 1; j < 4; j++) list.push(high + suits[i] + low + suits[j]);
  } else {
    for (const a of suits)
      for (const b of suits) {
        if ((a === b) === (kind === 's')) list.push(high + a + low + b);
      }
  }
  combosCache.set(name, list);
  return list;
}
