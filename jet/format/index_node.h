#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/data_page.h"

namespace jet {

// The pages of an index B-tree: node pages (0x03) above leaf pages (0x04). Every offset of their
// layout is named here, once; decoding and encoding below use these names.
namespace index_node {

inline constexpr std::size_t kPageType = 0x00;
inline constexpr std::size_t kFreeSpace = 0x02;      // unused bytes of the entry area
inline constexpr std::size_t kOwner = 0x04;          // the table's definition page
inline constexpr std::size_t kPrevious = 0x0C;       // the page before on the same level, or 0
inline constexpr std::size_t kNext = 0x10;           // the page after on the same level, or 0
inline constexpr std::size_t kTail = 0x14;           // node pages: the rightmost child, not listed
inline constexpr std::size_t kPrefixLength = 0x18;   // bytes later entries share with the first
inline constexpr std::size_t kEntryEnds = 0x1B;      // bitmap: bit n set where an entry ends at byte n
inline constexpr std::size_t kEntries = 0x1E0;       // the entry area, to the end of the page
inline constexpr std::size_t kEntrySpace = kPageSize - kEntries;
inline constexpr std::size_t kRowPointerSize = 4;    // leaf entries end with the row's page (3) and row (1)
inline constexpr std::size_t kChildPointerSize = 4;  // node entries end with the child's page

}  // namespace index_node

// One leaf entry as stored, prefix compression undone: key bytes, then the row's 3-byte
// big-endian page and row number. In a node page an entry is followed by its child's page.
using IndexEntryBytes = std::vector<std::uint8_t>;

struct IndexNodeHeader {
    std::uint8_t type = 0;   // PageType::IndexNode or IndexLeaf
    std::uint32_t owner = 0;
    std::uint32_t previous = 0;
    std::uint32_t next = 0;
    std::uint32_t tail = 0;

    bool isLeaf() const { return type == static_cast<std::uint8_t>(PageType::IndexLeaf); }
    bool isNode() const { return type == static_cast<std::uint8_t>(PageType::IndexNode); }
};

// The header fields of an index page (of any page; the caller checks the type).
IndexNodeHeader readIndexNodeHeader(const ByteView& page);

// The entries of one index page in order, prefix compression undone. Node entries include their
// 4-byte child page. Throws Damage when the free space or the bitmap do not fit the page.
std::vector<IndexEntryBytes> readIndexPageEntries(Bytes page);

// The row a leaf entry points at.
RowPointer entryRow(const IndexEntryBytes& entry);
// Appends a row pointer as leaf entries end with it.
void appendEntryRow(IndexEntryBytes& entry, RowPointer row);
// Overwrites the row pointer an entry ends with.
void setEntryRow(IndexEntryBytes& entry, RowPointer row);
// The child page a node entry points at. Throws Damage when the entry is too short.
std::uint32_t entryChild(const IndexEntryBytes& nodeEntry);

// Writes a whole index page: the header, then `entries` one after the other without prefix
// compression; in a node page (`children` not empty) each entry is followed by children[i]. The
// entries must fit index_node::kEntrySpace.
void encodeIndexPage(std::uint8_t* page, const IndexNodeHeader& header, const std::vector<const IndexEntryBytes*>& entries,
                     const std::vector<std::uint32_t>& children = {});

}  // namespace jet
