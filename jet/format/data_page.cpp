#include "jet/format/data_page.h"

#include <cstring>
#include <string>

namespace jet {

namespace {

using L = DataPageLayout;

constexpr std::size_t entryOffset(std::size_t index) { return L::kRowTable + L::kRowEntrySize * index; }
constexpr std::size_t rowTableEnd(std::size_t count) { return entryOffset(count); }

std::uint16_t readRowCount(const ByteView& page) {
    const std::uint16_t count = page.u16(L::kRowCount, "data page row count");
    if (rowTableEnd(count) > kPageSize) throw Damage("data page claims " + std::to_string(count) + " rows, more than fit the page");
    return count;
}

std::size_t rowStart(const ByteView& page, std::size_t index) { return page.u16(entryOffset(index), "row offset") & kRowOffsetMask; }

// Where row `index` of `count` lies: it starts at its own offset and ends where the row before
// it starts (row 0 at the end of the page). Throws Damage when that range is impossible.
RowSlot rowAt(const ByteView& page, std::uint16_t count, std::uint16_t index) {
    if (index >= count)
        throw Damage("row " + std::to_string(index) + " does not exist (page has " + std::to_string(count) + " rows)");
    const std::uint16_t raw = page.u16(entryOffset(index), "row offset");
    const std::size_t start = raw & kRowOffsetMask;
    const std::size_t end = index == 0 ? kPageSize : rowStart(page, index - 1u);
    if (start < rowTableEnd(count) || start > end || end > kPageSize)
        throw Damage("row " + std::to_string(index) + " has impossible bounds " + std::to_string(start) + ".." + std::to_string(end));
    return {static_cast<std::uint16_t>(raw & ~kRowOffsetMask), page.slice(start, end - start, "row")};
}

void putRowEntry(std::uint8_t* page, std::size_t index, std::size_t start, std::uint16_t flags) {
    putU16(page + entryOffset(index), static_cast<std::uint32_t>(start | flags));
}

}  // namespace

DataPage::DataPage(ByteView page) : page_(page) {
    const std::uint8_t type = page.u8(L::kType, "page type");
    if (type != static_cast<std::uint8_t>(PageType::Data)) throw Damage("expected a data page, found page type " + std::to_string(type));
    owner_ = page.u32(L::kOwner, "data page owner");
    rowCount_ = readRowCount(page);
}

std::uint16_t DataPage::rowFlags(std::uint16_t index) const {
    if (index >= rowCount_)
        throw Damage("row " + std::to_string(index) + " does not exist (page has " + std::to_string(rowCount_) + " rows)");
    return page_.u16(entryOffset(index), "row offset") & ~kRowOffsetMask;
}

RowSlot DataPage::row(std::uint16_t index) const { return rowAt(page_, rowCount_, index); }

bool isDataPageOwnedBy(const ByteView& page, std::uint32_t owner) {
    return page.u8(L::kType, "page type") == static_cast<std::uint8_t>(PageType::Data) && page.u32(L::kOwner, "data page owner") == owner;
}

Bytes readPointedRow(const PageFile& file, RowPointer pointer, const char* what) {
    try {
        DataPage page(file.page(pointer.page));
        return page.row(pointer.row).bytes;
    } catch (const Damage& damage) {
        throw Damage(std::string(what) + " at page " + std::to_string(pointer.page) + " row " + std::to_string(pointer.row) +
                     ": " + damage.what());
    }
}

std::vector<PageRow> readPageRows(Bytes bytes) {
    const ByteView page(bytes);
    const std::uint16_t count = readRowCount(page);
    std::vector<PageRow> rows(count);
    for (std::uint16_t i = 0; i < count; ++i) {
        const RowSlot slot = rowAt(page, count, i);
        rows[i].flags = slot.flags;
        rows[i].bytes.assign(slot.bytes.begin(), slot.bytes.end());
    }
    return rows;
}

std::size_t pageBytesNeeded(const std::vector<PageRow>& rows) {
    std::size_t total = rowTableEnd(rows.size());
    for (const auto& row : rows) total += row.bytes.size();
    return total;
}

void writePageRows(std::uint8_t* page, const std::vector<PageRow>& rows) {
    const std::size_t needed = pageBytesNeeded(rows);
    if (needed > kPageSize || rows.size() > L::kMaxRows)
        throw Damage("rows of " + std::to_string(needed) + " bytes do not fit a data page");
    std::size_t end = kPageSize;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t start = end - rows[i].bytes.size();
        if (!rows[i].bytes.empty()) std::memcpy(page + start, rows[i].bytes.data(), rows[i].bytes.size());
        putRowEntry(page, i, start, rows[i].flags);
        end = start;
    }
    const std::size_t tableEnd = rowTableEnd(rows.size());
    std::memset(page + tableEnd, 0, end - tableEnd);
    putU16(page + L::kRowCount, static_cast<std::uint32_t>(rows.size()));
    putU16(page + L::kFreeSpace, static_cast<std::uint32_t>(kPageSize - needed));
}

std::uint16_t pageRowCount(Bytes page) { return ByteView(page).u16(L::kRowCount, "row count"); }

std::size_t lowestRowStart(Bytes bytes) {
    const ByteView page(bytes);
    const std::uint16_t count = pageRowCount(bytes);
    if (count == 0) return kPageSize;
    const std::size_t lowest = rowStart(page, count - 1u);
    if (lowest < rowTableEnd(count)) throw Damage("data page row table overlaps its rows");
    return lowest;
}

std::size_t pageRoomForRow(Bytes page) {
    const std::uint16_t count = pageRowCount(page);
    if (count >= L::kMaxRows) return 0;
    const std::size_t free = lowestRowStart(page) - rowTableEnd(count);
    return free >= L::kRowEntrySize ? free - L::kRowEntrySize : 0;
}

std::uint8_t appendPageRow(std::uint8_t* page, Bytes row, std::uint16_t flags) {
    const Bytes view(page, kPageSize);
    const std::uint16_t count = pageRowCount(view);
    const std::size_t lowest = lowestRowStart(view);
    const std::size_t free = lowest - rowTableEnd(count);
    if (count >= L::kMaxRows || row.size() + L::kRowEntrySize > free)
        throw Damage("row of " + std::to_string(row.size()) + " bytes does not fit the page");
    const std::size_t start = lowest - row.size();
    if (!row.empty()) std::memcpy(page + start, row.data(), row.size());
    putRowEntry(page, count, start, flags);
    putU16(page + L::kRowCount, count + 1u);
    putU16(page + L::kFreeSpace, static_cast<std::uint32_t>(free - row.size() - L::kRowEntrySize));
    return static_cast<std::uint8_t>(count);
}

void initDataPage(std::uint8_t* page, std::uint32_t owner) {
    std::memset(page, 0, kPageSize);
    page[L::kType] = static_cast<std::uint8_t>(PageType::Data);
    page[L::kMarker] = 0x01;
    putU16(page + L::kFreeSpace, static_cast<std::uint32_t>(kPageSize - L::kHeaderSize));
    putU32(page + L::kOwner, owner);
}

}  // namespace jet
