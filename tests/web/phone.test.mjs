// The page on a phone: one column, touch, the results brought into view.

import assert from 'node:assert/strict';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { hash, pageSession } from './harness.mjs';

const { open } = pageSession({ browserOptions: { viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true } });

test('on a phone the results table is in view after Calculate', async () => {
  const page = await open(hash([['range', 'QQ+, AKs'], ['range', 'random'], ['board', 'Kh9c8d'], ['method', 'exact']]));
  await page.getByRole('button', { name: 'Calculate', exact: true }).tap();
  const table = page.getByRole('table', { name: 'Results', exact: true });
  await table.waitFor();
  await page.waitForFunction(() => {
    const box = document.querySelector('.all-players').getBoundingClientRect();
    return box.top >= -1 && box.bottom <= window.innerHeight + 1; // a scroll may land between pixels
  });
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), 390, 'the page is wider than the phone');
  await page.screenshot({ path: path.join(process.env.VARNOLITH_SCREENSHOTS ?? os.tmpdir(), 'web-phone.png') });
  await page.close();
});
