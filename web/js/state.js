// The one state of the page. Every region of the page is drawn from it, and the
// address fragment, the command line and the request body are read from it.

export const MIN_PLAYERS = 2;
export const MAX_PLAYERS = 10;

export function newPlayer(text = '') {
  return {
    text, // the range as typed or as rewritten after painting
    hands: new Map(), // combination -> weight, the last good reading of the text
    error: '', // by the range field
    weight: 100, // the paint weight, percent
    seq: 0, // the last request about this range; older answers are dropped
    pending: null, // the text being written for the last paint, until the server answers
    pick: [], // the cards chosen so far in the hand picker
  };
}

export const state = {
  players: [newPlayer('QQ+, AKs'), newPlayer('random')],
  board: [],
  dead: [],
  boardText: '',
  deadText: '',
  boardError: '',
  deadError: '',
  cardMode: 'board', // what a click in the card picker marks
  rules: 'straight', // straight | trips: the hand ranking, and the ordering "N%" reads
  method: 'auto', // auto | exact | monte_carlo
  trials: '', // a Monte Carlo run ends after these, or at this precision; one at most
  precision: '',
  seed: '',
  numberErrors: { trials: '', precision: '', seed: '' }, // by each field, in the command's words
  categories: true,
  byCard: false,
  flops: false, // the flop report: a preflop run asked for every flop, exactly
  scale: null, // absolute | fair, or null for the default of the number of players
  run: null, // {id, close, done, queued, elapsed, shown, estimate}
  runError: '', // by the Calculate button
  tooLong: null, // {estimate, limit}: an exact run the time limit would stop, not started
  status: '',
  results: null, // {answer, key, seedText}
  ordering: { classes: [], topCounts: [] }, // the rules' preflop ordering, and the classes "N%" takes
  library: [],
};

export const byCardAllowed = () => state.board.length === 3 || state.board.length === 4;
// The flop report is of a preflop spot; what a range holds is told on a flop, turn or river.
export const flopsAllowed = () => state.board.length === 0;
export const flopReport = () => state.flops && flopsAllowed();
const hitsAllowed = () => state.board.length >= 3;

// Yellow at one half heads-up; with more players the fair share is the middle worth seeing.
export const scaleKind = () => state.scale ?? (state.players.length >= 3 ? 'fair' : 'absolute');

// The body of /api/equity and /api/jobs. Numbers go as typed: the server reads
// them as the command reads its options (a seed past 2^53 stays whole) and
// names a bad one in the command's words.
export function requestBody() {
  const byCard = state.byCard && byCardAllowed();
  const flops = flopReport();
  // The next-card table and the flop report are enumerated, and so is the whole run with them.
  const method = byCard || flops ? 'exact' : state.method;
  const typed = (name) => (method === 'monte_carlo' && state[name].trim() !== '' ? state[name].trim() : null);
  return {
    ranges: state.players.map((p) => p.text.trim()),
    rules: state.rules,
    board: state.board.join(''),
    dead: state.dead.join(''),
    method,
    trials: typed('trials'),
    precision: state.trials.trim() === '' ? typed('precision') : null,
    seed: method !== 'exact' && state.seed.trim() !== '' ? state.seed.trim() : null,
    by_hand: false,
    categories: state.categories,
    grid: true,
    by_card: byCard,
    hits: hitsAllowed(),
    flops,
  };
}

// What decides the figures: results drawn for another key are out of date.
export function spotKey(body = requestBody()) {
  const { categories, by_card, ...figures } = body;
  return JSON.stringify(figures);
}

export function currentResults() {
  return state.results && state.results.key === spotKey() ? state.results : null;
}
