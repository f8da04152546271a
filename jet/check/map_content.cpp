#include "jet/check/map_content.h"

#include <string>

namespace jet {

namespace {
constexpr std::uint8_t kInlineMap = 0x00;
constexpr std::uint8_t kReferenceMap = 0x01;
constexpr std::size_t kBitmapPageHeader = 4;
constexpr std::uint64_t kPagesPerBitmapPage = (kPageSize - kBitmapPageHeader) * 8;

void collect(Bytes bitmap, std::uint64_t firstPage, std::uint32_t pageCount, MapContent& out) {
    for (std::size_t byte = 0; byte < bitmap.size(); ++byte) {
        if (bitmap[byte] == 0) continue;
        for (unsigned bit = 0; bit < 8; ++bit) {
            if (!(bitmap[byte] & (1u << bit))) continue;
            const std::uint64_t page = firstPage + byte * 8 + bit;
            if (page < pageCount) {
                out.pages.push_back(static_cast<std::uint32_t>(page));
            } else if (!out.anyPastEnd) {
                out.anyPastEnd = true;
                out.firstPastEnd = page > 0xFFFFFFFFu ? 0xFFFFFFFFu : static_cast<std::uint32_t>(page);
            }
        }
    }
}
}  // namespace

MapContent readMapContent(const PageFile& file, RowPointer map) {
    if (map.page >= file.pageCount())
        throw Damage("usage map row pointer names page " + std::to_string(map.page) + ", past the end of the file");
    const ByteView row(readPointedRow(file, map, "usage map"));
    MapContent content;
    const std::uint8_t type = row.u8(0, "usage map type");
    if (type == kInlineMap) {
        const std::uint32_t start = row.u32(1, "usage map start page");
        collect(row.bytes().subspan(5), start, file.pageCount(), content);
        return content;
    }
    if (type != kReferenceMap) throw Damage("unknown usage map type " + std::to_string(type));
    const std::size_t slots = (row.size() - 1) / 4;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const std::uint32_t bitmapPage = row.u32(1 + slot * 4, "usage map reference");
        if (bitmapPage == 0) continue;
        if (bitmapPage >= file.pageCount())
            throw Damage("usage map refers to bitmap page " + std::to_string(bitmapPage) + ", past the end of the file");
        const ByteView page = file.page(bitmapPage);
        if (page.u8(0, "page type") != static_cast<std::uint8_t>(PageType::UsageBitmap))
            throw Damage("usage map refers to page " + std::to_string(bitmapPage) + ", which is not a bitmap page");
        content.bitmapPages.push_back(bitmapPage);
        collect(page.bytes().subspan(kBitmapPageHeader), slot * kPagesPerBitmapPage, file.pageCount(), content);
    }
    return content;
}

}  // namespace jet
