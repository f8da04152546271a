#pragma once

#include <cstddef>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "jet/sql/sql_statement.h"

namespace jet {

// A statement outside the supported subset or malformed. `position` is the 0-based byte offset
// in the SQL text where the parser gave up.
class SqlSyntaxError : public std::runtime_error {
public:
    SqlSyntaxError(const std::string& message, std::size_t position) : std::runtime_error(message), position_(position) {}
    std::size_t position() const noexcept { return position_; }

private:
    std::size_t position_;
};

// Parses one statement of the subset:
//   UPDATE t SET c = v [, c = v]... [WHERE c = v [AND c = v]...]
//   DELETE [*] FROM t [WHERE c = v [AND c = v]...]
//   INSERT INTO t [(c, ...)] VALUES (v, ...)
// Keywords are case-insensitive; names are bare or in [brackets]; a value is '…' text (a quote
// written twice stands for one), an integer, NULL or a `?` parameter. One trailing ';' is allowed.
ParsedStatement parseSql(std::string_view sql);

// Splits a script into statements at ';' outside quotes and brackets; empty pieces are dropped.
std::vector<std::string> splitSqlScript(std::string_view script);

}  // namespace jet
