#include "jet/create/table_layout.h"

#include <set>
#include <stdexcept>

#include "jet/format/text_codec.h"

namespace jet {

namespace {

void checkName(const std::string& name, const char* what) {
    if (name.empty()) throw std::invalid_argument(std::string(what) + " name is empty");
    const std::u16string units = utf8ToUtf16(name);
    if (units.size() > 64) throw std::invalid_argument(std::string(what) + " name " + name + " is longer than 64 characters");
    for (char c : name)
        if (c == '.' || c == '!' || c == '`' || c == '[' || c == ']' || static_cast<unsigned char>(c) < 0x20)
            throw std::invalid_argument(std::string(what) + " name " + name + " contains a character Access does not allow");
}

bool supportedForCreation(ColumnType type) {
    switch (type) {
    case ColumnType::Boolean: case ColumnType::Byte: case ColumnType::Integer: case ColumnType::Long:
    case ColumnType::Double: case ColumnType::DateTime: case ColumnType::Binary: case ColumnType::Text:
    case ColumnType::Ole: case ColumnType::Memo:
        return true;
    default:
        return false;
    }
}

}  // namespace

TableDefinition layoutTable(const NewTable& request, std::uint16_t sortOrder) {
    checkName(request.name, "table");
    if (request.columns.empty()) throw std::invalid_argument("a table needs at least one column");
    if (request.columns.size() > 255) throw std::invalid_argument("a table can have at most 255 columns");

    TableDefinition table;
    table.name = request.name;
    table.tableType = request.system ? kTableTypeSystem : kTableTypeUser;
    std::set<std::string> names;
    std::uint16_t fixedOffset = 0;
    std::uint16_t variableIndex = 0;
    for (std::size_t i = 0; i < request.columns.size(); ++i) {
        const NewColumn& wanted = request.columns[i];
        checkName(wanted.name, "column");
        if (!names.insert(wanted.name).second) throw std::invalid_argument("column " + wanted.name + " appears twice");
        if (!supportedForCreation(wanted.type))
            throw std::invalid_argument("column " + wanted.name + ": creating " + columnTypeName(static_cast<std::uint8_t>(wanted.type)) +
                                        " columns is not supported");
        if (wanted.autoNumber && wanted.type != ColumnType::Long)
            throw std::invalid_argument("column " + wanted.name + ": only Long columns can be AutoNumber");

        ColumnDefinition column;
        column.name = wanted.name;
        column.type = static_cast<std::uint8_t>(wanted.type);
        column.number = static_cast<std::uint16_t>(i);
        column.rowIndex = column.number;
        column.sortOrder = sortOrder;
        column.flags = kColumnUpdatableFlag;
        const std::size_t size = fixedSizeOf(wanted.type);
        if (wanted.type == ColumnType::Boolean) {
            column.flags |= kColumnFixedFlag;
            column.length = 1;
            column.variableIndex = variableIndex;
        } else if (size != 0) {
            column.flags |= kColumnFixedFlag;
            column.length = static_cast<std::uint16_t>(size);
            column.fixedOffset = fixedOffset;
            column.variableIndex = variableIndex;
            fixedOffset = static_cast<std::uint16_t>(fixedOffset + size);
        } else {
            column.variableIndex = variableIndex++;
            if (wanted.type == ColumnType::Text) {
                if (wanted.textLength < 1 || wanted.textLength > 255)
                    throw std::invalid_argument("column " + wanted.name + ": Text length must be 1..255 characters");
                column.length = static_cast<std::uint16_t>(wanted.textLength * 2);
            } else if (wanted.type == ColumnType::Binary) {
                column.length = 510;
            }
            if ((wanted.type == ColumnType::Text || wanted.type == ColumnType::Memo) && wanted.compressedUnicode)
                column.extendedFlags = kColumnCompressedUnicodeFlag;
        }
        if (wanted.autoNumber) column.flags |= kColumnAutoNumberFlag;
        table.columns.push_back(column);
    }
    table.maxColumnCount = static_cast<std::uint16_t>(table.columns.size());
    table.variableColumnCount = variableIndex;

    std::set<std::string> indexNames;
    bool hasPrimaryKey = false;
    for (std::size_t i = 0; i < request.indexes.size(); ++i) {
        const NewIndex& wanted = request.indexes[i];
        checkName(wanted.name, "index");
        if (!indexNames.insert(wanted.name).second) throw std::invalid_argument("index " + wanted.name + " appears twice");
        if (wanted.columns.empty() || wanted.columns.size() > 10)
            throw std::invalid_argument("index " + wanted.name + " needs 1..10 columns");
        if (wanted.primaryKey && hasPrimaryKey) throw std::invalid_argument("a table can have only one primary key");
        hasPrimaryKey = hasPrimaryKey || wanted.primaryKey;
        PhysicalIndex physical;
        for (const auto& columnName : wanted.columns) {
            const int found = table.findColumn(columnName);
            if (found < 0) throw std::invalid_argument("index " + wanted.name + " names unknown column " + columnName);
            const ColumnType type = table.columns[found].columnType();
            if (type == ColumnType::Memo || type == ColumnType::Ole || type == ColumnType::Boolean)
                throw std::invalid_argument("index " + wanted.name + ": " + columnTypeName(table.columns[found].type) +
                                            " columns cannot be indexed by this engine");
            physical.columns.push_back({table.columns[found].number, true});
        }
        physical.flags = 0x80;
        if (wanted.primaryKey) physical.flags |= kIndexUniqueFlag | kIndexRequiredFlag;
        if (wanted.unique) physical.flags |= kIndexUniqueFlag;
        table.physicalIndexes.push_back(physical);
        LogicalIndex logical;
        logical.name = wanted.name;
        logical.number = static_cast<std::uint32_t>(i);
        logical.physicalIndex = static_cast<std::uint32_t>(i);
        logical.type = wanted.primaryKey ? kLogicalIndexPrimaryKey : 0;
        table.logicalIndexes.push_back(logical);
    }
    for (const auto& column : table.columns)
        if (isLongValueType(column.columnType())) table.longValueMaps.push_back({column.number, {}, {}});
    return table;
}

}  // namespace jet
