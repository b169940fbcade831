// What every browser test needs: a varnolith_web of its own on a free
// loopback port, and Debian's Chromium driven headless by playwright-core.

import assert from 'node:assert/strict';
import { after, before } from 'node:test';
import { execFileSync, spawn } from 'node:child_process';
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

// options: a phone's {viewport, hasTouch, isMobile}; a desktop window by default.
export async function startBrowser(options = {}) {
  const profile = mkdtempSync(path.join(tmpdir(), 'varnolith-web-'));
  const context = await chromium.launchPersistentContext(profile, {
    executablePath: process.env.CHROMIUM ?? '/usr/bin/chromium',
    headless: true,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--no-first-run', '--disable-background-networking',
      '--disable-component-update', '--disable-sync'],
    viewport: { width: 1280, height: 800 },
    ...options,
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

// The API's answer to a request as the page sends it, for figures to compare with.
export async function api(server, route, body) {
  const headers = { 'Content-Type': 'application/json' };
  return (await fetch(server.url + route, { method: 'POST', headers, body: JSON.stringify(body) })).json();
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

// A page of the server's with the spot `fragment`; uncaught errors in page.faults.
export async function openPage(server, browser, fragment = '') {
  const page = await browser.context.newPage();
  page.faults = [];
  page.on('pageerror', (error) => page.faults.push(error.message));
  await page.goto(`${server.url}/${fragment}`);
  return page;
}

export const player = (page, n) => page.getByRole('region', { name: `Player ${n}`, exact: true });
export const cell = (page, n, name) => player(page, n).getByRole('button', { name: new RegExp(`^${name}(,|$)`) });
export const rangeField = (page, n) => player(page, n).getByLabel('Range', { exact: true });
export const hash = (spot) => `#${new URLSearchParams(spot).toString()}`;
export const calculate = (page) => page.getByRole('button', { name: 'Calculate', exact: true }).click();
export const field = (page, label) => page.getByLabel(label, { exact: true });
export const commandLine = (page) => page.getByRole('textbox', { name: 'Command line' });
export const holds = (box, value) => eventually(async () => assert.equal(await box.inputValue(), value));
// Waits for player n's square to show each class of `want` ({AA: 'true', KK: 'mixed'}) as pressed so.
export const squareShows = (page, n, want) =>
  eventually(async () => {
    for (const [name, pressed] of Object.entries(want))
      assert.equal(await cell(page, n, name).getAttribute('aria-pressed'), pressed, name);
  });
// The README's pictures are redrawn on request only (VARNOLITH_SCREENSHOTS), so a test run leaves the tree as it was.
export const screenshot = (target, name, options = {}) =>
  target.screenshot({ path: path.join(process.env.VARNOLITH_SCREENSHOTS ?? tmpdir(), name), ...options });
// A page's last step: it threw nothing uncaught, and it leaves no saved ranges to the pages after it.
export async function finish(page) {
  assert.deepEqual(page.faults, []);
  await page.evaluate(() => localStorage.clear());
  await page.close();
}

// The text of the element that describes a field: where its fault is shown.
export async function description(page, field) {
  const id = await field.getAttribute('aria-describedby');
  return page.locator(`#${id.split(' ')[0]}`).textContent();
}

// Starts a server and a browser before a file's tests and stops them after;
// the server must still be running at the end and stop at once when asked.
// `open` opens the page on them.
export function pageSession() {
  const session = { server: null, browser: null };
  before(async () => {
    session.server = await startServer();
    session.browser = await startBrowser();
  });
  after(async () => {
    await session.browser?.close();
    const stopped = await session.server?.stop();
    if (session.server) assert.equal(stopped, true, 'varnolith_web stopped before the tests ended');
  });
  session.open = (fragment) => openPage(session.server, session.browser, fragment);
  return session;
}

// What the varnolith command says of a slip, without its name: the command
// beside the server, or VARNOLITH_COMMAND.
export function commandSays(...args) {
  const command = process.env.VARNOLITH_COMMAND
    ? path.resolve(root, process.env.VARNOLITH_COMMAND)
    : path.join(path.dirname(path.resolve(root, process.env.VARNOLITH_WEB ?? 'build/release/varnolith_web')), 'varnolith');
  try {
    execFileSync(command, args, { stdio: 'pipe' });
  } catch (error) {
    return error.stderr.toString().trim().replace(/^varnolith: /, '');
  }
  throw new Error(`varnolith ${args.join(' ')} took it`);
}
