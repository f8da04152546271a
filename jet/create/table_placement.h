#pragma once

#include "jet/format/table_definition.h"
#include "jet/write/file_editor.h"

namespace jet {

// Gives a laid-out table its place in the file: empty usage maps for the table, each index and
// each long-value column (rows on map pages of their own), an empty leaf as each index's root,
// and the definition itself from `definition.page` on (continuation pages allocated as needed).
// `definition.page` is allocated by the caller, so that a new file's system tables take pages
// 2 to 5. The map rows go on `sharedMapPage` while it has room, if it is a page of map rows (a
// data page no table owns), so that tables share map pages as Access's do; then on new pages.
// Rows are added afterwards through the writer, which keeps the maps and trees up to date.
void placeTable(FileEditor& editor, TableDefinition& definition, std::uint32_t sharedMapPage = 0);

}  // namespace jet
