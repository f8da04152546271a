#include "jet/check/long_value_structure.h"

#include <algorithm>
#include <string>

#include "jet/format/column_type.h"
#include "jet/format/data_page.h"
#include "jet/error.h"
#include "jet/format/long_value.h"
#include "jet/format/row_fields.h"

namespace jet {

namespace {
constexpr std::size_t kChainPointerSize = 4;
}

LongValueStructure::LongValueStructure(const PageFile& file, const TableDefinition& table, PageClaims& claims, std::uint32_t tableKey)
    : file_(file), table_(table), claims_(claims) {
    for (std::size_t i = 0; i < table.columns.size(); ++i) {
        const ColumnType type = table.columns[i].columnType();
        if (type == ColumnType::Memo || type == ColumnType::Ole) columns_.push_back(i);
    }
    if (!columns_.empty()) owner_ = claims.addOwner(tableKey, table.name, "long values");
}

void LongValueStructure::fail(const ColumnDefinition& column, std::uint32_t page, std::uint16_t row, const std::string& cause) const {
    throw Error(ErrorKind::Damaged, file_.path(), table_.name,
                "column " + column.name + " of the row at page " + std::to_string(page) + " row " + std::to_string(row) + ": " + cause);
}

void LongValueStructure::checkRow(Bytes rowBytes, std::uint32_t page, std::uint16_t row) {
    if (columns_.empty()) return;
    std::vector<RowField> fields;
    try {
        fields = splitRow(table_, rowBytes);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), table_.name,
                    "the row at page " + std::to_string(page) + " row " + std::to_string(row) + " is malformed: " + damage.what());
    }
    for (std::size_t position : columns_) {
        const RowField& field = fields[position];
        if (field.present && !field.bytes.empty()) checkValue(table_.columns[position], field.bytes, page, row);
    }
}

Bytes LongValueStructure::longValueRow(std::uint32_t raw, const ColumnDefinition& column, std::uint32_t page, std::uint16_t row) {
    const RowPointer pointer = RowPointer::fromRaw(raw);
    const auto where = [&] { return "long value row at page " + std::to_string(pointer.page) + " row " + std::to_string(pointer.row); };
    if (pointer.page == 0 || pointer.page >= file_.pageCount()) fail(column, page, row, where() + " lies outside the file");
    try {
        const DataPage lvPage(file_.page(pointer.page));
        if (!lvPage.isLongValuePage()) fail(column, page, row, where() + " is not on a long-value page");
        const RowSlot slot = lvPage.row(pointer.row);
        if (slot.flags & kRowDeletedFlag) fail(column, page, row, where() + " is deleted");
        if (!rowsUsed_.insert(raw).second) fail(column, page, row, where() + " is reached a second time (a loop, or data two values share)");
        claims_.claim(pointer.page, owner_);
        pagesUsed_.push_back(pointer.page);
        return slot.bytes;
    } catch (const Damage& damage) {
        fail(column, page, row, where() + ": " + damage.what());
    }
}

void LongValueStructure::checkValue(const ColumnDefinition& column, const std::vector<std::uint8_t>& field, std::uint32_t page, std::uint16_t row) {
    if (field.size() < kLongValueHeaderSize)
        fail(column, page, row, "long value header of " + std::to_string(field.size()) + " bytes is too short");
    const ByteView header(Bytes(field.data(), field.size()));
    const std::uint32_t word = header.u32(0, "long value header");
    const std::uint32_t length = word & kLongValueLengthMask;
    if (word & kLongValueInline) {
        if (length > field.size() - kLongValueHeaderSize)
            fail(column, page, row, "inline long value claims " + std::to_string(length) + " bytes but holds " + std::to_string(field.size() - kLongValueHeaderSize));
        return;
    }
    const std::uint32_t first = header.u32(4, "long value pointer");
    if (word & kLongValueSingleRow) {
        const Bytes data = longValueRow(first, column, page, row);
        if (length > data.size())
            fail(column, page, row, "long value claims " + std::to_string(length) + " bytes but its row holds " + std::to_string(data.size()));
        return;
    }
    if (word & ~kLongValueLengthMask) fail(column, page, row, "unknown long value type");
    std::uint64_t gathered = 0;
    std::uint32_t pointer = first;
    while (gathered < length) {
        const Bytes data = longValueRow(pointer, column, page, row);
        if (data.size() < kChainPointerSize) fail(column, page, row, "long value chain row is too short for its pointer");
        gathered += data.size() - kChainPointerSize;
        pointer = ByteView(data).u32(0, "long value chain pointer");
        if (gathered < length && pointer == 0)
            fail(column, page, row, "long value chain ends after " + std::to_string(gathered) + " of " + std::to_string(length) + " bytes");
    }
}

}  // namespace jet
