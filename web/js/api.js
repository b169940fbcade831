// The server's JSON API, or the same answers from the page's own engine when
// the page is a static folder. Every failure comes back as an ApiError
// holding the one-line message, its code, and the request field (and player)
// it concerns, so that the page can show it where it belongs.

import { backend } from './backend.js';
import { engineCancel, engineRequest } from './engine.js';

export class ApiError extends Error {
  constructor(status, { code, message, field = null, player = null }, retryAfter = null) {
    super(message);
    this.status = status;
    this.code = code;
    this.field = field; // "ranges", "board", "dead", ... or null
    this.player = player; // index into the ranges, or null
    this.retryAfter = retryAfter;
  }
}

// The API's paths as the page's own engine names its routes.
const routes = {
  '/api/version': 'version',
  '/api/ordering': 'ordering',
  '/api/range': 'range',
  '/api/notation': 'notation',
  '/api/filter': 'filter',
  '/api/cards': 'cards',
  '/api/estimate': 'estimate',
};

async function answered(route, text, options) {
  const { status, json } = await engineRequest(route, text, options);
  if (status >= 400 || json === null) {
    throw new ApiError(status, json?.error ?? { code: 'engine', message: 'the engine gave no answer' });
  }
  return json;
}

async function call(method, path, body) {
  if (backend === 'wasm') {
    const [route, query = ''] = path.split('?');
    return answered(routes[route], body === undefined ? query : JSON.stringify(body));
  }
  let response;
  try {
    response = await fetch(path, {
      method,
      headers: body === undefined ? {} : { 'Content-Type': 'application/json' },
      body: body === undefined ? undefined : JSON.stringify(body),
    });
  } catch {
    throw new ApiError(0, { code: 'offline', message: 'the server cannot be reached; is varnolith_web still running?' });
  }
  if (response.status === 204) return null;
  const text = await response.text();
  let json = null;
  try {
    json = JSON.parse(text);
  } catch {
    // an answer that is not JSON is reported below by its status
  }
  if (!response.ok) {
    const error = json?.error ?? { code: 'http', message: `the server answered ${response.status}` };
    throw new ApiError(response.status, error, response.headers.get('Retry-After'));
  }
  return json;
}

export const getVersion = () => call('GET', '/api/version');
export const getOrdering = (rules) => call('GET', `/api/ordering?rules=${encodeURIComponent(rules)}`);
export const readRange = (range, rules) => call('POST', '/api/range', { range, rules });
export const writeNotation = (hands) => call('POST', '/api/notation', { hands });
// {range, board, dead, filter, rules} -> {range: the kept combinations' notation, combos}.
export const filterRange = (body) => call('POST', '/api/filter', body);
export const readCards = (board, dead) => call('POST', '/api/cards', { board, dead });
export const cancelJob = (id) =>
  backend === 'wasm' ? Promise.resolve(engineCancel()) : call('DELETE', `/api/jobs/${encodeURIComponent(id)}`);

// The page's own engine has no time limit: the browser's tab is the player's.
export const estimateRun = async (body) => {
  const expected = await call('POST', '/api/estimate', body);
  return backend === 'wasm' ? { ...expected, limit_seconds: Infinity } : expected;
};

// Queues a computation: {id, events, method, estimate_seconds, limit_seconds}.
// The page's own engine runs it when followed, as `expected` (estimateRun's
// answer for the body) said.
export const submitJob = async (body, expected) =>
  backend === 'wasm' ? { id: 'engine', body, ...expected } : call('POST', '/api/jobs', body);

// Follows a queued job's events: onProgress({done, queued, elapsed_seconds})
// every tenth of a second, then onResult(answer) or onError(ApiError).
// Returns a way to stop listening.
export function followJob(job, { onProgress, onResult, onError }) {
  if (backend === 'wasm') return followEngine(job, { onProgress, onResult, onError });
  const source = new EventSource(job.events);
  let over = false;
  const finish = () => {
    over = true;
    source.close(); // an open stream would reconnect and ask again
  };
  source.addEventListener('progress', (e) => {
    if (!over) onProgress(JSON.parse(e.data));
  });
  source.addEventListener('result', (e) => {
    if (over) return;
    finish();
    onResult(JSON.parse(e.data));
  });
  // The server's "error" event carries data; the browser's own (a lost
  // connection) does not.
  source.addEventListener('error', (e) => {
    if (over) return;
    finish();
    if (e.data) {
      onError(new ApiError(0, JSON.parse(e.data).error));
    } else {
      onError(new ApiError(0, { code: 'offline', message: 'the connection to the server was lost' }));
    }
  });
  return finish;
}

// The same events from the page's own engine: its progress, then the answer.
function followEngine(job, { onProgress, onResult, onError }) {
  const start = performance.now();
  const elapsed = () => (performance.now() - start) / 1000;
  let over = false;
  onProgress({ done: 0, queued: false, elapsed_seconds: 0 });
  const progress = (done) => {
    if (!over) onProgress({ done, queued: false, elapsed_seconds: elapsed() });
  };
  // The first of the answer and a stop ends it.
  const once = (report) => (outcome) => {
    if (over) return;
    over = true;
    report(outcome);
  };
  answered('equity', JSON.stringify(job.body), { run: true, onProgress: progress }).then(once(onResult), once(onError));
  return () => {
    over = true;
  };
}
