#include "jet/format/page_rows.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "jet/format/data_page.h"
#include "jet/file/page_file.h"

namespace jet {

namespace {
constexpr std::size_t kFreeSpaceOffset = 2;
constexpr std::size_t kRowCountOffset = 12;
}  // namespace

std::uint16_t pageRowCount(Bytes page);

std::size_t lowestRowStart(Bytes page) {
    const std::uint16_t count = pageRowCount(page);
    if (count == 0) return kPageSize;
    const std::size_t lowest = ByteView(page).u16(kDataPageHeaderSize + 2 * (count - 1), "row offset") & kRowOffsetMask;
    if (lowest < kDataPageHeaderSize + 2 * std::size_t(count)) throw Damage("data page row table overlaps its rows");
    return lowest;
}

std::size_t pageRoomForRow(Bytes page) {
    const std::uint16_t count = pageRowCount(page);
    if (count >= kMaxRowsPerPage) return 0;
    const std::size_t free = lowestRowStart(page) - (kDataPageHeaderSize + 2 * std::size_t(count));
    return free >= 2 ? free - 2 : 0;
}
std::uint16_t pageRowCount(Bytes page) { return ByteView(page).u16(kRowCountOffset, "row count"); }


std::vector<PageRow> readPageRows(Bytes page) {
    const ByteView view(page);
    const std::uint16_t count = view.u16(kRowCountOffset, "row count");
    if (kDataPageHeaderSize + std::size_t(count) * 2 > kPageSize) throw Damage("data page row count " + std::to_string(count) + " does not fit the page");
    std::vector<PageRow> rows(count);
    std::size_t end = kPageSize;
    for (std::uint16_t i = 0; i < count; ++i) {
        const std::uint16_t raw = view.u16(kDataPageHeaderSize + 2 * i, "row offset");
        const std::size_t start = raw & kRowOffsetMask;
        if (start > end || start < kDataPageHeaderSize + std::size_t(count) * 2)
            throw Damage("row " + std::to_string(i) + " has offset " + std::to_string(start) + " outside its bounds");
        rows[i].flags = raw & ~kRowOffsetMask;
        rows[i].bytes.assign(page.begin() + static_cast<std::ptrdiff_t>(start), page.begin() + static_cast<std::ptrdiff_t>(end));
        end = start;
    }
    return rows;
}

std::size_t pageBytesNeeded(const std::vector<PageRow>& rows) {
    std::size_t total = kDataPageHeaderSize;
    for (const auto& row : rows) total += 2 + row.bytes.size();
    return total;
}

void writePageRows(std::uint8_t* page, const std::vector<PageRow>& rows) {
    const std::size_t needed = pageBytesNeeded(rows);
    if (needed > kPageSize || rows.size() > kMaxRowsPerPage)
        throw Damage("rows of " + std::to_string(needed) + " bytes do not fit a data page");
    std::size_t end = kPageSize;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const std::size_t start = end - rows[i].bytes.size();
        if (!rows[i].bytes.empty()) std::memcpy(page + start, rows[i].bytes.data(), rows[i].bytes.size());
        putU16(page + kDataPageHeaderSize + 2 * i, static_cast<std::uint32_t>(start | rows[i].flags));
        end = start;
    }
    const std::size_t tableEnd = kDataPageHeaderSize + 2 * rows.size();
    std::memset(page + tableEnd, 0, end - tableEnd);
    putU16(page + kRowCountOffset, static_cast<std::uint32_t>(rows.size()));
    putU16(page + kFreeSpaceOffset, static_cast<std::uint32_t>(kPageSize - needed));
}

std::uint8_t appendPageRow(std::uint8_t* page, Bytes row, std::uint16_t flags) {
    const Bytes view(page, kPageSize);
    const std::uint16_t count = pageRowCount(view);
    const std::size_t lowest = lowestRowStart(view);
    const std::size_t free = lowest - (kDataPageHeaderSize + 2 * std::size_t(count));
    if (count >= kMaxRowsPerPage || row.size() + 2 > free) throw Damage("row of " + std::to_string(row.size()) + " bytes does not fit the page");
    const std::size_t start = lowest - row.size();
    if (!row.empty()) std::memcpy(page + start, row.data(), row.size());
    putU16(page + kDataPageHeaderSize + 2 * count, static_cast<std::uint32_t>(start | flags));
    putU16(page + kRowCountOffset, count + 1u);
    putU16(page + kFreeSpaceOffset, static_cast<std::uint32_t>(free - row.size() - 2));
    return static_cast<std::uint8_t>(count);
}

void initDataPage(std::uint8_t* page, std::uint32_t owner) {
    std::memset(page, 0, kPageSize);
    page[0] = static_cast<std::uint8_t>(PageType::Data);
    page[1] = 0x01;
    putU16(page + kFreeSpaceOffset, static_cast<std::uint32_t>(kPageSize - kDataPageHeaderSize));
    putU32(page + 4, owner);
}

}  // namespace jet
