#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

// Flags in the high bits of a data page's row offset.
inline constexpr std::uint16_t kRowDeletedFlag = 0x8000;   // deleted, or the target of an overflow stub
inline constexpr std::uint16_t kRowOverflowFlag = 0x4000;  // the row holds a pointer to where the data moved
inline constexpr std::uint16_t kRowOffsetMask = 0x1FFF;

// A row pointer: page in the upper 24 bits, row number in the low byte.
struct RowPointer {
    std::uint32_t page = 0;
    std::uint8_t row = 0;

    static RowPointer fromRaw(std::uint32_t raw) { return {raw >> 8, static_cast<std::uint8_t>(raw & 0xFF)}; }
    std::uint32_t raw() const { return (page << 8) | row; }
    bool operator==(const RowPointer&) const = default;
};

struct RowSlot {
    std::uint16_t flags = 0;
    Bytes bytes;   // the row's bytes within the page
};

// Read access to the row table of a data page (also long-value and usage-map pages).
class DataPage {
public:
    // Throws Damage when the page is not a data page or its row table is inconsistent.
    explicit DataPage(ByteView page);

    std::uint32_t owner() const { return owner_; }            // TDEF page, or "LVAL" for long-value pages
    bool isLongValuePage() const { return owner_ == 0x4C41564C; }
    std::uint16_t rowCount() const { return rowCount_; }

    // Flags of a row (deleted / overflow) without checking its bounds.
    std::uint16_t rowFlags(std::uint16_t index) const;

    // Throws Damage when the row number is out of range or its bounds do not fit the page.
    RowSlot row(std::uint16_t index) const;

private:
    ByteView page_;
    std::uint32_t owner_ = 0;
    std::uint16_t rowCount_ = 0;
};

// Reads the bytes of the row a pointer names. Throws Damage for anything inconsistent.
Bytes readPointedRow(const PageFile& file, RowPointer pointer, const char* what);

}  // namespace jet
