#include "jet/format/data_page.h"

#include <string>

namespace jet {

namespace {
constexpr std::size_t kRowCountOffset = 12;
constexpr std::size_t kRowTableOffset = 14;
}  // namespace

DataPage::DataPage(ByteView page) : page_(page) {
    if (page.u8(0, "page type") != static_cast<std::uint8_t>(PageType::Data))
        throw Damage("expected a data page, found page type " + std::to_string(page.u8(0, "page type")));
    owner_ = page.u32(4, "data page owner");
    rowCount_ = page.u16(kRowCountOffset, "data page row count");
    if (kRowTableOffset + 2u * rowCount_ > kPageSize) throw Damage("data page claims " + std::to_string(rowCount_) + " rows");
}

std::uint16_t DataPage::rowFlags(std::uint16_t index) const {
    if (index >= rowCount_)
        throw Damage("row " + std::to_string(index) + " does not exist (page has " + std::to_string(rowCount_) + " rows)");
    return page_.u16(kRowTableOffset + 2u * index, "row offset") & ~kRowOffsetMask;
}

RowSlot DataPage::row(std::uint16_t index) const {
    if (index >= rowCount_)
        throw Damage("row " + std::to_string(index) + " does not exist (page has " + std::to_string(rowCount_) + " rows)");
    const std::uint16_t raw = page_.u16(kRowTableOffset + 2u * index, "row offset");
    const std::size_t start = raw & kRowOffsetMask;
    // Rows are packed downwards: a row ends where the previous one starts.
    std::size_t end = kPageSize;
    if (index > 0) end = page_.u16(kRowTableOffset + 2u * (index - 1), "row offset") & kRowOffsetMask;
    const std::size_t rowTableEnd = kRowTableOffset + 2u * rowCount_;
    if (start < rowTableEnd || start > end || end > kPageSize)
        throw Damage("row " + std::to_string(index) + " has impossible bounds " + std::to_string(start) + ".." +
                     std::to_string(end));
    RowSlot slot;
    slot.flags = raw & ~kRowOffsetMask;
    slot.bytes = page_.slice(start, end - start, "row");
    return slot;
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

}  // namespace jet
