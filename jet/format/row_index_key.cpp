#include "jet/format/row_index_key.h"

#include <stdexcept>

#include "jet/error.h"
#include "jet/format/index_key.h"

namespace jet {

bool rowIndexKey(const TableDefinition& table, std::size_t physicalIndex, const std::vector<const Value*>& values, std::vector<std::uint8_t>& key,
                 bool& allNull) {
    const PhysicalIndex& physical = table.physicalIndexes.at(physicalIndex);
    key.clear();
    allNull = true;
    for (const auto& keyColumn : physical.columns) {
        std::size_t c = table.columns.size();
        for (std::size_t i = 0; i < table.columns.size(); ++i)
            if (table.columns[i].number == keyColumn.columnNumber) c = i;
        if (c == table.columns.size())
            throw std::out_of_range("index " + physicalIndexName(table, physicalIndex) + " names column number " + std::to_string(keyColumn.columnNumber) +
                                    ", which the table does not have");
        const ColumnDefinition& column = table.columns[c];
        try {
            appendIndexKey(key, column.columnType(), column.sortOrder, *values[c], keyColumn.ascending);
        } catch (const std::invalid_argument& error) {
            throw Refusal(ErrorKind::Unsupported, BrokenRule::None, column.name,
                          "cannot encode the key of index " + physicalIndexName(table, physicalIndex) + " for column " + column.name + " (sort order " +
                              std::to_string(column.sortOrder) + "): " + error.what());
        }
        if (!isNull(*values[c])) allNull = false;
    }
    return !(allNull && (physical.flags & kIndexIgnoreNullsFlag));
}

std::vector<const Value*> valuePointers(const std::vector<Value>& values) {
    std::vector<const Value*> pointers;
    pointers.reserve(values.size());
    for (const Value& value : values) pointers.push_back(&value);
    return pointers;
}

std::string physicalIndexName(const TableDefinition& table, std::size_t physicalIndex) {
    for (const auto& logical : table.logicalIndexes)
        if (logical.physicalIndex == physicalIndex) return logical.name;
    return "#" + std::to_string(physicalIndex);
}

std::vector<std::string> physicalIndexColumnNames(const TableDefinition& table, std::size_t physicalIndex) {
    std::vector<std::string> names;
    if (physicalIndex >= table.physicalIndexes.size()) return names;
    for (const auto& key : table.physicalIndexes[physicalIndex].columns)
        for (const auto& column : table.columns)
            if (column.number == key.columnNumber) names.push_back(column.name);
    return names;
}

}  // namespace jet
