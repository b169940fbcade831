// A plain static file server on a free loopback port, as any host of the
// static folder would serve it: files by path, a type by extension, and when
// `isolated` the two headers that make the page cross-origin isolated (so
// that it may run the engine on threads). No varnolith program runs behind it.

import { createServer } from 'node:http';
import { readFile } from 'node:fs/promises';
import path from 'node:path';

const types = {
  '.html': 'text/html; charset=utf-8',
  '.css': 'text/css; charset=utf-8',
  '.js': 'text/javascript; charset=utf-8',
  '.mjs': 'text/javascript; charset=utf-8',
  '.wasm': 'application/wasm',
  '.svg': 'image/svg+xml',
};

const isolation = { 'Cross-Origin-Opener-Policy': 'same-origin', 'Cross-Origin-Embedder-Policy': 'require-corp' };

export function serveFolder(folder, { isolated = false } = {}) {
  const server = createServer(async (request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const file = path.join(folder, path.normalize(wanted === '/' ? '/index.html' : wanted));
    if (!file.startsWith(folder)) return response.writeHead(403).end();
    try {
      const body = await readFile(file);
      const type = types[path.extname(file)] ?? 'application/octet-stream';
      response.writeHead(200, { 'Content-Type': type, ...(isolated ? isolation : {}) }).end(body);
    } catch {
      response.writeHead(404).end();
    }
  });
  return new Promise((resolve) => {
    server.listen(0, '127.0.0.1', () =>
      resolve({ url: `http://127.0.0.1:${server.address().port}`, stop: () => new Promise((done) => server.close(done)) }),
    );
  });
}
