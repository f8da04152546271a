#pragma once

#include <string>

#include "jet/create/new_table.h"

namespace jet {

// Adds a table to a database this engine created, by rebuilding the whole file from its
// tables and rows plus the new table, then replacing the file atomically. Databases holding
// anything else (queries, relationships, forms, extra system tables, other column types) are
// refused with Error(Unsupported), since a rebuild would lose it.
void addTableToDatabase(const std::string& path, const NewTable& table);

// The creation request that reproduces an existing table's definition (without rows).
// Throws Error(Unsupported) for definitions this engine cannot write.
NewTable describeExistingTable(const std::string& path, const struct TableDefinition& definition);

}  // namespace jet
