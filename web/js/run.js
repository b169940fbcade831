// Calculate and Cancel: a job on the server, its progress, and where its
// answer or its fault goes.

import { cancelJob, estimateRun, followJob, submitJob } from './api.js';
import { readCardFields } from './cards.js';
import { duration } from './format.js';
import { rangesWritten } from './players.js';
import { byCardAllowed, flopsAllowed, requestBody, scaleKind, spotKey, state } from './state.js';

// Progress is shown only for what takes longer than a moment.
const MOMENT_MS = 250;

let hooks = { ran() {}, changed() {} };
const $ = (id) => document.getElementById(id);

export function setRunHooks(h) {
  hooks = h;
}

// The server says which field, and which player, an error concerns.
export function placeError(error) {
  const player = error.field === 'ranges' && error.player !== null ? state.players[error.player] : null;
  if (player) player.error = error.message;
  else if (error.field in state.numberErrors) state.numberErrors[error.field] = error.message;
  else if (error.field === 'board') state.boardError = error.message;
  else if (error.field === 'dead') state.deadError = error.message;
  else if (error.status === 503 && error.retryAfter) state.runError = `${error.message} (retry in ${error.retryAfter} s)`;
  else state.runError = error.message;
}

// The results table, brought into view where it is not (on a phone, it is
// far below the button).
function showResults() {
  const table = $('all-players');
  const box = table.getBoundingClientRect();
  if (box.top < 0 || box.bottom > window.innerHeight) table.scrollIntoView({ block: 'center' });
}

// An exact run the server's time limit would stop is not worth starting.
const pastTheLimit = (job) => job.method === 'exact' && job.estimate_seconds > job.limit_seconds;

export async function calculate() {
  if (state.run) await cancel(false);
  state.runError = '';
  state.status = '';
  state.tooLong = null;
  for (const name in state.numberErrors) state.numberErrors[name] = '';
  const run = { id: null, close() {}, done: 0, queued: true, elapsed: 0, shown: false, estimate: null };
  state.run = run;
  drawRun();
  // The request says what the squares and the fields show: a paint still
  // being written is waited for, and the card fields are read afresh.
  await Promise.all([rangesWritten(), readCardFields()]);
  if (state.run !== run) return;
  // A field the page cannot read would send its last good cards instead: say so first.
  const faulty = state.boardError ? 'board' : state.deadError ? 'dead' : null;
  if (faulty) {
    state.run = null;
    hooks.ran();
    $(faulty).focus();
    return;
  }
  const body = requestBody();
  const key = spotKey(body);
  const seedText = body.seed;
  const timer = setTimeout(() => {
    run.shown = true;
    if (state.run === run) drawRun();
  }, MOMENT_MS);
  const end = () => {
    clearTimeout(timer);
    if (state.run === run) state.run = null;
  };
  try {
    // An exact run the time limit would stop is not started: the player is
    // told, and offered a simulation instead.
    const expected = await estimateRun(body);
    if (state.run !== run) return;
    if (pastTheLimit(expected)) {
      end();
      state.tooLong = { estimate: expected.estimate_seconds, limit: expected.limit_seconds };
      hooks.ran();
      return;
    }
    const job = await submitJob(body, expected);
    run.id = job.id;
    if (state.run !== run) return cancelJob(job.id).catch(() => {});
    run.estimate = job.estimate_seconds;
    run.close = followJob(job, {
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
        showResults();
      },
      onError(error) {
        if (state.run !== run) return;
        end();
        if (error.code === 'cancelled') state.status = 'Cancelled: no result.';
        else placeError(error);
        hooks.ran();
      },
    });
  } catch (error) {
    if (state.run !== run) return;
    end();
    placeError(error);
    hooks.ran();
  }
}

// The offer made when an exact run would outlast the limit.
function simulateInstead() {
  state.method = 'monte_carlo';
  state.byCard = false; // the next-card table is exact only
  state.flops = false; // and so is the flop report
  hooks.changed();
  calculate();
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

// Time left from the progress once there is some to go by, from the server's estimate before.
function timeLeft(run) {
  if (run.done >= 0.02) return (run.elapsed * (1 - run.done)) / run.done;
  return run.estimate === null ? null : Math.max(run.estimate - run.elapsed, 0);
}

function progressText(run) {
  if (run.queued) return 'Waiting for a free worker…';
  const done = run.done > 0 ? `${(100 * run.done).toFixed(1)}% done · ` : '';
  const left = timeLeft(run);
  return `${done}${run.elapsed.toFixed(1)} s${left === null ? '' : ` · about ${duration(left)} left`}`;
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
  $('too-long').hidden = !state.tooLong;
  if (state.tooLong)
    $('too-long-text').textContent = `An exact run of this spot would take about ${duration(state.tooLong.estimate)}, and the server stops a run at ${duration(state.tooLong.limit)}.`;
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
    $(`${id}-error`).textContent = on ? state.numberErrors[id] : '';
    input.setAttribute('aria-invalid', String(on && state.numberErrors[id] !== ''));
  }
  $('categories').checked = state.categories;
  // Unticked where it cannot be had, so that it never claims a table that will not come.
  $('by-card').checked = state.byCard && byCardAllowed();
  $('by-card').disabled = !byCardAllowed();
  $('run-flops').disabled = !flopsAllowed();
  $('scale').value = scaleKind();
  $('rules').value = state.rules;
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
      state.numberErrors[id] = '';
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
  // Calculate runs the spot itself; the flop report runs it with every flop told,
  // and stays asked for (in the link and the command) until Calculate is pressed.
  $('calculate').addEventListener('click', () => {
    state.flops = false;
  });
  $('run-flops').addEventListener('click', () => {
    state.flops = true;
    hooks.changed();
    calculate();
  });
  $('cancel').addEventListener('click', () => cancel());
  $('simulate').addEventListener('click', simulateInstead);
}
