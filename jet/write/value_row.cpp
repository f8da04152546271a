#include "jet/write/value_row.h"

#include <cstring>
#include <stdexcept>
#include <string>

#include "jet/error.h"
#include "jet/format/field_value.h"
#include "jet/format/row.h"
#include "jet/write/column_value.h"

namespace jet {

namespace {

// Converted values, encoded as the row is laid out.
struct ConvertedValues {
    const TableDefinition& table;
    const std::vector<const Value*>& values;

    bool present(std::size_t c) const {
        const Value& value = *values[c];
        if (table.columns[c].columnType() == ColumnType::Boolean) return std::get_if<bool>(&value) && std::get<bool>(value);
        return !isNull(value);
    }
    std::size_t variableRoom(std::size_t c) const {
        const ColumnDefinition& column = table.columns[c];
        if (isLongValueColumn(column)) throw std::logic_error("encodeValueRowInto: long values are placed field by field");
        if (column.columnType() == ColumnType::Binary) return std::get<Blob>(*values[c]).size();
        if (column.columnType() != ColumnType::Text) refuseUnwrittenType(column);
        return textRoom(*values[c]);
    }
    void writeFixed(std::size_t c, std::uint8_t* at, std::size_t room) const {
        const ColumnDefinition& column = table.columns[c];
        const std::size_t size = fixedSizeOf(column.columnType());
        if (size == 0) refuseUnwrittenType(column);
        if (size > room) throw Damage("fixed column " + column.name + " does not fit the fixed area");
        writeFixedField(column, *values[c], at);
    }
    std::size_t writeVariable(std::size_t c, std::uint8_t* at) const {
        if (table.columns[c].columnType() == ColumnType::Binary) {
            const Blob& blob = std::get<Blob>(*values[c]);
            if (!blob.empty()) std::memcpy(at, blob.data(), blob.size());
            return blob.size();
        }
        return encodeTextValueInto(table.columns[c], *values[c], at);
    }
};

}  // namespace

void encodeValueRowInto(const TableDefinition& table, const std::vector<const Value*>& values, std::vector<std::uint8_t>& row) {
    ConvertedValues source{table, values};
    encodeRowWith(table, source, row);
}

}  // namespace jet
