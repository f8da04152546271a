#include "jet/create/add_table.h"

#include <set>

#include "jet/read/database.h"
#include "jet/create/database_builder.h"

namespace jet {

namespace {

std::string columnNameByNumber(const TableDefinition& definition, std::uint16_t number) {
    for (const auto& column : definition.columns)
        if (column.number == number) return column.name;
    return {};
}

}  // namespace

NewTable describeExistingTable(const std::string& path, const TableDefinition& definition) {
    NewTable table;
    table.name = definition.name;
    for (const auto& column : definition.columns) {
        NewColumn wanted;
        wanted.name = column.name;
        wanted.type = column.columnType();
        wanted.textLength = static_cast<std::uint16_t>(column.length / 2);
        wanted.autoNumber = column.isAutoNumber();
        wanted.compressedUnicode = column.extendedFlags & kColumnCompressedUnicodeFlag;
        table.columns.push_back(wanted);
    }
    for (const auto& logical : definition.logicalIndexes) {
        if (logical.physicalIndex >= definition.physicalIndexes.size() || logical.type > kLogicalIndexPrimaryKey)
            throw Error(ErrorKind::Unsupported, path, definition.name, "index " + logical.name + " cannot be carried over");
        const PhysicalIndex& physical = definition.physicalIndexes[logical.physicalIndex];
        NewIndex index;
        index.name = logical.name;
        index.primaryKey = logical.type == kLogicalIndexPrimaryKey;
        index.unique = physical.flags & kIndexUniqueFlag;
        for (const auto& column : physical.columns) index.columns.push_back(columnNameByNumber(definition, column.columnNumber));
        table.indexes.push_back(index);
    }
    return table;
}

void addTableToDatabase(const std::string& path, const NewTable& table) {
    const Database database = Database::open(path);
    static const std::set<std::string> kOwnSystemTables{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"};
    static const std::set<std::string> kOwnObjects{"Tables", "Databases", "Relationships", "MSysDb"};
    for (const auto& entry : database.catalogue()) {
        const bool ours = entry.isTable() ? (!entry.isSystem() || kOwnSystemTables.count(entry.name)) : kOwnObjects.count(entry.name) > 0;
        if (!ours)
            throw Error(ErrorKind::Unsupported, path, table.name,
                        "only databases created by this engine can get new tables (this one holds object " + entry.name + ")");
    }
    for (const auto& name : {"MSysQueries", "MSysRelationships"})
        if (!database.readAllRows(name).empty())
            throw Error(ErrorKind::Unsupported, path, table.name, std::string("cannot carry over the rows of ") + name);

    std::vector<NewTable> tables;
    for (const auto& name : database.tableNames()) {
        const TableDefinition definition = database.table(name);
        NewTable existing = describeExistingTable(path, definition);
        existing.rows = database.readAllRows(name);
        tables.push_back(std::move(existing));
    }
    tables.push_back(table);
    DatabaseOptions options;
    options.sortOrder = database.header().sortOrder;
    options.codePage = database.header().codePage;
    options.creationDate = database.header().creationDate;
    createDatabase(path, tables, options, true);
}

}  // namespace jet
