#!/usr/bin/env node
'use strict';
// Writes the almanac day table, 2021-01-01 to 2026-02-04, from lunar-javascript.
//
//   node tools/almanac/generate.js data/almanac/almanac.tsv
//
// With "-" (or no argument) the table goes to standard output.

const fs = require('fs');
const { requirePinnedLibrary } = require('./lib/pinned_library');
const { FIRST_DAY, LAST_DAY } = require('./lib/range');

function main(argv) {
  requirePinnedLibrary();
  const { tableText } = require('./lib/table_text');
  const output = argv[2] ?? '-';
  const text = tableText(FIRST_DAY, LAST_DAY);
  if (output === '-') process.stdout.write(text);
  else fs.writeFileSync(output, text, 'utf8');
}

try {
  main(process.argv);
} catch (error) {
  process.stderr.write(`generate.js: ${error.message}\n`);
  process.exit(1);
}
