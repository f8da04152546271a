#pragma once

#include <cstdint>
#include <string>

#include "jet/page_claims.h"
#include "jet/page_file.h"

namespace jet {

// The pages that hold usage map rows: shared by the maps of every table.
struct SharedOwners {
    std::uint32_t mapRows = 0;
};

// Checks one table of the catalogue for the structure check and claims its pages: the definition
// chain, the data pages its owned-pages map lists (data pages pointing back at its definition),
// the usage maps of the table, its indexes and its long-value columns, every index tree and every
// long value its rows hold. Its row count must be the number of live rows. Throws Error(Damaged)
// naming the table.
void checkTableStructure(const PageFile& file, std::uint32_t tableKey, const std::string& name, std::uint32_t definitionPage,
                         PageClaims& claims, const SharedOwners& shared);

}  // namespace jet
