#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/data_page.h"
#include "jet/format/table_definition.h"

namespace jet {

// A live row: `id` is the row number indexes know (an overflow stub when the data moved), `data`
// where its bytes lie.
struct LiveRow {
    RowPointer id;
    RowPointer data;
};

// Where the data of a row that outgrew its page lies, given its overflow stub's bytes (following
// further stubs). Throws Damage when the chain is broken or longer than kMaxOverflowHops.
RowPointer overflowTarget(const PageFile& file, Bytes stub);

// The live rows of a table whose owned data pages are `pages`. Throws Damage.
std::vector<LiveRow> listLiveRows(const PageFile& file, const std::vector<std::uint32_t>& pages);
// A table's owned data pages: the pages its usage map lists that are data pages pointing back at
// it. Owned-page maps may name pages given back or used by the table's long values; Access skips
// them when it scans, and so does this. Throws Damage when the map cannot be read.
std::vector<std::uint32_t> ownedDataPages(const PageFile& file, const TableDefinition& table);

}  // namespace jet
