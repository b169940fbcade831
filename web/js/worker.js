// A Web Worker holding the engine compiled to WebAssembly: each message is a
// request {id, route, body, run} (run: the page's count of its runs), answered with {id, status, text} as the server
// answers that route; a run's progress comes as {progress} meanwhile.
//
// A cross-origin isolated page gets the engine on WebAssembly threads: the
// Worker named 'run' starts a Worker per further core for its team, the
// quick one a single one (it runs no team, and this emscripten never
// finishes loading with none). Otherwise the plain engine, one thread.
const threaded = self.crossOriginIsolated === true;
const engine = (async () => {
  if (!threaded) return (await import('./varnolith_engine.mjs')).default();
  const pool = self.name === 'run' ? Math.max(1, (navigator.hardwareConcurrency || 1) - 1) : 1;
  const module = await (await import('./varnolith_engine_threads.mjs')).default({ pool });
  // The engine's memory is shared: the page stops a run by setting its byte
  // among those at `address` ({cancel}), as ending this Worker would not end its team.
  const cancel = { memory: module.HEAPU8.buffer, address: module._varnolith_cancel_bytes() };
  postMessage({ cancel: { ...cancel, count: module._varnolith_cancel_byte_count() } });
  return module;
})();

onmessage = async ({ data }) => {
  const module = await engine;
  const text = module.ccall('varnolith_request', 'string', ['string', 'string', 'number'], [data.route, data.body, data.run]);
  postMessage({ id: data.id, status: module.ccall('varnolith_status', 'number', [], []), text });
};
