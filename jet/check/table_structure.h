#pragma once

#include <cstdint>
#include <string>
#include <unordered_set>

#include "jet/check/page_claims.h"
#include "jet/file/page_file.h"

namespace jet {

// The rows of usage maps: their pages are shared by the maps of every table (one owner in
// PageClaims), each row serves one map.
struct UsageMapRows {
    std::uint32_t owner = 0;
    std::unordered_set<std::uint32_t> used;   // raw row pointers
};

// Checks one table of the catalogue for the structure check and claims its pages: the definition
// chain, the data pages its owned-pages map lists (data pages pointing back at its definition),
// the usage maps of the table, its indexes and its long-value columns, every index tree and every
// long value its rows hold. Its row count must be the number of live rows, and no map row may
// serve another map too. Throws Error(Damaged) naming the table.
void checkTableStructure(const PageFile& file, std::uint32_t tableKey, const std::string& name, std::uint32_t definitionPage,
                         PageClaims& claims, UsageMapRows& mapRows);

}  // namespace jet
