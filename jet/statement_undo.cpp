#include "jet/statement_undo.h"

namespace jet {

void StatementUndo::remember(TableState& table, bool withIndexes) {
    for (Saved& saved : saved_)
        if (saved.table == &table) {
            if (withIndexes && !saved.indexes) saved.indexes = table.indexes;
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
    if (withIndexes) saved.indexes = table.indexes;
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
        if (it->indexes) table.indexes = std::move(*it->indexes);
    }
    saved_.clear();
}

}  // namespace jet
