#pragma once

#include <string>

#include "jet/create/new_table.h"

namespace jet {

class Connection;
class WriteSession;

// Adds a table with its rows to the database open in `session`, in any Jet 4 file: its definition,
// maps and empty index roots are placed in free or new pages, its rows in MSysObjects and
// MSysACEs are written through the writer (so the catalogue's own indexes stay right), and then
// its rows, which the writer stores and indexes as any INSERT. `created` is the catalogue's
// creation date for the table (days since 1899-12-30). Throws Error(InvalidArgument) naming the
// table for a bad definition, a name already taken or a bad value (naming row and column),
// Error(Unsupported) for keys or values this engine cannot write. The caller keeps the session
// as it was when this throws (Connection::applyChange does).
void addTable(WriteSession& session, const NewTable& table, double created);

// The same through an open connection: committed at once outside a unit of work, with the unit
// otherwise; a refused table changes nothing.
void addTable(Connection& connection, const NewTable& table);

// Opens the database at `path` for writing, adds the table and commits; the file is either
// unchanged or holds the new table in full.
void addTableToDatabase(const std::string& path, const NewTable& table);

}  // namespace jet
