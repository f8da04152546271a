#include "jet/write/index_tree.h"

#include <algorithm>
#include <cstring>
#include <set>
#include <string>

namespace jet {

namespace {
constexpr std::size_t kFreeSpaceOffset = 2;
constexpr std::size_t kOwnerOffset = 4;
constexpr std::size_t kPreviousOffset = 12;
constexpr std::size_t kNextOffset = 16;
constexpr std::size_t kTailOffset = 20;
constexpr std::size_t kPrefixOffset = 24;
constexpr std::size_t kBitmapOffset = 0x1B;
constexpr std::size_t kEntriesOffset = 0x1E0;
constexpr std::size_t kEntrySpace = kPageSize - kEntriesOffset;
constexpr std::size_t kMaxDepth = 8;

std::uint32_t childOf(const std::vector<std::uint8_t>& nodeEntry) {
    const std::size_t n = nodeEntry.size();
    if (n < 8) throw Damage("index node entry is too short");
    return (std::uint32_t(nodeEntry[n - 4]) << 24) | (std::uint32_t(nodeEntry[n - 3]) << 16) | (std::uint32_t(nodeEntry[n - 2]) << 8) |
           nodeEntry[n - 1];
}

// Walks the tree below `page`; leaf entries are decoded only when `withEntries`.
void readTree(const PageFile& file, std::uint32_t page, std::size_t depth, std::set<std::uint32_t>& seen, IndexTreeContent& out, bool withEntries) {
    if (depth > kMaxDepth) throw Damage("index tree deeper than " + std::to_string(kMaxDepth) + " levels");
    if (!seen.insert(page).second) throw Damage("index page " + std::to_string(page) + " is reached twice");
    out.pages.push_back(page);
    const ByteView view = file.page(page);
    const std::uint8_t type = view.u8(0, "index page type");
    if (type == static_cast<std::uint8_t>(PageType::IndexLeaf) && !withEntries) return;
    const auto entries = readIndexPageEntries(view.bytes());
    if (type == static_cast<std::uint8_t>(PageType::IndexLeaf)) {
        for (const auto& entry : entries) {
            if (entry.size() < 5) throw Damage("index entry on page " + std::to_string(page) + " is too short");
            out.entries.push_back(entry);
        }
        return;
    }
    if (type != static_cast<std::uint8_t>(PageType::IndexNode)) throw Damage("page " + std::to_string(page) + " is not an index page");
    for (const auto& entry : entries) readTree(file, childOf(entry), depth + 1, seen, out, withEntries);
    const std::uint32_t tail = view.u32(kTailOffset, "index tail page");
    if (tail != 0) readTree(file, tail, depth + 1, seen, out, withEntries);
}

struct PlannedPage {
    std::vector<std::size_t> items;   // indexes into the level below (entries for leaves)
    std::uint32_t number = 0;
};

}  // namespace

std::vector<std::vector<std::uint8_t>> readIndexPageEntries(Bytes page) {
    const ByteView view(page);
    const std::size_t free = view.u16(kFreeSpaceOffset, "index free space");
    if (free > kEntrySpace) throw Damage("index page free space " + std::to_string(free) + " is larger than the page");
    const std::size_t used = kEntrySpace - free;
    const std::size_t prefix = view.u16(kPrefixOffset, "index prefix length");
    std::vector<std::vector<std::uint8_t>> entries;
    std::size_t start = 0;
    for (std::size_t bit = 1; bit <= used; ++bit) {
        const std::uint8_t mask = page[kBitmapOffset + bit / 8];
        if (!(mask & (1u << (bit % 8)))) {
            if (mask == 0 && bit % 8 == 0) bit += 7;   // skips a byte without entry ends
            continue;
        }
        const std::size_t end = bit;
        std::vector<std::uint8_t> entry;
        if (!entries.empty()) {
            if (prefix > entries.front().size()) throw Damage("index prefix longer than the first entry");
            entry.assign(entries.front().begin(), entries.front().begin() + static_cast<std::ptrdiff_t>(prefix));
        }
        entry.insert(entry.end(), page.begin() + static_cast<std::ptrdiff_t>(kEntriesOffset + start),
                     page.begin() + static_cast<std::ptrdiff_t>(kEntriesOffset + end));
        entries.push_back(std::move(entry));
        start = end;
    }
    if (start != used) throw Damage("index page bitmap does not account for every used byte");
    return entries;
}

IndexTreeContent readIndexTree(const PageFile& file, std::uint32_t root) {
    IndexTreeContent content;
    std::set<std::uint32_t> seen;
    readTree(file, root, 0, seen, content, true);
    return content;
}

std::vector<std::uint32_t> indexTreePages(const PageFile& file, std::uint32_t root) {
    IndexTreeContent content;
    std::set<std::uint32_t> seen;
    readTree(file, root, 0, seen, content, false);
    return std::move(content.pages);
}

std::vector<std::uint32_t> writeIndexTree(PageFile& file, std::uint32_t tablePage, const std::vector<IndexEntryBytes>& entries,
                                          const std::vector<std::uint32_t>& reuse, const std::function<std::uint32_t()>& allocate) {
    constexpr std::size_t kChildPointer = 4;
    // Plan the levels bottom-up from entry sizes; page numbers come later.
    std::vector<std::vector<PlannedPage>> levels;
    {
        std::vector<PlannedPage> leaves(1);
        std::size_t used = 0;
        for (std::size_t i = 0; i < entries.size(); ++i) {
            if (used + entries[i].size() > kEntrySpace) {
                leaves.emplace_back();
                used = 0;
            }
            leaves.back().items.push_back(i);
            used += entries[i].size();
        }
        levels.push_back(std::move(leaves));
    }
    // lastEntry[level][page]: the leaf entry that ends that page's subtree.
    std::vector<std::vector<std::size_t>> lastEntry(1);
    for (const auto& leaf : levels[0]) lastEntry[0].push_back(leaf.items.empty() ? 0 : leaf.items.back());
    while (levels.back().size() > 1) {
        const auto& below = levels.back();
        const auto& belowLast = lastEntry.back();
        std::vector<PlannedPage> nodes(1);
        std::vector<std::size_t> nodeLast;
        std::size_t used = 0;
        for (std::size_t child = 0; child < below.size(); ++child) {
            const std::size_t size = entries[belowLast[child]].size() + kChildPointer;
            if (used + size > kEntrySpace && nodes.back().items.size() >= 2) {
                nodes.emplace_back();
                used = 0;
            }
            nodes.back().items.push_back(child);
            used += size;
        }
        for (const auto& node : nodes) nodeLast.push_back(belowLast[node.items.back()]);
        levels.push_back(std::move(nodes));
        lastEntry.push_back(std::move(nodeLast));
    }
    // Number the pages top-down so the root takes the first reused page.
    std::vector<std::uint32_t> used;
    std::size_t nextReuse = 0;
    for (auto level = levels.rbegin(); level != levels.rend(); ++level)
        for (auto& page : *level) {
            page.number = nextReuse < reuse.size() ? reuse[nextReuse++] : allocate();
            used.push_back(page.number);
        }

    for (std::size_t depth = 0; depth < levels.size(); ++depth) {
        const auto& level = levels[depth];
        for (std::size_t p = 0; p < level.size(); ++p) {
            std::uint32_t tail = 0;
            if (depth > 0) tail = levels[depth - 1][level[p].items.back()].number;
            std::uint8_t* bytes = file.mutablePage(level[p].number);
            std::memset(bytes, 0, kPageSize);
            bytes[0] = static_cast<std::uint8_t>(depth == 0 ? PageType::IndexLeaf : PageType::IndexNode);
            bytes[1] = 0x01;
            putU32(bytes + kOwnerOffset, tablePage);
            putU32(bytes + kPreviousOffset, p > 0 ? level[p - 1].number : 0);
            putU32(bytes + kNextOffset, p + 1 < level.size() ? level[p + 1].number : 0);
            putU32(bytes + kTailOffset, tail);
            // Leaves hold the entries themselves; a node holds, for each child but the last (the
            // tail), the last entry of that child's subtree followed by the child's page.
            std::size_t offset = 0;
            auto put = [&](const std::vector<std::uint8_t>& entry, const std::uint32_t* child) {
                std::memcpy(bytes + kEntriesOffset + offset, entry.data(), entry.size());
                offset += entry.size();
                if (child) {
                    for (int i = 3; i >= 0; --i) bytes[kEntriesOffset + offset++] = static_cast<std::uint8_t>(*child >> (8 * i));
                }
                bytes[kBitmapOffset + offset / 8] |= static_cast<std::uint8_t>(1u << (offset % 8));
            };
            const auto& items = level[p].items;
            if (depth == 0) {
                for (std::size_t i : items) put(entries[i], nullptr);
            } else {
                const auto& below = levels[depth - 1];
                for (std::size_t k = 0; k + 1 < items.size(); ++k) put(entries[lastEntry[depth - 1][items[k]]], &below[items[k]].number);
            }
            putU16(bytes + kFreeSpaceOffset, static_cast<std::uint32_t>(kEntrySpace - offset));
        }
    }
    return used;
}

}  // namespace jet
