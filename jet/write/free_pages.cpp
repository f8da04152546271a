#include "jet/write/free_pages.h"

#include "jet/format/data_page.h"
#include "jet/write/file_editor.h"
#include "jet/format/table_definition.h"
#include "jet/format/usage_map.h"

namespace jet {

namespace {

class ClaimedPages {
public:
    explicit ClaimedPages(const PageFile& file) : file_(file), claimed_(file.pageCount(), false) {}

    void claim(std::uint32_t page) {
        if (page < claimed_.size()) claimed_[page] = true;
    }
    bool claimed(std::uint32_t page) const { return claimed_.at(page); }

    // The page holding the map row, the bitmap pages a reference map uses, and (unless the map
    // lists free pages) the pages it lists.
    void claimMap(RowPointer map, bool listsFreePages = false) {
        if (map.page == 0) return;
        claim(map.page);
        const MapContent content = decodeUsageMap(file_, readPointedRow(file_, map, "usage map"));
        for (std::uint32_t page : content.bitmapPages) claim(page);
        if (!listsFreePages)
            for (std::uint32_t page : content.pages) claim(page);
    }

    void claimDefinitionChain(std::uint32_t page) {
        for (std::size_t hops = 0; page != 0 && page < claimed_.size() && !claimed_[page]; ++hops) {
            claim(page);
            if (file_.page(page).u8(0, "page type") != static_cast<std::uint8_t>(PageType::TableDefinition)) break;
            page = file_.page(page).u32(4, "next table definition page");
        }
    }

    void claimTable(const TableDefinition& table) {
        claimDefinitionChain(table.page);
        claimMap(table.ownedPagesMap);
        claimMap(table.freePagesMap);
        for (const auto& maps : table.longValueMaps) {
            claimMap(maps.ownedPages);
            claimMap(maps.freePages);
        }
        for (const auto& index : table.physicalIndexes) {
            claimMap(index.ownedPagesMap);
            claim(index.rootPage);
        }
    }

private:
    const PageFile& file_;
    std::vector<bool> claimed_;
};

bool looksStructural(const PageFile& file, std::uint32_t page) {
    const std::uint8_t type = file.page(page).u8(0, "page type");
    return type == static_cast<std::uint8_t>(PageType::TableDefinition) || type == static_cast<std::uint8_t>(PageType::IndexNode) ||
           type == static_cast<std::uint8_t>(PageType::IndexLeaf) || type == static_cast<std::uint8_t>(PageType::UsageBitmap);
}

}  // namespace

std::vector<std::uint32_t> reusablePages(const PageFile& file, const std::vector<CatalogueEntry>& catalogue) {
    if (file.pageCount() <= kCatalogueTablePage) return {};
    ClaimedPages claimed(file);
    for (std::uint32_t page = 0; page <= kCatalogueTablePage; ++page) claimed.claim(page);
    claimed.claimMap(kGlobalUsageMap, true);
    claimed.claimTable(readTableDefinition(file, kCatalogueTablePage));
    for (const auto& entry : catalogue)
        if (entry.isTable()) claimed.claimTable(readTableDefinition(file, entry.definitionPage()));

    const std::vector<std::uint32_t> markedFree = readUsageMap(file, readPointedRow(file, kGlobalUsageMap, "global usage map"));
    std::vector<std::uint32_t> reusable;
    for (std::uint32_t page : markedFree)
        if (!claimed.claimed(page) && !looksStructural(file, page)) reusable.push_back(page);
    return reusable;
}

}  // namespace jet
