// What each range holds on the board: a table per player of its made hands,
// strongest first, then its draws (a hand may hold several), each line with
// how many combinations, how often and how well. "Keep only" (keep.js) cuts
// the range to a line's hands.

import { grouped, percent, words } from './format.js';
import { equityColour, scaleMiddle } from './scale.js';
import { scaleKind } from './state.js';

function lineHtml(line, i, middle) {
  const word = words(line.class);
  const error = line.stderr ? ` title="std. error ${percent(line.stderr, 2)}"` : '';
  const equity =
    line.equity === null
      ? '<td class="none">–</td>'
      : `<td style="background:${equityColour(line.equity, middle)}"${error}>${percent(line.equity, 1)}</td>`;
  return `<tr><th scope="row">${word}</th><td>${grouped(line.combos)}</td><td>${percent(line.share, 1)}</td>${equity}
    <td><button type="button" class="keep" data-keep="${i}" data-class="${line.class}"
      aria-label="Keep only ${word} in Player ${i + 1}'s range">Keep only</button></td></tr>`;
}

function playerHitsHtml(hits, i, middle) {
  const held = hits.filter((line) => line.combos > 0);
  const made = held.filter((line) => line.kind === 'made');
  const draws = held.filter((line) => line.kind === 'draw');
  const group = draws.length
    ? `<tr class="group"><th scope="colgroup" colspan="5">Draws</th></tr>${draws.map((l) => lineHtml(l, i, middle)).join('')}`
    : '';
  return `<table class="hits" data-player="${i + 1}" aria-label="Player ${i + 1} on the board">
    <caption><span class="swatch" aria-hidden="true"></span>Player ${i + 1}</caption>
    <thead><tr><th scope="col">Made hand</th><th scope="col">Combos</th><th scope="col">Share</th>
    <th scope="col">Equity</th><th scope="col"><span class="visually-hidden">Keep only</span></th></tr></thead>
    <tbody>${made.map((l) => lineHtml(l, i, middle)).join('')}${group}</tbody></table>`;
}

// Empty when the answer tells no hits (no board of three cards or more).
export function hitsHtml(answer) {
  if (!answer.players.every((p) => p.hits)) return '';
  const middle = scaleMiddle(scaleKind(), answer.players.length);
  const tables = answer.players.map((p, i) => playerHitsHtml(p.hits, i, middle)).join('');
  return `<section class="detail" aria-labelledby="hits-title"><h2 id="hits-title">Made hands and draws</h2>
    <p class="hint">What each range holds on the board: its share of the player's deals, and the equity of those hands.
    Keep only cuts the range to them.</p>
    <div class="hit-tables">${tables}</div></section>`;
}
