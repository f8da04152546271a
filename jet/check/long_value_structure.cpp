#include "jet/check/long_value_structure.h"

#include <algorithm>
#include <string>

#include "jet/format/column_type.h"
#include "jet/format/data_page.h"
#include "jet/error.h"
#include "jet/format/long_value.h"
#include "jet/format/row.h"

namespace jet {


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
    // Every field is sliced, so that a row whose frame does not hold its columns is found here.
    std::vector<FieldSlice> fields(table_.columns.size());
    try {
        const RowView view(table_, rowBytes);
        for (std::size_t c = 0; c < fields.size(); ++c) fields[c] = view.field(c);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), table_.name,
                    "the row at page " + std::to_string(page) + " row " + std::to_string(row) + " is malformed: " + damage.what());
    }
    for (std::size_t position : columns_) {
        const FieldSlice& field = fields[position];
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

void LongValueStructure::checkValue(const ColumnDefinition& column, Bytes bytes, std::uint32_t page, std::uint16_t row) {
    LongValueField field;
    try {
        field = decodeLongValueField(bytes);
    } catch (const Damage& damage) {
        fail(column, page, row, damage.what());
    }
    const std::uint32_t length = field.length;
    if (field.form == LongValueForm::Inline) return;
    if (field.form == LongValueForm::SingleRow) {
        const Bytes data = longValueRow(field.first.raw(), column, page, row);
        if (length > data.size())
            fail(column, page, row, "long value claims " + std::to_string(length) + " bytes but its row holds " + std::to_string(data.size()));
        return;
    }
    std::uint64_t gathered = 0;
    std::uint32_t pointer = field.first.raw();
    while (gathered < length) {
        const Bytes data = longValueRow(pointer, column, page, row);
        LongValueChainRow chain;
        try {
            chain = decodeChainRow(data);
        } catch (const Damage&) {
            fail(column, page, row, "long value chain row is too short for its pointer");
        }
        gathered += chain.data.size();
        pointer = chain.next.raw();
        if (gathered < length && pointer == 0)
            fail(column, page, row, "long value chain ends after " + std::to_string(gathered) + " of " + std::to_string(length) + " bytes");
    }
}

}  // namespace jet
