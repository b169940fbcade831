// The calculator page as a person uses it, by the names and labels it shows:
// building ranges and a spot, running it, what it shows and in whose words;
// saved ranges, kept in the browser, written out and read back as text; and
// postflop study: what each range holds on the board, cutting a range to one
// of its lines, and the flop report of a preflop spot.

import assert from 'node:assert/strict';
import { test } from 'node:test';
import { api, calculate, cell, commandLine, commandSays, description, eventually, field, finish, hash, holds, openPage,
  pageSession, player, rangeField, screenshot, squareShows, startBrowser } from './harness.mjs';

const session = pageSession();
const { open } = session;

const percent = (fraction) => `${(100 * fraction).toFixed(2)}%`;
const hitsTable = (page, n) => page.getByRole('table', { name: `Player ${n} on the board` });
// Each shown line of a hits table: its words and its cells.
const hitLines = (page, n) => hitsTable(page, n).locator('tbody tr:not(.group)')
  .evaluateAll((rows) => rows.map((r) => [...r.cells].slice(0, 4).map((c) => c.textContent)));
// The flop report's rows as shown: [flop, flops, probability %, player 1's equity %].
const flopRows = (page) => page.locator('.flop-table tbody tr').evaluateAll((rows) => rows.map((r) =>
  [r.dataset.flop, ...[...r.cells].slice(1, 4).map((c) => Number(c.textContent.replace(/[,%]/g, '')))]));

test('on a phone the results table is in view after Calculate, and the page is no wider', async (t) => {
  const phone = await startBrowser({ viewport: { width: 390, height: 844 }, hasTouch: true, isMobile: true });
  t.after(phone.close);
  const page = await openPage(session.server, phone,
    hash([['range', 'QQ+, AKs'], ['range', 'random'], ['board', 'Kh9c8d'], ['method', 'exact']]));
  await page.getByRole('button', { name: 'Calculate', exact: true }).tap();
  await page.getByRole('table', { name: 'Results', exact: true }).waitFor();
  await page.waitForFunction(() => {
    const box = document.querySelector('.all-players').getBoundingClientRect();
    return box.top >= -1 && box.bottom <= window.innerHeight + 1; // a scroll may land between pixels
  });
  assert.equal(await page.evaluate(() => document.documentElement.scrollWidth), 390, 'the page is wider than the phone');
  await screenshot(page, 'web-phone.png');
  await finish(page);
});

test('painting, typing, the slider, cards, fields and rules make a spot; the command and the link hold it', async () => {
  const page = await open();
  const slider = player(page, 1).getByRole('slider', { name: /^Top/ });
  await eventually(async () => assert.equal(await slider.getAttribute('aria-valuetext'), 'not a top range'));
  assert.equal(await rangeField(page, 1).inputValue(), 'QQ+, AKs');
  // Dragging over the square paints classes and writes their notation; typed notation fills the square.
  await player(page, 1).getByRole('button', { name: 'Clear' }).click();
  await squareShows(page, 1, { AA: 'false' });
  const [from, to] = [await cell(page, 1, 'AA').boundingBox(), await cell(page, 1, 'AJs').boundingBox()];
  await page.mouse.move(from.x + from.width / 2, from.y + from.height / 2);
  await page.mouse.down();
  await page.mouse.move(to.x + to.width / 2, to.y + to.height / 2, { steps: 10 });
  await page.mouse.up();
  const hands = ['AsAh', 'AsAd', 'AsAc', 'AhAd', 'AhAc', 'AdAc'];
  for (const low of 'KQJ') for (const s of 'shdc') hands.push(`A${s}${low}${s}`);
  const json = await api(session.server, '/api/notation', { hands: hands.map((hand) => ({ hand, weight: 1 })) });
  await holds(rangeField(page, 1), json.range);
  await squareShows(page, 1, { AQs: 'true', ATs: 'false' });
  assert.match(await player(page, 1).getByText(/combos,/).textContent(), /^18 combos, 2\.9%/);
  // A second press on a class in the range takes it out again.
  await cell(page, 1, 'AA').click();
  await holds(rangeField(page, 1), 'AJs+');

  await rangeField(page, 1).fill('QQ+, AKs');
  await squareShows(page, 1, { AA: 'true', KK: 'true', QQ: 'true', AKs: 'true' });
  await squareShows(page, 1, { JJ: 'false', AKo: 'false', AQs: 'false' });
  await rangeField(page, 1).fill('QQs');
  await player(page, 1).getByText('item "QQs": a pair is neither suited nor offsuit').waitFor();

  // AA alone is the top 1%, however it is written; only moving the slider writes a share, a click the one under it.
  await rangeField(page, 1).fill('AA');
  await eventually(async () => assert.equal(await slider.getAttribute('aria-valuetext'), '1%'));
  await slider.press('ArrowRight');
  await holds(rangeField(page, 1), '2%');
  const track = await slider.boundingBox();
  for (const share of [0.2, 0.5, 0.8]) {
    await page.mouse.click(track.x + share * track.width, track.y + track.height / 2);
    const value = Number(await slider.inputValue());
    assert.ok(Math.abs(value - 100 * share) <= 5, `a click ${100 * share}% along gave ${value}%`);
  }
  // 7% of the 630 is 44 combinations: AKo's twelve by default, 99's six under trips.
  await rangeField(page, 1).fill('7%');
  await squareShows(page, 1, { AKo: 'true', 99: 'false' });
  await page.getByLabel('Rules').selectOption('trips');
  await squareShows(page, 1, { AKo: 'false', 99: 'true' });

  for (const name of ['King of hearts', 'Nine of clubs', 'Eight of diamonds'])
    await page.getByRole('button', { name }).click();
  assert.equal(await field(page, 'Board').inputValue(), 'Kh9c8d');
  await page.getByRole('radio', { name: /out of play/ }).check();
  await page.getByRole('button', { name: 'Ace of spades' }).click();
  assert.equal(await field(page, 'Dead').inputValue(), 'As');
  // A board card is not to be had as a dead one.
  assert.equal(await page.getByRole('button', { name: 'King of hearts' }).getAttribute('aria-disabled'), 'true');

  await rangeField(page, 1).fill('JJ+, AQs+');
  await page.getByRole('button', { name: 'Add player' }).click();
  await rangeField(page, 3).fill('15%');
  await page.getByRole('radio', { name: 'Monte Carlo' }).check();
  await field(page, 'Trials').fill('20000');
  await field(page, 'Seed').fill('42');
  const command =
    "varnolith 'JJ+, AQs+' 'random' '15%' -b Kh9c8d -d As --rules trips --trials 20000 --seed 42 --categories";
  await holds(commandLine(page), command);
  const again = await open(await page.evaluate(() => location.hash));
  for (const [box, value] of [[rangeField(again, 1), 'JJ+, AQs+'], [rangeField(again, 3), '15%'],
    [field(again, 'Board'), 'Kh9c8d'], [field(again, 'Dead'), 'As'], [again.getByLabel('Rules'), 'trips'],
    [commandLine(again), command]])
    assert.equal(await box.inputValue(), value);
  assert.equal(await again.getByRole('radio', { name: 'Monte Carlo' }).isChecked(), true);
  await squareShows(again, 3, { AJo: 'true' });
  // The rules go with the run: the answer names them.
  await calculate(again);
  await again.getByText(/ · trips beat a straight$/).waitFor();
  await finish(again);

  await field(page, 'Board').fill('Kh9c8d7s6h5d');
  await page.getByText(/'5' is not a rank/).waitFor();
  await finish(page);
});

test("the figures are the API's, the next card marks changes of leader, and a river has no next card", async () => {
  const spot = { ranges: ['QQ+, AKs', 'random'], board: 'Kh9c8d', method: 'exact' };
  const page = await open(hash([['range', spot.ranges[0]], ['range', spot.ranges[1]], ['board', spot.board],
    ['method', 'exact'], ['next', 'yes']]));
  await page.setViewportSize({ width: 1440, height: 900 }); // the README's picture
  await calculate(page);
  const json = await api(session.server, '/api/equity', { ...spot, grid: true });
  // Each player's table, and one of every player beside the button, with the same figures.
  const all = page.getByRole('table', { name: 'Results', exact: true });
  for (const [n, p] of json.players.entries()) {
    const figures = player(page, n + 1).getByRole('table', { name: `Player ${n + 1} results` });
    await figures.waitFor();
    assert.deepEqual(await figures.getByRole('cell').allTextContents(),
      [String(p.combos), percent(p.equity), percent(p.win), percent(p.tie), '0']);
    const row = all.getByRole('row', { name: new RegExp(`^Player ${n + 1} `) });
    assert.equal(await row.getByRole('cell').first().textContent(), percent(p.equity));
  }
  await page.getByText(`Exact · ${json.deals.toLocaleString('en-US')} deals · ${json.boards} boards`).waitFor();
  // A class's cell holds its equity, not only its colour.
  const aa = json.players[0].grid.find((c) => c.class === 'AA');
  await cell(page, 1, 'AA').getByText((100 * aa.equity).toFixed(1)).waitFor();
  await page.mouse.move(0, 0); // no hover on the picture
  await screenshot(page, 'web.png');

  // The next-card square marks the cards that change the leader.
  const colours = page.getByLabel('Colours');
  await rangeField(page, 1).fill('AA');
  await rangeField(page, 2).fill('KK');
  await calculate(page);
  await page.getByText(/^Exact · 18 deals · 406 boards$/).waitFor();
  const square = page.getByRole('table', { name: 'Player 1', exact: true });
  await square.waitFor();
  const row = async (rank) => square.getByRole('row', { name: new RegExp(`^${rank} `) }).getByRole('cell').allTextContents();
  // Ranks down, suits across (clubs, diamonds, hearts, spades) as the command draws them.
  assert.equal((await square.getByRole('row').all()).length, 10);
  assert.deepEqual((await row('K')).map((t) => t.endsWith('*')), [false, false, false, false]);
  assert.equal((await row('K'))[2], '–'); // the king of hearts is on the board
  assert.ok((await row('A')).every((t) => t.endsWith('*')), 'an ace puts AA ahead');
  await page.getByRole('table', { name: 'Probability %' }).waitFor();
  await page.getByRole('heading', { name: 'Hand categories' }).waitFor();
  await page.getByRole('checkbox', { name: 'Hand categories' }).uncheck();
  assert.equal(await page.getByRole('heading', { name: 'Hand categories' }).count(), 0);
  assert.equal(await colours.inputValue(), 'absolute');

  // A river is one board, with no next card to ask for.
  await field(page, 'Board').fill('Kh9c8d7s6h');
  const nextCard = page.getByRole('checkbox', { name: /Next-card table/ });
  await eventually(async () =>
    assert.deepEqual([await nextCard.isChecked(), await nextCard.isDisabled()], [false, true]));
  await calculate(page);
  await page.getByText(/^Exact · \d+ deals · 1 board$/).waitFor();
  // Three players are coloured by the fair share.
  await page.getByRole('button', { name: 'Add player' }).click();
  await calculate(page);
  assert.equal(await colours.inputValue(), 'fair');
  await page.getByText('yellow at the fair share, 1/3', { exact: false }).first().waitFor();
  await finish(page);
});

test("a refusal is shown by the field and the player the server names, slips in the command's words", async () => {
  // An impossible spot, refused by the server itself, is said by the Calculate button.
  const impossible = await open(hash([['range', 'AA'], ['range', 'AA'], ['range', 'AA'], ['board', 'Ad']]));
  await calculate(impossible);
  await impossible.getByRole('region', { name: 'Calculation' }).getByText(/^no compatible deal/).waitFor();
  await finish(impossible);

  const page = await open(hash([['range', 'AA'], ['range', 'KK']]));
  // Where a person (or a screen reader) finds a field's fault: its description.
  const describing = (label) => async (message) =>
    eventually(async () => assert.equal(await description(page, field(page, label)), message));
  const within = (region) => (message) => region.getByText(message).waitFor();
  // Messages that name nothing themselves: only the error's field and player place them.
  for (const [name, who, message, shown] of [
    ['ranges', 1, 'refused for the second player', within(player(page, 2))],
    ['board', null, 'refused for the board', describing('Board')],
    ['dead', null, 'refused for the dead cards', describing('Dead')],
    [null, null, 'refused for the run', within(page.getByRole('region', { name: 'Calculation' }))],
  ]) {
    const error = { code: 'bad_request', field: name, player: who, message };
    await page.route('**/api/jobs', (route) =>
      route.fulfill({ status: 400, contentType: 'application/json', body: JSON.stringify({ error }) }));
    await calculate(page);
    await shown(message);
    await page.unroute('**/api/jobs');
  }
  // The server's own refusals of the numbers and the board, as the command words them.
  await page.getByRole('radio', { name: 'Monte Carlo' }).check();
  for (const [label, text, option] of [['Trials', 'abc', '--trials'], ['Seed', 'x', '--seed'], ['Board', '10h', '-b']]) {
    await field(page, label).fill(text);
    await calculate(page);
    await describing(label)(commandSays('AA', 'KK', option, text));
    await field(page, label).fill('');
  }
  await finish(page);
});

test('a long exact run shows its progress and can be cancelled; one past the time limit is not started', async () => {
  const page = await open(hash([['range', 'random'], ['range', 'random'], ['range', 'random'], ['method', 'exact']]));
  await calculate(page);
  await page.getByRole('progressbar', { name: 'Progress' }).waitFor();
  await page.getByText(/s · about .* left$/).waitFor();
  await page.getByRole('button', { name: 'Cancel' }).click();
  await page.getByText('Cancelled: no result.').waitFor();
  await page.getByRole('button', { name: 'Calculate', exact: true }).waitFor();
  assert.equal(await page.getByRole('button', { name: 'Cancel' }).isVisible(), false);

  // Four random hands: the page asks before starting, and offers a simulation.
  await page.getByRole('button', { name: 'Add player' }).click();
  const jobs = [];
  page.on('request', (r) => { if (new URL(r.url()).pathname === '/api/jobs') jobs.push(r); });
  await calculate(page);
  await page.getByText(/An exact run of this spot would take about .*, and the server stops a run at 2 min\./).waitFor();
  assert.equal(jobs.length, 0, 'a job was started');
  await page.getByRole('button', { name: 'Simulate instead' }).click();
  assert.equal(await page.getByRole('radio', { name: 'Monte Carlo' }).isChecked(), true);
  await page.getByRole('table', { name: 'Results', exact: true }).waitFor({ timeout: 60000 });
  await finish(page);
});

test('suits look unlike weights, hands come from the cards left, a paint is computed at once and undone', async () => {
  const page = await open(hash([['range', 'AKs:0.5'], ['range', 'random'], ['board', 'QdQhQc'], ['method', 'exact']]));
  const aks = cell(page, 1, 'AKs');
  await squareShows(page, 1, { AKs: 'true' });
  await commandLine(page).focus(); // no focus ring on the cell
  const weighted = (await aks.screenshot()).toString('base64');
  // Two of four suits at full weight: as much of the class, but not the same thing.
  await rangeField(page, 1).fill('AhKh, AsKs');
  await aks.getByText('2/4').waitFor();
  await commandLine(page).focus();
  assert.notEqual((await aks.screenshot()).toString('base64'), weighted);

  const picker = (n) => player(page, n).getByRole('group', { name: `Player ${n} hand cards` });
  await player(page, 1).getByText('Hand cards', { exact: true }).click();
  await picker(1).getByRole('button', { name: 'Ace of spades' }).click();
  await picker(1).getByRole('button', { name: 'King of hearts' }).click();
  await holds(rangeField(page, 1), 'AsKh');
  // One combination of AKo is seen at a glance, not as a sliver.
  await cell(page, 1, 'AKo').getByText('1/12').waitFor();
  // Player 2 picks from the cards no one else has; three queens out leave no pair of queens to deal.
  await player(page, 2).getByText('Hand cards', { exact: true }).click();
  for (const name of ['Ace of spades', 'King of hearts', 'Queen of diamonds'])
    assert.equal(await picker(2).getByRole('button', { name }).getAttribute('aria-disabled'), 'true', name);
  const board = page.getByRole('group', { name: 'Cards', exact: true });
  assert.equal(await board.getByRole('button', { name: 'Ace of spades' }).getAttribute('aria-disabled'), 'true');
  await eventually(async () => assert.match(await cell(page, 2, 'QQ').getAttribute('aria-label'), /blocked/));
  assert.doesNotMatch(await cell(page, 2, 'KK').getAttribute('aria-label'), /blocked/);

  // Calculate right after a paint computes the painted range, and range edits are undone and redone.
  await rangeField(page, 1).fill('KK');
  await squareShows(page, 1, { KK: 'true' });
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
  await holds(rangeField(page, 1), 'KK+');
  await page.unroute('**/api/notation');

  await page.keyboard.press('Control+z');
  await holds(rangeField(page, 1), 'KK');
  // The square is redrawn after the box: on a loaded machine a moment later.
  await squareShows(page, 1, { AA: 'false' });
  await page.keyboard.press('Control+Shift+z');
  await holds(rangeField(page, 1), 'KK+');
  await page.getByRole('button', { name: 'Undo' }).click();
  await holds(rangeField(page, 1), 'KK');
  await finish(page);
});

test('saved ranges keep names, ask before replacing, refuse bad notation; a range file fills the box', async () => {
  const wide = 'AA, KK, QQ, JJ, TT, 99, 88, 77, 66, AKs, AQs, AJs, ATs, A9s, KQs, KJs, KTs, QJs, QTs, JTs, AKo, AQo';
  const page = await open(hash([['range', wide], ['range', 'random'], ['range', wide], ['board', 'Kh9c8d']]));
  // Player 1's range is two keys away, and a long command is shown whole.
  for (const key of ['Tab', 'Enter']) await page.keyboard.press(key);
  assert.equal(await page.evaluate(() => document.activeElement.id), 'p1-range');
  assert.match(await commandLine(page).inputValue(), /-b Kh9c8d --categories$/);
  assert.ok(await commandLine(page).evaluate((b) => b.scrollHeight <= b.clientHeight + 1), 'the command is cut off');

  await page.getByText('Saved ranges', { exact: true }).click();
  const from = page.getByLabel('Range of');
  assert.equal(await from.evaluate((select) => select.selectedOptions[0]?.textContent), 'Player 1');
  const list = page.getByRole('list');
  const name = 'BTN 3bet=call with a rather long name';
  await page.getByLabel('Name', { exact: true }).fill(name);
  await page.getByRole('button', { name: 'Save' }).click();
  const panel = await page.locator('details.library').boundingBox();
  const box = await page.getByRole('button', { name: `Delete ${name}` }).boundingBox();
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

  // A file's comments and line breaks are the notation's to read; one with no range says so.
  const importFile = async (file, text) => {
    const chooser = page.waitForEvent('filechooser');
    await player(page, 1).getByRole('button', { name: 'From file…' }).click();
    await (await chooser).setFiles({ name: file, mimeType: 'text/plain', buffer: Buffer.from(text) });
  };
  await importFile('opening.txt', '# opening\r\nAxKx\nQQ+, !AA  # no aces\n');
  await holds(rangeField(page, 1), 'KK-QQ, AKs');
  await squareShows(page, 1, { AKs: 'true', AA: 'false' });
  await importFile('empty.txt', '# nothing yet\n');
  await eventually(async () =>
    assert.equal(await description(page, rangeField(page, 1)), 'empty.txt: the range is empty: it needs items such as QQ+, AKs'),
  );
  assert.equal(await rangeField(page, 1).inputValue(), 'KK-QQ, AKs');
  await finish(page);
});

test('a flop shows each range by made hand and draw, in words, with no empty line', async () => {
  const page = await open(hash([['range', 'QQ'], ['range', 'AK'], ['board', 'Kh9h8d']]));
  await calculate(page);
  await hitsTable(page, 1).waitFor();
  // QQ is below the king on every deal; half its combinations hold a heart.
  assert.deepEqual(await hitLines(page, 1),
    [['pocket pair below top', '6', '100.0%', '18.5%'], ['backdoor flush', '3', '50.0%', '20.0%']]);
  assert.deepEqual((await hitLines(page, 2))[0], ['top pair', '12', '100.0%', '81.5%']);
  await hitsTable(page, 1).getByText('Draws', { exact: true }).waitFor();
  // Asked for on its own with the board: the command needs no --hits.
  assert.equal(await commandLine(page).inputValue(), "varnolith 'QQ' 'AK' -b Kh9h8d --categories");
  await finish(page);
});

test("keep only writes the server's cut into the range, square, link and command, or shows its refusal", async () => {
  const page = await open(hash([['range', '15%'], ['range', 'random'], ['board', 'Kh9h8d'], ['categories', 'no']]));
  await calculate(page);
  await hitsTable(page, 1).waitFor();
  await page.mouse.move(0, 0);
  await screenshot(page, 'web-hits.png', { fullPage: true });
  const keep = page.getByRole('button', { name: "Keep only set in Player 1's range" });
  const filter = (body) => api(session.server, '/api/filter', { range: '15%', board: 'Kh9h8d', dead: '', ...body });
  // The request as the page sends it, with one field spoilt on the way: shown where the page shows any refusal.
  const spoil = (change) => (route) =>
    route.continue({ postData: JSON.stringify({ ...JSON.parse(route.request().postData()), ...change }) });
  const refused = (await filter({ filter: 'sets' })).error.message;
  for (const [change, shown] of [
    [{ filter: 'sets' }, page.getByRole('region', { name: 'Calculation' }).getByText(refused, { exact: true })],
    [{ range: 'QQs' }, player(page, 1).getByText('item "QQs": a pair is neither suited nor offsuit')],
  ]) {
    await page.route('**/api/filter', spoil(change));
    await keep.click();
    await shown.waitFor();
    await page.unroute('**/api/filter');
    assert.equal(await rangeField(page, 1).inputValue(), '15%');
  }

  const json = await filter({ filter: 'set', rules: 'straight' });
  await keep.click();
  await holds(rangeField(page, 1), json.range);
  await page.getByText(`Player 1's range cut to set: ${json.combos} combos.`).waitFor();
  await squareShows(page, 1, { AA: 'false', KK: 'mixed' });
  const link = new URLSearchParams((await page.evaluate(() => location.hash)).slice(1));
  assert.deepEqual(link.getAll('range'), [json.range, 'random']);
  assert.equal(await commandLine(page).inputValue(), `varnolith '${json.range}' 'random' -b Kh9h8d`);
  // The figures shown were of the range before: they go until Calculate.
  assert.equal(await hitsTable(page, 1).count(), 0);
  await finish(page);
});

test('the flop report tells every flop once, filters by texture and sorts by a column', async () => {
  const page = await open(hash([['range', '15%'], ['range', '50%'], ['board', 'Kh9h8d']]));
  const report = page.getByRole('button', { name: 'Flop report' });
  assert.equal(await report.isDisabled(), true, 'the flop report is of a preflop spot');
  await field(page, 'Board').fill('');
  await eventually(async () => assert.equal(await report.isDisabled(), false));
  await page.setViewportSize({ width: 1280, height: 1000 });
  await report.click();
  const region = page.getByRole('region', { name: 'Flop report' });
  await region.locator('.flop-table tbody tr').first().waitFor();
  assert.equal(await commandLine(page).inputValue(), "varnolith --flops '15%' '50%' --categories");
  assert.match(await page.evaluate(() => location.hash), /flops=yes/);
  // Every row the server sends, the first as it sent it; how many flops there are is the engine's to say.
  const json = await api(session.server, '/api/equity', { ranges: ['15%', '50%'], flops: true });
  let rows = await flopRows(page);
  assert.equal(rows.length, json.flops.length);
  const [first] = json.flops;
  assert.deepEqual(rows[0], [first.flop, first.flops, Number((100 * first.probability).toFixed(3)),
    Number((100 * first.equity[0]).toFixed(1))]);
  await page.mouse.move(0, 0);
  await screenshot(region, 'web-flops.png');

  await region.getByLabel('Suits').selectOption('monotone');
  const monotone = json.textures.find((t) => t.texture === 'monotone');
  await eventually(async () => {
    rows = await flopRows(page);
    assert.equal(rows.reduce((sum, r) => sum + r[1], 0), monotone.flops);
  });
  assert.ok(rows.every(([flop]) => flop[1] === flop[3] && flop[3] === flop[5]), 'a row of another texture is shown');

  const byProbability = region.getByRole('button', { name: /^Probability/ });
  const header = region.locator('.flop-table').getByRole('columnheader', { name: /^Probability/ });
  for (const [sort, order] of [['descending', (a, b) => b - a], ['ascending', (a, b) => a - b]]) {
    await byProbability.click();
    assert.equal(await header.getAttribute('aria-sort'), sort);
    rows = await flopRows(page);
    assert.deepEqual(rows.map((r) => r[2]), rows.map((r) => r[2]).sort(order));
  }
  // Calculate leaves the report for the spot's own run.
  await calculate(page);
  await eventually(async () => assert.doesNotMatch(await commandLine(page).inputValue(), /--flops/));
  await region.waitFor({ state: 'detached' });
  await finish(page);
});
