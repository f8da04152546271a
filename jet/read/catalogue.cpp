#include "jet/read/catalogue.h"

#include "jet/format/table_definition.h"
#include "jet/read/table_scan.h"

namespace jet {

std::vector<CatalogueEntry> readCatalogue(const PageFile& file) {
    const TableDefinition table = readTableDefinition(file, kCatalogueTablePage);
    const int id = table.findColumn("Id");
    const int parentId = table.findColumn("ParentId");
    const int name = table.findColumn("Name");
    const int type = table.findColumn("Type");
    const int flags = table.findColumn("Flags");
    if (id < 0 || parentId < 0 || name < 0 || type < 0 || flags < 0)
        throw Damage("the system catalogue lacks one of its columns Id, ParentId, Name, Type, Flags");

    std::vector<CatalogueEntry> entries;
    TableScan scan(file, table);
    std::vector<Value> row;
    auto integer = [&](int column) -> std::int64_t {
        const auto* value = std::get_if<std::int64_t>(&row[column]);
        return value ? *value : 0;
    };
    while (scan.next(row)) {
        CatalogueEntry entry;
        entry.id = static_cast<std::int32_t>(integer(id));
        entry.parentId = static_cast<std::int32_t>(integer(parentId));
        entry.type = static_cast<std::int16_t>(integer(type));
        entry.flags = static_cast<std::uint32_t>(integer(flags));
        if (const auto* text = std::get_if<std::string>(&row[name])) entry.name = *text;
        entries.push_back(std::move(entry));
    }
    return entries;
}

}  // namespace jet
