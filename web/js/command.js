// The varnolith command line that computes the same spot.

import { byCardAllowed, state } from './state.js';

// Single quotes keep everything literal in a POSIX shell; a quote inside is closed, escaped, reopened.
const quoted = (text) => `'${text.replace(/'/g, `'\\''`)}'`;
const word = (text) => (/^[\w.%+-]+$/.test(text) ? text : quoted(text));

export function commandLine() {
  const parts = ['varnolith', ...state.players.map((p) => quoted(p.text.trim()))];
  if (state.board.length) parts.push('-b', state.board.join(''));
  if (state.dead.length) parts.push('-d', state.dead.join(''));
  if (state.rules !== 'straight') parts.push('--rules', state.rules);
  const byCard = state.byCard && byCardAllowed();
  if (byCard) {
    parts.push('--by-card'); // enumerated, as the whole run then is
  } else if (state.method === 'exact') {
    parts.push('--exact');
  } else if (state.method === 'monte_carlo') {
    if (state.trials.trim()) parts.push('--trials', word(state.trials.trim()));
    else parts.push('--precision', word(state.precision.trim() || '0.0005'));
  }
  if (!byCard && state.method !== 'exact' && state.seed.trim()) parts.push('--seed', word(state.seed.trim()));
  if (state.categories) parts.push('--categories');
  return parts.join(' ');
}
