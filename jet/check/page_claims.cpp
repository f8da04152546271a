#include "jet/check/page_claims.h"

#include "jet/error.h"

namespace jet {

PageClaims::PageClaims(const PageFile& file)
    : file_(file), owners_(1), pageOwner_(file.pageCount(), 0), firstListing_(file.pageCount()), otherListing_(file.pageCount()) {}

std::uint32_t PageClaims::addOwner(std::uint32_t tableKey, const std::string& table, const std::string& object) {
    owners_.push_back({tableKey, table, object});
    return static_cast<std::uint32_t>(owners_.size() - 1);
}

std::string PageClaims::describe(std::uint32_t owner) const {
    const Owner& o = owners_[owner];
    return o.table.empty() ? o.object : "table " + o.table + "'s " + o.object;
}

void PageClaims::claim(std::uint32_t page, std::uint32_t owner) {
    if (page >= pageOwner_.size())
        throw Error(ErrorKind::Damaged, file_.path(), owners_[owner].table,
                    describe(owner) + " uses page " + std::to_string(page) + ", past the end of the file (" +
                        std::to_string(pageOwner_.size()) + " pages)");
    std::uint32_t& current = pageOwner_[page];
    if (current == 0 || current == owner) {
        current = owner;
        return;
    }
    throw Error(ErrorKind::Damaged, file_.path(), owners_[owner].table,
                "page " + std::to_string(page) + " belongs both to " + describe(current) + " and to " + describe(owner));
}

void PageClaims::list(std::uint32_t page, std::uint32_t tableKey, const std::string& table, const std::string& map) {
    if (mapNames_.empty() || mapNames_.back() != std::pair(table, map)) mapNames_.emplace_back(table, map);
    const Listing listing{tableKey, static_cast<std::uint32_t>(mapNames_.size() - 1)};
    Listing& first = firstListing_[page];
    if (first.tableKey == 0) first = listing;
    else if (first.tableKey != tableKey && otherListing_[page].tableKey == 0) otherListing_[page] = listing;
}

void PageClaims::checkListings() const {
    for (std::uint32_t page = 0; page < pageOwner_.size(); ++page) {
        const std::uint32_t owner = pageOwner_[page];
        if (owner == 0 || owners_[owner].tableKey == 0 || firstListing_[page].tableKey == 0) continue;
        for (const Listing& listing : {firstListing_[page], otherListing_[page]}) {
            if (listing.tableKey == 0 || listing.tableKey == owners_[owner].tableKey) continue;
            const auto& [table, map] = mapNames_[listing.map];
            throw Error(ErrorKind::Damaged, file_.path(), table,
                        "page " + std::to_string(page) + " belongs to " + describe(owner) + ", yet table " + table + "'s " + map +
                            " lists it");
        }
    }
}

}  // namespace jet
