#include "jet/format/row_fields.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <string>

#include "jet/format/column_type.h"

namespace jet {

std::vector<RowField> splitRow(const TableDefinition& table, Bytes row) {
    const ByteView view(row);
    const std::uint16_t columnCount = view.u16(0, "row column count");
    const std::size_t maskSize = (columnCount + 7) / 8;
    if (row.size() < 2 + maskSize) throw Damage("row of " + std::to_string(row.size()) + " bytes is shorter than its null mask");
    const std::size_t maskStart = row.size() - maskSize;
    auto bit = [&](std::uint16_t number) { return number < columnCount && (row[maskStart + number / 8] & (1u << (number % 8))); };

    std::size_t variableCount = 0;
    bool hasVariable = table.variableColumnCount > 0;
    for (const auto& column : table.columns)
        if (!column.isFixed()) hasVariable = true;
    if (hasVariable) {
        if (maskStart < 4) throw Damage("row too short for its variable column count");
        variableCount = view.u16(maskStart - 2, "variable column count");
        if (maskStart < 4 + 2 * (variableCount + 1)) throw Damage("variable offset table does not fit the row");
    }
    auto variableOffset = [&](std::size_t v) {  // v == variableCount gives the end of the data
        return view.u16(maskStart - 2 - 2 * (v + 1), "variable offset");
    };

    std::vector<RowField> fields(table.columns.size());
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnDefinition& column = table.columns[i];
        RowField& field = fields[i];
        field.present = bit(column.number);
        if (column.columnType() == ColumnType::Boolean || !field.present) continue;
        if (column.isFixed()) {
            const std::size_t size = fixedSizeOf(column.columnType());
            const Bytes bytes = view.slice(2 + column.fixedOffset, size, "fixed column");
            field.bytes.assign(bytes.begin(), bytes.end());
        } else {
            if (column.variableIndex >= variableCount) {
                field.present = false;
                continue;
            }
            const std::size_t start = variableOffset(column.variableIndex);
            const std::size_t end = variableOffset(column.variableIndex + 1u);
            if (end < start || end > maskStart) throw Damage("variable column " + column.name + " lies outside its row");
            field.bytes.assign(row.begin() + static_cast<std::ptrdiff_t>(start), row.begin() + static_cast<std::ptrdiff_t>(end));
        }
    }
    return fields;
}

RowFrame rowFrame(const TableDefinition& table) {
    RowFrame frame;
    frame.columnCount = std::max<std::size_t>(table.maxColumnCount, 1);
    frame.maskSize = (frame.columnCount + 7) / 8;
    if (frame.columnCount >= RowFrame::kMaxSlots) throw Damage("table claims " + std::to_string(frame.columnCount) + " columns");
    frame.variableSlots = table.variableColumnCount;
    for (const ColumnDefinition& column : table.columns) {
        if (column.number >= frame.columnCount)
            throw Damage("column " + column.name + " has number " + std::to_string(column.number) + " of " + std::to_string(frame.columnCount));
        if (column.isFixed() && column.columnType() != ColumnType::Boolean)
            frame.fixedSize = std::max<std::size_t>(frame.fixedSize, column.fixedOffset + fixedSizeOf(column.columnType()));
        if (!column.isFixed()) frame.variableSlots = std::max<std::size_t>(frame.variableSlots, column.variableIndex + 1u);
    }
    if (frame.variableSlots > RowFrame::kMaxSlots)
        throw Damage("table has " + std::to_string(frame.variableSlots) + " variable-length column slots");
    return frame;
}

void joinRowInto(const TableDefinition& table, const std::vector<RowField>& fields, std::vector<std::uint8_t>& row) {
    const auto [columnCount, maskSize, fixedSize, variableSlots] = rowFrame(table);
    std::size_t variableBytes = 0;
    for (std::size_t i = 0; i < table.columns.size(); ++i)
        if (!table.columns[i].isFixed() && fields[i].present) variableBytes += fields[i].bytes.size();

    // Column count, fixed area, variable data, then (when the table has variable columns) the
    // end offset, the slot offsets from the last slot down and the slot count, then the mask.
    const std::size_t variableStart = 2 + fixedSize;
    const std::size_t offsetTable = variableSlots > 0 ? 2 * (variableSlots + 2) : 0;
    row.resize(variableStart + variableBytes + offsetTable + maskSize);
    std::uint8_t* const out = row.data();
    std::memset(out, 0, variableStart);
    std::memset(out + row.size() - maskSize, 0, maskSize);
    putU16(out, static_cast<std::uint32_t>(columnCount));

    std::array<const RowField*, RowFrame::kMaxSlots> variable;
    std::fill_n(variable.begin(), variableSlots, nullptr);
    std::uint8_t* const mask = out + row.size() - maskSize;
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnDefinition& column = table.columns[i];
        const RowField& field = fields[i];
        if (field.present) mask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8));
        if (column.columnType() == ColumnType::Boolean || !field.present) continue;
        if (column.isFixed()) {
            if (column.fixedOffset + field.bytes.size() > fixedSize) throw Damage("fixed column " + column.name + " does not fit the fixed area");
            std::copy(field.bytes.begin(), field.bytes.end(), out + 2 + column.fixedOffset);
        } else {
            variable[column.variableIndex] = &field;
        }
    }
    if (variableSlots == 0) return;
    std::size_t at = variableStart;
    std::uint8_t* offset = out + variableStart + variableBytes + offsetTable - 4;   // slot 0's offset
    for (std::size_t slot = 0; slot < variableSlots; ++slot, offset -= 2) {
        putU16(offset, static_cast<std::uint32_t>(at));
        if (variable[slot]) {
            std::copy(variable[slot]->bytes.begin(), variable[slot]->bytes.end(), out + at);
            at += variable[slot]->bytes.size();
        }
    }
    putU16(offset, static_cast<std::uint32_t>(at));   // the end of the variable data
    putU16(out + variableStart + variableBytes + offsetTable - 2, static_cast<std::uint32_t>(variableSlots));
}

std::vector<std::uint8_t> joinRow(const TableDefinition& table, const std::vector<RowField>& fields) {
    std::vector<std::uint8_t> row;
    joinRowInto(table, fields, row);
    return row;
}

}  // namespace jet
