#include "jet/write/table_writer.h"

#include <algorithm>
#include <string>

#include "jet/format/data_page.h"
#include "jet/format/long_value.h"
#include "jet/format/row.h"
#include "jet/write/column_value.h"
#include "jet/format/usage_map.h"

namespace jet {

namespace {
constexpr std::size_t kMaxChainRows = 1u << 20;
// A page whose room falls below this leaves the free-space map.
constexpr std::size_t kUsefulRoom = 64;

std::vector<std::uint8_t> pointerBytes(RowPointer pointer) {
    const std::uint32_t raw = pointer.raw();
    return {static_cast<std::uint8_t>(raw), static_cast<std::uint8_t>(raw >> 8), static_cast<std::uint8_t>(raw >> 16),
            static_cast<std::uint8_t>(raw >> 24)};
}

// Every row of the page is deleted (flags 0xC000), or it has none.
bool pageHoldsNoRows(Bytes page) {
    for (const PageRow& row : readPageRows(page))
        if ((row.flags & (kRowDeletedFlag | kRowOverflowFlag)) != (kRowDeletedFlag | kRowOverflowFlag)) return false;
    return true;
}

}  // namespace

void TableWriter::loadPages(FileEditor& editor, TableState& table) {
    if (!table.dataPages.empty()) return;
    table.dataPages = ownedDataPages(editor.file(), table.definition);
    table.longValuePage.assign(table.definition.longValueMaps.size(), std::nullopt);
}

std::vector<LiveRow> TableWriter::liveRows() const { return listLiveRows(editor_.file(), table_.dataPages); }

Bytes TableWriter::rowBytes(const LiveRow& row) const { return DataPage(editor_.file().page(row.data.page)).row(row.data.row).bytes; }

std::uint32_t TableWriter::newDataPage() {
    const std::uint32_t page = editor_.allocatePage();
    initDataPage(editor_.mutablePage(page), table_.definition.page);
    editor_.setMapBit(table_.definition.ownedPagesMap, page, true);
    editor_.setMapBit(table_.definition.freePagesMap, page, true);
    table_.dataPages.push_back(page);
    return page;
}

RowPointer TableWriter::placeRow(const std::vector<std::uint8_t>& bytes, std::uint16_t flags, std::uint32_t avoidPage) {
    const Bytes row(bytes.data(), bytes.size());
    if (avoidPage == 0) {
        while (table_.insertCursor < table_.dataPages.size()) {
            const std::uint32_t page = table_.dataPages[table_.insertCursor];
            if (pageRoomForRow(editor_.page(page)) >= bytes.size()) {
                const std::uint8_t number = appendPageRow(editor_.mutablePage(page), row, flags);
                if (pageRoomForRow(editor_.page(page)) < kUsefulRoom) editor_.setMapBit(table_.definition.freePagesMap, page, false);
                return {page, number};
            }
            editor_.setMapBit(table_.definition.freePagesMap, page, false);
            ++table_.insertCursor;
        }
    } else {
        for (std::uint32_t page : table_.dataPages)
            if (page != avoidPage && pageRoomForRow(editor_.page(page)) >= bytes.size())
                return {page, appendPageRow(editor_.mutablePage(page), row, flags)};
    }
    const std::uint32_t page = newDataPage();
    if (avoidPage == 0) table_.insertCursor = table_.dataPages.size() - 1;
    return {page, appendPageRow(editor_.mutablePage(page), row, flags)};
}

RowPointer TableWriter::insertRow(const std::vector<std::uint8_t>& bytes) { return placeRow(bytes, 0, 0); }

void TableWriter::replaceRow(const LiveRow& row, const std::vector<std::uint8_t>& bytes) {
    const bool moved = !(row.data == row.id);
    {
        std::vector<PageRow> rows = readPageRows(editor_.page(row.data.page));
        rows.at(row.data.row).bytes = bytes;
        if (pageBytesNeeded(rows) <= kPageSize) {
            writePageRows(editor_.mutablePage(row.data.page), rows);
            return;
        }
    }
    // The row no longer fits its page: store it elsewhere as overflow data (flag 0x8000) and let
    // the original row number point there.
    const RowPointer target = placeRow(bytes, kRowDeletedFlag, row.data.page);
    if (moved) markDeleted(row.data);
    std::vector<PageRow> rows = readPageRows(editor_.page(row.id.page));
    PageRow& stub = rows.at(row.id.row);
    stub.flags = kRowOverflowFlag;
    stub.bytes = pointerBytes(target);
    writePageRows(editor_.mutablePage(row.id.page), rows);
}

void TableWriter::markDeleted(RowPointer where) {
    std::vector<PageRow> rows = readPageRows(editor_.page(where.page));
    PageRow& row = rows.at(where.row);
    row.flags = kRowDeletedFlag | kRowOverflowFlag;
    row.bytes.clear();
    writePageRows(editor_.mutablePage(where.page), rows);
}

void TableWriter::releaseLongValuesOf(Bytes row) {
    const auto& columns = table_.definition.columns;
    if (std::none_of(columns.begin(), columns.end(), isLongValueColumn)) return;
    // The fields are copied first: releasing rewrites pages, which may move the row's bytes.
    const RowView view(table_.definition, row);
    std::vector<std::vector<std::uint8_t>> fields;
    for (std::size_t c = 0; c < columns.size(); ++c) {
        if (!isLongValueColumn(columns[c])) continue;
        const FieldSlice field = view.field(c);
        if (field.present) fields.emplace_back(field.bytes.begin(), field.bytes.end());
    }
    for (const auto& field : fields) releaseLongValue(field);
}

void TableWriter::deleteRow(const LiveRow& row) {
    releaseLongValuesOf(rowBytes(row));
    if (!(row.data == row.id)) markDeleted(row.data);
    markDeleted(row.id);
    releaseDataPageIfEmpty(row.id.page);
    if (!(row.data == row.id)) releaseDataPageIfEmpty(row.data.page);
}

std::size_t TableWriter::deleteAllRows() {
    const std::vector<LiveRow> live = liveRows();
    for (const LiveRow& row : live) releaseLongValuesOf(rowBytes(row));
    for (std::uint32_t page : table_.dataPages) {
        editor_.setMapBit(table_.definition.ownedPagesMap, page, false);
        editor_.setMapBit(table_.definition.freePagesMap, page, false);
        editor_.releasePage(page);
    }
    table_.dataPages.clear();
    table_.insertCursor = 0;
    return live.size();
}

void TableWriter::releaseDataPageIfEmpty(std::uint32_t page) {
    if (!pageHoldsNoRows(editor_.page(page))) return;
    const auto at = std::find(table_.dataPages.begin(), table_.dataPages.end(), page);
    if (at == table_.dataPages.end()) return;
    editor_.setMapBit(table_.definition.ownedPagesMap, page, false);
    editor_.setMapBit(table_.definition.freePagesMap, page, false);
    editor_.releasePage(page);
    if (static_cast<std::size_t>(at - table_.dataPages.begin()) < table_.insertCursor) --table_.insertCursor;
    table_.dataPages.erase(at);
}

// The page leaves every long-value map of the table (a page lies in one column's maps).
void TableWriter::releaseLongValuePageIfEmpty(std::uint32_t page) {
    if (!pageHoldsNoRows(editor_.page(page))) return;
    for (std::size_t i = 0; i < table_.definition.longValueMaps.size(); ++i) {
        const LongValueMaps& maps = table_.definition.longValueMaps[i];
        if (maps.ownedPages.page != 0) editor_.setMapBit(maps.ownedPages, page, false);
        if (maps.freePages.page != 0) editor_.setMapBit(maps.freePages, page, false);
        if (table_.longValuePage.at(i) == page) table_.longValuePage[i].reset();
    }
    editor_.releasePage(page);
}

RowPointer TableWriter::placeLongValueRow(std::size_t longValueIndex, Bytes bytes) {
    const LongValueMaps& maps = table_.definition.longValueMaps.at(longValueIndex);
    std::optional<std::uint32_t>& current = table_.longValuePage.at(longValueIndex);
    if (current && pageRoomForRow(editor_.page(*current)) < bytes.size()) {
        if (maps.freePages.page != 0) editor_.setMapBit(maps.freePages, *current, false);
        current.reset();
    }
    if (!current) {
        const std::uint32_t page = editor_.allocatePage();
        initDataPage(editor_.mutablePage(page), kLongValuePageOwner);
        if (maps.ownedPages.page != 0) editor_.setMapBit(maps.ownedPages, page, true);
        if (maps.freePages.page != 0) editor_.setMapBit(maps.freePages, page, true);
        current = page;
    }
    return {*current, appendPageRow(editor_.mutablePage(*current), bytes, 0)};
}

std::vector<std::uint8_t> TableWriter::storeLongValue(std::size_t longValueIndex, Bytes stored) {
    return storeLongValueRows(stored, [&](Bytes row) { return placeLongValueRow(longValueIndex, row); });
}

void TableWriter::releaseLongValue(Bytes bytes) {
    if (bytes.empty()) return;   // a present memo without data
    const LongValueField field = decodeLongValueField(bytes);
    if (field.form == LongValueForm::Inline) return;
    RowPointer where = field.first;
    std::vector<std::uint32_t> pages;
    if (field.form == LongValueForm::SingleRow) {
        markDeleted(where);
        pages.push_back(where.page);
    } else {
        for (std::size_t hops = 0; where.page != 0; ++hops) {
            if (hops > kMaxChainRows) throw Damage("long value chain loops");
            const RowPointer next = decodeChainRow(DataPage(editor_.file().page(where.page)).row(where.row).bytes).next;
            markDeleted(where);
            if (std::find(pages.begin(), pages.end(), where.page) == pages.end()) pages.push_back(where.page);
            where = next;
        }
    }
    for (std::uint32_t page : pages) releaseLongValuePageIfEmpty(page);
}

}  // namespace jet
