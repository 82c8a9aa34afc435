// The web page in a real browser (Debian's chromium, headless, driven by puppeteer-core),
// served from a loopback port and opened from disk: cards, a folder-like zip with code page
// 932 names and a broken card are chosen as a user would; the rows, the reports, the chart
// and the side switch are checked against the native command line; no console errors and
// no request beyond the page's own files. Screenshots go to SCREENSHOTS/web-*.png.
//   node page-test.js NATIVE-CLI SITE-DIR SOURCE-DIR CARDS-DIR SCREENSHOTS
'use strict';
const { execFileSync } = require('child_process');
const fs = require('fs');
const http = require('http');
const os = require('os');
const path = require('path');
const zlib = require('zlib');

const [native, site, source, cards, shots] = process.argv.slice(2).map((p) => path.resolve(p));
const chromium = process.env.MORVAT_CHROMIUM || '/usr/bin/chromium';
if (!fs.existsSync(chromium)) {
  console.log(`SKIPPED: no browser at ${chromium} (install Debian's chromium)`);
  process.exit(77);
}
const puppeteer = require(path.join(source, 'web', 'node_modules', 'puppeteer-core'));

let failures = 0;
function check(ok, what) {
  if (!ok) {
    failures += 1;
    console.log(`FAILED: ${what}`);
  }
}

function cli(args) {
  try {
    return { status: 0, out: execFileSync(native, args, { encoding: 'utf8', stdio: ['ignore', 'pipe', 'pipe'] }) };
  } catch (error) {
    return { status: error.status, out: error.stdout, err: error.stderr };
  }
}
function cliErr(args) {
  const r = require('child_process').spawnSync(native, args, { encoding: 'utf8' });
  return r.stderr;
}

// A zip as Japanese zips made on Windows are: names in code page 932, no UTF-8 flag.
function makeZip(entries) {
  const crcTable = Array.from({ length: 256 }, (_, n) => {
    let c = n;
    for (let k = 0; k < 8; k++) c = c & 1 ? 0xedb88320 ^ (c >>> 1) : c >>> 1;
    return c >>> 0;
  });
  const crc32 = (buf) => {
    let c = 0xffffffff;
    for (const b of buf) c = crcTable[(c ^ b) & 0xff] ^ (c >>> 8);
    return (c ^ 0xffffffff) >>> 0;
  };
  const locals = [];
  const centrals = [];
  let offset = 0;
  for (const { name, data } of entries) {
    const deflated = zlib.deflateRawSync(data);
    const head = Buffer.alloc(30);
    head.writeUInt32LE(0x04034b50, 0);
    head.writeUInt16LE(20, 4);
    head.writeUInt16LE(0, 6);  // flags: no UTF-8
    head.writeUInt16LE(8, 8);
    head.writeUInt32LE(crc32(data), 14);
    head.writeUInt32LE(deflated.length, 18);
    head.writeUInt32LE(data.length, 22);
    head.writeUInt16LE(name.length, 26);
    const central = Buffer.alloc(46);
    central.writeUInt32LE(0x02014b50, 0);
    central.writeUInt16LE(20, 4);
    central.writeUInt16LE(20, 6);
    central.writeUInt16LE(0, 8);
    central.writeUInt16LE(8, 10);
    central.writeUInt32LE(crc32(data), 16);
    central.writeUInt32LE(deflated.length, 20);
    central.writeUInt32LE(data.length, 24);
    central.writeUInt16LE(name.length, 28);
    central.writeUInt32LE(offset, 42);
    locals.push(head, name, deflated);
    centrals.push(central, name);
    offset += head.length + name.length + deflated.length;
  }
  const dir = Buffer.concat(centrals);
  const end = Buffer.alloc(22);
  end.writeUInt32LE(0x06054b50, 0);
  end.writeUInt16LE(entries.length, 8);
  end.writeUInt16LE(entries.length, 10);
  end.writeUInt32LE(dir.length, 12);
  end.writeUInt32LE(offset, 16);
  return Buffer.concat([...locals, dir, end]);
}

function serve(root, requests) {
  const types = { '.html': 'text/html; charset=utf-8', '.js': 'text/javascript', '.css': 'text/css', '.png': 'image/png', '.txt': 'text/plain; charset=utf-8' };
  const server = http.createServer((req, res) => {
    requests.push(req.url);
    const file = path.join(root, decodeURIComponent(new URL(req.url, 'http://x').pathname));
    if (!file.startsWith(root) || !fs.existsSync(file) || !fs.statSync(file).isFile()) {
      res.writeHead(404).end();
      return;
    }
    res.writeHead(200, { 'Content-Type': types[path.extname(file)] || 'application/octet-stream' });
    res.end(fs.readFileSync(file));
  });
  return new Promise((resolve) => server.listen(0, '127.0.0.1', () => resolve(server)));
}

async function rows(page) {
  return page.$$eval('#cards tbody tr', (trs) => trs.map((tr) => Array.from(tr.cells, (td) => td.textContent)));
}

async function choose(page, selector, files) {
  await page.evaluate(() => { document.body.dataset.state = 'waiting'; });
  const input = await page.$(selector);
  await input.uploadFile(...files);
  await page.waitForFunction(() => document.body.dataset.state === 'done', { timeout: 60000 });
}

// Drops files on the drop area as a file manager would hand them over.
async function drop(page, files) {
  const payload = files.map((f) => ({ name: path.basename(f), data: fs.readFileSync(f).toString('base64') }));
  await page.evaluate((items) => {
    document.body.dataset.state = 'waiting';
    const transfer = new DataTransfer();
    for (const { name, data } of items) {
      transfer.items.add(new File([Uint8Array.from(atob(data), (c) => c.charCodeAt(0))], name));
    }
    const area = document.getElementById('drop');
    area.dispatchEvent(new DragEvent('dragover', { dataTransfer: transfer, bubbles: true, cancelable: true }));
    area.dispatchEvent(new DragEvent('drop', { dataTransfer: transfer, bubbles: true, cancelable: true }));
  }, payload);
  await page.waitForFunction(() => document.body.dataset.state === 'done', { timeout: 60000 });
}

async function selectRow(page, fileCell) {
  await page.$$eval('#cards tbody tr', (trs, name) => {
    const tr = trs.find((t) => t.cells[0].textContent === name);
    if (tr) tr.click();
  }, fileCell);
  return page.$eval('#report', (e) => e.textContent);
}

async function main() {
  fs.mkdirSync(shots, { recursive: true });
  const work = fs.mkdtempSync(path.join(os.tmpdir(), 'morvat-web-'));
  const examples = path.join(source, 'examples');
  const exampleFiles = fs.readdirSync(examples).sort().map((f) => path.join(examples, f));
  const broken = path.join(cards, 'cut', fs.readdirSync(path.join(cards, 'cut')).sort()[5]);
  const brokenCopy = path.join(work, 'SkillBroken.wid');
  fs.copyFileSync(broken, brokenCopy);

  const cp932 = (bytes) => Buffer.from(bytes, 'latin1');
  const zipPath = path.join(work, 'scenario.zip');
  fs.writeFileSync(zipPath, makeZip([
    // "シナリオ/Skill炎.wid" and "シナリオ/Skill①.wid" in code page 932
    { name: cp932('\x83\x56\x83\x69\x83\x8a\x83\x49/Skill\x89\x8a.wid'), data: fs.readFileSync(path.join(examples, 'SkillFireBolt.wid')) },
    { name: cp932('\x83\x56\x83\x69\x83\x8a\x83\x49/Skill\x87\x40.wid'), data: fs.readFileSync(path.join(examples, 'SkillChaosWave.wid')) },
    { name: cp932('\x83\x56\x83\x69\x83\x8a\x83\x49/readme.txt'), data: Buffer.from('not a card') },
  ]));

  const requests = [];
  const server = await serve(path.resolve(site), requests);
  const origin = `http://127.0.0.1:${server.address().port}`;
  const profile = fs.mkdtempSync(path.join(os.tmpdir(), 'morvat-chromium-'));
  const browser = await puppeteer.launch({
    executablePath: chromium,
    headless: true,
    userDataDir: profile,
    args: ['--headless', '--no-sandbox', '--disable-gpu', '--disable-background-networking',
           '--disable-component-update', '--disable-sync', '--no-first-run'],
  });
  try {
    const page = await browser.newPage();
    const problems = [];
    const outside = [];
    page.on('console', (m) => { if (m.type() === 'error' || m.type() === 'warning') problems.push(m.text()); });
    page.on('pageerror', (e) => problems.push(String(e)));
    page.on('request', (r) => {
      const url = r.url();
      if (!url.startsWith(`${origin}/`) && !url.startsWith('blob:') && !url.startsWith('data:')) outside.push(url);
    });
    await page.setViewport({ width: 1280, height: 900 });
    await page.goto(`${origin}/index.html`, { waitUntil: 'load' });
    check(await page.$eval('html', (h) => h.lang) === 'ja', 'the page is in Japanese');
    check(/XML のシナリオ/.test(await page.$eval('#xml-note', (p) => p.textContent)),
      'the page says that XML scenarios need the desktop or command-line tool');

    // The examples and a broken card, chosen as files.
    await choose(page, '#pick-files', [...exampleFiles, brokenCopy]);
    const table = await rows(page);
    check(table.length === exampleFiles.length + 1, `one row per file (${table.length})`);
    for (const file of exampleFiles) {
      const summary = cli(['rate', '--summary', file]).out.trimEnd().split('\t');
      const row = table.find((r) => r[0] === path.basename(file));
      check(row && row.slice(1).join('\t') === summary.slice(1, 5).join('\t'), `row of ${path.basename(file)}: ${row} vs ${summary}`);
    }
    // The summary's failed row leaves the card's columns empty; its last column is the failure.
    const brokenSummary = cli(['rate', '--summary', brokenCopy]).out.trimEnd().split('\t')[5];
    const brokenRow = table.find((r) => r[0] === 'SkillBroken.wid');
    check(brokenRow && brokenRow[1] === brokenSummary && /^読み込みに失敗しました \d+$/.test(brokenRow[1]),
          `broken card's row: ${brokenRow} vs ${brokenSummary}`);
    const counts = await page.$eval('#counts', (e) => e.textContent);
    check(counts.includes(`${exampleFiles.length + 1} 枚`) && counts.includes('失敗したもの 1 枚'), `counts: ${counts}`);

    // Every report as the command line prints it, and its chart.
    for (const file of exampleFiles) {
      const text = await selectRow(page, path.basename(file));
      check(text + '\n' === cli(['rate', file]).out, `report of ${path.basename(file)}`);
      const json = JSON.parse(cli(['rate', '--json', file]).out);
      const bars = await page.$$eval('#chart .chart-item', (e) => e.length);
      check(bars === (json.items || []).length, `chart of ${path.basename(file)}: ${bars} bars`);
    }

    // Sorting by total, then back.
    await page.click('th[data-key="total"] button');
    const totals = (await rows(page)).filter((r) => r.length === 5).map((r) => Number(r[3]));
    check(totals.every((t, i) => i === 0 || totals[i - 1] <= t), `sorted by total: ${totals}`);
    const lastRow = (await rows(page)).at(-1);
    check(lastRow[0] === 'SkillBroken.wid', 'a failed card sorts after the rated ones');

    // The card aimed at both sides: the note, and the switch to the allies.
    const both = path.join(examples, 'SkillChaosWave.wid');
    await selectRow(page, 'SkillChaosWave.wid');
    check(await page.$eval('#side', (e) => !e.hidden), 'the side switch shows for a card aimed at both sides');
    const note = await page.$eval('#side-note', (e) => e.textContent);
    check(cliErr(['rate', both]).trimEnd().endsWith(note) && note.length > 0, `note: ${note}`);
    await page.screenshot({ path: path.join(shots, 'web-report.png'), fullPage: true });
    await page.click('input[name="side"][value="2"]');
    const ally = cli(['rate', '--side', 'ally', both]).out;
    await page.waitForFunction((t) => document.getElementById('report').textContent + '\n' === t, { timeout: 10000 }, ally)
      .catch(() => check(false, 'the ally report after the switch'));
    await page.click('input[name="side"][value="1"]');
    const enemy = cli(['rate', '--side', 'enemy', both]).out;
    await page.waitForFunction((t) => document.getElementById('report').textContent + '\n' === t, { timeout: 10000 }, enemy)
      .catch(() => check(false, 'the enemy report after switching back'));
    await selectRow(page, 'SkillBroken.wid');
    check((await page.$eval('#report', (e) => e.textContent)).startsWith('読み込みに失敗しました'), 'a broken card shows its failure');
    await page.screenshot({ path: path.join(shots, 'web-table.png'), fullPage: true });

    // The zip: cards only, with their code page 932 names.
    await choose(page, '#pick-zip', [zipPath]);
    const zipRows = await rows(page);
    const names = zipRows.map((r) => r[0]).sort();
    check(JSON.stringify(names) === JSON.stringify(['scenario.zip/シナリオ/Skill①.wid', 'scenario.zip/シナリオ/Skill炎.wid']),
          `zip rows: ${names}`);
    const fire = zipRows.find((r) => r[0].endsWith('Skill炎.wid'));
    const fireSummary = cli(['rate', '--summary', path.join(examples, 'SkillFireBolt.wid')]).out.trimEnd().split('\t');
    check(fire && fire.slice(1).join('\t') === fireSummary.slice(1, 5).join('\t'), 'the zip\'s card is rated as the file');
    await page.screenshot({ path: path.join(shots, 'web-zip.png'), fullPage: true });

    // A phone's narrow screen: nothing wider than the screen.
    await page.setViewport({ width: 390, height: 844, isMobile: true, hasTouch: true });
    await drop(page, [...exampleFiles, zipPath]);
    check((await rows(page)).length === exampleFiles.length + 2, 'dropped files and a zip give a row per card');
    await selectRow(page, 'SkillFireBolt.wid');
    const overflow = await page.evaluate(() => document.documentElement.scrollWidth - window.innerWidth);
    check(overflow <= 0, `the page fits a phone's width (${overflow} px too wide)`);
    await page.screenshot({ path: path.join(shots, 'web-phone.png'), fullPage: true });

    check(problems.length === 0, `console errors: ${problems.join(' | ')}`);
    check(outside.length === 0, `requests beyond the page's files: ${outside.join(' ')}`);
    const unknown = requests.filter((r) => !fs.existsSync(path.join(site, new URL(r, origin).pathname)));
    check(unknown.length === 0, `requests for files the site does not have: ${unknown.join(' ')}`);

    // Opened from disk.
    const local = await browser.newPage();
    const localProblems = [];
    local.on('console', (m) => { if (m.type() === 'error') localProblems.push(m.text()); });
    local.on('pageerror', (e) => localProblems.push(String(e)));
    local.on('request', (r) => {
      const url = r.url();
      if (!url.startsWith('file://') && !url.startsWith('blob:') && !url.startsWith('data:')) outside.push(url);
    });
    await local.goto(`file://${path.resolve(site)}/index.html`, { waitUntil: 'load' });
    await choose(local, '#pick-files', [path.join(examples, 'SkillFireBolt.wid')]);
    const localRows = await rows(local);
    check(localRows.length === 1 && localRows[0].slice(1).join('\t') === fireSummary.slice(1, 5).join('\t'), `from disk: ${localRows}`);
    check(localProblems.length === 0, `console errors from disk: ${localProblems.join(' | ')}`);
    check(outside.length === 0, `requests from disk beyond the page's files: ${outside.join(' ')}`);
  } finally {
    await browser.close();
    server.close();
    fs.rmSync(profile, { recursive: true, force: true });
    fs.rmSync(work, { recursive: true, force: true });
  }
  console.log(failures === 0 ? 'page checks passed' : `${failures} page checks failed`);
  process.exit(failures === 0 ? 0 : 1);
}
main().catch((error) => {
  console.log(`FAILED: ${error.stack || error}`);
  process.exit(1);
});
