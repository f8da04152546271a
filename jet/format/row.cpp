#include "jet/format/row.h"

#include <string>

namespace jet {

using namespace row_format;

std::size_t storedFixedSize(const ColumnDefinition& column) {
    const std::size_t size = fixedSizeOf(column.columnType());
    return size != 0 ? size : column.length;
}

bool hasVariableArea(const TableDefinition& table) {
    if (table.variableColumnCount > 0) return true;
    return std::any_of(table.columns.begin(), table.columns.end(), [](const ColumnDefinition& column) { return !column.isFixed(); });
}

RowView::RowView(const TableDefinition& table, Bytes row) : RowView(table, hasVariableArea(table), row) {}

RowView::RowView(const TableDefinition& table, bool variableArea, Bytes row) : table_(table), row_(row) {
    columnCount_ = row_.u16(kColumnCountOffset, "row column count");
    const std::size_t maskSize = nullMaskSize(columnCount_);
    if (kFixedAreaOffset + maskSize > row.size())
        throw Damage("row of " + std::to_string(row.size()) + " bytes cannot hold " + std::to_string(columnCount_) + " columns");
    maskStart_ = row.size() - maskSize;
    fixedEnd_ = variableEnd_ = maskStart_;
    if (!variableArea) return;
    if (maskStart_ < 2 * kOffsetSize) throw Damage("row too short for its variable column table");
    slotCount_ = row_.u16(maskStart_ - kOffsetSize, "variable column count");
    const std::size_t tableBytes = kOffsetSize * (slotCount_ + 2);   // count, offsets and the EOD
    if (tableBytes > maskStart_ - kFixedAreaOffset)
        throw Damage("row claims " + std::to_string(slotCount_) + " variable columns");
    variableEnd_ = maskStart_ - tableBytes;
    fixedEnd_ = slotOffset(0);   // the EOD when there are no slots
    if (fixedEnd_ > variableEnd_) throw Damage("row's variable data starts past its end");
}

// Slot offsets lie below the slot count, slot 0 highest; slotOffset(slotCount_) is the EOD.
std::size_t RowView::slotOffset(std::size_t slot) const {
    return row_.u16(maskStart_ - kOffsetSize * (slot + 2), "variable column offset");
}

FieldSlice RowView::field(std::size_t position) const {
    const ColumnDefinition& column = table_.columns[position];
    FieldSlice field;
    field.present = column.number < columnCount_ && (row_.bytes()[maskStart_ + column.number / 8] >> (column.number % 8)) & 1;
    if (!field.present || column.columnType() == ColumnType::Boolean) return field;
    if (column.isFixed()) {
        const std::size_t start = kFixedAreaOffset + column.fixedOffset;
        const std::size_t size = storedFixedSize(column);
        if (start + size > fixedEnd_) throw Damage("fixed column " + column.name + " lies outside the row's fixed area");
        field.bytes = row_.slice(start, size, "fixed column");
        return field;
    }
    if (column.variableIndex >= slotCount_) {   // added after this row was written
        field.present = false;
        return field;
    }
    const std::size_t start = slotOffset(column.variableIndex);
    const std::size_t end = slotOffset(column.variableIndex + 1u);
    if (start > end || end > variableEnd_)
        throw Damage("variable column " + column.name + " has impossible bounds " + std::to_string(start) + ".." + std::to_string(end));
    field.bytes = row_.slice(start, end - start, "variable column");
    return field;
}

std::vector<RowField> splitRow(const TableDefinition& table, Bytes row) {
    const RowView view(table, row);
    std::vector<RowField> fields(table.columns.size());
    for (std::size_t c = 0; c < fields.size(); ++c) {
        const FieldSlice slice = view.field(c);
        fields[c].present = slice.present;
        fields[c].bytes.assign(slice.bytes.begin(), slice.bytes.end());
    }
    return fields;
}

RowFrame rowFrame(const TableDefinition& table) {
    RowFrame frame;
    frame.columnCount = std::max<std::size_t>(table.maxColumnCount, 1);
    frame.maskSize = nullMaskSize(frame.columnCount);
    if (frame.columnCount >= kMaxSlots) throw Damage("table claims " + std::to_string(frame.columnCount) + " columns");
    frame.variableSlots = table.variableColumnCount;
    for (const ColumnDefinition& column : table.columns) {
        if (column.number >= frame.columnCount)
            throw Damage("column " + column.name + " has number " + std::to_string(column.number) + " of " + std::to_string(frame.columnCount));
        if (column.isFixed() && column.columnType() != ColumnType::Boolean)
            frame.fixedSize = std::max<std::size_t>(frame.fixedSize, column.fixedOffset + storedFixedSize(column));
        if (!column.isFixed()) frame.variableSlots = std::max<std::size_t>(frame.variableSlots, column.variableIndex + 1u);
    }
    if (frame.variableSlots > kMaxSlots) throw Damage("table has " + std::to_string(frame.variableSlots) + " variable-length column slots");
    return frame;
}

namespace {

// Fields already in their stored form.
struct StoredFields {
    const TableDefinition& table;
    const std::vector<RowField>& fields;

    bool present(std::size_t c) const { return fields[c].present; }
    std::size_t variableRoom(std::size_t c) const { return fields[c].bytes.size(); }
    void writeFixed(std::size_t c, std::uint8_t* at, std::size_t room) const {
        const auto& bytes = fields[c].bytes;
        if (bytes.size() > room) throw Damage("fixed column " + table.columns[c].name + " does not fit the fixed area");
        std::copy(bytes.begin(), bytes.end(), at);
    }
    std::size_t writeVariable(std::size_t c, std::uint8_t* at) const {
        const auto& bytes = fields[c].bytes;
        std::copy(bytes.begin(), bytes.end(), at);
        return bytes.size();
    }
};

}  // namespace

void encodeRowInto(const TableDefinition& table, const std::vector<RowField>& fields, std::vector<std::uint8_t>& row) {
    StoredFields source{table, fields};
    encodeRowWith(table, source, row);
}

std::vector<std::uint8_t> encodeRow(const TableDefinition& table, const std::vector<RowField>& fields) {
    std::vector<std::uint8_t> row;
    encodeRowInto(table, fields, row);
    return row;
}

}  // namespace jet
