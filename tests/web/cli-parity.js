// The command line in WebAssembly on Node.js against the native one: the same standard
// output, standard error and exit status, byte for byte, for the examples, the card
// writer's cards (whole and cut at every field) and the fuzz seeds.
//   node cli-parity.js NATIVE-CLI WASM-CLI.js SOURCE-DIR CARDS-DIR
'use strict';
const { execFile } = require('child_process');
const fs = require('fs');
const path = require('path');

const [native, wasm, source, cards] = process.argv.slice(2).map((p) => path.resolve(p));
if (process.argv.length < 6) {
  console.error('usage: node cli-parity.js NATIVE-CLI WASM-CLI.js SOURCE-DIR CARDS-DIR');
  process.exit(64);
}

function run(file, args, cwd) {
  return new Promise((resolve) => {
    execFile(file, args, { cwd, encoding: 'buffer', maxBuffer: 64 << 20 }, (error, stdout, stderr) => {
      resolve({ status: error ? (typeof error.code === 'number' ? error.code : -1) : 0, stdout, stderr });
    });
  });
}

function filesOf(folder) {
  return fs.readdirSync(folder, { withFileTypes: true })
    .filter((e) => e.isFile())
    .map((e) => path.join(folder, e.name))
    .sort();
}

const folders = {
  examples: path.join(source, 'examples'),
  whole: path.join(cards, 'whole'),
  cut: path.join(cards, 'cut'),
  wid: path.join(source, 'fuzz', 'seeds', 'wid'),
  cws: path.join(source, 'fuzz', 'seeds', 'cws'),
};

// Every argument list both command lines get, run in the cards folder.
const cases = [['--help'], ['--version'], ['rate'], ['rate', '--bogus'], ['frobnicate'], ['rate', 'missing.wid']];
for (const [name, folder] of Object.entries(folders)) {
  cases.push(['rate', '--summary', folder]);
  cases.push(['rate', '--summary', '--side', 'ally', folder]);
  cases.push(['list', folder]);
  if (name === 'cut') continue;  // each cut card is in its folder's summary, with its code
  for (const file of filesOf(folder)) {
    cases.push(['rate', file], ['rate', '--json', file], ['rate', '--side', 'ally', file]);
  }
}

// Two files side by side: neighbouring examples, and a card that fails to read.
const exampleFiles = filesOf(folders.examples);
exampleFiles.forEach((file, i) => {
  const other = exampleFiles[(i + 1) % exampleFiles.length];
  cases.push(['compare', file, other], ['compare', '--json', file, other]);
});
cases.push(['compare', exampleFiles[0], filesOf(folders.cut)[3]]);

async function main() {
  let failures = 0;
  let next = 0;
  const worker = async () => {
    while (next < cases.length) {
      const args = cases[next++];
      const [a, b] = await Promise.all([run(native, args, cards), run(process.execPath, [wasm, ...args], cards)]);
      const differs = [];
      if (a.status !== b.status) differs.push(`exit ${a.status} vs ${b.status}`);
      if (!a.stdout.equals(b.stdout)) differs.push('standard output');
      if (!a.stderr.equals(b.stderr)) differs.push('standard error');
      if (differs.length > 0) {
        failures += 1;
        console.log(`DIFFERS (${differs.join(', ')}): ${args.join(' ')}`);
        if (failures <= 3) {
          console.log(`native: ${a.stdout.toString().slice(0, 600)}${a.stderr.toString().slice(0, 300)}`);
          console.log(`wasm:   ${b.stdout.toString().slice(0, 600)}${b.stderr.toString().slice(0, 300)}`);
        }
      }
    }
  };
  await Promise.all([worker(), worker(), worker()]);
  console.log(`${cases.length} command lines compared, ${failures} differ`);
  process.exit(failures === 0 ? 0 : 1);
}
main();
