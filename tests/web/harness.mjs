// What every browser test needs: a varnolith_web of its own on a free
// loopback port, and Debian's Chromium driven headless by playwright-core.

import { spawn } from 'node:child_process';
import { mkdtempSync, rmSync } from 'node:fs';
import { tmpdir } from 'node:os';
import path from 'node:path';
import { fileURLToPath } from 'node:url';
import { chromium } from 'playwright-core';

export const root = path.resolve(path.dirname(fileURLToPath(import.meta.url)), '..', '..');

export function startServer() {
  const program = path.resolve(root, process.env.VARNOLITH_WEB ?? 'build/release/varnolith_web');
  const child = spawn(program, ['--port', '0'], { stdio: ['ignore', 'pipe', 'inherit'] });
  process.on('exit', () => child.kill()); // never left behind, however the tests end
  return new Promise((resolve, reject) => {
    let seen = '';
    const timer = setTimeout(() => reject(new Error(`${program} printed no address: ${seen}`)), 10000);
    child.on('error', reject);
    child.on('exit', (code) => reject(new Error(`${program} stopped at once (exit ${code}): ${seen}`)));
    child.stdout.on('data', (chunk) => {
      seen += chunk;
      const address = /open (http:\/\/127\.0\.0\.1:\d+)\//.exec(seen);
      if (!address) return;
      clearTimeout(timer);
      resolve({
        url: address[1],
        // True when the server was still running: a server that died under the page is a fault.
        stop: () =>
          new Promise((done) => {
            if (child.exitCode !== null || child.signalCode !== null) return done(false);
            child.removeAllListeners('exit');
            child.on('exit', () => done(true));
            child.kill('SIGTERM');
          }),
      });
    });
  });
}

export async function startBrowser() {
  const profile = mkdtempSync(path.join(tmpdir(), 'varnolith-web-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: [
      '--headless',
      '--no-sandbox',
      '--disable-gpu',
      '--no-first-run',
      '--disable-background-networking',
      '--disable-component-update',
      '--disable-sync',
    ],
    viewport: { width: 1280, height: 800 },
  });
  context.setDefaultTimeout(15000);
  return {
    context,
    close: async () => {
      await context.close();
      rmSync(profile, { recursive: true, force: true });
    },
  };
}

// The API as the page calls it, for figures to compare with.
export async function api(server, route, body) {
  const response = await fetch(server.url + route, {
    method: body === undefined ? 'GET' : 'POST',
    headers: { 'Content-Type': 'application/json' },
    body: body === undefined ? undefined : JSON.stringify(body),
  });
  return { status: response.status, json: await response.json() };
}

// Retries an assertion until it holds: the page answers after the server does.
export async function eventually(check, timeout = 10000) {
  const end = Date.now() + timeout;
  for (;;) {
    try {
      return await check();
    } catch (error) {
      if (Date.now() > end) throw error;
      await new Promise((wait) => setTimeout(wait, 50));
    }
  }
}
