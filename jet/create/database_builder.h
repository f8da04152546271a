#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/create/new_table.h"

namespace jet {

// Builds a complete Jet 4 database in memory: the header and the empty system catalogue, then
// each table added through the writer (addTable), which stores the rows and keeps usage maps,
// long values and index trees of any depth. `path` only names the file in error messages.
// Throws Error(InvalidArgument) naming the table when a definition or value is unacceptable,
// Error(Unsupported) for what this engine cannot write yet.
std::vector<std::uint8_t> buildDatabaseImage(const std::string& path, const std::vector<NewTable>& tables,
                                             const DatabaseOptions& options = {});

// Builds the database, runs the structure check on it and writes it to `path` (through a
// temporary file and a rename). Refuses to overwrite an existing file unless `replace` is set.
void createDatabase(const std::string& path, const std::vector<NewTable>& tables, const DatabaseOptions& options = {},
                    bool replace = false);

// Current time as a Jet date (days since 1899-12-30, UTC).
double currentJetDate();

}  // namespace jet
