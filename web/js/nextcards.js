// The next-card table as the command draws it: a 9x4 square per player, ranks
// down and suits across, each card's equity when it comes, marked where the
// card changes who leads; then the same square of each card's probability.

import { cardName } from './hands.js';
import { equityColour, scaleMiddle } from './scale.js';
import { percent } from './format.js';
import { scaleKind } from './state.js';

const RANKS = 'AKQJT9876';
const SUITS = 'cdhs'; // the command's order across
const SUIT_SYMBOL = { c: '♣', d: '♦', h: '♥', s: '♠' };
// Equities this close are a tie for the lead, not a change of it.
const TIE_SLACK = 1e-9;

function leaders(equity) {
  const best = Math.max(...equity);
  return equity.map((e) => e >= best - TIE_SLACK);
}

const sameLeaders = (a, b) => a.every((x, i) => x === b[i]);

// `cell(next)` gives a card's cell; a card that cannot come shows "–".
function cardSquare(caption, cards, cell) {
  const byCard = new Map(cards.map((c) => [c.card, c]));
  const head = [...SUITS].map((s) => `<th scope="col" class="suit-${s}" aria-label="${s}">${SUIT_SYMBOL[s]}</th>`).join('');
  const rows = [...RANKS]
    .map((r) => {
      const cells = [...SUITS]
        .map((s) => {
          const next = byCard.get(r + s);
          return next ? cell(next) : `<td class="gone" title="${cardName(r + s)} cannot come">–</td>`;
        })
        .join('');
      return `<tr><th scope="row">${r}</th>${cells}</tr>`;
    })
    .join('');
  return `<table class="card-square"><caption>${caption}</caption>
    <thead><tr><th scope="col"><span class="visually-hidden">Rank</span></th>${head}</tr></thead><tbody>${rows}</tbody></table>`;
}

export function nextCardsHtml(answer) {
  const cards = answer.next_cards;
  const now = answer.players.map((p) => p.equity);
  const leading = leaders(now);
  const middle = scaleMiddle(scaleKind(), now.length);
  const squares = now.map((_, i) =>
    cardSquare(`Player ${i + 1}`, cards, (next) => {
      const changes = !sameLeaders(leaders(next.equity), leading);
      const e = next.equity[i];
      return `<td style="background:${equityColour(e, middle)}" title="${cardName(next.card)}: ${percent(e, 1)}${
        changes ? ', changes who leads' : ''
      }">${(100 * e).toFixed(1)}${changes ? '<span class="mark">*</span>' : ''}</td>`;
    }),
  );
  squares.push(
    cardSquare('Probability %', cards, (next) => `<td>${(100 * next.probability).toFixed(2)}</td>`),
  );
  const nowText = now.map((e) => (100 * e).toFixed(1)).join(', ');
  return `<section class="detail" aria-labelledby="next-title"><h2 id="next-title">Next card</h2>
    <p class="hint">Each player's equity in percent when the card comes (now ${nowText});
    * the card changes who has the highest equity; – it cannot come.</p>
    <div class="card-squares">${squares.join('')}</div></section>`;
}
