#pragma once

#include <cstdint>
#include <span>
#include <vector>

#include "jet/format/data_page.h"

namespace jet {

// A usage map: a row on a data page recording a set of page numbers, in one of two forms.
//
//   inline (type 0)      offset 0: 0x00, 1: u32 first page covered, 5: bitmap; bit n of the
//                        bitmap stands for page first + n
//   reference (type 1)   offset 0: 0x01, 1: u32 page numbers of bitmap pages, one per slot
//                        (0 = none); slot k covers pages k*32736 .. (k+1)*32736 - 1
//   bitmap page          offset 0: page type 0x05, 1: 0x01, 4: bitmap of 4092 bytes
//
// Tables, indexes and long-value columns list the pages they own (or have room on) with a set
// bit. The global map (page 1, row 0) is the other way round: a set bit is a free page, and a
// page it does not cover counts as free too.
struct UsageMapLayout {
    static constexpr std::size_t kType = 0;
    static constexpr std::size_t kInlineStart = 1;
    static constexpr std::size_t kInlineBitmap = 5;
    static constexpr std::size_t kReferenceSlots = 1;
    static constexpr std::size_t kSlotSize = 4;
    static constexpr std::size_t kBitmapPageType = 0;
    static constexpr std::size_t kBitmapPageMarker = 1;
    static constexpr std::size_t kBitmapPageBits = 4;
    static constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - kBitmapPageBits) * 8;
    static constexpr std::size_t kStandardBitmapBytes = 64;   // every map row Access writes is 69 bytes
    static constexpr std::size_t kStandardRowSize = kInlineBitmap + kStandardBitmapBytes;
};

inline constexpr std::size_t kMapBitmapBytes = UsageMapLayout::kStandardBitmapBytes;
inline constexpr std::size_t kMapRowSize = UsageMapLayout::kStandardRowSize;

// Where the global map lives.
inline constexpr RowPointer kGlobalUsageMap{1, 0};

enum class UsageMapForm : std::uint8_t { Inline = 0x00, Reference = 0x01 };

// ---- Decoding ----

// Everything a usage map row records.
struct MapContent {
    std::vector<std::uint32_t> pages;         // set bits within the file, ascending
    std::vector<std::uint32_t> bitmapPages;   // the bitmap pages a reference map points to
    bool anyPastEnd = false;                  // a bit is set for a page the file does not have
    std::uint32_t firstPastEnd = 0;           // the lowest such page
};

// Decodes a map row. Throws Damage when the type is unknown or a reference map names a page
// outside the file or of another type.
MapContent decodeUsageMap(const PageFile& file, Bytes mapRow);
// The same for the row `map` points to; also throws Damage when the pointer leads to no row.
MapContent readMapContent(const PageFile& file, RowPointer map);
// Only the pages within the file whose bits are set, ascending.
std::vector<std::uint32_t> readUsageMap(const PageFile& file, Bytes mapRow);

// ---- Encoding ----

// An inline map row covering `bitmapBytes`*8 pages from `startPage`, with the bits of `pages`
// set. Throws Damage when a page lies outside that window.
std::vector<std::uint8_t> encodeInlineUsageMap(std::uint32_t startPage, const std::vector<std::uint32_t>& pages,
                                               std::size_t bitmapBytes = kMapBitmapBytes);
// A reference map row of `rowSize` bytes naming these bitmap pages, one per slot (0 = none).
// Throws Damage when there are more slots than the row holds.
std::vector<std::uint8_t> encodeReferenceUsageMap(const std::vector<std::uint32_t>& bitmapPages, std::size_t rowSize = kMapRowSize);

// Whether `page` is a bitmap page (type 0x05).
bool isBitmapPage(const ByteView& page);
// Makes `page` an empty bitmap page: every bit set (`allSet`) or every bit clear.
void initBitmapPage(std::uint8_t* page, bool allSet);
// The slot of a reference map, and the bit on that slot's bitmap page, that stand for `page`.
inline std::size_t bitmapSlotOf(std::uint32_t page) { return page / UsageMapLayout::kPagesPerBitmapPage; }
inline std::uint32_t bitmapBitOf(std::uint32_t page) { return page % UsageMapLayout::kPagesPerBitmapPage; }
// Sets or clears the bit of `page` on the bitmap page of its slot.
void setBitmapPageBit(std::uint8_t* bitmapPage, std::uint32_t page, bool value);

// ---- Editing a map row in place ----

// A map row within a page image, read and changed through the layout above. Its length never
// changes. Throws Damage when the row is shorter than an inline header or of unknown type.
class UsageMapRow {
public:
    explicit UsageMapRow(std::span<std::uint8_t> row);

    UsageMapForm form() const;
    std::size_t size() const { return row_.size(); }

    // Inline form.
    std::uint32_t inlineStart() const;
    std::uint32_t inlineCapacity() const { return static_cast<std::uint32_t>((row_.size() - UsageMapLayout::kInlineBitmap) * 8); }
    bool inlineCovers(std::uint32_t page) const;
    bool inlineBit(std::uint32_t page) const;   // page must be covered
    void setInlineBit(std::uint32_t page, bool value);
    // Moves the window to `start` with exactly `pages` set. Throws Damage when one does not fit.
    void rewriteInline(std::uint32_t start, const std::vector<std::uint32_t>& pages);
    // Copies the bits of the inline window that fall in `slot` onto `bitmapPage` (a bitmap page of
    // that slot); the rest of the page stays as it is. Tells whether any of them is set.
    bool copyInlineBitsTo(std::size_t slot, std::uint8_t* bitmapPage) const;

    // Reference form.
    std::size_t slotCount() const { return (row_.size() - UsageMapLayout::kReferenceSlots) / UsageMapLayout::kSlotSize; }
    std::uint32_t slotPage(std::size_t slot) const;
    void setSlotPage(std::size_t slot, std::uint32_t bitmapPage);
    // Turns the row into a reference map with these bitmap pages, one per slot (0 = none).
    // Throws Damage when there are more slots than the row holds.
    void becomeReference(const std::vector<std::uint32_t>& bitmapPages);

private:
    std::span<std::uint8_t> row_;
};

}  // namespace jet
