#include "jet/write/free_pages.h"

#include <algorithm>

#include "jet/format/usage_map.h"
#include "jet/check/page_ownership.h"
#include "jet/format/data_page.h"
#include "jet/write/file_editor.h"

namespace jet {

namespace {

bool looksStructural(const PageFile& file, std::uint32_t page) {
    const std::uint8_t type = file.page(page).u8(0, "page type");
    return type == static_cast<std::uint8_t>(PageType::TableDefinition) || type == static_cast<std::uint8_t>(PageType::IndexNode) ||
           type == static_cast<std::uint8_t>(PageType::IndexLeaf) || type == static_cast<std::uint8_t>(PageType::UsageBitmap);
}

}  // namespace

std::vector<std::uint32_t> reusablePages(const PageFile& file, const std::vector<CatalogueEntry>& catalogue) {
    if (file.pageCount() <= kCatalogueTablePage) return {};
    PageOwnership ownership(file);
    ownership.walk(catalogue);
    const PageClaims& claims = ownership.claims();
    const MapContent global = readMapContent(file, kGlobalUsageMap);   // a set bit means free
    std::vector<std::uint32_t> reusable;
    for (std::uint32_t page : global.pages) {
        if (page <= kCatalogueTablePage || claims.ownerOf(page) != 0 || claims.isListed(page) || looksStructural(file, page)) continue;
        if (std::find(global.bitmapPages.begin(), global.bitmapPages.end(), page) != global.bitmapPages.end()) continue;
        reusable.push_back(page);
    }
    return reusable;
}

}  // namespace jet
