#include "jet/row_fields.h"

#include <algorithm>
#include <string>

#include "jet/column_type.h"

namespace jet {

namespace {
void appendU16(std::vector<std::uint8_t>& out, std::size_t value) {
    out.push_back(static_cast<std::uint8_t>(value));
    out.push_back(static_cast<std::uint8_t>(value >> 8));
}
}  // namespace

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

std::vector<std::uint8_t> joinRow(const TableDefinition& table, const std::vector<RowField>& fields) {
    const std::size_t columnCount = std::max<std::size_t>(table.maxColumnCount, 1);
    std::vector<std::uint8_t> nullMask((columnCount + 7) / 8, 0);
    std::size_t fixedSize = 0;
    for (const auto& column : table.columns)
        if (column.isFixed() && column.columnType() != ColumnType::Boolean)
            fixedSize = std::max<std::size_t>(fixedSize, column.fixedOffset + fixedSizeOf(column.columnType()));
    std::vector<std::uint8_t> fixed(fixedSize, 0);
    std::size_t variableSlots = table.variableColumnCount;
    for (const auto& column : table.columns)
        if (!column.isFixed()) variableSlots = std::max<std::size_t>(variableSlots, column.variableIndex + 1u);
    std::vector<const std::vector<std::uint8_t>*> variable(variableSlots, nullptr);

    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnDefinition& column = table.columns[i];
        const RowField& field = fields[i];
        if (field.present) nullMask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8));
        if (column.columnType() == ColumnType::Boolean || !field.present) continue;
        if (column.isFixed())
            std::copy(field.bytes.begin(), field.bytes.end(), fixed.begin() + column.fixedOffset);
        else
            variable[column.variableIndex] = &field.bytes;
    }

    std::size_t variableBytes = 0;
    for (const auto* bytes : variable)
        if (bytes) variableBytes += bytes->size();
    std::vector<std::uint8_t> row;
    row.reserve(2 + fixed.size() + variableBytes + 2 * (variable.size() + 2) + nullMask.size());
    appendU16(row, columnCount);
    row.insert(row.end(), fixed.begin(), fixed.end());
    std::vector<std::size_t> offsets;
    offsets.reserve(variable.size());
    for (const auto* bytes : variable) {
        offsets.push_back(row.size());
        if (bytes) row.insert(row.end(), bytes->begin(), bytes->end());
    }
    if (!variable.empty()) {
        appendU16(row, row.size());
        for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) appendU16(row, *it);
        appendU16(row, variable.size());
    }
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    return row;
}

}  // namespace jet
