// Dumps one table of an Access file through the mdb-reader package as JSON lines: first
// {"columns":[{"name":...,"type":...}]}, then one JSON array per row. Dates become ISO strings
// (UTC), binary and OLE values lowercase hex. Used by the jet engine's interoperability tests.
// Usage: node dump.mjs FILE TABLE   |   node dump.mjs FILE --tables (all table names, system too)
import { readFileSync } from "node:fs";
import MDBReader from "mdb-reader";

const [file, table] = process.argv.slice(2);
if (!file || !table) {
  process.stderr.write("usage: node dump.mjs FILE TABLE|--tables\n");
  process.exit(2);
}
const reader = new MDBReader(readFileSync(file));
if (table === "--tables") {
  const names = reader.getTableNames({ normalTables: true, systemTables: true, linkedTables: false });
  for (const name of names) process.stdout.write(name + "\n");
  process.exit(0);
}
const t = reader.getTable(table);
const columns = t.getColumns();
const out = [JSON.stringify({ columns: columns.map((c) => ({ name: c.name, type: c.type })) })];
const convert = (v) => {
  if (v === null || v === undefined) return null;
  if (v instanceof Date) return v.toISOString();
  if (Buffer.isBuffer(v) || v instanceof Uint8Array) return Buffer.from(v).toString("hex");
  if (typeof v === "bigint") return v.toString();
  return v;
};
for (const row of t.getData()) out.push(JSON.stringify(columns.map((c) => convert(row[c.name]))));
process.stdout.write(out.join("\n") + "\n");
