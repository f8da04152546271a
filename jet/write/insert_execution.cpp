#include <algorithm>

#include "jet/format/long_value.h"
#include "jet/write/value_row.h"
#include "jet/write/column_value.h"
#include "jet/write/constraints.h"
#include "jet/write/index_maintenance.h"
#include "jet/write/statement_execution.h"
#include "jet/write/statement_values.h"
#include "jet/write/table_errors.h"

namespace jet {

namespace {

// Points each column at its value. Text for a Text column is used where it lies (it is checked as
// it is encoded); other values are converted into `converted`, whose room is made up front so
// that pointers into it stay valid. Columns the statement leaves out are NULL; AutoNumber columns
// left NULL take the next number, Yes/No columns left NULL are No. Returns the table's new last
// AutoNumber.
std::uint32_t gatherValues(const std::string& file, const TableState& t, ResolvedInsert& insert, const std::vector<Value>& parameters) {
    static const Value kNull;
    const auto& columns = t.definition.columns;
    auto& cells = insert.buffers.cells;
    auto& converted = insert.buffers.converted;
    cells.assign(columns.size(), &kNull);
    converted.clear();
    converted.reserve(2 * columns.size());
    for (std::size_t i = 0; i < insert.positions.size(); ++i) {
        const std::size_t c = insert.positions[i];
        const Value& given = operandValue(insert.statement->values[i], parameters);
        if (columns[c].columnType() == ColumnType::Text && (std::holds_alternative<std::string>(given) || std::holds_alternative<std::u16string>(given))) {
            cells[c] = &given;
        } else {
            converted.push_back(columnValue(file, t, c, given));
            cells[c] = &converted.back();
        }
    }
    std::uint32_t lastAutoNumber = t.definition.lastAutoNumber;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].isAutoNumber() && columns[c].columnType() == ColumnType::Long) {
            if (isNull(*cells[c])) {
                converted.push_back(static_cast<std::int64_t>(++lastAutoNumber));
                cells[c] = &converted.back();
            } else {
                lastAutoNumber = std::max<std::uint32_t>(lastAutoNumber, static_cast<std::uint32_t>(std::get<std::int64_t>(*cells[c])));
            }
        }
        if (columns[c].columnType() == ColumnType::Boolean && isNull(*cells[c])) {
            converted.push_back(false);
            cells[c] = &converted.back();
        }
    }
    return lastAutoNumber;
}

}  // namespace

std::size_t executeInsert(WriteTarget& target, ResolvedInsert& insert, const std::vector<Value>& parameters) {
    TableState& t = *insert.table;
    const std::string& file = target.file.path();
    target.undo.remember(t, std::vector<bool>{});
    const auto& columns = t.definition.columns;
    auto& buffers = insert.buffers;
    const std::uint32_t lastAutoNumber = gatherValues(file, t, insert, parameters);
    const std::vector<const Value*>& cells = buffers.cells;
    Constraints constraints(target.file, target.tables);
    constraints.checkRequired(t, cells);

    // The row, memos left out for now: encoding refuses malformed or too long text before
    // anything changes. Without memo values the row is laid out straight from the values.
    std::vector<std::size_t> memos;
    std::vector<std::vector<std::uint8_t>> memoBytes;   // stored form of each memo, checked now
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (isLongValueColumn(columns[c]) && !isNull(*cells[c])) {
            memos.push_back(c);
            memoBytes.push_back(encodeMemo(file, t, c, *cells[c]));
        }
    std::vector<RowField>& fields = buffers.fields;
    std::vector<std::uint8_t>& row = buffers.row;
    TableWriter writer(target.editor, t);
    try {
        if (memos.empty()) {
            encodeValueRowInto(t.definition, cells, row);
        } else {
            fields.resize(columns.size());
            for (std::size_t c = 0; c < columns.size(); ++c) {
                if (std::find(memos.begin(), memos.end(), c) != memos.end()) {
                    fields[c].present = true;
                    fields[c].bytes.assign(kLongValueHeaderSize, 0);
                } else {
                    makeField(file, t, c, *cells[c], fields[c]);
                }
            }
            // Row size with every memo out of line; memos short enough go inline below.
            encodeRowInto(t.definition, fields, row);
        }
    } catch (const std::invalid_argument& error) {
        refuseValue(file, t.definition, error);
    } catch (const Damage& damage) {
        reportDamage(file, t.definition, damage);
    }

    // Keys: an index this engine cannot maintain, or a duplicate, stops the statement here.
    const std::size_t indexCount = t.definition.physicalIndexes.size();
    buffers.keys.resize(indexCount);
    buffers.keyUsed.assign(indexCount, false);
    std::vector<std::vector<std::uint8_t>> referencing(t.foreignKeys.empty() ? 0 : indexCount);
    for (std::size_t i = 0; i < indexCount; ++i) {
        std::vector<std::uint8_t>& key = buffers.keys[i];
        bool allNull = true;
        if (!rowKeyIn(file, t, i, cells, key, allNull)) continue;
        loadIndex(target.file, t, i);
        if ((t.definition.physicalIndexes[i].flags & kIndexUniqueFlag) && !allNull) constraints.checkUnique(t, i, key, kNoRow);
        if (!allNull && !referencing.empty()) referencing[i] = key;
        buffers.keyUsed[i] = true;
    }
    constraints.checkReferencedRowsExist(t, referencing);

    // With memos, the size counts every memo out of line; memos short enough then go inline
    // while room lasts.
    std::size_t size = row.size();
    checkRowSize(file, t, size);
    try {
        for (std::size_t k = 0; k < memos.size(); ++k) {
            const std::size_t c = memos[k];
            const bool inlineFits = size + memoBytes[k].size() <= kMaxStoredRowSize;
            makeMemoField(file, writer, t, c, memoBytes[k], inlineFits, fields[c]);
            size += fields[c].bytes.size() - kLongValueHeaderSize;
        }
        // Without memos the row measured above is already the row to store.
        if (!memos.empty()) encodeRowInto(t.definition, fields, row);
        // The index entries are made, and room for them, before the row is stored: once it is,
        // nothing may fail, since the index entries are not part of the statement's undo.
        std::vector<IndexEntryBytes> newEntries(indexCount);
        for (std::size_t i = 0; i < indexCount; ++i) {
            if (!buffers.keyUsed[i]) continue;
            newEntries[i] = indexEntry(buffers.keys[i], RowPointer{0, 0});
            t.indexes[i].entries.reserve(t.indexes[i].entries.size() + 1);
        }
        const RowPointer where = writer.insertRow(row);
        for (std::size_t i = 0; i < indexCount; ++i) {
            if (!buffers.keyUsed[i]) continue;
            setEntryRow(newEntries[i], where);
            addIndexEntry(t.indexes[i], std::move(newEntries[i]));
        }
        ++t.definition.rowCount;
        t.definition.lastAutoNumber = lastAutoNumber;
        t.countsPending = true;   // written at the session's flush
    } catch (const Damage& damage) {
        reportDamage(file, t.definition, damage);
    }
    return 1;
}

}  // namespace jet
