#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <unordered_set>
#include <vector>

#include "jet/format/usage_map.h"
#include "jet/check/page_claims.h"
#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"
#include "jet/read/catalogue.h"

namespace jet {

// The rows of usage maps: their pages are shared by the maps of every table (one owner in
// PageClaims), each row serves one map.
struct UsageMapRows {
    std::uint32_t owner = 0;
    std::unordered_set<std::uint32_t> used;   // raw row pointers
};

// What the walk found for one table.
struct WalkedTable {
    std::uint32_t key = 0;                // 1 for the first table walked, and so on
    std::string name;
    TableDefinition definition;           // named `name`
    MapContent owned;                     // what its owned-pages map lists
    std::vector<std::uint32_t> listed;    // every page any usage map of the table lists
};

// The one walk over which pages the structures of a file take, shared by the structure check and
// by the search for reusable pages:
//  1. the header page, and the page of the global map's row, which holds usage map rows;
//  2. per table of the catalogue (MSysObjects too when the catalogue does not list itself):
//     its definition chain; the row page and bitmap pages of each of its usage maps (the
//     table's owned-pages and free-space maps, those of its long-value columns and indexes);
//     every page of each index tree;
//  3. the pages each of those maps lists, recorded as listings of the table, not as owned.
// A page taken twice, a map row serving two maps, an unreadable definition or map, a map or an
// index reaching past the end of the file, an index page of another type or table: each is
// refused as Error(Damaged) naming the file and the table.
class PageOwnership {
public:
    explicit PageOwnership(const PageFile& file);

    // Walks the tables of `catalogue` in order; right after each table, `visit` may check it
    // further and claim more pages for it (data and long-value pages).
    void walk(const std::vector<CatalogueEntry>& catalogue, const std::function<void(const WalkedTable&)>& visit = {});

    PageClaims& claims() { return claims_; }
    const PageClaims& claims() const { return claims_; }

private:
    const PageFile& file_;
    PageClaims claims_;
    UsageMapRows mapRows_;
};

}  // namespace jet
