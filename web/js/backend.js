// Who answers the page: varnolith_web, which serves it. The static folder
// (make static) writes this file over with 'wasm': the page then answers
// itself with the engine compiled to WebAssembly, in Web Workers.
export const backend = 'server';
