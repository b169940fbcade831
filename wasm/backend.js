// Written over the server's backend.js in the static folder: the page answers
// itself, with the engine compiled to WebAssembly in a Web Worker.
export const backend = 'wasm';
