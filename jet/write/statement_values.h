#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/row.h"
#include "jet/sql/sql_statement.h"
#include "jet/value.h"
#include "jet/write/table_writer.h"

namespace jet {

// A statement's values on their way into a table's row: taken from the SQL text or the
// parameters, converted for their column and encoded as the row's fields. Everything here runs
// before a statement changes a page (except storing a memo out of line), so a value the column
// cannot take is refused while nothing is written yet: jet::Error naming the file, table and column.

// The value of an operand: its literal, or the parameter it stands for.
const Value& operandValue(const SqlOperand& operand, const std::vector<Value>& parameters);
// `value` converted for column `column` of the table (toColumnValue).
Value columnValue(const std::string& file, const TableState& table, std::size_t column, Value value);
// Field bytes for a converted value of a column other than Memo (a memo's value NULL).
void makeField(const std::string& file, const TableState& table, std::size_t column, const Value& value, RowField& field);
// The stored form of a converted memo value; malformed or too long text is refused.
std::vector<std::uint8_t> encodeMemo(const std::string& file, const TableState& table, std::size_t column, const Value& value);
// The field of a memo whose stored form is `stored`: inline when allowed and short, else in
// long-value pages written now.
void makeMemoField(const std::string& file, TableWriter& writer, const TableState& table, std::size_t column, const std::vector<std::uint8_t>& stored,
                   bool allowInline, RowField& field);
// Refuses a row longer than a data page holds (Constraint).
void checkRowSize(const std::string& file, const TableState& table, std::size_t size);

// The live rows of the table whose columns `columns` hold the values of `where` (all rows when
// it is empty), comparing as sameValue does.
std::vector<LiveRow> matchingRows(const PageFile& file, TableWriter& writer, const TableState& table, const std::vector<SqlCondition>& where,
                                  const std::vector<std::size_t>& columns, const std::vector<Value>& parameters);

}  // namespace jet
