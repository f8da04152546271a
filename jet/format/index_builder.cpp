#include "jet/format/index_builder.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace jet {

namespace {

constexpr std::size_t kBitmapOffset = 0x1B;
constexpr std::size_t kEntriesOffset = 0x1E0;
constexpr std::size_t kEntrySpace = kPageSize - kEntriesOffset;
constexpr std::size_t kPreviousOffset = 12;
constexpr std::size_t kNextOffset = 16;
constexpr std::size_t kTailOffset = 20;

struct PageContent {
    std::vector<std::vector<std::uint8_t>> entries;   // encoded, in order
    std::vector<std::uint8_t> lastEntry;              // leaf entry bytes of the last key below
    std::uint32_t number = 0;
};

std::vector<std::uint8_t> writeIndexPage(PageType type, std::uint32_t tablePage, const std::vector<std::vector<std::uint8_t>>& entries,
                                         std::uint32_t previous, std::uint32_t next, std::uint32_t tail) {
    std::vector<std::uint8_t> page(kPageSize, 0);
    page[0] = static_cast<std::uint8_t>(type);
    page[1] = 0x01;
    putU32(&page[4], tablePage);
    putU32(&page[kPreviousOffset], previous);
    putU32(&page[kNextOffset], next);
    putU32(&page[kTailOffset], tail);
    std::size_t used = 0;
    for (const auto& entry : entries) {
        std::copy(entry.begin(), entry.end(), page.begin() + static_cast<std::ptrdiff_t>(kEntriesOffset + used));
        used += entry.size();
        page[kBitmapOffset + used / 8] |= static_cast<std::uint8_t>(1u << (used % 8));   // marks where the entry ends
    }
    putU16(&page[2], static_cast<std::uint32_t>(kEntrySpace - used));
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

void appendBigEndian32(std::vector<std::uint8_t>& out, std::uint32_t value) {
    for (int i = 3; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> encodeIndexEntry(const IndexEntry& entry) {
    std::vector<std::uint8_t> bytes = entry.key;
    bytes.push_back(static_cast<std::uint8_t>(entry.row.page >> 16));
    bytes.push_back(static_cast<std::uint8_t>(entry.row.page >> 8));
    bytes.push_back(static_cast<std::uint8_t>(entry.row.page));
    bytes.push_back(entry.row.row);
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
        std::size_t used = 0;
        for (std::size_t i = 0; i + 1 < level.size(); ++i) {
            std::vector<std::uint8_t> entry = level[i].lastEntry;
            appendBigEndian32(entry, level[i].number);
            used += entry.size();
            nodeEntries.push_back(std::move(entry));
        }
        if (used > kEntrySpace)
            throw std::invalid_argument("index of " + std::to_string(entries.size()) + " entries needs more than two levels, which is not supported");
        PageContent root;
        root.number = allocator.allocate();
        built.pages.push_back(root.number);
        allocator.set(root.number, writeIndexPage(PageType::IndexNode, tablePage, nodeEntries, 0, 0, level.back().number));
        level = {root};
    }
    built.rootPage = level.front().number;
    return built;
}

}  // namespace jet
