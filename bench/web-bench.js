// Speed of the web edition, each against its own baseline measured in the same run:
//  1. `rate --summary` over a folder of 10,000 cards: the command line in WebAssembly on
//     Node.js against the native one (goal: at most twice the native time);
//  2. the page in headless Chromium: from choosing a folder of 1,000 cards to the full
//     table (goal: under a second).
// Run by tools/bench-web after tools/build-web and a native build.
//   node bench/web-bench.js NATIVE-CLI BUILD-WEB-DIR SOURCE-DIR
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');

const [native, web, source] = process.argv.slice(2).map((p) => path.resolve(p));
const examples = path.join(source, 'examples');
const cards = fs.readdirSync(examples).filter((f) => /^Skill.*\.wid$/.test(f)).map((f) => fs.readFileSync(path.join(examples, f)));

function folderOf(count) {
  const dir = fs.mkdtempSync(path.join(os.tmpdir(), `morvat-bench-${count}-`));
  for (let i = 0; i < count; i++) fs.writeFileSync(path.join(dir, `Skill${String(i).padStart(5, '0')}.wid`), cards[i % cards.length]);
  return dir;
}

function best(runs, fn) {
  let fastest = Infinity;
  for (let i = 0; i < runs; i++) {
    const start = process.hrtime.bigint();
    fn();
    fastest = Math.min(fastest, Number(process.hrtime.bigint() - start) / 1e6);
  }
  return fastest;
}

async function page(dir) {
  const puppeteer = require(path.join(source, 'web', 'node_modules', 'puppeteer-core'));
  const site = path.join(web, 'site');
  const server = http.createServer((req, res) => {
    const file = path.join(site, new URL(req.url, 'http://x').pathname);
    if (!file.startsWith(site) || !fs.existsSync(file)) return res.writeHead(404).end();
    res.writeHead(200, { 'Content-Type': file.endsWith('.html') ? 'text/html' : file.endsWith('.css') ? 'text/css' : 'text/javascript' });
    res.end(fs.readFileSync(file));
  });
  await new Promise((r) => server.listen(0, '127.0.0.1', r));
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'morvat-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: '/usr/bin/chromium', headless: true, userDataDir: profile,
    args: ['--no-sandbox', '--disable-gpu', '--disable-background-networking', '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  const times = [];
  try {
    const tab = await browser.newPage();
    await tab.goto(`http://127.0.0.1:${server.address().port}/index.html`);
    const files = fs.readdirSync(dir).map((f) => path.join(dir, f));
    for (let i = 0; i < 3; i++) {
      await tab.evaluate(() => { document.body.dataset.state = 'waiting'; });
      const input = await tab.$('#pick-files');
      await input.uploadFile(...files);
      await tab.waitForFunction(() => document.body.dataset.state === 'done', { timeout: 120000 });
      const rows = await tab.$$eval('#cards tbody tr', (t) => t.length);
      if (rows !== files.length) throw new Error(`${rows} rows for ${files.length} cards`);
      times.push(Number(await tab.evaluate(() => document.body.dataset.elapsed)));
      console.log(`  round ${i + 1}: ${times.at(-1)} ms (${await tab.evaluate(() => document.body.dataset.timing)})`);
    }
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
  }
  return Math.min(...times);
}

async function commandLine() {
  const big = folderOf(10000);
  try {
    const nativeMs = best(3, () => execFileSync(native, ['rate', '--summary', big], { stdio: ['ignore', 'ignore', 'ignore'] }));
    const wasmMs = best(3, () => execFileSync(process.execPath, [path.join(web, 'morvat-ex-cli.js'), 'rate', '--summary', big], { stdio: ['ignore', 'ignore', 'ignore'] }));
    console.log(`rate --summary, 10,000 cards: native ${nativeMs.toFixed(0)} ms, WebAssembly on Node ${wasmMs.toFixed(0)} ms (${(wasmMs / nativeMs).toFixed(2)}x; goal <= 2x)`);
  } finally {
    fs.rmSync(big, { recursive: true, force: true });
  }
}

async function main() {
  // "page" as a fourth argument measures the page only.
  if (process.argv[5] !== 'page') await commandLine();
  const thousand = folderOf(1000);
  try {
    const ms = await page(thousand);
    console.log(`Chromium, 1,000 cards chosen to the full table: ${ms} ms (goal < 1000 ms)`);
  } finally {
    fs.rmSync(thousand, { recursive: true, force: true });
  }
}
main().catch((e) => { console.error(e); process.exit(1); });
