#include "jet/read/database.h"

#include <algorithm>

#include "text/ascii_case.h"

namespace jet {

namespace {

[[noreturn]] void raiseDamage(const std::string& file, const std::string& table, const Damage& damage) {
    throw Error(ErrorKind::Damaged, file, table, std::string("damaged database: ") + damage.what());
}

}  // namespace

RowCursor::RowCursor(std::shared_ptr<const PageFile> file, std::shared_ptr<const TableDefinition> table)
    : file_(std::move(file)), table_(std::move(table)) {
    try {
        scan_ = std::make_unique<TableScan>(*file_, *table_);
    } catch (const Damage& damage) {
        raiseDamage(file_->path(), table_->name, damage);
    }
}

bool RowCursor::next(std::vector<Value>& out) {
    try {
        return scan_->next(out);
    } catch (const Damage& damage) {
        raiseDamage(file_->path(), table_->name, damage);
    }
}

Database Database::open(const std::string& path) {
    PageFile file = PageFile::load(path);
    return fromImage(path, file.releaseImage());
}

Database Database::fromImage(const std::string& path, std::vector<std::uint8_t> image) {
    Database database;
    auto file = std::make_shared<PageFile>(PageFile::fromImage(path, std::move(image)));
    database.header_ = checkHeader(*file);
    database.file_ = file;
    try {
        database.catalogue_ = readCatalogue(*file);
    } catch (const Damage& damage) {
        raiseDamage(path, "MSysObjects", damage);
    }
    return database;
}

std::vector<std::string> Database::tableNames(bool includeSystem) const {
    std::vector<std::string> names;
    for (const auto& entry : catalogue_)
        if (entry.isTable() && (includeSystem || !entry.isSystem())) names.push_back(entry.name);
    return names;
}

const CatalogueEntry& Database::findTable(const std::string& name) const {
    for (const auto& entry : catalogue_)
        if (entry.isTable() && entry.name == name) return entry;
    for (const auto& entry : catalogue_)
        if (entry.isTable() && text::equalsIgnoringAsciiCase(entry.name, name)) return entry;
    throw Error(ErrorKind::NotFound, path(), name, "no such table");
}

TableDefinition Database::table(const std::string& name) const {
    const CatalogueEntry& entry = findTable(name);
    try {
        TableDefinition definition = readTableDefinition(*file_, entry.definitionPage());
        definition.name = entry.name;
        return definition;
    } catch (const Damage& damage) {
        raiseDamage(path(), entry.name, damage);
    }
}

RowCursor Database::rows(const std::string& name) const {
    return RowCursor(file_, std::make_shared<const TableDefinition>(table(name)));
}

std::vector<std::vector<Value>> Database::readAllRows(const std::string& name) const {
    RowCursor cursor = rows(name);
    std::vector<std::vector<Value>> result;
    std::vector<Value> row;
    while (cursor.next(row)) result.push_back(row);
    return result;
}

}  // namespace jet
