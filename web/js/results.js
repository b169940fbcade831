// The figures of the last calculation: a table in each player's panel, the
// run's summary by the Calculate button, the hand categories and the
// next-card table under the squares.

import { cardName, cardSymbol } from './hands.js';
import { drawLegend, equityColour, scaleMiddle } from './scale.js';
import { currentResults, spotKey, state } from './state.js';

const $ = (id) => document.getElementById(id);
const percent = (fraction, digits = 2) => `${(100 * fraction).toFixed(digits)}%`;
const grouped = (n) => Number(n).toLocaleString('en-US');

// A run's time is told only when it was long enough to notice; the exact
// figure is in the tooltip.
function metaText(answer, seedText) {
  const time = answer.elapsed_seconds >= 1 ? ` · ${answer.elapsed_seconds.toFixed(1)} s` : '';
  if (answer.method === 'exact')
    return `Exact · ${grouped(answer.deals)} deals · ${grouped(answer.boards)} boards${time}`;
  const error = Math.max(...answer.players.map((p) => p.stderr));
  return `Monte Carlo · ${grouped(answer.trials)} trials · largest std. error ${percent(error, 3)} · seed ${seedText ?? answer.seed}${time}`;
}

// One player's figures, drawn in the player's panel under the square.
export function playerTableHtml(answer, i) {
  const p = answer.players[i];
  const error = answer.method === 'exact' ? '0' : percent(p.stderr, 3);
  return `<table class="figures"><caption class="visually-hidden">Player ${i + 1} results</caption>
    <thead><tr><th scope="col">Live combos</th><th scope="col">Equity</th><th scope="col">Win</th>
    <th scope="col">Tie</th><th scope="col">Std. error</th></tr></thead>
    <tbody><tr><td>${grouped(p.combos)}</td><td class="strong">${percent(p.equity)}</td><td>${percent(p.win)}</td>
    <td>${percent(p.tie)}</td><td>${error}</td></tr></tbody></table>`;
}

// A row per player and a column per category, so that ten players still fit.
function categoriesHtml(answer) {
  const first = answer.players.find((p) => p.categories);
  if (!first) return '';
  const names = Object.keys(first.categories);
  const head = names.map((name) => `<th scope="col">${name}</th>`).join('');
  const rows = answer.players
    .map((p, i) => {
      const cells = names
        .map((name) => {
          const share = p.categories?.[name] ?? 0;
          return `<td><span class="num">${percent(share, 1)}</span>
            <span class="bar"><span style="width:${(100 * share).toFixed(1)}%"></span></span></td>`;
        })
        .join('');
      return `<tr><th scope="row">Player ${i + 1}</th>${cells}</tr>`;
    })
    .join('');
  return `<section class="detail" aria-labelledby="categories-title"><h2 id="categories-title">Hand categories</h2>
    <p class="hint">How often each player's final hand is of each category.</p>
    <div class="scroll"><table class="categories"><thead><tr><th scope="col">Player</th>${head}</tr></thead>
    <tbody>${rows}</tbody></table></div></section>`;
}

function nextCardsHtml(answer) {
  if (!answer.next_cards) return '';
  const middle = scaleMiddle(state.scale, answer.players.length);
  const head = answer.players.map((_, i) => `<th scope="col">Player ${i + 1}</th>`).join('');
  const rows = answer.next_cards
    .map((c) => {
      const cells = c.equity
        .map((e) => `<td class="scaled" style="background:${equityColour(e, middle)}">${percent(e, 1)}</td>`)
        .join('');
      return `<tr><th scope="row"><span class="mini suit-${c.card[1]}" title="${cardName(c.card)}">${cardSymbol(c.card)}</span></th>
        <td>${percent(c.probability, 1)}</td>${cells}</tr>`;
    })
    .join('');
  return `<section class="detail" aria-labelledby="next-title"><h2 id="next-title">Next card</h2>
    <p class="hint">Every card that can come next: how likely it is and each player's equity when it comes.</p>
    <div class="scroll"><table class="next-cards"><thead><tr><th scope="col">Card</th><th scope="col">Chance</th>${head}</tr></thead>
    <tbody>${rows}</tbody></table></div></section>`;
}

export function drawResults() {
  const box = $('results');
  const results = state.results;
  const current = currentResults();
  box.hidden = !results;
  $('details').hidden = !current;
  if (!results) return;
  const { answer, seedText } = results;
  box.classList.toggle('stale', !current);
  $('results-note').textContent = current ? '' : 'The spot has changed since the last calculation.';
  $('results-meta').textContent = metaText(answer, seedText);
  $('results-meta').title = `Computed in ${answer.elapsed_seconds.toFixed(3)} s`;
  $('use-seed').hidden = answer.method !== 'monte_carlo' || !current;
  drawLegend($('legend'), state.scale, answer.players.length);
  $('details').innerHTML = current ? categoriesHtml(answer) + nextCardsHtml(answer) : '';
}

// The seed of the run shown, kept for the next: the same seed gives the same figures.
export function buildResults(changed) {
  $('use-seed').addEventListener('click', () => {
    const results = currentResults();
    if (!results) return;
    state.seed = results.seedText ?? String(results.answer.seed);
    results.key = spotKey();
    changed();
  });
}
