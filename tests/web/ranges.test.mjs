// Building ranges: the sliders, painting, suits and weights, hands, undo, files.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { calculate, cell, description, eventually, hash, pageSession, player, rangeField } from './harness.mjs';

const { open } = pageSession();

test("the Top slider shows the range's own share, only moving it sets one, and a click sets the value under it", async () => {
  const page = await open();
  const slider = player(page, 1).getByRole('slider', { name: /^Top/ });
  await eventually(async () => assert.equal(await slider.getAttribute('aria-valuetext'), 'not a top range'));
  assert.equal(await rangeField(page, 1).inputValue(), 'QQ+, AKs');
  // AA alone is the top 1%, however it is written.
  await rangeField(page, 1).fill('AA');
  await eventually(async () => assert.equal(await slider.getAttribute('aria-valuetext'), '1%'));
  await slider.press('ArrowRight');
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), '2%'));
  const box = await slider.boundingBox();
  for (const share of [0.2, 0.5, 0.8]) {
    await page.mouse.click(box.x + share * box.width, box.y + box.height / 2);
    const value = Number(await slider.inputValue());
    assert.ok(Math.abs(value - 100 * share) <= 5, `a click ${100 * share}% along gave ${value}%`);
  }
  await page.close();
});

test('Calculate right after a paint computes the painted range', async () => {
  const page = await open(hash([['range', 'KK'], ['range', 'random'], ['method', 'exact']]));
  await eventually(async () => assert.equal(await cell(page, 1, 'KK').getAttribute('aria-pressed'), 'true'));
  // The notation written back for the paint comes late, as from a busy server.
  await page.route('**/api/notation', async (route) => {
    await new Promise((wait) => setTimeout(wait, 500));
    await route.continue();
  });
  await cell(page, 1, 'AA').click();
  await calculate(page);
  const figures = player(page, 1).getByRole('table', { name: 'Player 1 results' });
  await figures.waitFor();
  assert.equal(await figures.getByRole('cell').first().textContent(), '12');
  assert.equal(await page.getByText('The spot has changed since the last calculation.').isVisible(), false);
  await page.close();
});

test('a class holding some of its suits looks unlike a weighted one', async () => {
  const page = await open(hash([['range', 'AKs:0.5'], ['range', 'random']]));
  const aks = cell(page, 1, 'AKs');
  await eventually(async () => assert.equal(await aks.getAttribute('aria-pressed'), 'true'));
  await page.getByRole('textbox', { name: 'Command line' }).focus(); // no focus ring on the cell
  const weighted = (await aks.screenshot()).toString('base64');
  // Two of four suits at full weight: as much of the class, but not the same thing.
  await rangeField(page, 1).fill('AhKh, AsKs');
  await aks.getByText('2/4').waitFor();
  await page.getByRole('textbox', { name: 'Command line' }).focus();
  assert.notEqual((await aks.screenshot()).toString('base64'), weighted);
  await page.close();
});

test("a hand is picked from the cards no one else has, and blocked classes show", async () => {
  const page = await open(hash([['range', 'random'], ['range', 'random'], ['board', 'QdQhQc']]));
  const picker = (n) => player(page, n).getByRole('group', { name: `Player ${n} hand cards` });
  await player(page, 1).getByText('Hand cards', { exact: true }).click();
  await picker(1).getByRole('button', { name: 'Ace of spades' }).click();
  await picker(1).getByRole('button', { name: 'King of hearts' }).click();
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), 'AsKh'));
  // One combination of AKo is seen at a glance, not as a sliver.
  await cell(page, 1, 'AKo').getByText('1/12').waitFor();

  await player(page, 2).getByText('Hand cards', { exact: true }).click();
  for (const name of ['Ace of spades', 'King of hearts', 'Queen of diamonds'])
    assert.equal(await picker(2).getByRole('button', { name }).getAttribute('aria-disabled'), 'true', name);
  assert.equal(
    await page.getByRole('group', { name: 'Cards', exact: true }).getByRole('button', { name: 'Ace of spades' }).getAttribute('aria-disabled'),
    'true',
  );
  // Three queens out leave no pair of queens to deal.
  await eventually(async () => assert.match(await cell(page, 2, 'QQ').getAttribute('aria-label'), /blocked/));
  assert.doesNotMatch(await cell(page, 2, 'KK').getAttribute('aria-label'), /blocked/);
  await page.close();
});

test('range edits are undone and redone', async () => {
  const page = await open(hash([['range', 'KK'], ['range', 'random']]));
  await eventually(async () => assert.equal(await cell(page, 1, 'KK').getAttribute('aria-pressed'), 'true'));
  await cell(page, 1, 'AA').click();
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), 'KK+'));
  await page.keyboard.press('Control+z');
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), 'KK'));
  // The square is redrawn after the box: on a loaded machine a moment later.
  await eventually(async () => assert.equal(await cell(page, 1, 'AA').getAttribute('aria-pressed'), 'false'));
  await page.keyboard.press('Control+Shift+z');
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), 'KK+'));
  await page.getByRole('button', { name: 'Undo' }).click();
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), 'KK'));
  await page.close();
});

test('a range file is imported into the box, and a file with no range says so', async () => {
  const page = await open(hash([['range', 'AA'], ['range', 'random']]));
  const importFile = async (name, text) => {
    const chooser = page.waitForEvent('filechooser');
    await player(page, 1).getByRole('button', { name: 'From file…' }).click();
    await (await chooser).setFiles({ name, mimeType: 'text/plain', buffer: Buffer.from(text) });
  };
  await importFile('opening.txt', '# opening\r\nAxKx\nQQ+, !AA  # no aces\n');
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), 'KK-QQ, AKs'));
  await eventually(async () => assert.equal(await cell(page, 1, 'AKs').getAttribute('aria-pressed'), 'true'));
  assert.equal(await cell(page, 1, 'AA').getAttribute('aria-pressed'), 'false');

  await importFile('empty.txt', '# nothing yet\n');
  await eventually(async () =>
    assert.equal(await description(page, rangeField(page, 1)), 'empty.txt: the range is empty: it needs items such as QQ+, AKs'),
  );
  assert.equal(await rangeField(page, 1).inputValue(), 'KK-QQ, AKs');
  assert.deepEqual(page.faults, []);
  await page.close();
});
