import { chromium } from 'playwright-core';
const url = process.argv[2]; const out = process.argv[3]; const action = process.argv[4] ?? 'calc';
const width = Number(process.argv[5] ?? 1280);
const browser = await chromium.launch({ executablePath: '/usr/bin/chromium', args: ['--no-sandbox', '--disable-gpu'] });
const page = await browser.newPage({ viewport: { width, height: 900 } });
page.on('pageerror', (e) => console.log('PAGEERROR', e.message));
page.on('console', (m) => console.log('CONSOLE', m.text()));
await page.goto(url);
await page.waitForTimeout(500);
if (action === 'calc') { await page.getByRole('button', { name: 'Calculate', exact: true }).click(); await page.locator('#details .detail').first().waitFor(); }
if (action === 'flops') { await page.getByRole('button', { name: 'Flop report' }).click(); await page.locator('#flop-report tbody tr').first().waitFor(); }
await page.waitForTimeout(300);
await page.mouse.move(0, 0);
if (process.argv[6]) await page.locator(process.argv[6]).screenshot({ path: out.replace('.png', '-part.png') });
await page.screenshot({ path: out, fullPage: true });
console.log(await page.locator('#command-line').inputValue());
await browser.close();
