#!/usr/bin/env node
'use strict';
// Regenerates the almanac table in memory and compares it byte for byte with
// the committed one.
//
//   node tools/almanac/check-table.js data/almanac/almanac.tsv
//
// Exit 0: identical; 1: different or unreadable; 77: skipped because the
// generator's packages are not installed (npm ci has not been run here).

const fs = require('fs');
const { TOOL_DIR, isInstalled, requirePinnedLibrary } = require('./lib/pinned_library');
const { FIRST_DAY, LAST_DAY } = require('./lib/range');

const SKIPPED = 77;

function firstDifference(expected, actual) {
  const a = expected.split('\n');
  const b = actual.split('\n');
  for (let i = 0; i < Math.max(a.length, b.length); ++i) {
    if (a[i] !== b[i]) return { line: i + 1, committed: a[i], regenerated: b[i] };
  }
  return null;
}

function main(argv) {
  const committedPath = argv[2];
  if (!committedPath) throw new Error('usage: check-table.js COMMITTED_TABLE');
  if (!isInstalled()) {
    console.log(`SKIPPED: ${TOOL_DIR}/node_modules is absent; run npm ci there to check the almanac table`);
    return SKIPPED;
  }
  requirePinnedLibrary();
  const { tableText } = require('./lib/table_text');
  const regenerated = tableText(FIRST_DAY, LAST_DAY);
  const committed = fs.readFileSync(committedPath, 'utf8');
  const diff = firstDifference(committed, regenerated);
  if (diff === null) {
    console.log(`${committedPath} matches the regenerated almanac table`);
    return 0;
  }
  console.log(`${committedPath} differs from the regenerated almanac table at line ${diff.line}`);
  console.log(`  committed:   ${JSON.stringify(diff.committed)}`);
  console.log(`  regenerated: ${JSON.stringify(diff.regenerated)}`);
  console.log('regenerate it with: node tools/almanac/generate.js data/almanac/almanac.tsv');
  return 1;
}

try {
  process.exitCode = main(process.argv);
} catch (error) {
  console.error(`check-table.js: ${error.message}`);
  process.exitCode = 1;
}
