// A Web Worker holding the engine compiled to WebAssembly: each message is a
// request {id, route, body}, answered with {id, status, text} as the server
// answers that route; a run's progress comes as {progress} meanwhile.
import createEngine from './varnolith_engine.mjs';

const engine = createEngine();

onmessage = async ({ data }) => {
  const module = await engine;
  const text = module.ccall('varnolith_request', 'string', ['string', 'string'], [data.route, data.body]);
  postMessage({ id: data.id, status: module.ccall('varnolith_status', 'number', [], []), text });
};
