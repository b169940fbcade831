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
    top: 15, // the "top X%" slider
    seq: 0, // the last request about this range; older answers are dropped
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
  method: 'auto', // auto | exact | monte_carlo
  trials: '', // a Monte Carlo run ends after these, or at this precision; one at most
  precision: '',
  seed: '',
  categories: true,
  byCard: false,
  scale: 'absolute', // absolute | fair
  run: null, // {id, close, done, queued, elapsed, shown}
  runError: '', // by the Calculate button
  status: '',
  results: null, // {answer, key, seedText}
  ordering: [],
  library: [],
};

export const byCardAllowed = () => state.board.length === 3 || state.board.length === 4;

// The body of /api/equity and /api/jobs. The seed goes in as typed digits, so
// that seeds past 2^53 survive; JSON.stringify would round them.
export function requestBody() {
  const body = {
    ranges: state.players.map((p) => p.text.trim()),
    board: state.board.join(''),
    dead: state.dead.join(''),
    method: state.method,
    trials: null,
    precision: null,
    seed: null,
    by_hand: false,
    categories: state.categories,
    grid: true,
    by_card: state.byCard && byCardAllowed(),
  };
  // The next-card table is enumerated, and so is the whole run with it.
  if (body.by_card) body.method = 'exact';
  if (body.method === 'monte_carlo') {
    if (state.trials.trim() !== '') body.trials = 0;
    else if (state.precision.trim() !== '') body.precision = 0;
  }
  let text = JSON.stringify(body);
  if (body.trials === 0) text = text.replace('"trials":0', `"trials":${digits(state.trials)}`);
  if (body.precision === 0) text = text.replace('"precision":0', `"precision":${decimal(state.precision)}`);
  if (body.method !== 'exact' && state.seed.trim() !== '') text = text.replace('"seed":null', `"seed":${digits(state.seed)}`);
  return text;
}

// Anything but plain digits is sent as a string, for the server to refuse in its own words.
const digits = (text) => (/^\d+$/.test(text.trim()) ? text.trim() : JSON.stringify(text.trim()));
const decimal = (text) => {
  const t = text.trim().replace(/^\./, '0.');
  return /^\d+(\.\d+)?(e-?\d+)?$/i.test(t) ? t : JSON.stringify(text.trim());
};

// What decides the figures: results drawn for another key are out of date.
export function spotKey() {
  const body = JSON.parse(requestBody());
  delete body.categories;
  delete body.by_card;
  return JSON.stringify(body);
}

export function currentResults() {
  return state.results && state.results.key === spotKey() ? state.results : null;
}
