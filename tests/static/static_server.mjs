// A plain static file server on a free loopback port, as any host of the
// static folder would serve it: files by path, a type by extension, nothing
// else. No varnolith program runs behind it.

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

export function serveFolder(folder) {
  const server = createServer(async (request, response) => {
    const wanted = decodeURIComponent(new URL(request.url, 'http://host').pathname);
    const file = path.join(folder, path.normalize(wanted === '/' ? '/index.html' : wanted));
    if (!file.startsWith(folder)) return response.writeHead(403).end();
    try {
      const body = await readFile(file);
      response.writeHead(200, { 'Content-Type': types[path.extname(file)] ?? 'application/octet-stream' }).end(body);
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
