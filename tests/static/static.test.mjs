// The static folder served by a plain file server, no varnolith program
// running: the page answers itself with the engine compiled to WebAssembly,
// with the command's figures to the last bit.

import assert from 'node:assert/strict';
import { execFileSync } from 'node:child_process';
import path from 'node:path';
import { after, before, test } from 'node:test';
import { calculate, commandSays, description, eventually, hash, rangeField, root, startBrowser } from '../web/harness.mjs';
import { serveFolder } from './static_server.mjs';

const folder = path.resolve(root, process.env.VARNOLITH_STATIC ?? 'build/static');
const command = path.resolve(root, process.env.VARNOLITH_COMMAND ?? 'build/release/varnolith');
const session = {};

before(async () => {
  session.server = await serveFolder(folder);
  session.browser = await startBrowser();
});
after(async () => {
  await session.browser?.close();
  await session.server?.stop();
});

async function open(fragment = '', server = session.server) {
  const page = await session.browser.context.newPage();
  page.faults = [];
  page.on('pageerror', (error) => page.faults.push(error.message));
  await page.goto(`${server.url}/${fragment}`);
  return page;
}

// The command's JSON for the same spot, without the time it took.
function commandJson(...args) {
  const answer = JSON.parse(execFileSync(command, ['--json', ...args]).toString());
  delete answer.elapsed_seconds;
  return answer;
}

// The page's own engine asked directly, as the page asks it ("equity" on the run's Worker).
async function engineJson(page, body, route = 'equity') {
  const answer = await page.evaluate(
    async ([route, text]) => {
      const { engineRequest } = await import('./js/engine.js');
      return (await engineRequest(route, text, { run: route === 'equity' })).json;
    },
    [route, JSON.stringify(body)],
  );
  delete answer.elapsed_seconds;
  return answer;
}

// Three random hands before the flop, exact (half a minute and more), ended
// by Cancel: the page, once it says so, and how many ms that took.
async function cancelledLongRun(server = session.server) {
  const long = await open(hash([['range', 'random'], ['range', 'random'], ['range', 'random'], ['method', 'exact']]), server);
  await calculate(long);
  await eventually(async () => assert.match(await long.textContent('#progress-text'), /done|elapsed/));
  const asked = Date.now();
  await long.getByRole('button', { name: 'Cancel', exact: true }).click();
  await eventually(async () => assert.equal(await long.textContent('#status'), 'Cancelled: no result.'), 2000);
  return [long, Date.now() - asked];
}

test('the page names its engine and gives the figures the command gives, bit for bit', async () => {
  const page = await open();
  await eventually(async () => assert.match(await page.textContent('#version'), /engine: WebAssembly in this browser \(one thread\)/));
  const spots = [
    [{ ranges: ['QQ+, AKs', 'JJ-88, AQs+'], board: 'Kh9c8d', method: 'exact', by_hand: true }, ['QQ+, AKs', 'JJ-88, AQs+', '-b', 'Kh9c8d', '--exact', '--by-hand']],
    [{ ranges: ['JJ+, AKs', 'random'], trials: 200000, seed: 7 }, ['JJ+, AKs', 'random', '--trials', '200000', '--seed', '7']],
    [{ ranges: ['15%', '50%'], flops: true, hits: true }, ['15%', '50%', '--flops', '--hits']],
  ];
  for (const [body, args] of spots) assert.deepEqual(await engineJson(page, body), commandJson(...args));
  assert.deepEqual(page.faults, []);
  await page.close();
});

test('a spot painted and calculated shows its figures; the link brings it back', async () => {
  const spot = hash([['range', 'AhKd'], ['range', 'QsQc'], ['board', '6c7d8h']]);
  const page = await open(spot);
  await calculate(page);
  const expected = commandJson('AhKd', 'QsQc', '-b', '6c7d8h');
  const shown = `${(100 * expected.players[0].equity).toFixed(2)}%`;
  await eventually(async () => assert.match(await page.textContent('#results'), new RegExp(shown.replace('.', '\\.'))));
  const link = page.url();
  const again = await open(link.slice(link.indexOf('#')));
  assert.equal(await rangeField(again, 1).inputValue(), 'AhKd');
  assert.equal(await again.locator('#board').inputValue(), '6c7d8h');
  await Promise.all([page.close(), again.close()]);
});

test("a bad range is named by its field in the command's words, and a long run cancels at once", async () => {
  const page = await open(hash([['range', 'QQs'], ['range', 'KK']]));
  await calculate(page);
  await eventually(async () =>
    assert.equal(await description(page, rangeField(page, 1)), commandSays('QQs', 'KK')),
  );
  const [long, took] = await cancelledLongRun();
  assert.ok(took < 1000, `cancelled after ${took} ms`);
  assert.deepEqual([...page.faults, ...long.faults], []);
  await Promise.all([page.close(), long.close()]);
});

test('served cross-origin isolated, a run takes a thread per core, with the same figures and the same cancel', async () => {
  const server = await serveFolder(folder, { isolated: true });
  const page = await open('', server);
  const cores = await page.evaluate(() => navigator.hardwareConcurrency);
  const threads = cores === 1 ? 'one thread' : `${cores} threads`;
  await eventually(async () => assert.match(await page.textContent('#version'), new RegExp(`in this browser \\(${threads}\\)`)));
  const spots = [
    [{ ranges: ['random', 'random'], method: 'exact' }, ['random', 'random', '--exact']],
    [{ ranges: ['AA, KK', 'AKs', 'QQ', 'JJ'], trials: 300000, seed: 11 }, ['AA, KK', 'AKs', 'QQ', 'JJ', '--trials', '300000', '--seed', '11']],
    [{ ranges: ['JJ+, AKs', 'random'], precision: 0.002, seed: 5 }, ['JJ+, AKs', 'random', '--precision', '0.002', '--seed', '5']],
  ];
  for (const [body, args] of spots)
    assert.deepEqual(await engineJson(page, body), commandJson(...args, '--threads', String(cores)));
  // The method choice prices a run on the threads the page has.
  if (cores > 1) {
    const single = await open();
    const [alone, team] = await Promise.all([single, page].map((p) => engineJson(p, spots[0][0], 'estimate')));
    assert.ok(team.estimate_seconds < alone.estimate_seconds, JSON.stringify([team, alone]));
    await single.close();
  }
  const [long] = await cancelledLongRun(server);
  // The same Worker answers next: the cancelled run (half a minute and more) stopped in its team.
  const asked = Date.now();
  assert.deepEqual(await engineJson(long, spots[0][0]), commandJson(...spots[0][1]));
  assert.ok(Date.now() - asked < 5000, `answered after ${Date.now() - asked} ms`);
  assert.deepEqual([...page.faults, ...long.faults], []);
  await Promise.all([page.close(), long.close()]);
  await server.stop();
});
