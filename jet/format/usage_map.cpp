#include "jet/format/usage_map.h"

#include <cstring>
#include <string>

namespace jet {

namespace {

using L = UsageMapLayout;

void writeBit(std::uint8_t* bitmap, std::uint64_t bit, bool value) {
    if (value) bitmap[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    else bitmap[bit / 8] &= static_cast<std::uint8_t>(~(1u << (bit % 8)));
}
bool readBit(const std::uint8_t* bitmap, std::uint64_t bit) { return bitmap[bit / 8] & (1u << (bit % 8)); }

// Adds the pages whose bits are set in `bitmap` (bit n = page firstPage + n) to `out`.
void collectBits(Bytes bitmap, std::uint64_t firstPage, std::uint32_t pageCount, MapContent& out) {
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

MapContent decodeUsageMap(const PageFile& file, Bytes mapRow) {
    const ByteView row(mapRow);
    MapContent content;
    const std::uint8_t type = row.u8(L::kType, "usage map type");
    if (type == static_cast<std::uint8_t>(UsageMapForm::Inline)) {
        const std::uint32_t start = row.u32(L::kInlineStart, "usage map start page");
        collectBits(row.bytes().subspan(L::kInlineBitmap), start, file.pageCount(), content);
        return content;
    }
    if (type != static_cast<std::uint8_t>(UsageMapForm::Reference)) throw Damage("unknown usage map type " + std::to_string(type));
    const std::size_t slots = (row.size() - L::kReferenceSlots) / L::kSlotSize;
    for (std::size_t slot = 0; slot < slots; ++slot) {
        const std::uint32_t bitmapPage = row.u32(L::kReferenceSlots + slot * L::kSlotSize, "usage map reference");
        if (bitmapPage == 0) continue;
        if (bitmapPage >= file.pageCount())
            throw Damage("usage map refers to bitmap page " + std::to_string(bitmapPage) + ", past the end of the file");
        const ByteView page = file.page(bitmapPage);
        if (!isBitmapPage(page))
            throw Damage("usage map refers to page " + std::to_string(bitmapPage) + ", which is not a bitmap page");
        content.bitmapPages.push_back(bitmapPage);
        collectBits(page.bytes().subspan(L::kBitmapPageBits), std::uint64_t(slot) * L::kPagesPerBitmapPage, file.pageCount(), content);
    }
    return content;
}

MapContent readMapContent(const PageFile& file, RowPointer map) {
    if (map.page >= file.pageCount())
        throw Damage("usage map row pointer names page " + std::to_string(map.page) + ", past the end of the file");
    return decodeUsageMap(file, readPointedRow(file, map, "usage map"));
}

std::vector<std::uint32_t> readUsageMap(const PageFile& file, Bytes mapRow) { return decodeUsageMap(file, mapRow).pages; }

std::vector<std::uint8_t> encodeInlineUsageMap(std::uint32_t startPage, const std::vector<std::uint32_t>& pages, std::size_t bitmapBytes) {
    std::vector<std::uint8_t> row(L::kInlineBitmap + bitmapBytes, 0);
    UsageMapRow(row).rewriteInline(startPage, pages);
    return row;
}

std::vector<std::uint8_t> encodeReferenceUsageMap(const std::vector<std::uint32_t>& bitmapPages, std::size_t rowSize) {
    std::vector<std::uint8_t> row(rowSize, 0);
    UsageMapRow(row).becomeReference(bitmapPages);
    return row;
}

bool isBitmapPage(const ByteView& page) {
    return page.u8(L::kBitmapPageType, "page type") == static_cast<std::uint8_t>(PageType::UsageBitmap);
}

void initBitmapPage(std::uint8_t* page, bool allSet) {
    std::memset(page, 0, L::kBitmapPageBits);
    page[L::kBitmapPageType] = static_cast<std::uint8_t>(PageType::UsageBitmap);
    page[L::kBitmapPageMarker] = 0x01;
    std::memset(page + L::kBitmapPageBits, allSet ? 0xFF : 0x00, kPageSize - L::kBitmapPageBits);
}

void setBitmapPageBit(std::uint8_t* bitmapPage, std::uint32_t page, bool value) {
    writeBit(bitmapPage + L::kBitmapPageBits, bitmapBitOf(page), value);
}

UsageMapRow::UsageMapRow(std::span<std::uint8_t> row) : row_(row) {
    if (row.size() < L::kInlineBitmap) throw Damage("usage map row of " + std::to_string(row.size()) + " bytes is too short");
    if (row[L::kType] != static_cast<std::uint8_t>(UsageMapForm::Inline) && row[L::kType] != static_cast<std::uint8_t>(UsageMapForm::Reference))
        throw Damage("unknown usage map type " + std::to_string(row[L::kType]));
}

UsageMapForm UsageMapRow::form() const { return static_cast<UsageMapForm>(row_[L::kType]); }

std::uint32_t UsageMapRow::inlineStart() const { return ByteView(row_).u32(L::kInlineStart, "usage map start page"); }

bool UsageMapRow::inlineCovers(std::uint32_t page) const {
    const std::uint32_t start = inlineStart();
    return page >= start && page - start < inlineCapacity();
}

bool UsageMapRow::inlineBit(std::uint32_t page) const { return readBit(row_.data() + L::kInlineBitmap, page - inlineStart()); }

void UsageMapRow::setInlineBit(std::uint32_t page, bool value) { writeBit(row_.data() + L::kInlineBitmap, page - inlineStart(), value); }

void UsageMapRow::rewriteInline(std::uint32_t start, const std::vector<std::uint32_t>& pages) {
    for (std::uint32_t page : pages)
        if (page < start || page - start >= inlineCapacity())
            throw Damage("page " + std::to_string(page) + " does not fit an inline usage map starting at " + std::to_string(start));
    std::memset(row_.data(), 0, row_.size());
    row_[L::kType] = static_cast<std::uint8_t>(UsageMapForm::Inline);
    putU32(row_.data() + L::kInlineStart, start);
    for (std::uint32_t page : pages) writeBit(row_.data() + L::kInlineBitmap, page - start, true);
}

bool UsageMapRow::copyInlineBitsTo(std::size_t slot, std::uint8_t* bitmapPage) const {
    const std::uint64_t first = std::uint64_t(slot) * L::kPagesPerBitmapPage;
    const std::uint64_t start = inlineStart();
    bool anySet = false;
    for (std::uint32_t bit = 0; bit < inlineCapacity(); ++bit) {
        const std::uint64_t page = start + bit;
        if (page < first || page >= first + L::kPagesPerBitmapPage) continue;
        const bool set = readBit(row_.data() + L::kInlineBitmap, bit);
        if (bitmapPage) writeBit(bitmapPage + L::kBitmapPageBits, page - first, set);
        anySet = anySet || set;
    }
    return anySet;
}

std::uint32_t UsageMapRow::slotPage(std::size_t slot) const {
    return ByteView(row_).u32(L::kReferenceSlots + slot * L::kSlotSize, "usage map reference");
}

void UsageMapRow::setSlotPage(std::size_t slot, std::uint32_t bitmapPage) {
    if (slot >= slotCount()) throw Damage("usage map slot " + std::to_string(slot) + " lies beyond its row");
    putU32(row_.data() + L::kReferenceSlots + slot * L::kSlotSize, bitmapPage);
}

void UsageMapRow::becomeReference(const std::vector<std::uint32_t>& bitmapPages) {
    if (bitmapPages.size() > slotCount())
        throw Damage(std::to_string(bitmapPages.size()) + " bitmap pages do not fit a usage map row of " + std::to_string(row_.size()) + " bytes");
    std::memset(row_.data(), 0, row_.size());
    row_[L::kType] = static_cast<std::uint8_t>(UsageMapForm::Reference);
    for (std::size_t slot = 0; slot < bitmapPages.size(); ++slot) setSlotPage(slot, bitmapPages[slot]);
}

}  // namespace jet
