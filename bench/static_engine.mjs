// The WebAssembly engine of the static page beside the native command, one
// thread each, on the same spots: the median of 5 runs of each, in seconds,
// and their ratio; then the engines' sizes as served, gzipped. Node.js runs the
// engine as a browser's Worker would, from build/static (make static).
// node bench/static_engine.mjs (from the root, after make static and make build).

import { execFileSync } from 'node:child_process';
import { readFileSync } from 'node:fs';
import { createRequire } from 'node:module';
import path from 'node:path';
import { gzipSync } from 'node:zlib';

const folder = path.resolve('build/static/js');
globalThis.require = createRequire(import.meta.url); // what emscripten's glue asks of Node.js
globalThis.__dirname = folder;
const { default: createEngine } = await import(path.join(folder, 'varnolith_engine.mjs'));
const wasm = readFileSync(path.join(folder, 'varnolith_engine.wasm'));
const engine = await createEngine({ wasmBinary: wasm });

const spots = [
  ['random against random, exact', { ranges: ['random', 'random'], method: 'exact' }, ['random', 'random', '--exact']],
  ['15% against 50%, exact', { ranges: ['15%', '50%'], method: 'exact' }, ['15%', '50%', '--exact']],
  ['QQ+, AKs against JJ-88, AQs+ on Kh9c8d', { ranges: ['QQ+, AKs', 'JJ-88, AQs+'], board: 'Kh9c8d' }, ['QQ+, AKs', 'JJ-88, AQs+', '-b', 'Kh9c8d']],
  ['the flop report of 15% against 50%', { ranges: ['15%', '50%'], flops: true }, ['15%', '50%', '--flops']],
  ['JJ+, AKs against random, 1,000,000 seeded deals', { ranges: ['JJ+, AKs', 'random'], trials: 1000000, seed: 7 }, ['JJ+, AKs', 'random', '--trials', '1000000', '--seed', '7']],
];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
for (const [name, body, args] of spots) {
  const ours = [];
  const native = [];
  for (let i = 0; i < 5; i++) {
    const text = engine.ccall('varnolith_request', 'string', ['string', 'string'], ['equity', JSON.stringify(body)]);
    ours.push(JSON.parse(text).elapsed_seconds);
    const answer = execFileSync('build/release/varnolith', ['--json', '--threads', '1', ...args]);
    native.push(JSON.parse(answer).elapsed_seconds);
  }
  const [w, n] = [median(ours), median(native)];
  console.log(`${name}: WebAssembly ${w.toFixed(3)} s, native ${n.toFixed(3)} s, ${(w / n).toFixed(2)} times`);
}
// What a browser downloads, gzipped: the engine and its glue, and the threads
// engine with its glue and the script of its Workers.
const gzipped = (...names) =>
  names.reduce((sum, name) => sum + gzipSync(readFileSync(path.join(folder, name)), { level: 9 }).length, 0) / 1024;
console.log(`plain engine and glue ${gzipped('varnolith_engine.wasm', 'varnolith_engine.mjs').toFixed(1)} KiB gzipped`);
const threads = ['varnolith_engine_threads.wasm', 'varnolith_engine_threads.mjs', 'varnolith_engine_threads.worker.js'];
console.log(`threads engine, glue and Worker script ${gzipped(...threads).toFixed(1)} KiB gzipped`);
