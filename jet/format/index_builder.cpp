#include "jet/format/index_builder.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace jet {

using namespace index_node;

namespace {

struct PageContent {
    std::vector<std::vector<std::uint8_t>> entries;   // encoded, in order
    std::vector<std::uint8_t> lastEntry;              // leaf entry bytes of the last key below
    std::uint32_t number = 0;
};

std::vector<std::uint8_t> writeIndexPage(PageType type, std::uint32_t tablePage, const std::vector<std::vector<std::uint8_t>>& entries,
                                         std::uint32_t previous, std::uint32_t next, std::uint32_t tail,
                                         const std::vector<std::uint32_t>& children = {}) {
    std::vector<std::uint8_t> page(kPageSize, 0);
    std::vector<const IndexEntryBytes*> pointers;
    for (const auto& entry : entries) pointers.push_back(&entry);
    encodeIndexPage(page.data(), {static_cast<std::uint8_t>(type), tablePage, previous, next, tail}, pointers, children);
    return page;
}

// Splits encoded entries into page-sized groups.
std::vector<PageContent> group(const std::vector<std::vector<std::uint8_t>>& entries, const std::vector<std::vector<std::uint8_t>>& lastKeys) {
    std::vector<PageContent> pages(1);
    std::size_t used = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        if (used + entries[i].size() > kEntrySpace) {
            pages.emplace_back();
            used = 0;
        }
        pages.back().entries.push_back(entries[i]);
        pages.back().lastEntry = lastKeys[i];
        used += entries[i].size();
    }
    return pages;
}

}  // namespace

std::vector<std::uint8_t> encodeIndexEntry(const IndexEntry& entry) {
    std::vector<std::uint8_t> bytes = entry.key;
    appendEntryRow(bytes, entry.row);
    return bytes;
}

BuiltIndex buildIndexPages(PageAllocator& allocator, std::uint32_t tablePage, std::vector<IndexEntry> entries) {
    std::vector<std::vector<std::uint8_t>> encoded;
    encoded.reserve(entries.size());
    for (const auto& entry : entries) encoded.push_back(encodeIndexEntry(entry));
    std::sort(encoded.begin(), encoded.end());

    BuiltIndex built;
    // Leaves.
    std::vector<PageContent> level = group(encoded, encoded);
    for (auto& page : level) {
        page.number = allocator.allocate();
        built.pages.push_back(page.number);
    }
    for (std::size_t i = 0; i < level.size(); ++i)
        allocator.set(level[i].number, writeIndexPage(PageType::IndexLeaf, tablePage, level[i].entries, i ? level[i - 1].number : 0,
                                                      i + 1 < level.size() ? level[i + 1].number : 0, 0));
    // One node page above the leaves: an entry per child holding the child's last key and row
    // pointer plus the child page; the rightmost child is not listed but named as the tail page.
    if (level.size() > 1) {
        std::vector<std::vector<std::uint8_t>> nodeEntries;
        std::vector<std::uint32_t> children;
        std::size_t used = 0;
        for (std::size_t i = 0; i + 1 < level.size(); ++i) {
            used += level[i].lastEntry.size() + kChildPointerSize;
            nodeEntries.push_back(level[i].lastEntry);
            children.push_back(level[i].number);
        }
        if (used > kEntrySpace)
            throw std::invalid_argument("index of " + std::to_string(entries.size()) + " entries needs more than two levels, which is not supported");
        PageContent root;
        root.number = allocator.allocate();
        built.pages.push_back(root.number);
        allocator.set(root.number, writeIndexPage(PageType::IndexNode, tablePage, nodeEntries, 0, 0, level.back().number, children));
        level = {root};
    }
    built.rootPage = level.front().number;
    return built;
}

}  // namespace jet
