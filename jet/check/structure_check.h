#pragma once

#include <cstdint>

#include "jet/file/page_file.h"

namespace jet {

// The largest file Jet 4 can address: 2 GB.
inline constexpr std::uint64_t kJetFileSizeLimit = std::uint64_t(1) << 31;

// Checks the structure of a whole database image before it is written to or written out:
// - the file is a whole number of 4096-byte pages (BadFileSize) within Jet 4's size limit;
// - every page belongs to one object at most: a table's definition pages, its data pages, its
//   long-value pages, the pages of one of its indexes, usage map pages;
// - every such page has its owner's page type and points back at its table's definition;
// - usage maps list no page past the end of the file nor a page another table's object uses,
//   and each table's row count is the number of its live rows;
// - every memo and OLE value leads to live rows of long-value pages, and its chain is long
//   enough and does not loop;
// - no page in use is marked free in the file's global page map.
// Slack that Access itself leaves is accepted: pages marked used that nothing owns, pages given
// back with their old contents, owned-pages maps listing long-value pages or given-back pages.
// Throws Error(Damaged) naming the file, the table where one is involved, the page and what is
// wrong.
void checkStructure(const PageFile& file);

}  // namespace jet
