#pragma once

#include <cstdint>
#include <vector>

#include "jet/read/catalogue.h"
#include "jet/file/page_file.h"

namespace jet {

// The pages of the file a writer may hand out again: marked free in the global map, neither taken
// nor listed by any structure the ownership walk finds (see PageOwnership: definitions, usage map
// rows and bitmap pages, index trees, and every page a table's usage maps list), not a bitmap
// page of the global map, and not looking like a page of a table definition, an index or a usage
// bitmap. Ascending. Throws Error(Damaged) when the walk finds damage, Damage when the global map
// cannot be read.
std::vector<std::uint32_t> reusablePages(const PageFile& file, const std::vector<CatalogueEntry>& catalogue);

}  // namespace jet
