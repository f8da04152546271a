#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

// A Jet 4 data page (type 0x01), which holds table rows, long-value rows and usage-map rows:
//
//   offset  size  field
//   0       1     page type 0x01
//   1       1     0x01
//   2       2     free space: bytes between the end of the row table and the lowest row
//   4       4     owner: the TDEF page of the table, or "LVAL" on long-value pages
//   8       4     (zero)
//   12      2     row count
//   14      2*n   row table: each row's start offset, with flags in the top bits
//   ...           rows, packed from the end of the page downwards: row 0 ends at 4096 and every
//                 later row ends where the one before it starts
//
// Decoding and encoding below both go through this one table of offsets.
struct DataPageLayout {
    static constexpr std::size_t kType = 0;
    static constexpr std::size_t kMarker = 1;
    static constexpr std::size_t kFreeSpace = 2;
    static constexpr std::size_t kOwner = 4;
    static constexpr std::size_t kRowCount = 12;
    static constexpr std::size_t kRowTable = 14;
    static constexpr std::size_t kRowEntrySize = 2;
    static constexpr std::size_t kHeaderSize = kRowTable;
    static constexpr std::size_t kMaxRows = 255;   // row pointers number rows in one byte
};

inline constexpr std::size_t kDataPageHeaderSize = DataPageLayout::kHeaderSize;
inline constexpr std::size_t kMaxRowsPerPage = DataPageLayout::kMaxRows;
inline constexpr std::uint32_t kLongValuePageOwner = 0x4C41564C;   // "LVAL"
// A row that outgrew its page leaves a stub pointing at where it went; a stub may lead to another
// stub. Chains longer than this are damage (they would otherwise loop).
inline constexpr int kMaxOverflowHops = 16;

// Flags in the high bits of a row table entry.
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

// Read access to the row table of a data page, without copying.
class DataPage {
public:
    // Throws Damage when the page is not a data page or its row table does not fit the page.
    explicit DataPage(ByteView page);

    std::uint32_t owner() const { return owner_; }            // TDEF page, or kLongValuePageOwner
    bool isLongValuePage() const { return owner_ == kLongValuePageOwner; }
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

// Whether `page` is a data page whose owner field names `owner` (a TDEF page). Throws Damage only
// when the page is too short to tell.
bool isDataPageOwnedBy(const ByteView& page, std::uint32_t owner);

// Reads the bytes of the row a pointer names. Throws Damage for anything inconsistent.
Bytes readPointedRow(const PageFile& file, RowPointer pointer, const char* what);

// One entry of a data page's row table, with a copy of its bytes.
struct PageRow {
    std::uint16_t flags = 0;   // kRowDeletedFlag / kRowOverflowFlag bits of the offset entry
    std::vector<std::uint8_t> bytes;
};

// Every row of a data page (long-value pages too), deleted ones included. Throws Damage when
// the row table does not fit the page or a row's bounds are impossible.
std::vector<PageRow> readPageRows(Bytes page);

// Bytes a page needs for `rows`: header, row table and row data.
std::size_t pageBytesNeeded(const std::vector<PageRow>& rows);

// Rewrites the row area of a data page from `rows`, packed from the end of the page, keeping
// every row's number and flags and the page's header fields other than free space and row
// count. Throws Damage when the rows do not fit.
void writePageRows(std::uint8_t* page, const std::vector<PageRow>& rows);

std::uint16_t pageRowCount(Bytes page);
// Start of the lowest row (4096 on an empty page). Throws Damage when it overlaps the row table.
std::size_t lowestRowStart(Bytes page);
// Largest row that one more row-table entry still leaves room for (0 when the page is full).
std::size_t pageRoomForRow(Bytes page);

// Adds a row after the last one without touching the others; returns its row number. Throws
// Damage when it does not fit (row size + 2 bytes must fit the free space, at most 255 rows).
std::uint8_t appendPageRow(std::uint8_t* page, Bytes row, std::uint16_t flags);

// Starts an empty data page owned by `owner` (a TDEF page, or kLongValuePageOwner).
void initDataPage(std::uint8_t* page, std::uint32_t owner);

}  // namespace jet
