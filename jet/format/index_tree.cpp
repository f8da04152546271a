#include "jet/format/index_tree.h"

#include <algorithm>
#include <set>
#include <string>

namespace jet {

using namespace index_node;

namespace {
constexpr std::size_t kMaxDepth = 8;

// Walks the tree below `page`; leaf entries are decoded only when `withEntries`.
void readTree(const PageFile& file, std::uint32_t page, std::size_t depth, std::set<std::uint32_t>& seen, IndexTreeContent& out, bool withEntries) {
    if (depth > kMaxDepth) throw Damage("index tree deeper than " + std::to_string(kMaxDepth) + " levels");
    if (!seen.insert(page).second) throw Damage("index page " + std::to_string(page) + " is reached twice");
    out.pages.push_back(page);
    const ByteView view = file.page(page);
    const IndexNodeHeader header = readIndexNodeHeader(view);
    if (header.isLeaf() && !withEntries) return;
    const auto entries = readIndexPageEntries(view.bytes());
    if (header.isLeaf()) {
        for (const auto& entry : entries) {
            if (entry.size() < kRowPointerSize + 1) throw Damage("index entry on page " + std::to_string(page) + " is too short");
            out.entries.push_back(entry);
        }
        return;
    }
    if (!header.isNode()) throw Damage("page " + std::to_string(page) + " is not an index page");
    for (const auto& entry : entries) readTree(file, entryChild(entry), depth + 1, seen, out, withEntries);
    if (header.tail != 0) readTree(file, header.tail, depth + 1, seen, out, withEntries);
}

struct PlannedPage {
    std::vector<std::size_t> items;   // indexes into the level below (entries for leaves)
    std::uint32_t number = 0;
};

}  // namespace

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
            const std::size_t size = entries[belowLast[child]].size() + kChildPointerSize;
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
            IndexNodeHeader header;
            header.type = static_cast<std::uint8_t>(depth == 0 ? PageType::IndexLeaf : PageType::IndexNode);
            header.owner = tablePage;
            header.previous = p > 0 ? level[p - 1].number : 0;
            header.next = p + 1 < level.size() ? level[p + 1].number : 0;
            // Leaves hold the entries themselves; a node holds, for each child but the last (the
            // tail), the last entry of that child's subtree followed by the child's page.
            std::vector<const IndexEntryBytes*> pageEntries;
            std::vector<std::uint32_t> children;
            const auto& items = level[p].items;
            if (depth == 0) {
                for (std::size_t i : items) pageEntries.push_back(&entries[i]);
            } else {
                const auto& below = levels[depth - 1];
                header.tail = below[items.back()].number;
                for (std::size_t k = 0; k + 1 < items.size(); ++k) {
                    pageEntries.push_back(&entries[lastEntry[depth - 1][items[k]]]);
                    children.push_back(below[items[k]].number);
                }
            }
            encodeIndexPage(file.mutablePage(level[p].number), header, pageEntries, children);
        }
    }
    return used;
}

}  // namespace jet
