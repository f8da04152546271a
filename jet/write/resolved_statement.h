#pragma once

#include <cstddef>
#include <cstdint>
#include <set>
#include <variant>
#include <vector>

#include "jet/format/row.h"
#include "jet/sql/sql_statement.h"
#include "jet/value.h"
#include "jet/write/table_directory.h"

namespace jet {

// A parsed statement with its table and column names resolved against one session's tables, so
// that running it many times with new parameters looks nothing up again. It points into the
// parsed statement and into the directory's table states: both must outlive it, and it is only
// used with the session whose directory resolved it.

struct ResolvedInsert {
    const InsertStatement* statement = nullptr;
    TableState* table = nullptr;
    std::vector<std::size_t> positions;   // the column each value goes to
    // Buffers kept from one execution to the next, so that a long run of inserts allocates little.
    struct Buffers {
        std::vector<const Value*> cells;   // each column's value
        std::vector<Value> converted;      // values that had to be converted or generated
        std::vector<RowField> fields;
        std::vector<std::uint8_t> row;
        std::vector<std::vector<std::uint8_t>> keys;   // per physical index
        std::vector<bool> keyUsed;
    } buffers;
};

struct ResolvedUpdate {
    const UpdateStatement* statement = nullptr;
    TableState* table = nullptr;
    std::vector<std::size_t> assigned;          // the column of each assignment
    std::set<std::uint16_t> assignedNumbers;    // their column numbers
    std::vector<bool> touchedIndexes;           // per physical index: a key column is assigned
    std::vector<std::size_t> conditionColumns;  // the column of each WHERE condition
};

struct ResolvedDelete {
    const DeleteStatement* statement = nullptr;
    TableState* table = nullptr;
    std::vector<std::size_t> conditionColumns;
};

struct ResolvedStatement {
    std::variant<ResolvedInsert, ResolvedUpdate, ResolvedDelete> statement;
    std::size_t parameterCount = 0;
};

// Resolves every name of `parsed`, and refuses what no parameter can make right: an unknown
// table or column (NotFound), a system table or a table whose rows this engine does not write
// (Unsupported), a column named or set twice or a value count that does not match the columns
// (SqlSyntax), an AutoNumber column assigned (Constraint). Reads nothing but table definitions
// and page lists; the image does not change.
ResolvedStatement resolveStatement(TableDirectory& tables, const ParsedStatement& parsed);

}  // namespace jet
