#include "jet/write/constraints.h"

#include "jet/write/index_maintenance.h"
#include "jet/format/row_index_key.h"
#include "jet/write/table_errors.h"

namespace jet {

namespace {

bool isPrimaryKeyIndex(const TableDefinition& definition, std::size_t physical) {
    for (const auto& logical : definition.logicalIndexes)
        if (logical.physicalIndex == physical && logical.type == kLogicalIndexPrimaryKey) return true;
    return false;
}

// A relationship's name as the index, with the key columns of this table's side.
ErrorContext relationshipErrorContext(const std::string& file, const TableState& table, std::size_t physicalIndex, const std::string& relationship) {
    ErrorContext context = indexErrorContext(file, table.definition, physicalIndex);
    context.index = relationship;
    return context;
}

}  // namespace

void Constraints::checkRequired(const TableState& table, const std::vector<const Value*>& values) const {
    const auto& definition = table.definition;
    for (std::size_t i = 0; i < definition.physicalIndexes.size(); ++i) {
        const auto& index = definition.physicalIndexes[i];
        if (!(index.flags & kIndexRequiredFlag) && !isPrimaryKeyIndex(definition, i)) continue;
        for (const auto& key : index.columns)
            for (std::size_t c = 0; c < definition.columns.size(); ++c)
                if (definition.columns[c].number == key.columnNumber && isNull(*values[c]))
                    throw Error(ErrorKind::Constraint, indexErrorContext(file_.path(), definition, i, definition.columns[c].name),
                                "column " + definition.columns[c].name + " is required (index " + physicalIndexName(definition, i) + "); NULL is not allowed",
                                BrokenRule::RequiredValue);
    }
}

void Constraints::checkUnique(const TableState& table, std::size_t index, const std::vector<std::uint8_t>& key, RowPointer except) const {
    if (keyTaken(table, index, key, except)) refuseDuplicate(table, index);
}

void Constraints::refuseDuplicate(const TableState& table, std::size_t index) const {
    throw Error(ErrorKind::Constraint, indexErrorContext(file_.path(), table.definition, index),
                "duplicate key in unique index " + physicalIndexName(table.definition, index), BrokenRule::DuplicateKey);
}

void Constraints::checkReferencedRowsExist(TableState& t, const std::vector<std::vector<std::uint8_t>>& keys) {
    for (const auto& side : t.foreignKeys) {
        if (side.referenced) continue;
        const std::size_t mine = t.definition.logicalIndexes[side.logicalIndex].physicalIndex;
        if (mine >= keys.size() || keys[mine].empty()) continue;
        TableState& other = tables_.tableAt(side.otherTablePage);
        const std::size_t theirs = tables_.physicalOf(other, side.otherLogicalIndex);
        loadIndex(file_, other, theirs);
        if (!keyTaken(other, theirs, keys[mine], kNoRow)) {
            const std::string& relationship = t.definition.logicalIndexes[side.logicalIndex].name;
            throw Error(ErrorKind::Constraint, relationshipErrorContext(file_.path(), t, mine, relationship),
                        "no row of table " + other.definition.name + " matches the key of relationship " + relationship);
        }
    }
}

void Constraints::checkNotReferenced(TableState& t, const std::vector<LiveRow>& rows, const std::set<std::uint16_t>* changedColumns) {
    for (const auto& side : t.foreignKeys) {
        if (!side.referenced) continue;
        const std::size_t mine = t.definition.logicalIndexes[side.logicalIndex].physicalIndex;
        if (changedColumns) {
            bool touches = false;
            for (const auto& keyColumn : t.definition.physicalIndexes[mine].columns) touches = touches || changedColumns->count(keyColumn.columnNumber);
            if (!touches) continue;
        }
        TableState& other = tables_.tableAt(side.otherTablePage);
        const std::size_t theirs = tables_.physicalOf(other, side.otherLogicalIndex);
        loadIndex(file_, t, mine);
        loadIndex(file_, other, theirs);
        std::set<std::uint32_t> ids;
        for (const auto& row : rows) ids.insert(row.id.raw());
        for (const auto& entry : t.indexes[mine].entries) {
            if (!ids.count(entryRow(entry).raw())) continue;
            const std::vector<std::uint8_t> key(entry.begin(), entry.end() - 4);
            if (!keyTaken(other, theirs, key, kNoRow)) continue;
            const bool cascade = changedColumns ? side.cascadeUpdates : side.cascadeDeletes;
            std::string relationship = t.definition.logicalIndexes[side.logicalIndex].name;
            for (const auto& logical : other.definition.logicalIndexes)
                if (logical.number == side.otherLogicalIndex) relationship = logical.name;
            throw Error(cascade ? ErrorKind::Unsupported : ErrorKind::Constraint, relationshipErrorContext(file_.path(), t, mine, relationship),
                        std::string(cascade ? "cascading changes to related rows are not supported" : "rows are still referred to") + " (table " +
                            other.definition.name + ", relationship " + relationship + "); nothing was written");
        }
    }
}

}  // namespace jet
