#pragma once

#include <string>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/create/page_allocator.h"
#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// Builds every index of a new table from its rows and where they were stored; fills in each
// index's root page and distinct-key count and returns each index's pages. Unique indexes must
// not repeat a key (rows whose key columns are all NULL excepted); primary key columns must not
// be NULL. Throws Error naming the table and index.
std::vector<std::vector<std::uint32_t>> buildTableIndexes(PageAllocator& pages, TableDefinition& definition,
                                                          const std::vector<std::vector<Value>>& rows,
                                                          const std::vector<RowPointer>& positions, const std::string& path);

}  // namespace jet
