// The colour scale of the command's squares: red at the low end, yellow in
// the middle, green at the top, straight lines between. The three colours are
// the CSS variables --scale-low, --scale-mid and --scale-high.

import { shortPercent } from './format.js';

let stops = null;

function readStops() {
  const style = getComputedStyle(document.documentElement);
  const rgb = (name) => style.getPropertyValue(name).match(/\d+/g).slice(0, 3).map(Number);
  return [rgb('--scale-low'), rgb('--scale-mid'), rgb('--scale-high')];
}

// The equity drawn yellow: one half, or the fair share of n players.
export const scaleMiddle = (kind, players) => (kind === 'fair' ? 1 / players : 0.5);

export function scalePosition(equity, middle) {
  const e = Math.min(Math.max(equity, 0), 1);
  return e < middle ? (0.5 * e) / middle : 0.5 + (0.5 * (e - middle)) / (1 - middle);
}

export function scaleEquity(position, middle) {
  const p = Math.min(Math.max(position, 0), 1);
  return p < 0.5 ? 2 * p * middle : middle + (2 * p - 1) * (1 - middle);
}

// Rounded per channel as the command rounds, so that both draw the same colour.
export function scaleColour(position) {
  stops ??= readStops();
  const p = Math.min(Math.max(position, 0), 1);
  const [from, to, t] = p < 0.5 ? [stops[0], stops[1], 2 * p] : [stops[1], stops[2], 2 * p - 1];
  const c = from.map((f, i) => Math.round(f + (to[i] - f) * t));
  return `rgb(${c[0]}, ${c[1]}, ${c[2]})`;
}

export const equityColour = (equity, middle) => scaleColour(scalePosition(equity, middle));

// The bar with its labels at every quarter, as under the command's squares.
export function drawLegend(element, kind, players) {
  const middle = scaleMiddle(kind, players);
  const labels = [0, 0.25, 0.5, 0.75, 1]
    .map((p) => `<span style="left:${p * 100}%">${shortPercent(scaleEquity(p, middle))}%</span>`)
    .join('');
  const note = kind === 'fair' ? `; yellow at the fair share, 1/${players}` : '';
  element.innerHTML = `<div class="legend-bar" aria-hidden="true"></div><div class="legend-labels" aria-hidden="true">${labels}</div>
    <p class="legend-note">Equity of the hand class, percent${note}</p>`;
}
