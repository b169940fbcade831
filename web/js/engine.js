// The page's own engine: two Web Workers on the engine compiled to
// WebAssembly, one for runs and one for the quick requests (notation, cards,
// estimates), so that reading a range never waits behind a long run. A run is
// cancelled by ending its Worker; a fresh one takes its place.

const workers = { quick: null, run: null };
let nextId = 1;
const waiting = new Map(); // id -> {resolve, onProgress}

function started(kind) {
  if (workers[kind]) return workers[kind];
  const worker = new Worker(new URL('./worker.js', import.meta.url), { type: 'module', name: kind });
  worker.onmessage = ({ data }) => {
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
  return new Promise((resolve) => {
    waiting.set(id, { kind, resolve, onProgress });
    started(kind).postMessage({ id, route, body });
  });
}

// Ends the run under way at once; its promise never settles.
export function engineCancel() {
  if (!workers.run) return;
  workers.run.terminate();
  workers.run = null;
  for (const [id, entry] of waiting) if (entry.kind === 'run') waiting.delete(id);
}
