'use strict';
// The table is only reproducible with the exact lunar-javascript release named
// in package.json; refuse to run with any other installed release.

const fs = require('fs');
const path = require('path');

const TOOL_DIR = path.join(__dirname, '..');
const LIBRARY_DIR = path.join(TOOL_DIR, 'node_modules', 'lunar-javascript');

function readJson(file) {
  return JSON.parse(fs.readFileSync(file, 'utf8'));
}

function isInstalled() {
  return fs.existsSync(path.join(LIBRARY_DIR, 'package.json'));
}

function requirePinnedLibrary() {
  const wanted = readJson(path.join(TOOL_DIR, 'package.json')).dependencies['lunar-javascript'];
  if (!isInstalled()) {
    throw new Error(`lunar-javascript is not installed in ${TOOL_DIR}; run npm ci there`);
  }
  const installed = readJson(path.join(LIBRARY_DIR, 'package.json')).version;
  if (installed !== wanted) {
    throw new Error(`lunar-javascript ${installed} is installed but the table is made with ${wanted}; run npm ci in ${TOOL_DIR}`);
  }
}

module.exports = { TOOL_DIR, isInstalled, requirePinnedLibrary };
