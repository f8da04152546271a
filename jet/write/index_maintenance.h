#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/write/file_editor.h"
#include "jet/write/table_writer.h"

namespace jet {

// A table's indexes as the write path keeps them: each index's leaf entries are read into memory
// when a statement first needs them, kept sorted by their bytes while statements add and remove
// entries, and written back as whole trees when the session is flushed. Errors are jet::Error
// naming the file, table and index.

// The key a row has in physical index `index` (see rowIndexKey); false when the index leaves the
// row out. A key this engine cannot encode is Unsupported, a key column the table lacks Damaged.
bool rowKeyIn(const std::string& file, const TableState& table, std::size_t index, const std::vector<const Value*>& values,
              std::vector<std::uint8_t>& key, bool& allNull);

// Reads the entries of index `index` from its tree (once).
void loadIndex(const PageFile& file, TableState& table, std::size_t index);

// Whether a loaded index has an entry with exactly `key` for a row other than `except`.
bool keyTaken(const TableState& table, std::size_t index, const std::vector<std::uint8_t>& key, RowPointer except);
// A row pointer no row has, for keyTaken when no row is to be left out.
inline constexpr RowPointer kNoRow{0xFFFFFF, 0xFF};

// An index entry: the key bytes, then the row pointer (3 bytes of page, big-endian, and the row).
IndexEntryBytes indexEntry(const std::vector<std::uint8_t>& key, RowPointer row);
// Adds an entry in order, or removes every entry of a row, and marks the index to be rewritten.
void addIndexEntry(TableState::Index& index, IndexEntryBytes entry);
void removeRowEntries(TableState::Index& index, RowPointer row);

// Rewrites the tree of every index of the table that changed, reusing its pages first, and
// records the new root and distinct key count in the table definition.
void rewriteChangedIndexes(PageFile& file, FileEditor& editor, TableState& table);

}  // namespace jet
