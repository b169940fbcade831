// The address fragment holds the whole spot, so that a reload or a shared
// link brings it back: #range=QQ%2B&range=random&board=Kh9c8d&method=exact

import { MAX_PLAYERS, MIN_PLAYERS, state } from './state.js';

export function writeFragment() {
  const f = new URLSearchParams();
  for (const p of state.players) f.append('range', p.text);
  if (state.board.length) f.set('board', state.board.join(''));
  if (state.dead.length) f.set('dead', state.dead.join(''));
  if (state.rules !== 'straight') f.set('rules', state.rules);
  if (state.method !== 'auto') f.set('method', state.method);
  for (const name of ['trials', 'precision', 'seed']) if (state[name].trim()) f.set(name, state[name].trim());
  if (!state.categories) f.set('categories', 'no');
  if (state.byCard) f.set('next', 'yes');
  if (state.flops) f.set('flops', 'yes');
  if (state.scale) f.set('scale', state.scale); // chosen, not the default for the players
  const hash = `#${f.toString()}`;
  // Replaced, not pushed: Back should leave the page, not undo a click.
  if (location.hash !== hash) history.replaceState(null, '', hash);
}

// The spot a fragment names, or null when it names none.
export function readFragment(hash = location.hash) {
  const f = new URLSearchParams(hash.replace(/^#/, ''));
  const ranges = f.getAll('range').slice(0, MAX_PLAYERS);
  if (ranges.length === 0) return null;
  while (ranges.length < MIN_PLAYERS) ranges.push('random');
  const method = f.get('method');
  return {
    ranges,
    board: f.get('board') ?? '',
    dead: f.get('dead') ?? '',
    rules: f.get('rules') === 'trips' ? 'trips' : 'straight',
    method: ['exact', 'monte_carlo'].includes(method) ? method : 'auto',
    trials: f.get('trials') ?? '',
    precision: f.get('precision') ?? '',
    seed: f.get('seed') ?? '',
    categories: f.get('categories') !== 'no',
    byCard: f.get('next') === 'yes',
    flops: f.get('flops') === 'yes',
    scale: ['fair', 'absolute'].includes(f.get('scale')) ? f.get('scale') : null,
  };
}
