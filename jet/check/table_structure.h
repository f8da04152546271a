#pragma once

#include "jet/check/page_claims.h"
#include "jet/check/page_ownership.h"
#include "jet/file/page_file.h"

namespace jet {

// Checks the content of one table the ownership walk has just walked, for the structure check,
// and claims its remaining pages: the data pages its owned-pages map lists that point back at its
// definition, and the long-value pages its rows reach. Its row count must be the number of live
// rows, every long value must be sound, and the long-value pages must be ones the table's maps
// list. Throws Error(Damaged) naming the table.
void checkTableContent(const PageFile& file, const WalkedTable& table, PageClaims& claims);

}  // namespace jet
