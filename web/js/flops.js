// The flop report: every flop of a preflop spot, dealt exactly, one row for
// the flops that differ only by their suits. The textures summed up, player
// 1's equity drawn over the flops and by texture, and the rows filtered by
// texture and sorted by any column. Only the rows and the histogram are drawn
// again for a filter or a sort, each in one write.

import { cardHtml } from './cards.js';
import { counted, grouped, percent, shortPercent, words } from './format.js';
import { RANKS } from './hands.js';
import { equityColour, scaleMiddle } from './scale.js';
import { scaleKind } from './state.js';

const KINDS = [
  ['suits', 'Suits'],
  ['pairing', 'Pairing'],
  ['high_card', 'High card'],
  ['straight_possible', 'Straight possible'],
];
const BINS = 20;
const STEP = 0.05; // the charts' grid: every five percent

// Which rows are shown, and in what order: kept across runs, not in the link.
const view = {
  filter: { suits: '', pairing: '', high_card: '', straight_possible: '' },
  sort: { column: 'equity-0', descending: true },
};

// A row's texture of one kind, in the words the textures use.
const textureOf = (row, kind) => (kind === 'straight_possible' ? (row[kind] ? 'yes' : 'no') : row[kind]);

const texturesOf = (answer, kind) => answer.textures.filter((t) => t.kind === kind);

// The probability-weighted mean of player 1's equity over some rows.
function meanEquity(rows) {
  const weight = rows.reduce((sum, r) => sum + r.probability, 0);
  return weight > 0 ? rows.reduce((sum, r) => sum + r.probability * r.equity[0], 0) / weight : null;
}

// Numbers written into SVG attributes: a tenth of a pixel is enough.
const px = (n) => Number(n.toFixed(1));

function texturesTableHtml(answer) {
  const columns = 3 + answer.players.length;
  const heads = answer.players.map((_, i) => `<th scope="col">Player ${i + 1}</th>`).join('');
  const body = KINDS.map(([kind, label]) => {
    const rows = texturesOf(answer, kind)
      .map(
        (t) => `<tr><th scope="row">${words(t.texture)}</th><td>${grouped(t.flops)}</td><td>${percent(t.probability, 1)}</td>
        ${t.equity.map((e) => `<td>${percent(e, 1)}</td>`).join('')}</tr>`,
      )
      .join('');
    return `<tr class="group"><th scope="colgroup" colspan="${columns}">${label}</th></tr>${rows}`;
  }).join('');
  return `<div class="textures"><table><caption class="visually-hidden">Textures</caption>
    <thead><tr><th scope="col">Texture</th><th scope="col">Flops</th><th scope="col">Probability</th>${heads}</tr></thead>
    <tbody>${body}</tbody></table></div>`;
}

// Player 1's equity by texture: a dot per texture, joined to the equity over every flop.
function textureChartSvg(answer, middle) {
  const all = answer.players[0].equity;
  const values = [all, ...answer.textures.map((t) => t.equity[0])];
  const [low, high] = axisOf(values);
  const width = 380;
  const [left, right, top] = [96, 14, 22];
  const x = (e) => left + ((e - low) / (high - low)) * (width - left - right);
  let y = top;
  const marks = [];
  for (const [kind, label] of KINDS) {
    y += 16;
    marks.push(`<text class="group" x="2" y="${y - 3}">${label}</text>`);
    for (const t of texturesOf(answer, kind)) {
      y += 15;
      const e = t.equity[0];
      const at = y - 7;
      marks.push(`<text x="${left - 8}" y="${y - 3}" text-anchor="end">${words(t.texture)}</text>
        <line class="stem" x1="${px(x(all))}" x2="${px(x(e))}" y1="${at}" y2="${at}"/>
        <circle cx="${px(x(e))}" cy="${at}" r="4.5" fill="${equityColour(e, middle)}"><title>${words(t.texture)}: ${percent(e, 1)} over ${counted(t.flops, 'flop')}</title></circle>`);
    }
  }
  const bottom = y + 6;
  const ticks = [];
  const every = tickStep(high - low);
  for (let e = low; e <= high + 1e-9; e += every)
    ticks.push(`<line class="grid" x1="${px(x(e))}" x2="${px(x(e))}" y1="${top}" y2="${bottom}"/>
      <text x="${px(x(e))}" y="${bottom + 13}" text-anchor="middle">${shortPercent(e)}%</text>`);
  const height = bottom + 18;
  return `<svg class="chart" viewBox="0 0 ${width} ${height}" width="${width}" height="${height}" role="img"
    aria-label="Player 1's equity by texture">${ticks.join('')}
    <line class="mean" x1="${px(x(all))}" x2="${px(x(all))}" y1="${top - 4}" y2="${bottom}"/>
    <text class="mean" x="${px(x(all))}" y="${top - 8}" text-anchor="middle">every flop ${percent(all, 1)}</text>
    ${marks.join('')}</svg>`;
}

// An axis from the lowest to the highest of some equities, widened to whole steps.
function axisOf(values) {
  const low = Math.floor(Math.min(...values) / STEP) * STEP;
  const high = Math.ceil(Math.max(...values) / STEP) * STEP;
  return high - low >= 2 * STEP ? [low, high] : [Math.max(0, low - STEP), Math.min(1, high + STEP)];
}

// Labels on whole steps, few enough to read.
function tickStep(width) {
  if (width <= 8 * STEP) return STEP;
  return width <= 16 * STEP ? 2 * STEP : 5 * STEP;
}

// How player 1's equity spreads over the rows shown: the share of their
// probability in each of BINS bins across the axis.
function histogramSvg(rows, [low, high], middle) {
  const total = rows.reduce((sum, r) => sum + r.probability, 0);
  if (total <= 0) return '<p class="hint">No flop is of these textures.</p>';
  const bin = (high - low) / BINS;
  const bins = new Array(BINS).fill(0);
  for (const r of rows) bins[Math.min(Math.max(Math.floor((r.equity[0] - low) / bin), 0), BINS - 1)] += r.probability / total;
  const most = Math.max(STEP, Math.ceil(Math.max(...bins) / STEP) * STEP);
  const [width, height] = [380, 180];
  const [left, right, top, bottom] = [38, 12, 20, 34];
  const plot = { w: width - left - right, h: height - top - bottom };
  const x = (e) => left + ((e - low) / (high - low)) * plot.w;
  const y = (share) => top + plot.h * (1 - share / most);
  const grid = [0, most / 2, most]
    .map((s) => `<line class="grid" x1="${left}" x2="${width - right}" y1="${px(y(s))}" y2="${px(y(s))}"/>
      <text x="${left - 5}" y="${px(y(s)) + 4}" text-anchor="end">${shortPercent(s)}%</text>`)
    .join('');
  const bars = bins
    .map((share, k) => {
      const [from, to] = [low + k * bin, low + (k + 1) * bin];
      return `<rect x="${px(x(from) + 0.5)}" y="${px(y(share))}" width="${px(plot.w / BINS - 1)}"
        height="${px(y(0) - y(share))}" fill="${equityColour((from + to) / 2, middle)}"><title>Equity ${shortPercent(from)}–${shortPercent(to)}%: ${percent(share, 1)} of these flops</title></rect>`;
    })
    .join('');
  const ticks = [];
  const every = tickStep(high - low);
  for (let e = low; e <= high + 1e-9; e += every)
    ticks.push(`<text x="${px(x(e))}" y="${height - bottom + 14}" text-anchor="middle">${shortPercent(e)}%</text>`);
  const mean = meanEquity(rows);
  return `<svg class="chart" viewBox="0 0 ${width} ${height}" width="${width}" height="${height}" role="img"
    aria-label="Player 1's equity over the flops shown">${grid}${bars}${ticks.join('')}
    <line class="mean" x1="${px(x(mean))}" x2="${px(x(mean))}" y1="${top - 4}" y2="${px(y(0))}"/>
    <text class="mean" x="${px(x(mean))}" y="${top - 8}" text-anchor="middle">mean ${percent(mean, 1)}</text>
    <text class="axis" x="${left + plot.w / 2}" y="${height - 3}" text-anchor="middle">Player 1's equity on the flop</text></svg>`;
}

function filtersHtml(answer) {
  return KINDS.map(([kind, label]) => {
    const options = texturesOf(answer, kind)
      .map((t) => `<option value="${t.texture}">${words(t.texture)}</option>`)
      .join('');
    return `<label class="inline">${label} <select data-texture="${kind}"><option value="">any</option>${options}</select></label>`;
  }).join('');
}

function rowsTableHtml(answer) {
  const sortable = (column, label) =>
    `<th scope="col" data-column="${column}"><button type="button" class="sort" data-sort="${column}">${label}</button></th>`;
  const heads = [
    sortable('flop', 'Flop'),
    sortable('flops', 'Flops'),
    sortable('probability', 'Probability'),
    ...answer.players.map((_, i) => sortable(`equity-${i}`, `Player ${i + 1}`)),
  ].join('');
  return `<div class="scroll flop-rows"><table class="flop-table"><caption class="visually-hidden">Flops</caption>
    <thead><tr>${heads}</tr></thead><tbody></tbody></table></div>`;
}

// What does not change with a filter or a sort; the rows and the histogram are drawn into it.
export function flopReportHtml(answer) {
  const middle = scaleMiddle(scaleKind(), answer.players.length);
  const flops = answer.flops.reduce((sum, r) => sum + r.flops, 0);
  return `<section class="detail flop-report" id="flop-report" aria-labelledby="flops-title">
    <h2 id="flops-title">Flop report</h2>
    <p class="hint">Every flop of the spot, dealt exactly: ${counted(flops, 'flop')} in ${grouped(answer.flops.length)} rows,
    one for the flops alike but for their suits. Equity is over the turn and the river that follow.</p>
    <div class="flop-top">${texturesTableHtml(answer)}
      <div class="charts">
        <figure><figcaption>Player 1's equity over the flops shown, by probability</figcaption><div class="histogram"></div></figure>
        <figure><figcaption>Player 1's equity by texture</figcaption>${textureChartSvg(answer, middle)}</figure>
      </div></div>
    <div class="flop-filters" role="group" aria-label="Flops shown">${filtersHtml(answer)}</div>
    <p class="shown" aria-live="polite"></p>
    ${rowsTableHtml(answer)}</section>`;
}

// Each row's cells written once per answer and colour scale; a sort or a filter only joins them.
let prepared = { answer: null, middle: null, rows: [] };

function preparedRows(answer, middle) {
  if (prepared.answer === answer && prepared.middle === middle) return prepared.rows;
  const rows = answer.flops.map((row, index) => {
    const cards = row.flop.match(/../g);
    const equity = row.equity.map((e) => `<td style="background:${equityColour(e, middle)}">${percent(e, 1)}</td>`).join('');
    return {
      row,
      index,
      ranks: cards.reduce((key, card) => key * 9 + (8 - RANKS.indexOf(card[0])), 0),
      html: `<tr data-flop="${row.flop}"><th scope="row" class="flop">${cards.map((c) => cardHtml(c, 'mini')).join('')}</th>
        <td>${grouped(row.flops)}</td><td>${percent(row.probability, 3)}</td>${equity}</tr>`,
    };
  });
  prepared = { answer, middle, rows };
  return rows;
}

function sortValue(column) {
  if (column === 'flop') return (r) => r.ranks;
  if (column === 'flops' || column === 'probability') return (r) => r.row[column];
  const player = Number(column.split('-')[1]);
  return (r) => r.row.equity[player];
}

function drawRows(section, answer, middle) {
  const all = preparedRows(answer, middle);
  for (const select of section.querySelectorAll('select[data-texture]')) {
    const kind = select.dataset.texture;
    select.value = view.filter[kind];
    if (select.value !== view.filter[kind]) select.value = view.filter[kind] = ''; // a texture this answer lacks
  }
  const value = sortValue(view.sort.column);
  const sign = view.sort.descending ? -1 : 1;
  const shown = all
    .filter((r) => KINDS.every(([kind]) => !view.filter[kind] || textureOf(r.row, kind) === view.filter[kind]))
    .sort((a, b) => sign * (value(a) - value(b)) || a.index - b.index);
  section.querySelector('.flop-table tbody').innerHTML = shown.map((r) => r.html).join('');
  for (const head of section.querySelectorAll('.flop-table th[data-column]')) {
    if (head.dataset.column === view.sort.column) head.setAttribute('aria-sort', view.sort.descending ? 'descending' : 'ascending');
    else head.removeAttribute('aria-sort');
  }
  const rows = shown.map((r) => r.row);
  const flops = rows.reduce((sum, r) => sum + r.flops, 0);
  const probability = rows.reduce((sum, r) => sum + r.probability, 0);
  const mean = meanEquity(rows);
  section.querySelector('.shown').textContent =
    `${grouped(shown.length)} of ${grouped(all.length)} rows · ${counted(flops, 'flop')} · ${percent(probability, 1)} of the deals` +
    (mean === null ? '' : ` · Player 1's equity over them ${percent(mean, 1)}`);
  // The axis spans every flop, so that it stays put whatever the filter shows.
  section.querySelector('.histogram').innerHTML = histogramSvg(rows, axisOf(answer.flops.map((r) => r.equity[0])), middle);
}

// The rows and the histogram, for an answer or a colour scale not drawn yet.
export function drawFlopReport(root, answer) {
  const section = root.querySelector('#flop-report');
  if (!section) return;
  const middle = scaleMiddle(scaleKind(), answer.players.length);
  if (section.drawn?.answer === answer && section.drawn.middle === middle) return;
  section.drawn = { answer, middle };
  drawRows(section, answer, middle);
}

// One listener each for the filters and the sorting headers, however often the report is drawn anew.
export function buildFlopReport(root) {
  const redraw = (target) => {
    const section = target.closest('#flop-report');
    if (section?.drawn) drawRows(section, section.drawn.answer, section.drawn.middle);
  };
  root.addEventListener('change', (e) => {
    const select = e.target.closest('select[data-texture]');
    if (!select) return;
    view.filter[select.dataset.texture] = select.value;
    redraw(select);
  });
  root.addEventListener('click', (e) => {
    const button = e.target.closest('button.sort');
    if (!button) return;
    const column = button.dataset.sort;
    // The same column again turns the order round; another starts from the top.
    view.sort = { column, descending: view.sort.column === column ? !view.sort.descending : true };
    redraw(button);
  });
}
