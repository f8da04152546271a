#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <variant>
#include <vector>

#include "jet/value.h"

namespace jet {

// A value in a statement: a literal written in the SQL text, or the n-th `?` parameter.
struct SqlLiteral {
    Value value;   // std::string for '…' literals, std::int64_t for numbers, monostate for NULL
};
struct SqlParameter {
    std::size_t index = 0;   // 0-based, in order of appearance
};
using SqlOperand = std::variant<SqlLiteral, SqlParameter>;

struct SqlAssignment {
    std::string column;
    SqlOperand value;
};

// `column = value` conditions joined by AND; empty means every row.
struct SqlCondition {
    std::string column;
    SqlOperand value;
};

struct UpdateStatement {
    std::string table;
    std::vector<SqlAssignment> assignments;
    std::vector<SqlCondition> where;
};

struct DeleteStatement {
    std::string table;
    std::vector<SqlCondition> where;
};

struct InsertStatement {
    std::string table;
    std::vector<std::string> columns;   // empty: every column in table order
    std::vector<SqlOperand> values;
};

using SqlStatement = std::variant<UpdateStatement, DeleteStatement, InsertStatement>;

struct ParsedStatement {
    SqlStatement statement;
    std::size_t parameterCount = 0;
};

}  // namespace jet
