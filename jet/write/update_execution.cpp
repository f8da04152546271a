#include <algorithm>
#include <optional>
#include <set>

#include "jet/format/field_value.h"
#include "jet/format/long_value.h"
#include "jet/write/column_value.h"
#include "jet/write/constraints.h"
#include "jet/write/index_maintenance.h"
#include "jet/format/row_index_key.h"
#include "jet/write/statement_execution.h"
#include "jet/write/statement_values.h"
#include "jet/write/table_errors.h"

namespace jet {

namespace {

// What an update does to one row, worked out and checked before any row is written.
struct RowPlan {
    std::vector<RowField> fields;                                 // the row's fields as stored now
    std::vector<std::optional<std::vector<std::uint8_t>>> keys;   // new key per touched index
};

}  // namespace

std::size_t executeUpdate(WriteTarget& target, const ResolvedUpdate& update, const std::vector<Value>& parameters) {
    TableState& t = *update.table;
    const std::string& file = target.file.path();
    const auto& columns = t.definition.columns;
    const auto& statement = *update.statement;
    std::vector<std::pair<std::size_t, Value>> assignments;
    for (std::size_t a = 0; a < update.assigned.size(); ++a) {
        const std::size_t c = update.assigned[a];
        assignments.emplace_back(c, columnValue(file, t, c, operandValue(statement.assignments[a].value, parameters)));
    }
    // Stored form of each memo assigned, once for every row it goes to, and checked now.
    std::vector<std::vector<std::uint8_t>> memoBytes(assignments.size());
    for (std::size_t a = 0; a < assignments.size(); ++a) {
        const auto& [c, value] = assignments[a];
        if (isLongValueColumn(columns[c]) && !isNull(value)) memoBytes[a] = encodeMemo(file, t, c, value);
    }
    TableWriter writer(target.editor, t);
    const std::vector<LiveRow> rows = matchingRows(target.file, writer, t, statement.where, update.conditionColumns, parameters);
    const std::vector<bool>& touched = update.touchedIndexes;
    const bool keysChange = std::find(touched.begin(), touched.end(), true) != touched.end();
    target.undo.remember(t, touched);   // only the indexes the new values change

    Constraints constraints(target.file, target.tables);
    std::vector<RowPlan> plans(rows.size());
    std::set<std::pair<std::size_t, std::vector<std::uint8_t>>> plannedUnique;
    try {
        for (std::size_t r = 0; r < rows.size(); ++r) {
            RowPlan& plan = plans[r];
            plan.fields = splitRow(t.definition, writer.rowBytes(rows[r]));
            std::vector<RowField> sized = plan.fields;
            for (const auto& [c, value] : assignments) {
                if (isLongValueColumn(columns[c])) {
                    sized[c].present = !isNull(value);
                    sized[c].bytes.assign(isNull(value) ? 0 : kLongValueHeaderSize, 0);
                } else {
                    makeField(file, t, c, value, sized[c]);
                }
            }
            checkRowSize(file, t, encodeRow(t.definition, sized).size());
            plan.keys.resize(touched.size());
            if (!keysChange) continue;
            std::vector<Value> values(columns.size());
            for (std::size_t c = 0; c < columns.size(); ++c) values[c] = decodeField(target.file, columns[c], plan.fields[c]);
            for (const auto& [c, value] : assignments) values[c] = value;
            const std::vector<const Value*> cells = valuePointers(values);
            constraints.checkRequired(t, cells);
            std::vector<std::vector<std::uint8_t>> referencing(touched.size());
            for (std::size_t i = 0; i < touched.size(); ++i) {
                if (!touched[i]) continue;
                loadIndex(target.file, t, i);
                std::vector<std::uint8_t> key;
                bool allNull = true;
                if (!rowKeyIn(file, t, i, cells, key, allNull)) continue;
                if ((t.definition.physicalIndexes[i].flags & kIndexUniqueFlag) && !allNull) {
                    constraints.checkUnique(t, i, key, rows[r].id);
                    // Two changed rows must not end up with one key either.
                    if (!plannedUnique.insert({i, key}).second) constraints.refuseDuplicate(t, i);
                }
                if (!allNull) referencing[i] = key;
                plan.keys[i] = std::move(key);
            }
            constraints.checkReferencedRowsExist(t, referencing);
        }
        constraints.checkNotReferenced(t, rows, &update.assignedNumbers);
        // Everything checked: write.
        for (std::size_t r = 0; r < rows.size(); ++r) {
            RowPlan& plan = plans[r];
            std::size_t size = encodeRow(t.definition, plan.fields).size();
            for (std::size_t a = 0; a < assignments.size(); ++a) {
                const auto& [c, value] = assignments[a];
                // The old value's pages are freed first, so that the new value can take them.
                if (isLongValueColumn(columns[c]) && plan.fields[c].present) writer.releaseLongValue(plan.fields[c].bytes);
                size -= plan.fields[c].bytes.size();
                if (isLongValueColumn(columns[c]) && !isNull(value)) {
                    const bool inlineFits = size + kLongValueHeaderSize + memoBytes[a].size() <= kMaxStoredRowSize;
                    makeMemoField(file, writer, t, c, memoBytes[a], inlineFits, plan.fields[c]);
                } else {
                    makeField(file, t, c, value, plan.fields[c]);
                }
                size += plan.fields[c].bytes.size();
            }
            writer.replaceRow(rows[r], encodeRow(t.definition, plan.fields));
            for (std::size_t i = 0; i < touched.size(); ++i) {
                if (!touched[i]) continue;
                removeRowEntries(t.indexes[i], rows[r].id);
                if (plan.keys[i]) addIndexEntry(t.indexes[i], indexEntry(*plan.keys[i], rows[r].id));
            }
        }
    } catch (const Damage& damage) {
        reportDamage(file, t.definition, damage);
    }
    return rows.size();
}

}  // namespace jet
