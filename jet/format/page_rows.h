#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/byte_view.h"

namespace jet {

inline constexpr std::size_t kDataPageHeaderSize = 14;
inline constexpr std::size_t kMaxRowsPerPage = 255;
inline constexpr std::uint32_t kLongValuePageOwner = 0x4C41564C;   // "LVAL"

// One entry of a data page's row table, with a copy of its bytes.
struct PageRow {
    std::uint16_t flags = 0;   // kRowDeletedFlag / kRowOverflowFlag bits of the offset entry
    std::vector<std::uint8_t> bytes;
};

// Every row of a data page (long-value pages too), deleted ones included. Throws Damage when
// the row table does not fit the page.
std::vector<PageRow> readPageRows(Bytes page);

// Bytes a page needs for `rows`: header, offset table and row data.
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

// Adds a row after the last one without touching the others; returns its row number. The
// caller checks the room first (row size + 2 bytes <= free space, fewer than 255 rows).
std::uint8_t appendPageRow(std::uint8_t* page, Bytes row, std::uint16_t flags);

// Starts an empty data page owned by `owner` (a TDEF page, or kLongValuePageOwner).
void initDataPage(std::uint8_t* page, std::uint32_t owner);

}  // namespace jet
