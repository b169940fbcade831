// Calculate and Cancel: a job on the server, its progress, and where its
// answer or its fault goes.

import { cancelJob, startJob } from './api.js';
import { readCardFields } from './cards.js';
import { byCardAllowed, requestBody, spotKey, state } from './state.js';

// Progress is shown only for what takes longer than a moment.
const MOMENT_MS = 250;

let hooks = { ran() {}, changed() {} };
const $ = (id) => document.getElementById(id);

export function setRunHooks(h) {
  hooks = h;
}

// The server says which field, and which player, an error concerns.
function placeError(error) {
  const player = error.field === 'ranges' && error.player !== null ? state.players[error.player] : null;
  if (player) player.error = error.message;
  else if (error.field === 'board') state.boardError = error.message;
  else if (error.field === 'dead') state.deadError = error.message;
  else if (error.status === 503 && error.retryAfter) state.runError = `${error.message} (retry in ${error.retryAfter} s)`;
  else state.runError = error.message;
}

export async function calculate() {
  if (state.run) await cancel(false);
  state.runError = '';
  state.status = '';
  // A field the page cannot read would send its last good cards instead: say so first.
  readCardFields();
  const faulty = state.boardError ? 'board' : state.deadError ? 'dead' : null;
  if (faulty) {
    hooks.ran();
    $(faulty).focus();
    return;
  }
  const body = requestBody();
  const key = spotKey();
  const seedText = state.method !== 'exact' && state.seed.trim() !== '' ? state.seed.trim() : null;
  const run = { id: null, close() {}, done: 0, queued: true, elapsed: 0, shown: false };
  state.run = run;
  drawRun();
  const timer = setTimeout(() => {
    run.shown = true;
    if (state.run === run) drawRun();
  }, MOMENT_MS);
  const end = () => {
    clearTimeout(timer);
    if (state.run === run) state.run = null;
  };
  try {
    const job = await startJob(body, {
      onProgress(p) {
        Object.assign(run, { done: p.done, queued: p.queued, elapsed: p.elapsed_seconds });
        if (state.run === run) drawRun();
      },
      onResult(answer) {
        if (state.run !== run) return;
        end();
        state.results = { answer, key, seedText };
        for (const p of state.players) p.error = ''; // the server read every range
        state.status = '';
        hooks.ran();
      },
      onError(error) {
        if (state.run !== run) return;
        end();
        if (error.code === 'cancelled') state.status = 'Cancelled: no result.';
        else placeError(error);
        hooks.ran();
      },
    });
    run.id = job.id;
    run.close = job.close;
    if (state.run !== run) cancelQuietly(job);
  } catch (error) {
    if (state.run !== run) return;
    end();
    placeError(error);
    hooks.ran();
  }
}

function cancelQuietly(job) {
  job.close();
  cancelJob(job.id).catch(() => {});
}

// Cancel sends DELETE: the server stops the job's threads at once.
export async function cancel(tell = true) {
  const run = state.run;
  if (!run) return;
  state.run = null;
  run.close();
  if (run.id) {
    try {
      await cancelJob(run.id);
    } catch {
      // already over, or forgotten by the server: nothing runs either way
    }
  }
  if (tell) {
    state.status = 'Cancelled: no result.';
    hooks.ran();
  }
}

function progressText(run) {
  if (run.queued) return 'Waiting for a free worker…';
  const done = run.done > 0 ? `${(100 * run.done).toFixed(1)}% done · ` : '';
  return `${done}${run.elapsed.toFixed(1)} s`;
}

export function drawRun() {
  const run = state.run;
  $('calculate').textContent = run ? 'Calculating…' : 'Calculate';
  $('calculate').setAttribute('aria-busy', String(Boolean(run)));
  $('cancel').hidden = !run;
  const bar = $('progress-bar');
  $('progress').hidden = !(run && run.shown);
  if (run && run.done > 0) bar.value = run.done;
  else bar.removeAttribute('value'); // moving to and fro: nothing measured yet
  $('progress-text').textContent = run ? progressText(run) : '';
  $('run-error').textContent = state.runError;
  $('status').textContent = state.status;
  for (const input of document.querySelectorAll('input[name="method"]')) input.checked = input.value === state.method;
  const carlo = state.method === 'monte_carlo';
  for (const [id, on] of [
    ['trials', carlo],
    ['precision', carlo],
    ['seed', state.method !== 'exact'],
  ]) {
    const input = $(id);
    input.disabled = !on;
    if (document.activeElement !== input) input.value = state[id];
  }
  $('categories').checked = state.categories;
  $('by-card').checked = state.byCard;
  $('by-card').disabled = !byCardAllowed();
  $('scale').value = state.scale;
}

export function buildRun() {
  for (const input of document.querySelectorAll('input[name="method"]'))
    input.addEventListener('change', () => {
      state.method = input.value;
      drawRun();
      hooks.changed();
    });
  for (const id of ['trials', 'precision', 'seed'])
    $(id).addEventListener('input', () => {
      state[id] = $(id).value;
      // Trials and precision exclude one another: the one typed last wins.
      if (id === 'trials' && state.trials) state.precision = '';
      if (id === 'precision' && state.precision) state.trials = '';
      drawRun();
      hooks.changed();
    });
  $('categories').addEventListener('change', () => {
    state.categories = $('categories').checked;
    hooks.changed();
  });
  $('by-card').addEventListener('change', () => {
    state.byCard = $('by-card').checked;
    hooks.changed();
  });
  $('scale').addEventListener('change', () => {
    state.scale = $('scale').value;
    hooks.changed();
  });
  $('cancel').addEventListener('click', () => cancel());
}
