// Postflop study in the page: what each range holds on the board, cutting a
// range to one of its lines, and the flop report of a preflop spot.

import assert from 'node:assert/strict';
import os from 'node:os';
import path from 'node:path';
import { test } from 'node:test';
import { api, calculate, cell, eventually, hash, pageSession, player, rangeField } from './harness.mjs';

const session = pageSession();
const { open } = session;

const commandLine = (page) => page.getByRole('textbox', { name: 'Command line' }).inputValue();
const hitsTable = (page, n) => page.getByRole('table', { name: `Player ${n} on the board` });
// Each shown line of a hits table: its words and its cells.
const hitLines = (page, n) =>
  hitsTable(page, n)
    .locator('tbody tr:not(.group)')
    .evaluateAll((rows) => rows.map((r) => [r.cells[0].textContent, ...[...r.cells].slice(1, 4).map((c) => c.textContent)]));
// The flop report's rows as shown: [flop, flops, probability %, player 1's equity %].
const flopRows = (page) =>
  page.locator('.flop-table tbody tr').evaluateAll((rows) =>
    rows.map((r) => [r.dataset.flop, ...[...r.cells].slice(1, 4).map((c) => Number(c.textContent.replace(/[,%]/g, '')))]),
  );
const screenshots = process.env.VARNOLITH_SCREENSHOTS ?? os.tmpdir();

test('a flop shows each range by made hand and draw, in words, with no empty line', async () => {
  const page = await open(hash([['range', 'QQ'], ['range', 'AK'], ['board', 'Kh9h8d']]));
  await calculate(page);
  await hitsTable(page, 1).waitFor();
  // QQ is below the king on every deal; half its combinations hold a heart.
  assert.deepEqual(await hitLines(page, 1), [
    ['pocket pair below top', '6', '100.0%', '18.5%'],
    ['backdoor flush', '3', '50.0%', '20.0%'],
  ]);
  assert.deepEqual((await hitLines(page, 2))[0], ['top pair', '12', '100.0%', '81.5%']);
  await hitsTable(page, 1).getByText('Draws', { exact: true }).waitFor();
  // Asked for on its own with the board: the command needs no --hits.
  assert.equal(await commandLine(page), "varnolith 'QQ' 'AK' -b Kh9h8d --categories");
  assert.deepEqual(page.faults, []);
  await page.close();
});

test("keep only writes the server's cut into the range, the square, the link and the command", async () => {
  const page = await open(hash([['range', '15%'], ['range', 'random'], ['board', 'Kh9h8d'], ['categories', 'no']]));
  await calculate(page);
  await hitsTable(page, 1).waitFor();
  await page.mouse.move(0, 0);
  await page.screenshot({ path: path.join(screenshots, 'web-hits.png'), fullPage: true });
  const { json } = await api(session.server, '/api/filter', {
    range: '15%', board: 'Kh9h8d', dead: '', filter: 'set', rules: 'straight',
  });
  await page.getByRole('button', { name: "Keep only set in Player 1's range" }).click();
  await eventually(async () => assert.equal(await rangeField(page, 1).inputValue(), json.range));
  await page.getByText(`Player 1's range cut to set: ${json.combos} combos.`).waitFor();
  await eventually(async () => assert.equal(await cell(page, 1, 'AA').getAttribute('aria-pressed'), 'false'));
  assert.equal(await cell(page, 1, 'KK').getAttribute('aria-pressed'), 'mixed');
  const link = new URLSearchParams((await page.evaluate(() => location.hash)).slice(1));
  assert.deepEqual(link.getAll('range'), [json.range, 'random']);
  assert.equal(await commandLine(page), `varnolith '${json.range}' 'random' -b Kh9h8d`);
  // The figures shown were of the range before: they go until Calculate.
  assert.equal(await hitsTable(page, 1).count(), 0);
  await page.close();
});

test('a refused cut is shown where the page shows any refusal', async () => {
  const page = await open(hash([['range', 'QQ+, AKs'], ['range', 'random'], ['board', 'Kh9h8d']]));
  await calculate(page);
  await hitsTable(page, 1).waitFor();
  // The request as the page sends it, with one field spoilt on the way.
  const spoil = (change) => (route) =>
    route.continue({ postData: JSON.stringify({ ...JSON.parse(route.request().postData()), ...change }) });
  const { json } = await api(session.server, '/api/filter', { range: 'QQ+, AKs', board: 'Kh9h8d', filter: 'sets' });
  await page.route('**/api/filter', spoil({ filter: 'sets' }));
  await page.getByRole('button', { name: "Keep only overpair in Player 1's range" }).click();
  await page.getByRole('region', { name: 'Calculation' }).getByText(json.error.message, { exact: true }).waitFor();
  await page.unroute('**/api/filter');
  await page.route('**/api/filter', spoil({ range: 'QQs' }));
  await page.getByRole('button', { name: "Keep only overpair in Player 1's range" }).click();
  await player(page, 1).getByText('item "QQs": a pair is neither suited nor offsuit', { exact: false }).waitFor();
  assert.equal(await rangeField(page, 1).inputValue(), 'QQ+, AKs');
  assert.deepEqual(page.faults, []);
  await page.close();
});

test('the flop report tells every flop once, filters by texture and sorts by a column', async () => {
  const page = await open(hash([['range', '15%'], ['range', '50%'], ['board', 'Kh9h8d']]));
  const report = page.getByRole('button', { name: 'Flop report' });
  assert.equal(await report.isDisabled(), true, 'the flop report is of a preflop spot');
  await page.getByLabel('Board', { exact: true }).fill('');
  await eventually(async () => assert.equal(await report.isDisabled(), false));
  await page.setViewportSize({ width: 1280, height: 1000 });
  await report.click();
  const region = page.getByRole('region', { name: 'Flop report' });
  await region.locator('.flop-table tbody tr').first().waitFor();
  assert.equal(await commandLine(page), "varnolith --flops '15%' '50%' --categories");
  assert.match(await page.evaluate(() => location.hash), /flops=yes/);
  const { json } = await api(session.server, '/api/equity', { ranges: ['15%', '50%'], flops: true });
  let rows = await flopRows(page);
  assert.equal(rows.length, json.flops.length);
  assert.equal(rows.reduce((sum, r) => sum + r[1], 0), 7140); // 36 choose 3
  assert.deepEqual(rows[0], [json.flops[0].flop, json.flops[0].flops, Number((100 * json.flops[0].probability).toFixed(3)),
    Number((100 * json.flops[0].equity[0]).toFixed(1))]);
  await page.mouse.move(0, 0);
  await region.screenshot({ path: path.join(screenshots, 'web-flops.png') });

  await region.getByLabel('Suits').selectOption('monotone');
  const monotone = json.textures.find((t) => t.texture === 'monotone');
  await eventually(async () => {
    rows = await flopRows(page);
    assert.equal(rows.reduce((sum, r) => sum + r[1], 0), monotone.flops);
  });
  assert.ok(rows.every(([flop]) => flop[1] === flop[3] && flop[3] === flop[5]), 'a row of another texture is shown');

  const byProbability = region.getByRole('button', { name: /^Probability/ });
  await byProbability.click();
  rows = await flopRows(page);
  assert.deepEqual(rows.map((r) => r[2]), rows.map((r) => r[2]).sort((a, b) => b - a));
  await byProbability.click();
  assert.equal(await region.locator('.flop-table').getByRole('columnheader', { name: /^Probability/ }).getAttribute('aria-sort'), 'ascending');
  rows = await flopRows(page);
  assert.deepEqual(rows.map((r) => r[2]), rows.map((r) => r[2]).sort((a, b) => a - b));
  // Calculate leaves the report for the spot's own run.
  await page.getByRole('button', { name: 'Calculate', exact: true }).click();
  await eventually(async () => assert.doesNotMatch(await commandLine(page), /--flops/));
  await region.waitFor({ state: 'detached' });
  assert.deepEqual(page.faults, []);
  await page.close();
});
