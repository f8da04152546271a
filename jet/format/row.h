#pragma once

// The Jet 4 row: how a stored row of a table is split into its fields and how fields are laid
// out into a row, side by side over one table of offsets.
//
//   [column count 2][fixed area][variable data][EOD 2][slot offsets, last slot first, 2 each]
//   [slot count 2][null mask]
//
// The null mask has a bit per column number (LSB first, 1 = not NULL; a Yes/No column keeps its
// value there). A fixed column lies at kFixedAreaOffset + its fixed offset. Variable slot v lies
// between offset[v] and offset[v + 1], offset[slot count] being the EOD. Offsets are two bytes,
// so Jet 4 rows need no jump table. A row without variable columns has no EOD, offsets or count.

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstring>
#include <vector>

#include "jet/file/byte_view.h"
#include "jet/format/column_type.h"
#include "jet/format/table_definition.h"

namespace jet {

namespace row_format {
inline constexpr std::size_t kColumnCountOffset = 0;
inline constexpr std::size_t kFixedAreaOffset = 2;   // after the column count
inline constexpr std::size_t kOffsetSize = 2;        // EOD, each slot offset and the slot count
inline constexpr std::size_t kMaxSlots = 256;        // Jet 4 tables have at most 255 columns
constexpr std::size_t nullMaskSize(std::size_t columnCount) { return (columnCount + 7) / 8; }
// The EOD, one offset per slot and the slot count; nothing when the table has no slots.
constexpr std::size_t offsetTableSize(std::size_t slots) { return slots > 0 ? kOffsetSize * (slots + 2) : 0; }
}  // namespace row_format

// Bytes a fixed column takes in the fixed area: its type's size, or its declared length for
// fixed columns of a type without one.
std::size_t storedFixedSize(const ColumnDefinition& column);
// Whether the table's rows carry the variable area (slots, EOD and slot count).
bool hasVariableArea(const TableDefinition& table);

// A column's part of a stored row: whether its null-mask bit is set (for Yes/No columns the
// value itself) and its bytes (fixed area or variable data; empty when NULL).
struct RowField {
    bool present = false;
    std::vector<std::uint8_t> bytes;
};

// The same without a copy: the bytes are a slice of the row.
struct FieldSlice {
    bool present = false;
    Bytes bytes;
};

// A stored row of `table` read in place: its frame is checked once, then fields are sliced out
// by column position (table.columns order). Columns the row predates are NULL. Throws Damage
// when the row's structure does not fit its bytes. Keeps references to both arguments.
class RowView {
public:
    RowView(const TableDefinition& table, Bytes row);
    RowView(const TableDefinition& table, bool variableArea, Bytes row);

    FieldSlice field(std::size_t position) const;

private:
    std::size_t slotOffset(std::size_t slot) const;

    const TableDefinition& table_;
    ByteView row_;
    std::size_t columnCount_ = 0;
    std::size_t maskStart_ = 0;
    std::size_t slotCount_ = 0;
    std::size_t fixedEnd_ = 0;      // where the variable data starts
    std::size_t variableEnd_ = 0;   // the EOD
};

// Every field of a stored row, copied so that they can be changed and laid out again.
std::vector<RowField> splitRow(const TableDefinition& table, Bytes row);

// What every stored row of a table has, whatever its values: the column count (the table's
// maximum, counting dropped columns), the null mask's size, the fixed area's size and the number
// of variable slots. Throws Damage for a definition no row can follow.
struct RowFrame {
    std::size_t columnCount = 0;
    std::size_t maskSize = 0;
    std::size_t fixedSize = 0;
    std::size_t variableSlots = 0;
};
RowFrame rowFrame(const TableDefinition& table);

// Lays out a row of `table` into `row` (whose storage is reused) from a source of fields, one
// per column position:
//   bool present(c)                         the null-mask bit
//   std::size_t variableRoom(c)             at least the bytes writeVariable(c) writes
//   void writeFixed(c, std::uint8_t* at, std::size_t room)   a fixed field, room bytes at most
//   std::size_t writeVariable(c, std::uint8_t* at)           a variable field; returns its size
// present() is asked for every column; the other three only for present columns other than
// Yes/No. Throws Damage for a definition no row can follow; whatever the source throws passes
// through.
template <class Source>
void encodeRowWith(const TableDefinition& table, Source& source, std::vector<std::uint8_t>& row) {
    using namespace row_format;
    const auto& columns = table.columns;
    const auto [columnCount, maskSize, fixedSize, variableSlots] = rowFrame(table);

    std::size_t room = 0;
    std::array<std::size_t, kMaxSlots> slotColumn;   // column position per slot, or columns.size()
    std::fill_n(slotColumn.begin(), variableSlots, columns.size());
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (columns[c].isFixed()) continue;
        slotColumn[columns[c].variableIndex] = c;
        if (columns[c].columnType() != ColumnType::Boolean && source.present(c)) room += source.variableRoom(c);
    }

    const std::size_t variableStart = kFixedAreaOffset + fixedSize;
    row.resize(variableStart + room + offsetTableSize(variableSlots) + maskSize);
    std::uint8_t* const out = row.data();
    std::memset(out, 0, variableStart);
    putU16(out + kColumnCountOffset, static_cast<std::uint32_t>(columnCount));
    std::array<std::uint8_t, kMaxSlots / 8> mask{};
    std::array<bool, kMaxSlots> slotPresent{};
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const ColumnDefinition& column = columns[c];
        if (!source.present(c)) continue;
        mask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8));
        if (column.columnType() == ColumnType::Boolean) continue;
        if (column.isFixed())
            source.writeFixed(c, out + kFixedAreaOffset + column.fixedOffset, fixedSize - column.fixedOffset);
        else
            slotPresent[column.variableIndex] = true;
    }

    std::size_t at = variableStart;
    if (variableSlots > 0) {
        std::array<std::uint16_t, kMaxSlots> offsets;
        for (std::size_t slot = 0; slot < variableSlots; ++slot) {
            offsets[slot] = static_cast<std::uint16_t>(at);
            if (slotPresent[slot]) at += source.writeVariable(slotColumn[slot], out + at);
        }
        putU16(out + at, static_cast<std::uint32_t>(at));   // the EOD
        at += kOffsetSize;
        for (std::size_t slot = variableSlots; slot-- > 0; at += kOffsetSize) putU16(out + at, offsets[slot]);
        putU16(out + at, static_cast<std::uint32_t>(variableSlots));
        at += kOffsetSize;
    }
    std::memcpy(out + at, mask.data(), maskSize);
    row.resize(at + maskSize);
}

// A row laid out from its fields (table.columns order).
void encodeRowInto(const TableDefinition& table, const std::vector<RowField>& fields, std::vector<std::uint8_t>& row);
std::vector<std::uint8_t> encodeRow(const TableDefinition& table, const std::vector<RowField>& fields);

}  // namespace jet
