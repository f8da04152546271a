#pragma once

#include <cstdint>
#include <vector>

#include "jet/read/catalogue.h"
#include "jet/file/page_file.h"

namespace jet {

// The pages of the file a writer may hand out again: marked free in the global map and neither
// used nor listed by any table of the catalogue (its definition pages, the rows and pages of
// its usage maps, the pages those maps list, its index roots), and not looking like a page of
// a table definition, an index or a usage bitmap. Ascending. Throws Damage when a table
// definition or a map cannot be read.
std::vector<std::uint32_t> reusablePages(const PageFile& file, const std::vector<CatalogueEntry>& catalogue);

}  // namespace jet
