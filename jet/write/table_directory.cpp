#include "jet/write/table_directory.h"

#include <algorithm>

#include "jet/write/table_errors.h"
#include "text/ascii_case.h"

namespace jet {

TableDirectory::TableDirectory(const PageFile& file, FileEditor& editor) : file_(file), editor_(editor) {
    try {
        catalogue_ = readCatalogue(file_);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), "MSysObjects", std::string("damaged database: ") + damage.what());
    }
}

void TableDirectory::reloadCatalogue(const std::vector<CatalogueEntry>& pending) {
    try {
        catalogue_ = readCatalogue(file_);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), "MSysObjects", std::string("damaged database: ") + damage.what());
    }
    for (const auto& entry : pending) {
        const bool listed = std::any_of(catalogue_.begin(), catalogue_.end(),
                                        [&](const CatalogueEntry& known) { return known.isTable() && known.definitionPage() == entry.definitionPage(); });
        if (!listed) catalogue_.push_back(entry);
    }
}

TableState& TableDirectory::table(const std::string& name) {
    const CatalogueEntry* found = nullptr;
    for (const auto& entry : catalogue_)
        if (entry.isTable() && entry.name == name) found = &entry;
    if (!found)
        for (const auto& entry : catalogue_)
            if (entry.isTable() && text::equalsIgnoringAsciiCase(entry.name, name)) found = &entry;
    if (!found) throw Error(ErrorKind::NotFound, file_.path(), name, "no such table");
    if (found->isSystem() && !systemTablesWritable_) throw Error(ErrorKind::Unsupported, file_.path(), found->name, "system tables are not written");
    return load(*found);
}

TableState& TableDirectory::load(const CatalogueEntry& entry) {
    auto& slot = tables_[entry.definitionPage()];
    if (slot) return *slot;
    auto state = std::make_unique<TableState>();
    try {
        state->definition = readTableDefinition(file_, entry.definitionPage());
        state->definition.name = entry.name;
        TableWriter::loadPages(editor_, *state);
        state->foreignKeys = readForeignKeys(state->definition);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), entry.name, std::string("damaged database: ") + damage.what());
    }
    state->indexes.resize(state->definition.physicalIndexes.size());
    for (const auto& column : state->definition.columns)
        if (column.flags & kColumnAutoGuidFlag) state->refusal = "column " + column.name + " is a replication ID (GUID AutoNumber), which this engine does not write";
    slot = std::move(state);
    return *slot;
}

TableState& TableDirectory::tableAt(std::uint32_t definitionPage) {
    for (const auto& entry : catalogue_)
        if (entry.isTable() && entry.definitionPage() == definitionPage) return table(entry.name);
    throw Error(ErrorKind::Damaged, file_.path(), "", "a relationship refers to table definition page " + std::to_string(definitionPage) + ", which no table has");
}

std::size_t TableDirectory::column(const TableState& table, const std::string& name) const {
    const auto& columns = table.definition.columns;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name) return i;
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (text::equalsIgnoringAsciiCase(columns[i].name, name)) return i;
    throw Error(ErrorKind::NotFound, tableErrorContext(file_.path(), table.definition, name), "no such column: " + name);
}

std::size_t TableDirectory::physicalOf(const TableState& table, std::uint32_t number) const {
    for (const auto& logical : table.definition.logicalIndexes)
        if (logical.number == number && logical.physicalIndex < table.definition.physicalIndexes.size()) return logical.physicalIndex;
    failOnTable(ErrorKind::Damaged, file_.path(), table.definition,
                "damaged database: a relationship names index number " + std::to_string(number) + ", which the table does not have");
}

std::vector<TableState*> TableDirectory::loaded() const {
    std::vector<TableState*> states;
    states.reserve(tables_.size());
    for (const auto& [page, state] : tables_) states.push_back(state.get());
    return states;
}

}  // namespace jet
