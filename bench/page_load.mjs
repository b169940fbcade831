// How long the calculator page takes to load from varnolith_web on loopback,
// in Debian's Chromium, by the page's own navigation timing: the median over
// 20 loads of DOMContentLoaded and of the load event (every file in), and of
// the players' squares drawn (after the page's first API calls).
// node bench/page_load.mjs (run from the root, after the browser tests have
// installed playwright-core under tests/web).

import { startBrowser, startServer } from '../tests/web/harness.mjs';

const loads = 20;
const median = (values) => [...values].sort((a, b) => a - b)[Math.floor(values.length / 2)];

const server = await startServer();
const browser = await startBrowser();
const page = await browser.context.newPage();
const ready = [];
const loaded = [];
const drawn = [];
for (let i = 0; i < loads; i++) {
  await page.goto(`${server.url}/?load=${i}`, { waitUntil: 'load' });
  await page.getByRole('button', { name: 'AA' }).first().waitFor();
  const [timing, now] = await page.evaluate(() => [performance.getEntriesByType('navigation')[0].toJSON(), performance.now()]);
  ready.push(timing.domContentLoadedEventEnd);
  loaded.push(timing.loadEventEnd);
  drawn.push(now);
}
await browser.close();
await server.stop();
const ms = (values) => `${Math.round(median(values))} ms`;
console.log(`page load, median of ${loads}: DOMContentLoaded ${ms(ready)}, load event ${ms(loaded)}, squares drawn by ${ms(drawn)}`);
