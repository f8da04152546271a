#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>

#include "jet/error.h"
#include "jet/format/table_definition.h"

namespace jet {

// The errors of the write path, each naming the file and the table, and the column and index
// where one is involved, so that callers read fields instead of messages.

// The file and table, plus the column when given.
ErrorContext tableErrorContext(const std::string& file, const TableDefinition& table, const std::string& column = {});
// The same plus a physical index: the name of its (first) logical index and its key columns.
ErrorContext indexErrorContext(const std::string& file, const TableDefinition& table, std::size_t physicalIndex, const std::string& column = {});

// An error of `kind` naming the file and table.
[[noreturn]] void failOnTable(ErrorKind kind, const std::string& file, const TableDefinition& table, const std::string& cause);
// Damage found in the table's pages ("damaged database: <cause>").
[[noreturn]] void reportDamage(const std::string& file, const TableDefinition& table, const Damage& damage);
// A value the column cannot take: a Refusal keeps its own kind, rule and column; anything else is
// a Constraint error naming column `column` (when known, npos otherwise).
[[noreturn]] void refuseValue(const std::string& file, const TableDefinition& table, const std::invalid_argument& error,
                              std::size_t column = std::size_t(-1));

}  // namespace jet
