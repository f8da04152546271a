'use strict';
// The committed table: UTF-8, a header line naming the eleven columns, then
// one line per day, fields separated by a tab, every line ending in LF.

const { COLUMNS, dayRow } = require('./day_row');

function* daysBetween(first, last) {
  // Noon UTC keeps the step clear of any daylight-saving question.
  for (let t = Date.UTC(first[0], first[1] - 1, first[2], 12); ; t += 86400000) {
    const d = new Date(t);
    const ymd = [d.getUTCFullYear(), d.getUTCMonth() + 1, d.getUTCDate()];
    yield ymd;
    if (ymd[0] === last[0] && ymd[1] === last[1] && ymd[2] === last[2]) return;
  }
}

function checkedField(row, column) {
  const value = row[column];
  if (typeof value !== 'string' || value === '' || /[\t\r\n]/.test(value) || value !== value.trim()) {
    throw new Error(`almanac table, day ${row.gn}, column ${column}: unusable value ${JSON.stringify(value)}`);
  }
  return value;
}

function tableText(first, last) {
  const lines = [COLUMNS.join('\t')];
  for (const [y, m, d] of daysBetween(first, last)) {
    const row = dayRow(y, m, d);
    lines.push(COLUMNS.map((c) => checkedField(row, c)).join('\t'));
  }
  return lines.join('\n') + '\n';
}

module.exports = { tableText };
