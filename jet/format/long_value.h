#pragma once

// Long values (memo and OLE): the 12-byte field a row holds for them and the long-value (LVAL)
// rows that hold their data out of the row, decoded and encoded side by side.
//
//   field:      [length 3][form 1][first row pointer 4][zero 4] + the data when inline
//   chain row:  [next row pointer 4, 0 on the last][data]
//
// The form byte is 0x80 (data inline after the field), 0x40 (one long-value row holding exactly
// the data) or 0x00 (a chain of rows). The length is the stored data's bytes.

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/file/byte_view.h"
#include "jet/format/data_page.h"

namespace jet {

namespace long_value_format {
inline constexpr std::size_t kWordOffset = 0;      // length and form
inline constexpr std::size_t kPointerOffset = 4;   // first long-value row
inline constexpr std::size_t kChainNextOffset = 0;
inline constexpr std::size_t kChainDataOffset = 4;
}  // namespace long_value_format

inline constexpr std::size_t kLongValueHeaderSize = 12;
inline constexpr std::uint32_t kLongValueInline = 0x80000000u;
inline constexpr std::uint32_t kLongValueSingleRow = 0x40000000u;
// A long value's length takes the low three bytes of its header word; the high byte holds the
// form flags above. So a stored value is at most 2^24 - 1 bytes: a longer length would spill
// into the flags and make the whole table unreadable.
inline constexpr std::uint32_t kLongValueLengthMask = 0x00FFFFFFu;
inline constexpr std::size_t kLongValueMaxLength = kLongValueLengthMask;
// What this engine writes inline (when the row has room), in one row, or as a chain of rows
// of at most kLongValueChainChunk data bytes: the choices Access makes.
inline constexpr std::size_t kLongValueInlineLimit = 64;
inline constexpr std::size_t kLongValueSingleRowLimit = 4076;
inline constexpr std::size_t kLongValueChainChunk = 4072;

enum class LongValueForm { Inline, SingleRow, Chain };

struct LongValueField {
    LongValueForm form = LongValueForm::Inline;
    std::uint32_t length = 0;
    RowPointer first;   // SingleRow and Chain
    Bytes inlineData;   // Inline: exactly `length` bytes
};

// Reads a long value's field. Throws Damage when it is shorter than its header, names an
// unknown form, or holds less inline data than its length.
LongValueField decodeLongValueField(Bytes field);
// Throws std::length_error for a value longer than kLongValueMaxLength (which callers refuse
// first, with the column's name: this guards the format).
void requireStorableLongValue(std::size_t length);
// The field of a value stored out of the row (requireStorableLongValue holds for `length`).
std::vector<std::uint8_t> encodeLongValueField(LongValueForm form, std::size_t length, RowPointer first);
// The field of a value stored inline (kLongValueInlineLimit bytes at most, by the caller's choice).
std::vector<std::uint8_t> encodeInlineLongValue(Bytes stored);

struct LongValueChainRow {
    RowPointer next;   // page 0 on the last row
    Bytes data;
};
// Throws Damage when the row is too short for its pointer.
LongValueChainRow decodeChainRow(Bytes row);
std::vector<std::uint8_t> encodeChainRow(RowPointer next, Bytes chunk);

// Stores `stored` out of the row, in one long-value row when it fits and as a chain otherwise,
// written from its last chunk so that each row can name the next. `placeRow(bytes)` stores one
// long-value row and returns where. Returns the field for the row.
template <class PlaceRow>
std::vector<std::uint8_t> storeLongValueRows(Bytes stored, PlaceRow&& placeRow) {
    requireStorableLongValue(stored.size());   // before any row is placed
    if (stored.size() <= kLongValueSingleRowLimit)
        return encodeLongValueField(LongValueForm::SingleRow, stored.size(), placeRow(stored));
    std::size_t start = (stored.size() - 1) / kLongValueChainChunk * kLongValueChainChunk;
    RowPointer next{};
    for (;; start -= kLongValueChainChunk) {
        const std::vector<std::uint8_t> row = encodeChainRow(next, stored.subspan(start, std::min(kLongValueChainChunk, stored.size() - start)));
        next = placeRow(Bytes(row.data(), row.size()));
        if (start == 0) break;
    }
    return encodeLongValueField(LongValueForm::Chain, stored.size(), next);
}

// Reads the stored bytes of a memo or OLE value from its field, following a single long-value
// row or a chain of rows. Throws Damage when lengths do not fit, a pointer leads nowhere or the
// chain loops.
std::vector<std::uint8_t> readLongValue(const PageFile& file, Bytes field);

}  // namespace jet
