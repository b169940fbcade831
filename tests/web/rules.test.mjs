// The rules selector: kept in the address and the command line, sent with the
// run, and the ordering that "N%" reads follows it.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { calculate, cell, eventually, hash, pageSession } from './harness.mjs';

const { open } = pageSession();

test('the trips rules go into the address, the command and the run', async () => {
  const page = await open(hash([['range', '6c6d'], ['range', 'Tc9d'], ['board', '6h7s8cJs']]));
  await page.getByLabel('Rules').selectOption('trips');
  await eventually(async () => assert.match(await page.evaluate(() => location.hash), /rules=trips/));
  assert.equal(
    await page.getByRole('textbox', { name: 'Command line' }).inputValue(),
    "varnolith '6c6d' 'Tc9d' -b 6h7s8cJs --rules trips --categories",
  );
  await calculate(page);
  // The set wins every river once three of a kind beats the straight.
  await page.getByText(/^Exact · 1 deal · 28 boards · trips beat a straight$/).waitFor();
  const reloaded = await open(await page.evaluate(() => location.hash));
  assert.equal(await reloaded.getByLabel('Rules').inputValue(), 'trips');
  await reloaded.close();
  await page.close();
});

test("a top share reads the rules' own ordering", async () => {
  const page = await open(hash([['range', '7%'], ['range', 'random']]));
  // 7% of the 630 is 44 combinations: AKo's twelve by default, 99's six under trips.
  const pressed = async (name) => cell(page, 1, name).getAttribute('aria-pressed');
  await eventually(async () => assert.deepEqual([await pressed('AKo'), await pressed('99')], ['true', 'false']));
  await page.getByLabel('Rules').selectOption('trips');
  await eventually(async () => assert.deepEqual([await pressed('AKo'), await pressed('99')], ['false', 'true']));
  await page.close();
});
