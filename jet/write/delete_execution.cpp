#include <algorithm>

#include "jet/write/constraints.h"
#include "jet/write/index_maintenance.h"
#include "jet/write/statement_execution.h"
#include "jet/write/statement_values.h"
#include "jet/format/table_definition.h"
#include "jet/write/table_errors.h"

namespace jet {

std::size_t executeDelete(WriteTarget& target, const ResolvedDelete& remove, const std::vector<Value>& parameters) {
    TableState& t = *remove.table;
    const std::string& file = target.file.path();
    const auto& where = remove.statement->where;
    target.undo.remember(t, std::vector<bool>(t.indexes.size(), true));
    TableWriter writer(target.editor, t);
    std::size_t deleted = 0;
    try {
        Constraints constraints(target.file, target.tables);
        if (where.empty()) {
            if (!t.foreignKeys.empty()) constraints.checkNotReferenced(t, writer.liveRows(), nullptr);
            deleted = writer.deleteAllRows();
            for (auto& index : t.indexes) {
                index.entries.clear();
                index.loaded = true;
                index.dirty = true;
            }
        } else {
            const std::vector<LiveRow> rows = matchingRows(target.file, writer, t, where, remove.conditionColumns, parameters);
            if (!t.foreignKeys.empty()) constraints.checkNotReferenced(t, rows, nullptr);
            for (std::size_t i = 0; i < t.indexes.size(); ++i) loadIndex(target.file, t, i);
            for (const LiveRow& row : rows) {
                writer.deleteRow(row);
                for (auto& index : t.indexes) removeRowEntries(index, row.id);
            }
            deleted = rows.size();
        }
        if (deleted > 0 || where.empty()) {
            t.definition.rowCount = where.empty() ? 0 : t.definition.rowCount - std::min<std::uint32_t>(t.definition.rowCount, static_cast<std::uint32_t>(deleted));
            TableDefinitionEditor(target.file, t.definition).setRowCount(t.definition.rowCount);
        }
    } catch (const Damage& damage) {
        reportDamage(file, t.definition, damage);
    }
    return deleted;
}

}  // namespace jet
