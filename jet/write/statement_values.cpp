#include "jet/write/statement_values.h"

#include <stdexcept>

#include "jet/format/field_value.h"
#include "jet/format/long_value.h"
#include "jet/format/row.h"
#include "jet/write/column_value.h"
#include "jet/write/table_errors.h"

namespace jet {

const Value& operandValue(const SqlOperand& operand, const std::vector<Value>& parameters) {
    if (const auto* literal = std::get_if<SqlLiteral>(&operand)) return literal->value;
    return parameters.at(std::get<SqlParameter>(operand).index);
}

Value columnValue(const std::string& file, const TableState& table, std::size_t column, Value value) {
    try {
        return toColumnValue(table.definition.columns[column], std::move(value));
    } catch (const std::invalid_argument& error) {
        refuseValue(file, table.definition, error, column);
    }
}

void makeField(const std::string& file, const TableState& table, std::size_t c, const Value& value, RowField& field) {
    const ColumnDefinition& column = table.definition.columns[c];
    field.present = false;
    field.bytes.clear();
    if (column.columnType() == ColumnType::Boolean) {
        field.present = std::get_if<bool>(&value) && std::get<bool>(value);
        return;
    }
    if (isNull(value)) return;
    if (isLongValueColumn(column)) throw std::logic_error("makeField: memo and OLE values are stored by makeMemoField");
    field.present = true;
    try {
        appendFieldBytes(column, value, field.bytes);
    } catch (const std::invalid_argument& error) {
        refuseValue(file, table.definition, error, c);
    }
}

std::vector<std::uint8_t> encodeMemo(const std::string& file, const TableState& table, std::size_t c, const Value& value) {
    try {
        return encodeLongValueBytes(table.definition.columns[c], value);
    } catch (const std::invalid_argument& error) {
        refuseValue(file, table.definition, error, c);
    }
}

void makeMemoField(const std::string& file, TableWriter& writer, const TableState& table, std::size_t c, const std::vector<std::uint8_t>& stored,
                   bool allowInline, RowField& field) {
    const ColumnDefinition& column = table.definition.columns[c];
    field.present = true;
    field.bytes.clear();
    if (allowInline && stored.size() <= kLongValueInlineLimit) {
        field.bytes = encodeInlineLongValue(stored);
        return;
    }
    std::size_t lv = 0;
    while (lv < table.definition.longValueMaps.size() && table.definition.longValueMaps[lv].columnNumber != column.number) ++lv;
    if (lv == table.definition.longValueMaps.size())
        throw Error(ErrorKind::Unsupported, tableErrorContext(file, table.definition, column.name),
                    "memo column " + column.name + " has no long-value page maps in its table definition");
    field.bytes = writer.storeLongValue(lv, stored);
}

void checkRowSize(const std::string& file, const TableState& table, std::size_t size) {
    if (size > kMaxStoredRowSize)
        failOnTable(ErrorKind::Constraint, file, table.definition,
                    "row of " + std::to_string(size) + " bytes exceeds the " + std::to_string(kMaxStoredRowSize) + "-byte row limit");
}

std::vector<LiveRow> matchingRows(const PageFile& file, TableWriter& writer, const TableState& table, const std::vector<SqlCondition>& where,
                                  const std::vector<std::size_t>& columns, const std::vector<Value>& parameters) {
    const std::string& path = file.path();
    std::vector<std::pair<std::size_t, Value>> conditions;
    for (std::size_t k = 0; k < where.size(); ++k) conditions.emplace_back(columns[k], columnValue(path, table, columns[k], operandValue(where[k].value, parameters)));
    std::vector<LiveRow> matches;
    try {
        for (const LiveRow& row : writer.liveRows()) {
            if (conditions.empty()) {
                matches.push_back(row);
                continue;
            }
            const RowView fields(table.definition, writer.rowBytes(row));
            bool all = true;
            for (const auto& [c, wanted] : conditions)
                if (!sameValue(decodeField(file, table.definition.columns[c], fields.field(c)), wanted)) {
                    all = false;
                    break;
                }
            if (all) matches.push_back(row);
        }
    } catch (const Damage& damage) {
        reportDamage(path, table.definition, damage);
    }
    return matches;
}

}  // namespace jet
