// The page's worker: reads the dropped files (unpacking zips), rates every card through the
// core and sends the rows back in batches with the progress, so the page stays responsive
// with a folder of ten thousand cards. It runs after the core (MorvatCore) and the zip
// reader (JSZip) in one script that the page builds from worker-source.js.
'use strict';

const corePromise = MorvatCore();
// The bytes of cards aimed at both sides, kept for the side switch.
const bothSidesCards = new Map();
// A zip entry larger than this is no card: refuse it instead of inflating it.
const MAX_ENTRY_BYTES = 64 * 1024 * 1024;
const BATCH = 250;
const READ_AHEAD = 50;
// The command line's words for a file that cannot be read at all, which the core never
// sees here (the page reads the bytes itself).
const CANNOT_OPEN = 'ファイルが開けません';
const decodeCp932 = new TextDecoder('shift_jis');

function isZip(name) {
  return /\.zip$/i.test(name);
}

function callWithString(core, text, use) {
  const size = core.lengthBytesUTF8(text) + 1;
  const pointer = core._malloc(size);
  try {
    core.stringToUTF8(text, pointer, size);
    return use(pointer);
  } finally {
    core._free(pointer);
  }
}

function isCardFile(core, name) {
  return callWithString(core, name, (p) => core._morvat_is_card_file(p) === 1);
}

// The command line's message about one file, without its "morvat-ex-cli: NAME: " prefix.
function messageOf(messages, name) {
  const line = messages.split('\n').find((l) => l !== '') || '';
  const prefix = `morvat-ex-cli: ${name}: `;
  return line.startsWith(prefix) ? line.slice(prefix.length) : line;
}

function baseName(path) {
  return path.slice(path.lastIndexOf('/') + 1);
}

function rate(core, path, bytes, side) {
  const name = baseName(path);
  const data = core._malloc(Math.max(bytes.length, 1));
  let status;
  try {
    core.HEAPU8.set(bytes, data);
    status = callWithString(core, name, (p) => core._morvat_rate(p, data, bytes.length, side));
  } finally {
    core._free(data);
  }
  const output = core.UTF8ToString(core._morvat_output());
  const messages = core.UTF8ToString(core._morvat_messages());
  const row = { path, status, bothSides: core._morvat_both_sides() === 1 };
  if (status === 0) {
    row.card = JSON.parse(output);
    row.note = messages ? messageOf(messages, name) : '';
  } else {
    row.failure = messageOf(messages, name);
  }
  return row;
}

// The entries of a zip that are cards, with their names as the zip's maker saw them: a name
// stored without the UTF-8 flag is code page 932, as Japanese zips made on Windows have it.
async function zipEntries(core, path, bytes) {
  const zip = await JSZip.loadAsync(bytes, { decodeFileName: (raw) => decodeCp932.decode(raw) });
  const entries = [];
  for (const entry of Object.values(zip.files)) {
    if (entry.dir || !isCardFile(core, entry.name)) continue;
    entries.push({ path: `${path}/${entry.name}`, read: () => readEntry(entry) });
  }
  return entries;
}

// Inflates one entry, stopping as soon as it grows past MAX_ENTRY_BYTES (a zip bomb).
function readEntry(entry) {
  return new Promise((resolve, reject) => {
    const chunks = [];
    let size = 0;
    const stream = entry.internalStream('uint8array');
    stream.on('data', (chunk) => {
      size += chunk.length;
      if (size > MAX_ENTRY_BYTES) {
        stream.pause();
        reject(new Error('too large'));
        return;
      }
      chunks.push(chunk);
    });
    stream.on('error', reject);
    stream.on('end', () => {
      const out = new Uint8Array(size);
      let at = 0;
      for (const c of chunks) {
        out.set(c, at);
        at += c.length;
      }
      resolve(out);
    });
    stream.resume();
  });
}

// items: [{file: File, path, picked}] where `picked` files are rated whatever their name
// (the user chose them), and files found in folders only when they are cards.
async function rateAll(items, side) {
  const core = await corePromise;
  const jobs = [];
  const broken = [];
  for (const item of items) {
    if (isZip(item.path)) {
      try {
        const bytes = new Uint8Array(await item.file.arrayBuffer());
        jobs.push(...(await zipEntries(core, item.path, bytes)));
      } catch (error) {
        broken.push({ path: item.path, status: 3, failure: 'zip を読めませんでした', bothSides: false });
      }
    } else if (item.picked || isCardFile(core, item.path)) {
      jobs.push({ path: item.path, read: async () => new Uint8Array(await item.file.arrayBuffer()) });
    }
  }
  jobs.sort((a, b) => (a.path < b.path ? -1 : a.path > b.path ? 1 : 0));
  self.postMessage({ type: 'start', total: jobs.length + broken.length });
  let rows = broken;
  let done = broken.length;
  let readMs = 0;
  let rateMs = 0;
  // Files are read a group at a time: each read waits on the browser, the rating does not.
  for (let first = 0; first < jobs.length; first += READ_AHEAD) {
    const group = jobs.slice(first, first + READ_AHEAD);
    // A failed read is a file gone since it was chosen, unreadable, or a zip entry too
    // large to be a card.
    const readStart = performance.now();
    const contents = await Promise.all(group.map((job) => job.read().catch(() => null)));
    const rateStart = performance.now();
    readMs += rateStart - readStart;
    group.forEach((job, i) => {
      const bytes = contents[i];
      if (bytes) {
        const row = rate(core, job.path, bytes, side);
        if (row.bothSides) bothSidesCards.set(job.path, { bytes, note: row.note });
        rows.push(row);
      } else {
        rows.push({ path: job.path, status: 2, failure: CANNOT_OPEN, bothSides: false });
      }
    });
    rateMs += performance.now() - rateStart;
    done += group.length;
    if (rows.length >= BATCH) {
      self.postMessage({ type: 'rows', rows, done });
      rows = [];
    }
  }
  self.postMessage({ type: 'rows', rows, done });
  // Where the time went, for the benchmark.
  self.postMessage({ type: 'end', readMs: Math.round(readMs), rateMs: Math.round(rateMs) });
}

self.onmessage = async (event) => {
  const message = event.data;
  try {
    if (message.type === 'rate') {
      await rateAll(message.items, 0);
    } else if (message.type === 'side') {
      const core = await corePromise;
      const kept = bothSidesCards.get(message.path);
      if (!kept) return;
      // Rated for a chosen side, the card raises no question: keep its first note and flag.
      const row = rate(core, message.path, kept.bytes, message.side);
      Object.assign(row, { bothSides: true, note: kept.note, side: message.side });
      self.postMessage({ type: 'side', row });
    } else if (message.type === 'forget') {
      bothSidesCards.clear();
    }
  } catch (error) {
    self.postMessage({ type: 'error', message: String(error) });
  }
};
