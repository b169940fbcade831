// The static page in Chromium on loopback. First how soon it is usable: from
// navigation to the engine's version in the header (the quick Worker's
// engine loaded), and to a first run answered, the median of 10 loads, served
// plainly and cross-origin isolated. Then its engine on WebAssembly threads:
// each spot on one thread and on every core the browser gives (2 here), the
// median of 5 runs of each, in seconds, and the speed-up.
// node bench/static_page.mjs (from the root, after make static; it takes
// playwright-core from tests/web, as the browser tests do).

import { startBrowser } from '../tests/web/harness.mjs';
import { serveFolder } from '../tests/static/static_server.mjs';
import path from 'node:path';

const spots = [
  ['JJ+, AKs against random, 2,000,000 seeded deals', { ranges: ['JJ+, AKs', 'random'], trials: 2000000, seed: 7 }],
  ['AA, KK / AKs / QQ / JJ, 1,000,000 seeded deals', { ranges: ['AA, KK', 'AKs', 'QQ', 'JJ'], trials: 1000000, seed: 7 }],
  ['random against random, exact', { ranges: ['random', 'random'], method: 'exact' }],
  ['15% against 50%, exact', { ranges: ['15%', '50%'], method: 'exact' }],
];
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];
const browser = await startBrowser();
for (const isolated of [false, true]) {
  const served = await serveFolder(path.resolve('build/static'), { isolated });
  const usable = [];
  const answered = [];
  for (let i = 0; i < 10; i++) {
    const page = await browser.context.newPage();
    await page.goto(`${served.url}/?load=${i}`);
    await page.waitForFunction(() => document.querySelector('#version').textContent.startsWith('varnolith'), null, { polling: 5 });
    usable.push(await page.evaluate(() => performance.now()));
    await page.evaluate(async () => {
      const { engineRequest } = await import('./js/engine.js');
      await engineRequest('equity', JSON.stringify({ ranges: ['AA', 'KK'], board: 'Kh9c8d' }), { run: true });
    });
    answered.push(await page.evaluate(() => performance.now()));
    await page.close();
  }
  await served.stop();
  const ms = (values) => `${Math.round(median(values))} ms`;
  console.log(`${isolated ? 'isolated' : 'plain'}: usable ${ms(usable)}, a first run answered ${ms(answered)} after navigation`);
}

const server = await serveFolder(path.resolve('build/static'), { isolated: true });
const page = await browser.context.newPage();
await page.goto(`${server.url}/`);
const cores = await page.evaluate(() => navigator.hardwareConcurrency);
for (const [name, body] of spots) {
  const seconds = await page.evaluate(
    async ({ body, cores }) => {
      const { engineRequest } = await import('./js/engine.js');
      const times = { 1: [], [cores]: [] };
      for (let i = 0; i < 5; i++)
        for (const threads of [1, cores]) {
          const answer = await engineRequest('equity', JSON.stringify({ ...body, threads }), { run: true });
          times[threads].push(answer.json.elapsed_seconds);
        }
      return times;
    },
    { body, cores },
  );
  const [one, all] = [median(seconds[1]), median(seconds[cores])];
  console.log(`${name}: 1 thread ${one.toFixed(3)} s, ${cores} threads ${all.toFixed(3)} s, ${(one / all).toFixed(2)} times faster`);
}
await browser.close();
await server.stop();
