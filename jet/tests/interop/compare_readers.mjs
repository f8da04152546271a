// Reads every table of Access files through three independent readers and checks that they
// agree: the jet engine (jetdb dump --arrays), libmdb (libmdb_dump) and the npm package
// mdb-reader (tools/mdb-reader/dump.mjs). Same columns, same rows in the same order, same values.
//
// Usage: node compare_readers.mjs --jetdb EXE --libmdb EXE --mdb-reader SCRIPT
//                                 [--expect-row-counts] FILE_OR_FOLDER...
// Exit 0 when all agree, 1 on any disagreement, 77 (skipped) when an input folder is absent.
import { execFileSync } from "node:child_process";
import { existsSync, readdirSync, statSync } from "node:fs";
import { join } from "node:path";

const options = { files: [], expectRowCounts: false };
const argv = process.argv.slice(2);
for (let i = 0; i < argv.length; ++i) {
  const a = argv[i];
  if (a === "--jetdb") options.jetdb = argv[++i];
  else if (a === "--libmdb") options.libmdb = argv[++i];
  else if (a === "--mdb-reader") options.mdbReader = argv[++i];
  else if (a === "--expect-row-counts") options.expectRowCounts = true;
  else options.files.push(a);
}

const files = [];
for (const input of options.files) {
  if (!existsSync(input)) {
    console.log(`SKIPPED: ${input} is absent, nothing to compare`);
    process.exit(77);
  }
  if (statSync(input).isDirectory()) {
    for (const name of readdirSync(input).sort()) if (/\.(mdb|dll|accdb)$/i.test(name)) files.push(join(input, name));
  } else files.push(input);
}
if (!existsSync(join(options.mdbReader, "..", "node_modules", "mdb-reader"))) {
  console.log("SKIPPED: mdb-reader is not installed (run npm ci in tools/mdb-reader)");
  process.exit(77);
}

const run = (command, args) => execFileSync(command, args, { maxBuffer: 1 << 30, encoding: "utf8" });
const parseLines = (text) => text.split("\n").filter((l) => l.length).map((l) => JSON.parse(l));

// Canonical form of one value, by the jet column type, so the readers' formats can be compared.
function canonical(type, value) {
  if (value === null || value === undefined) return null;
  switch (type) {
    case 1: return value === true || value === "1" || value === 1;
    case 2: case 3: case 4: return Number(value);
    case 5: return Math.round(Number(value) * 10000);
    case 6: return Number(Number(value).toPrecision(6));
    case 7: return Number(Number(value).toPrecision(12));
    case 8: {
      const text = String(value);
      return Date.parse(/Z$/.test(text) ? text : text + "Z");
    }
    case 15: return String(value).replace(/[{}]/g, "").toUpperCase();
    case 16: return Number(value);
    default: return value;
  }
}

let failures = 0;
let tablesChecked = 0;
let rowsChecked = 0;
const report = (where, message) => {
  if (++failures <= 40) console.log(`MISMATCH ${where}: ${message}`);
};

for (const file of files) {
  const tables = run(options.jetdb, ["tables", file, "--system"]).split("\n").filter((l) => l.length);
  const readerTables = run("node", [options.mdbReader, file, "--tables"]).split("\n").filter((l) => l.length);
  if (JSON.stringify(tables) !== JSON.stringify(readerTables))
    report(file, `table lists differ: jet ${JSON.stringify(tables)} mdb-reader ${JSON.stringify(readerTables)}`);
  for (const table of tables) {
    const where = `${file} [${table}]`;
    const jetDump = parseLines(run(options.jetdb, ["dump", file, table, "--arrays"]));
    // Type 0x11 is an undocumented binary type (MSysAccessObjects.Data): mdb-reader refuses the
    // table and libmdb cannot format the column, so only the other columns are compared.
    const hasUnknown11 = jetDump[0].columns.some((c) => c.type === 17);
    const dumps = { jet: jetDump, libmdb: parseLines(run(options.libmdb, [file, table])) };
    if (hasUnknown11) console.log(`note: ${where}: mdb-reader cannot read type 0x11 columns; compared with libmdb only`);
    else dumps["mdb-reader"] = parseLines(run("node", [options.mdbReader, file, table]));
    const jetColumns = dumps.jet[0].columns;
    const names = jetColumns.map((c) => c.name);
    for (const [reader, lines] of Object.entries(dumps)) {
      const theirNames = lines[0].columns.map((c) => c.name);
      if (JSON.stringify(theirNames) !== JSON.stringify(names))
        report(where, `${reader} columns ${JSON.stringify(theirNames)} differ from jet ${JSON.stringify(names)}`);
    }
    const jetRows = dumps.jet.slice(1);
    if (options.expectRowCounts && dumps.jet[0].rowCount !== jetRows.length)
      report(where, `stored row count ${dumps.jet[0].rowCount} but ${jetRows.length} rows read`);
    for (const reader of ["libmdb", "mdb-reader"]) {
      if (!dumps[reader]) continue;
      const rows = dumps[reader].slice(1);
      if (rows.length !== jetRows.length) {
        report(where, `${reader} reads ${rows.length} rows, jet ${jetRows.length}`);
        continue;
      }
      rows.forEach((row, r) => {
        jetColumns.forEach((column, c) => {
          if (column.type === 17) return;
          const a = canonical(column.type, jetRows[r][c]);
          const b = canonical(column.type, row[c]);
          const ours = JSON.stringify(a);
          const theirs = JSON.stringify(b);
          // libmdb formats dates to whole seconds (truncating), mdb-reader to milliseconds.
          const sameDate = column.type === 8 && a !== null && b !== null && Math.abs(a - b) < 1000;
          if (ours !== theirs && !sameDate)
            report(where, `row ${r} column ${column.name}: jet ${ours.slice(0, 120)} ${reader} ${theirs.slice(0, 120)}`);
        });
      });
    }
    ++tablesChecked;
    rowsChecked += jetRows.length;
  }
}
console.log(`${files.length} files, ${tablesChecked} tables, ${rowsChecked} rows compared; ${failures} mismatches`);
process.exit(failures ? 1 : 0);
