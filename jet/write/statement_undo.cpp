#include "jet/write/statement_undo.h"

#include <algorithm>

namespace jet {

namespace {
void rememberIndexes(std::vector<std::pair<std::size_t, TableState::Index>>& saved, const TableState& table, const std::vector<bool>& indexes) {
    for (std::size_t i = 0; i < indexes.size() && i < table.indexes.size(); ++i) {
        if (!indexes[i]) continue;
        const bool known = std::any_of(saved.begin(), saved.end(), [&](const auto& entry) { return entry.first == i; });
        if (!known) saved.emplace_back(i, table.indexes[i]);
    }
}
}  // namespace

void StatementUndo::remember(TableState& table, const std::vector<bool>& indexes) {
    for (Saved& saved : saved_)
        if (saved.table == &table) {
            rememberIndexes(saved.indexes, table, indexes);
            return;
        }
    Saved saved;
    saved.table = &table;
    saved.dataPages = table.dataPages;
    saved.insertCursor = table.insertCursor;
    saved.longValuePage = table.longValuePage;
    saved.rowCount = table.definition.rowCount;
    saved.lastAutoNumber = table.definition.lastAutoNumber;
    saved.countsPending = table.countsPending;
    rememberIndexes(saved.indexes, table, indexes);
    saved_.push_back(std::move(saved));
}

void StatementUndo::restore() {
    for (auto it = saved_.rbegin(); it != saved_.rend(); ++it) {
        TableState& table = *it->table;
        table.dataPages = std::move(it->dataPages);
        table.insertCursor = it->insertCursor;
        table.longValuePage = std::move(it->longValuePage);
        table.definition.rowCount = it->rowCount;
        table.definition.lastAutoNumber = it->lastAutoNumber;
        table.countsPending = it->countsPending;
        for (auto& [position, index] : it->indexes) table.indexes[position] = std::move(index);
    }
    saved_.clear();
}

}  // namespace jet
