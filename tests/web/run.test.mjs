// Running a spot: what the page asks for, what it shows, and in whose words.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { calculate, commandSays, description, eventually, hash, pageSession } from './harness.mjs';

const { open } = pageSession();

test("slips in the numbers and the board are named in the command's words", async () => {
  const page = await open(hash([['range', 'AA'], ['range', 'KK'], ['method', 'monte_carlo']]));
  for (const [label, text, option] of [['Trials', 'abc', '--trials'], ['Seed', 'x', '--seed'], ['Board', '10h', '-b']]) {
    const field = page.getByLabel(label, { exact: true });
    await field.fill(text);
    await calculate(page);
    await eventually(async () => assert.equal(await description(page, field), commandSays('AA', 'KK', option, text)));
    await field.fill('');
  }
  await page.close();
});

test('a table no longer asked for goes, and a river is one board with no next card', async () => {
  const page = await open(
    hash([['range', 'AA'], ['range', 'KK'], ['board', 'Kh9c8d7s6h'], ['method', 'exact'], ['next', 'yes']]),
  );
  const nextCard = page.getByRole('checkbox', { name: /Next-card table/ });
  assert.equal(await nextCard.isChecked(), false);
  assert.equal(await nextCard.isDisabled(), true);
  await calculate(page);
  await page.getByText(/^Exact · \d+ deals · 1 board$/).waitFor();
  await page.getByRole('heading', { name: 'Hand categories' }).waitFor();
  await page.getByRole('checkbox', { name: 'Hand categories' }).uncheck();
  assert.equal(await page.getByRole('heading', { name: 'Hand categories' }).count(), 0);
  await page.close();
});

test('the next-card squares mark the cards that change the leader', async () => {
  const page = await open(hash([['range', 'AA'], ['range', 'KK'], ['board', 'Kh9c8d'], ['next', 'yes']]));
  await calculate(page);
  const square = page.getByRole('table', { name: 'Player 1', exact: true });
  await square.waitFor();
  const row = async (rank) => square.getByRole('row', { name: new RegExp(`^${rank} `) }).getByRole('cell').allTextContents();
  // Ranks down, suits across (clubs, diamonds, hearts, spades) as the command draws them.
  assert.equal((await square.getByRole('row').all()).length, 10);
  assert.deepEqual((await row('K')).map((t) => t.endsWith('*')), [false, false, false, false]);
  assert.equal((await row('K'))[2], '–'); // the king of hearts is on the board
  assert.ok((await row('A')).every((t) => t.endsWith('*')), 'an ace puts AA ahead');
  await page.getByRole('table', { name: 'Probability %' }).waitFor();
  await page.close();
});

test('three players are coloured by the fair share', async () => {
  const page = await open(hash([['range', 'AA'], ['range', 'KK']]));
  const colours = page.getByLabel('Colours');
  await calculate(page);
  assert.equal(await colours.inputValue(), 'absolute');
  await page.getByRole('button', { name: 'Add player' }).click();
  await calculate(page);
  assert.equal(await colours.inputValue(), 'fair');
  await page.getByText('yellow at the fair share, 1/3', { exact: false }).first().waitFor();
  await page.close();
});

test('an exact run past the time limit is not started, and a simulation is offered', async () => {
  const page = await open(hash([...Array(4)].map(() => ['range', 'random']).concat([['method', 'exact']])));
  const jobs = [];
  page.on('request', (r) => { if (new URL(r.url()).pathname === '/api/jobs') jobs.push(r); });
  await calculate(page);
  await page.getByText(/An exact run of this spot would take about .*, and the server stops a run at 2 min\./).waitFor();
  assert.equal(jobs.length, 0, 'a job was started');
  await page.getByRole('button', { name: 'Simulate instead' }).click();
  assert.equal(await page.getByRole('radio', { name: 'Monte Carlo' }).isChecked(), true);
  await page.getByRole('table', { name: 'Results', exact: true }).waitFor({ timeout: 60000 });
  await page.close();
});

test("Player 1's range is two keys away, and a long command is shown whole", async () => {
  const wide = 'AA, KK, QQ, JJ, TT, 99, 88, 77, 66, AKs, AQs, AJs, ATs, A9s, KQs, KJs, KTs, QJs, QTs, JTs';
  const page = await open(hash([['range', wide], ['range', wide], ['range', wide], ['board', 'Kh9c8d']]));
  await page.keyboard.press('Tab');
  await page.keyboard.press('Enter');
  assert.equal(await page.evaluate(() => document.activeElement.id), 'p1-range');
  const box = page.getByRole('textbox', { name: 'Command line' });
  assert.match(await box.inputValue(), /-b Kh9c8d --categories$/);
  assert.ok(await box.evaluate((b) => b.scrollHeight <= b.clientHeight + 1), 'the command is cut off');
  await page.close();
});
