#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/create/page_allocator.h"
#include "jet/format/index_node.h"

namespace jet {

struct IndexEntry {
    std::vector<std::uint8_t> key;   // flag bytes and encoded values of all key columns
    RowPointer row;
};

// Entry bytes as stored: key, then the row's page (3 bytes, big-endian) and row number.
std::vector<std::uint8_t> encodeIndexEntry(const IndexEntry& entry);

struct BuiltIndex {
    std::uint32_t rootPage = 0;
    std::vector<std::uint32_t> pages;
};

// Sorts `entries` and writes them as a B-tree of leaf pages (linked previous/next) under node
// pages when one leaf is not enough. An empty index is a single empty leaf. `tablePage` is the
// owning table definition page.
BuiltIndex buildIndexPages(PageAllocator& pages, std::uint32_t tablePage, std::vector<IndexEntry> entries);

}  // namespace jet
