// "Keep only": a player's range cut by the server to the hands of one line
// of the hits tables, written into the range field as typing it would be.

import { filterRange } from './api.js';
import { counted, words } from './format.js';
import { setRangeText } from './players.js';
import { placeError } from './run.js';
import { state } from './state.js';

async function keepOnly(i, name, changed) {
  const p = state.players[i];
  const text = p.text;
  state.runError = '';
  state.status = '';
  try {
    const kept = await filterRange({
      range: text.trim(),
      board: state.board.join(''),
      dead: state.dead.join(''),
      filter: name,
      rules: state.rules,
    });
    if (state.players[i] !== p || p.text !== text) return; // edited meanwhile: the edit wins
    if (kept.combos === 0) {
      state.status = `Player ${i + 1}'s range holds no ${words(name)} now: it is left as it was.`;
      changed();
      return;
    }
    state.status = `Player ${i + 1}'s range cut to ${words(name)}: ${counted(kept.combos, 'combo')}.`;
    setRangeText(i, kept.range);
  } catch (error) {
    if (state.players[i] !== p) return;
    // The filter names the range "range"; the runs name theirs "ranges".
    if (error.field === 'range') p.error = error.message;
    else placeError(error);
    changed();
  }
}

// One listener for every button the hits tables draw, however often they are redrawn.
export function buildKeepOnly(element, changed) {
  element.addEventListener('click', (e) => {
    const button = e.target.closest('button[data-keep]');
    if (button) keepOnly(Number(button.dataset.keep), button.dataset.class, changed);
  });
}
