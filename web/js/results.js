// The figures of the last calculation: one table of every player by the
// Calculate button and a table in each player's panel, the run's summary, and
// under the players what each range holds on the board, the flop report, the
// hand categories and the next-card squares.

import { buildFlopReport, drawFlopReport, flopReportHtml } from './flops.js';
import { counted, grouped, percent } from './format.js';
import { hitsHtml } from './hits.js';
import { nextCardsHtml } from './nextcards.js';
import { drawLegend } from './scale.js';
import { currentResults, scaleKind, spotKey, state } from './state.js';

const $ = (id) => document.getElementById(id);

// A run's time is told only when it was long enough to notice; the exact
// figure is in the tooltip.
function metaText(answer, seedText) {
  const time = answer.elapsed_seconds >= 1 ? ` · ${answer.elapsed_seconds.toFixed(1)} s` : '';
  const rules = answer.rules === 'trips' ? ' · trips beat a straight' : '';
  if (answer.method === 'exact')
    return `Exact · ${counted(answer.deals, 'deal')} · ${counted(answer.boards, 'board')}${rules}${time}`;
  const error = Math.max(...answer.players.map((p) => p.stderr));
  return `Monte Carlo · ${counted(answer.trials, 'trial')} · largest std. error ${percent(error, 3)} · seed ${seedText ?? answer.seed}${rules}${time}`;
}

const errorText = (answer, p) => (answer.method === 'exact' ? '0' : percent(p.stderr, 3));

// Every player's figures side by side, each row in the player's colour.
function allPlayersHtml(answer) {
  const rows = answer.players
    .map(
      (p, i) => `<tr data-player="${i + 1}"><th scope="row"><span class="swatch" aria-hidden="true"></span>Player ${i + 1}</th>
      <td class="strong">${percent(p.equity)}</td><td>${percent(p.win)}</td><td>${percent(p.tie)}</td>
      <td>${errorText(answer, p)}</td><td>${grouped(p.combos)}</td></tr>`,
    )
    .join('');
  return `<table class="all-players"><caption class="visually-hidden">Results</caption>
    <thead><tr><th scope="col">Player</th><th scope="col">Equity</th><th scope="col">Win</th><th scope="col">Tie</th>
    <th scope="col">Std. error</th><th scope="col">Combos</th></tr></thead><tbody>${rows}</tbody></table>`;
}

// One player's figures, drawn in the player's panel under the square.
export function playerTableHtml(answer, i) {
  const p = answer.players[i];
  const error = errorText(answer, p);
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
  const table = allPlayersHtml(answer);
  if ($('all-players').dataset.html !== table) {
    $('all-players').innerHTML = table;
    $('all-players').dataset.html = table;
  }
  drawLegend($('legend'), scaleKind(), answer.players.length);
  // Written only when it changes: the flop report's rows, filters and focus stay put.
  const details = current ? detailsHtml(answer) : '';
  if ($('details').dataset.html !== details) {
    $('details').innerHTML = details;
    $('details').dataset.html = details;
  }
  if (current && answer.flops) drawFlopReport($('details'), answer);
}

// What was asked for and computed; a table asked for since is a Calculate away.
function detailsHtml(answer) {
  const parts = [hitsHtml(answer)];
  const wanted = [];
  if (answer.flops) parts.push(flopReportHtml(answer));
  if (state.categories) {
    if (answer.players.some((p) => p.categories)) parts.push(categoriesHtml(answer));
    else wanted.push('hand categories');
  }
  if (state.byCard && answer.board.length >= 3 && answer.board.length <= 4) {
    if (answer.next_cards) parts.push(nextCardsHtml(answer));
    else wanted.push('the next-card table');
  }
  if (wanted.length) parts.push(`<p class="detail hint">Calculate again to see ${wanted.join(' and ')}.</p>`);
  return parts.join('');
}

// The seed of the run shown, kept for the next: the same seed gives the same figures.
export function buildResults(changed) {
  buildFlopReport($('details'));
  $('use-seed').addEventListener('click', () => {
    const results = currentResults();
    if (!results) return;
    state.seed = results.seedText ?? String(results.answer.seed);
    results.key = spotKey();
    changed();
  });
}
