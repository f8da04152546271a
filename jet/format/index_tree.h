#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/index_node.h"

namespace jet {

struct IndexTreeContent {
    std::vector<IndexEntryBytes> entries;   // leaf entries in tree order
    std::vector<std::uint32_t> pages;       // every page of the tree, root first
};

// Reads a whole index tree from its root: node entries' child pages in order, then the tail
// page. Throws Damage for pages of the wrong type, bitmaps that do not fit or loops.
IndexTreeContent readIndexTree(const PageFile& file, std::uint32_t root);
// The pages of the tree only (what rewriting it frees or reuses), root first; leaf pages are
// not decoded.
std::vector<std::uint32_t> indexTreePages(const PageFile& file, std::uint32_t root);

// Writes `entries` (sorted) as a tree of leaves linked previous/next under node levels, into
// pages taken from `reuse` first (the first becomes the root) and then from `allocate`. Returns
// the pages used, root first. An empty index is one empty leaf.
std::vector<std::uint32_t> writeIndexTree(PageFile& file, std::uint32_t tablePage, const std::vector<IndexEntryBytes>& entries,
                                          const std::vector<std::uint32_t>& reuse, const std::function<std::uint32_t()>& allocate);

}  // namespace jet
