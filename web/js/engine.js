// The page's own engine: two Web Workers on the engine compiled to
// WebAssembly, one for runs and one for the quick requests (notation, cards,
// estimates), so that reading a range never waits behind a long run. A run is
// cancelled through the memory the threads engine shares with the page, or
// else by ending its Worker, a fresh one taking its place.

const workers = { quick: null, run: null };
let cancelBytes = null; // the run Worker's engine's, when it shares its memory
let runs = 0;
let nextId = 1;
const waiting = new Map(); // id -> {resolve, onProgress}

function started(kind) {
  if (workers[kind]) return workers[kind];
  const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module', name: kind });
  worker.onmessage = ({ data }) => {
    if ('cancel' in data) {
      const { memory, address, count } = data.cancel;
      if (kind === 'run') cancelBytes = new Uint8Array(memory, address, count);
      return;
    }
    if ('progress' in data) {
      for (const entry of waiting.values()) if (entry.kind === kind) entry.onProgress?.(data.progress);
      return;
    }
    const entry = waiting.get(data.id);
    if (!entry) return;
    waiting.delete(data.id);
    let json = null;
    try {
      json = JSON.parse(data.text);
    } catch {
      // reported by its status below
    }
    entry.resolve({ status: data.status, json });
  };
  workers[kind] = worker;
  return worker;
}

// {status, json} for a route ("equity", "range", ...) and its body text.
export function engineRequest(route, body, { run = false, onProgress = null } = {}) {
  const kind = run ? 'run' : 'quick';
  const id = nextId++;
  const number = run ? runs++ : 0;
  const worker = started(kind);
  if (run && cancelBytes) Atomics.store(cancelBytes, number % cancelBytes.length, 0);
  return new Promise((resolve) => {
    waiting.set(id, { kind, number, resolve, onProgress });
    worker.postMessage({ id, route, body, run: number });
  });
}

// Ends the run under way at once; its promise never settles.
export function engineCancel() {
  if (!workers.run) return;
  for (const [id, entry] of waiting) {
    if (entry.kind !== 'run') continue;
    if (cancelBytes) Atomics.store(cancelBytes, entry.number % cancelBytes.length, 1);
    waiting.delete(id);
  }
  if (!cancelBytes) {
    workers.run.terminate();
    workers.run = null;
  }
}
