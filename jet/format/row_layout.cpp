#include "jet/format/row_layout.h"

#include <algorithm>
#include <array>
#include <cstring>
#include <stdexcept>
#include <string>

#include "jet/format/byte_view.h"
#include "jet/format/column_type.h"
#include "jet/write/column_value.h"
#include "jet/error.h"
#include "jet/format/row_fields.h"

namespace jet {

namespace {

[[noreturn]] void notWritten(const ColumnDefinition& column) {
    throw Refusal(ErrorKind::Unsupported, BrokenRule::None, column.name,
                  "writing " + columnTypeName(column.type) + " column " + column.name + " is not supported");
}

}  // namespace

void layoutRowInto(const TableDefinition& table, const std::vector<const Value*>& values, std::vector<std::uint8_t>& row) {
    const auto& columns = table.columns;
    const auto [columnCount, maskSize, fixedSize, variableSlots] = rowFrame(table);

    // Room for the variable data first.
    std::size_t room = 0;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ColumnDefinition& column = columns[c];
        if (column.isFixed() || isNull(*values[c])) continue;
        if (column.columnType() == ColumnType::Memo || column.columnType() == ColumnType::Ole)
            throw std::logic_error("layoutRowInto: long values are placed field by field");
        if (column.columnType() == ColumnType::Binary) room += std::get<Blob>(*values[c]).size();
        else if (column.columnType() == ColumnType::Text) room += textRoom(*values[c]);
        else notWritten(column);
    }
    std::array<const ColumnDefinition*, RowFrame::kMaxSlots> slotColumn;
    std::array<const Value*, RowFrame::kMaxSlots> slotValue;
    std::fill_n(slotColumn.begin(), variableSlots, nullptr);
    for (std::size_t c = 0; c < columns.size(); ++c)
        if (!columns[c].isFixed()) {
            slotColumn[columns[c].variableIndex] = &columns[c];
            slotValue[columns[c].variableIndex] = values[c];
        }

    // Column count and fixed area, with the null mask collected on the side.
    const std::size_t variableStart = 2 + fixedSize;
    row.resize(variableStart + room + (variableSlots > 0 ? 2 * (variableSlots + 2) : 0) + maskSize);
    std::uint8_t* const out = row.data();
    std::memset(out, 0, variableStart);
    putU16(out, static_cast<std::uint32_t>(columnCount));
    std::array<std::uint8_t, RowFrame::kMaxSlots / 8> mask{};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ColumnDefinition& column = columns[c];
        const Value& value = *values[c];
        const bool present = column.columnType() == ColumnType::Boolean ? std::get_if<bool>(&value) && std::get<bool>(value) : !isNull(value);
        if (!present) continue;
        mask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8));
        if (column.columnType() == ColumnType::Boolean || !column.isFixed()) continue;
        if (fixedSizeOf(column.columnType()) == 0) notWritten(column);
        writeFixedField(column, value, out + 2 + column.fixedOffset);
    }

    // Variable data in slot order, then the end offset, the slot offsets from the last slot
    // down and the slot count; then the mask.
    std::size_t at = variableStart;
    if (variableSlots > 0) {
        std::array<std::uint16_t, RowFrame::kMaxSlots> offsets;
        for (std::size_t slot = 0; slot < variableSlots; ++slot) {
            offsets[slot] = static_cast<std::uint16_t>(at);
            if (!slotColumn[slot] || isNull(*slotValue[slot])) continue;
            if (slotColumn[slot]->columnType() == ColumnType::Binary) {
                const Blob& blob = std::get<Blob>(*slotValue[slot]);
                if (!blob.empty()) std::memcpy(out + at, blob.data(), blob.size());
                at += blob.size();
            } else {
                at += encodeTextValueInto(*slotColumn[slot], *slotValue[slot], out + at);
            }
        }
        putU16(out + at, static_cast<std::uint32_t>(at));
        at += 2;
        for (std::size_t slot = variableSlots; slot-- > 0; at += 2) putU16(out + at, offsets[slot]);
        putU16(out + at, static_cast<std::uint32_t>(variableSlots));
        at += 2;
    }
    std::memcpy(out + at, mask.data(), maskSize);
    row.resize(at + maskSize);
}

}  // namespace jet
