#include "jet/write/index_maintenance.h"

#include <algorithm>

#include "jet/format/row_index_key.h"
#include "jet/format/table_definition.h"
#include "jet/write/table_errors.h"

namespace jet {

namespace {

std::size_t countDistinctKeys(const std::vector<IndexEntryBytes>& entries) {
    std::size_t count = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (i > 0 && entries[i].size() == entries[i - 1].size() &&
            std::equal(entries[i].begin(), entries[i].end() - 4, entries[i - 1].begin()))
            continue;
        ++count;
    }
    return count;
}

[[noreturn]] void reportIndexDamage(const std::string& file, const TableState& table, std::size_t index, const Damage& damage) {
    throw Error(ErrorKind::Damaged, indexErrorContext(file, table.definition, index),
                "damaged database: index " + physicalIndexName(table.definition, index) + ": " + damage.what());
}

void rewriteIndex(PageFile& file, FileEditor& editor, TableState& table, std::size_t index) {
    PhysicalIndex& physical = table.definition.physicalIndexes[index];
    const std::vector<std::uint32_t> old = indexTreePages(file, physical.rootPage);
    const std::vector<std::uint32_t> used = writeIndexTree(file, table.definition.page, table.indexes[index].entries, old, [&] {
        const std::uint32_t fresh = editor.allocatePage();
        if (physical.ownedPagesMap.page != 0) editor.setMapBit(physical.ownedPagesMap, fresh, true);
        return fresh;
    });
    for (std::uint32_t p : old) {
        if (std::find(used.begin(), used.end(), p) != used.end()) continue;
        if (physical.ownedPagesMap.page != 0) editor.setMapBit(physical.ownedPagesMap, p, false);
        editor.releasePage(p);
    }
    TableDefinitionEditor tdef(file, table.definition);
    if (used.front() != physical.rootPage) tdef.setRootPage(index, physical.rootPage = used.front());
    physical.distinctKeyCount = static_cast<std::uint32_t>(countDistinctKeys(table.indexes[index].entries));
    tdef.setDistinctKeyCount(index, physical.distinctKeyCount);
}

}  // namespace

bool rowKeyIn(const std::string& file, const TableState& table, std::size_t index, const std::vector<const Value*>& values,
              std::vector<std::uint8_t>& key, bool& allNull) {
    try {
        return rowIndexKey(table.definition, index, values, key, allNull);
    } catch (const std::invalid_argument& error) {
        const auto* refusal = dynamic_cast<const Refusal*>(&error);
        throw Error(ErrorKind::Unsupported, indexErrorContext(file, table.definition, index, refusal ? refusal->column() : std::string()),
                    std::string(error.what()) + "; nothing was written");
    } catch (const std::out_of_range& error) {
        failOnTable(ErrorKind::Damaged, file, table.definition, std::string("damaged database: ") + error.what());
    }
}

void loadIndex(const PageFile& file, TableState& table, std::size_t index) {
    auto& state = table.indexes[index];
    if (state.loaded) return;
    try {
        state.entries = readIndexTree(file, table.definition.physicalIndexes[index].rootPage).entries;
    } catch (const Damage& damage) {
        reportIndexDamage(file.path(), table, index, damage);
    }
    if (!std::is_sorted(state.entries.begin(), state.entries.end())) std::sort(state.entries.begin(), state.entries.end());
    state.loaded = true;
}

bool keyTaken(const TableState& table, std::size_t index, const std::vector<std::uint8_t>& key, RowPointer except) {
    const auto& entries = table.indexes[index].entries;
    for (auto it = std::lower_bound(entries.begin(), entries.end(), key); it != entries.end(); ++it) {
        if (it->size() < key.size() || !std::equal(key.begin(), key.end(), it->begin())) break;
        if (it->size() == key.size() + index_node::kRowPointerSize && !(entryRow(*it) == except)) return true;
    }
    return false;
}

IndexEntryBytes indexEntry(const std::vector<std::uint8_t>& key, RowPointer row) {
    IndexEntryBytes entry;
    entry.reserve(key.size() + index_node::kRowPointerSize);
    entry.assign(key.begin(), key.end());
    appendEntryRow(entry, row);
    return entry;
}

void addIndexEntry(TableState::Index& index, IndexEntryBytes entry) {
    auto& entries = index.entries;
    entries.insert(std::upper_bound(entries.begin(), entries.end(), entry), std::move(entry));
    index.dirty = true;
}

void removeRowEntries(TableState::Index& index, RowPointer row) {
    auto& entries = index.entries;
    entries.erase(std::remove_if(entries.begin(), entries.end(), [&](const IndexEntryBytes& e) { return entryRow(e) == row; }), entries.end());
    index.dirty = true;
}

void rewriteChangedIndexes(PageFile& file, FileEditor& editor, TableState& table) {
    for (std::size_t i = 0; i < table.indexes.size(); ++i) {
        if (!table.indexes[i].dirty) continue;
        try {
            rewriteIndex(file, editor, table, i);
        } catch (const Damage& damage) {
            reportIndexDamage(file.path(), table, i, damage);
        }
        table.indexes[i].dirty = false;
    }
}

}  // namespace jet
