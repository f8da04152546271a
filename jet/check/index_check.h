#pragma once

#include <string>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"

namespace jet {

// Consistency of a table's indexes with its rows: every live row has exactly one entry in every
// index (ignore-nulls indexes leave out rows whose key columns are all NULL), entries are in
// order, unique indexes hold no key twice, leaves and nodes of each level are linked
// previous/next in order, each node entry holds its child's last entry, and, where this engine
// can encode the key, each entry holds the key of its row. With `exactKeyCounts` the distinct-key
// count in the table definition must be right too (Access's own files are often off).
// Returns one line per problem; empty when all is well. Throws Damage when pages are unreadable.
std::vector<std::string> checkTableIndexes(const PageFile& file, const TableDefinition& table, bool exactKeyCounts);

// checkTableIndexes over every user table of a database.
std::vector<std::string> checkAllIndexes(const PageFile& file, bool exactKeyCounts);

}  // namespace jet
