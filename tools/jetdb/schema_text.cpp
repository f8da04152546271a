#include "tools/jetdb/schema_text.h"

namespace jetdb {

namespace {

std::string columnName(const jet::TableDefinition& table, std::uint16_t number) {
    for (const auto& column : table.columns)
        if (column.number == number) return column.name;
    return "#" + std::to_string(number);
}

}  // namespace

std::string schemaText(const jet::TableDefinition& table) {
    std::string out = "TABLE [" + table.name + "]  (" + std::to_string(table.rowCount) + " rows)\n";
    for (const auto& column : table.columns) {
        out += "  [" + column.name + "] " + jet::columnTypeName(column.type);
        if (column.columnType() == jet::ColumnType::Text) out += "(" + std::to_string(column.length / 2) + ")";
        if (column.columnType() == jet::ColumnType::Numeric)
            out += "(" + std::to_string(column.precision) + "," + std::to_string(column.scale) + ")";
        if (column.isAutoNumber()) out += " AUTONUMBER";
        if (column.columnType() == jet::ColumnType::Text || column.columnType() == jet::ColumnType::Memo)
            out += " SORT " + std::to_string(column.sortOrder);
        out += "\n";
    }
    for (const auto& index : table.logicalIndexes) {
        out += "  INDEX [" + index.name + "]";
        if (index.type == jet::kLogicalIndexPrimaryKey) out += " PRIMARY KEY";
        if (index.type == jet::kLogicalIndexForeignKey) out += " FOREIGN KEY";
        if (index.physicalIndex < table.physicalIndexes.size()) {
            const auto& physical = table.physicalIndexes[index.physicalIndex];
            if (physical.flags & jet::kIndexUniqueFlag) out += " UNIQUE";
            out += " (";
            for (std::size_t i = 0; i < physical.columns.size(); ++i) {
                if (i) out += ", ";
                out += "[" + columnName(table, physical.columns[i].columnNumber) + "]";
                if (!physical.columns[i].ascending) out += " DESC";
            }
            out += ")";
        }
        out += "\n";
    }
    return out;
}

}  // namespace jetdb
