// Saved ranges: kept in the browser, written out and read back as text.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { hash, pageSession } from './harness.mjs';

const { open } = pageSession();

async function openLibrary(fragment) {
  const page = await open(fragment);
  await page.getByText('Saved ranges', { exact: true }).click();
  return page;
}

test('saved ranges keep their names, stay in the panel, ask before replacing and refuse bad notation', async () => {
  const wide = 'AA, KK, QQ, JJ, TT, 99, 88, 77, 66, AKs, AQs, AJs, ATs, A9s, KQs, KJs, KTs, QJs, QTs, JTs, AKo, AQo';
  const page = await openLibrary(hash([['range', wide], ['range', 'random']]));
  const from = page.getByLabel('Range of');
  assert.equal(await from.evaluate((select) => select.selectedOptions[0]?.textContent), 'Player 1');
  const list = page.getByRole('list');
  const name = 'BTN 3bet=call with a rather long name';
  await page.getByLabel('Name', { exact: true }).fill(name);
  await page.getByRole('button', { name: 'Save' }).click();
  const remove = page.getByRole('button', { name: `Delete ${name}` });
  const panel = await page.locator('details.library').boundingBox();
  const box = await remove.boundingBox();
  assert.ok(box.x + box.width <= panel.x + panel.width, 'the delete button is outside the panel');

  // The same name again asks first, and a second Save replaces.
  await from.selectOption({ label: 'Player 2' });
  await page.getByLabel('Name', { exact: true }).fill(name);
  await page.getByRole('button', { name: 'Save' }).click();
  await page.getByText(/is saved already/).waitFor();
  assert.equal(await list.getByText('random').count(), 0);
  await page.getByRole('button', { name: 'Replace' }).click();
  await list.getByText('random', { exact: true }).waitFor();

  await page.getByLabel(/As text/).fill('good = QQ+\nbad = QQ++');
  await page.getByRole('button', { name: 'Import' }).click();
  await page.getByText(/^1 range read\. Left out: "bad": /).waitFor();
  assert.equal(await list.getByText('bad', { exact: true }).count(), 0);
  await list.getByText('good', { exact: true }).waitFor();
  await page.close();
});
