// The varnolith command line that computes the same spot.

import { byCardAllowed, flopReport, state } from './state.js';

// Single quotes keep everything literal in a POSIX shell; a quote inside is closed, escaped, reopened.
const quoted = (text) => `'${text.replace(/'/g, `'\\''`)}'`;
const word = (text) => (/^[\w.%+-]+$/.test(text) ? text : quoted(text));

// The method's options, for a run the page does not enumerate of itself.
function methodWords() {
  const words = [];
  if (state.method === 'exact') return ['--exact'];
  if (state.method === 'monte_carlo') {
    if (state.trials.trim()) words.push('--trials', word(state.trials.trim()));
    else words.push('--precision', word(state.precision.trim() || '0.0005'));
  }
  if (state.seed.trim()) words.push('--seed', word(state.seed.trim()));
  return words;
}

export function commandLine() {
  // The flop report is of a preflop spot, and exact: it names no board and no method.
  const flops = flopReport();
  const parts = ['varnolith', ...(flops ? ['--flops'] : []), ...state.players.map((p) => quoted(p.text.trim()))];
  if (state.board.length) parts.push('-b', state.board.join(''));
  if (state.dead.length) parts.push('-d', state.dead.join(''));
  if (state.rules !== 'straight') parts.push('--rules', state.rules);
  if (state.byCard && byCardAllowed()) parts.push('--by-card'); // enumerated, as the whole run then is
  else if (!flops) parts.push(...methodWords());
  if (state.categories) parts.push('--categories');
  return parts.join(' ');
}
