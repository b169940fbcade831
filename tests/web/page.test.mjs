// The calculator page as a person uses it: by the names and labels it shows.

import assert from 'node:assert/strict';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { api, calculate, cell, description, eventually, hash, pageSession, player, rangeField } from './harness.mjs';

const session = pageSession({ stopCleanly: true });
const { open } = session;

const percent = (fraction) => `${(100 * fraction).toFixed(2)}%`;

test('dragging over the square paints classes and writes their notation', async () => {
  const page = await open(hash([['range', ''], ['range', 'random']]));
  const from = await cell(page, 1, 'AA').boundingBox();
  const to = await cell(page, 1, 'AJs').boundingBox();
  await page.mouse.move(from.x + from.width / 2, from.y + from.height / 2);
  await page.mouse.down();
  await page.mouse.move(to.x + to.width / 2, to.y + to.height / 2, { steps: 10 });
  await page.mouse.up();

  const hands = ['AsAh', 'AsAd', 'AsAc', 'AhAd', 'AhAc', 'AdAc'];
  for (const low of 'KQJ') for (const s of 'shdc') hands.push(`A${s}${low}${s}`);
  const { json } = await api(session.server, '/api/notation', { hands: hands.map((hand) => ({ hand, weight: 1 })) });
  const field = rangeField(page, 1);
  await eventually(async () => assert.equal(await field.inputValue(), json.range));
  assert.equal(await cell(page, 1, 'AQs').getAttribute('aria-pressed'), 'true');
  assert.equal(await cell(page, 1, 'ATs').getAttribute('aria-pressed'), 'false');
  assert.match(await player(page, 1).getByText(/combos,/).textContent(), /^18 combos, 2\.9%/);

  // A second press on a class in the range takes it out again.
  await cell(page, 1, 'AA').click();
  await eventually(async () => assert.equal(await field.inputValue(), 'AJs+'));
  assert.deepEqual(page.faults, []);
  await page.close();
});

test('typed notation fills the square, and a bad item is shown by its field', async () => {
  const page = await open();
  const field = rangeField(page, 1);
  await field.fill('QQ+, AKs');
  await eventually(async () => assert.equal(await cell(page, 1, 'KK').getAttribute('aria-pressed'), 'true'));
  for (const name of ['AA', 'QQ', 'AKs']) assert.equal(await cell(page, 1, name).getAttribute('aria-pressed'), 'true');
  for (const name of ['JJ', 'AKo', 'AQs']) assert.equal(await cell(page, 1, name).getAttribute('aria-pressed'), 'false');

  await field.fill('QQs');
  await player(page, 1).getByText('item "QQs": a pair is neither suited nor offsuit').waitFor();
  await page.close();
});

test('clicking cards puts them on the board or out of play', async () => {
  const page = await open();
  for (const name of ['King of hearts', 'Nine of clubs', 'Eight of diamonds'])
    await page.getByRole('button', { name }).click();
  assert.equal(await page.getByLabel('Board', { exact: true }).inputValue(), 'Kh9c8d');

  await page.getByRole('radio', { name: /out of play/ }).check();
  await page.getByRole('button', { name: 'Ace of spades' }).click();
  assert.equal(await page.getByLabel('Dead', { exact: true }).inputValue(), 'As');
  // A board card is not to be had as a dead one.
  assert.equal(await page.getByRole('button', { name: 'King of hearts' }).getAttribute('aria-disabled'), 'true');

  await page.getByLabel('Board', { exact: true }).fill('Kh9c8d7s6h5d');
  await page.getByText(/'5' is not a rank/).waitFor();
  await page.close();
});

test("the figures are the API's, and a screenshot of them is kept", async () => {
  const spot = { ranges: ['QQ+, AKs', 'random'], board: 'Kh9c8d', method: 'exact' };
  const page = await open(
    hash([['range', spot.ranges[0]], ['range', spot.ranges[1]], ['board', spot.board], ['method', 'exact'], ['next', 'yes']]),
  );
  await page.setViewportSize({ width: 1440, height: 900 }); // the README's picture
  await calculate(page);
  const { json } = await api(session.server, '/api/equity', { ...spot, grid: true });
  for (const n of [1, 2]) {
    const figures = player(page, n).getByRole('table', { name: `Player ${n} results` });
    await figures.waitFor();
    const cells = await figures.getByRole('cell').allTextContents();
    const p = json.players[n - 1];
    assert.deepEqual(cells, [String(p.combos), percent(p.equity), percent(p.win), percent(p.tie), '0']);
  }
  await page.getByText(`Exact · ${json.deals.toLocaleString('en-US')} deals · ${json.boards} boards`).waitFor();
  // One table of every player beside the button, with the same figures.
  const all = page.getByRole('table', { name: 'Results', exact: true });
  for (const n of [1, 2])
    assert.equal(await all.getByRole('row', { name: new RegExp(`^Player ${n} `) }).getByRole('cell').first().textContent(),
      percent(json.players[n - 1].equity));
  // A class's cell holds its equity, not only its colour.
  const aa = json.players[0].grid.find((c) => c.class === 'AA');
  await cell(page, 1, 'AA').getByText((100 * aa.equity).toFixed(1)).waitFor();
  await page.getByRole('heading', { name: 'Next card' }).waitFor();

  await page.mouse.move(0, 0); // no hover on the picture
  // The README's pictures are redrawn on request only, so that a test run leaves the tree as it was.
  await page.screenshot({ path: path.join(process.env.VARNOLITH_SCREENSHOTS ?? os.tmpdir(), 'web.png') });
  await page.close();
});

test('a long exact run shows its progress and can be cancelled', async () => {
  const page = await open(
    hash([['range', 'random'], ['range', 'random'], ['range', 'random'], ['method', 'exact']]),
  );
  await calculate(page);
  await page.getByRole('progressbar', { name: 'Progress' }).waitFor();
  await page.getByText(/s · about .* left$/).waitFor();
  await page.getByRole('button', { name: 'Cancel' }).click();
  await page.getByText('Cancelled: no result.').waitFor();
  await page.getByRole('button', { name: 'Calculate', exact: true }).waitFor();
  assert.equal(await page.getByRole('button', { name: 'Cancel' }).isVisible(), false);
  await page.close();
});

test('a refusal is shown by the field and the player the server names', async () => {
  // An impossible spot, refused by the server itself, is said by the Calculate button.
  const impossible = await open(hash([['range', 'AA'], ['range', 'AA'], ['range', 'AA'], ['board', 'Ad']]));
  await calculate(impossible);
  await impossible.getByRole('region', { name: 'Calculation' }).getByText(/^no compatible deal/).waitFor();
  await impossible.close();

  const page = await open(hash([['range', 'AA'], ['range', 'KK']]));
  // Where a person (or a screen reader) finds a field's fault: its description.
  const describing = (label) => async (message) =>
    eventually(async () => assert.equal(await description(page, page.getByLabel(label, { exact: true })), message));
  const within = (region) => (message) => region.getByText(message).waitFor();
  // Messages that name nothing themselves: only the error's field and player place them.
  const refusals = [
    { field: 'ranges', player: 1, message: 'refused for the second player', shown: within(player(page, 2)) },
    { field: 'board', player: null, message: 'refused for the board', shown: describing('Board') },
    { field: 'dead', player: null, message: 'refused for the dead cards', shown: describing('Dead') },
    {
      field: null,
      player: null,
      message: 'refused for the run',
      shown: within(page.getByRole('region', { name: 'Calculation' })),
    },
  ];
  for (const { shown, ...error } of refusals) {
    await page.route('**/api/jobs', (route) =>
      route.fulfill({
        status: 400,
        contentType: 'application/json',
        body: JSON.stringify({ error: { code: 'bad_request', ...error } }),
      }),
    );
    await calculate(page);
    await shown(error.message);
    await page.unroute('**/api/jobs');
  }
  assert.deepEqual(page.faults, []);
  await page.close();
});

test('the link holds the whole spot', async () => {
  const page = await open();
  await rangeField(page, 1).fill('JJ+, AQs+');
  await page.getByRole('button', { name: 'Add player' }).click();
  await rangeField(page, 3).fill('15%');
  await page.getByLabel('Board', { exact: true }).fill('Ah7d6c');
  await page.getByLabel('Dead', { exact: true }).fill('Ks');
  await page.getByRole('radio', { name: 'Monte Carlo' }).check();
  await page.getByLabel('Trials').fill('20000');
  await page.getByLabel('Seed').fill('42');
  const command = "varnolith 'JJ+, AQs+' 'random' '15%' -b Ah7d6c -d Ks --trials 20000 --seed 42 --categories";
  assert.equal(await page.getByRole('textbox', { name: 'Command line' }).inputValue(), command);

  const again = await open(new URL(page.url()).hash);
  assert.equal(await rangeField(again, 1).inputValue(), 'JJ+, AQs+');
  assert.equal(await rangeField(again, 3).inputValue(), '15%');
  assert.equal(await again.getByLabel('Board', { exact: true }).inputValue(), 'Ah7d6c');
  assert.equal(await again.getByLabel('Dead', { exact: true }).inputValue(), 'Ks');
  assert.equal(await again.getByRole('radio', { name: 'Monte Carlo' }).isChecked(), true);
  assert.equal(await again.getByRole('textbox', { name: 'Command line' }).inputValue(), command);
  await eventually(async () => assert.equal(await cell(again, 3, 'AJo').getAttribute('aria-pressed'), 'true'));
  await page.close();
  await again.close();
});
