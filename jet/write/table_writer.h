#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/write/file_editor.h"
#include "jet/write/foreign_keys.h"
#include "jet/format/index_tree.h"
#include "jet/format/row.h"
#include "jet/format/table_definition.h"
#include "jet/read/live_rows.h"
#include "jet/value.h"

namespace jet {

inline constexpr std::size_t kMaxStoredRowSize = 4060;

// What the write path keeps about one table during a unit of work: its definition, its data
// pages, where new rows and long values go, and the entries of its indexes once loaded.
struct TableState {
    TableDefinition definition;
    std::vector<std::uint32_t> dataPages;   // owned data pages, ascending, new ones appended
    std::size_t insertCursor = 0;           // dataPages before it are treated as full
    std::vector<std::optional<std::uint32_t>> longValuePage;   // per definition.longValueMaps
    struct Index {
        bool loaded = false;
        bool dirty = false;
        std::vector<IndexEntryBytes> entries;   // sorted by raw bytes
    };
    std::vector<Index> indexes;             // per definition.physicalIndexes
    std::string refusal;                    // why rows cannot be inserted, when they cannot
    bool countsPending = false;             // definition.rowCount/lastAutoNumber not yet in the TDEF
    std::vector<ForeignKeySide> foreignKeys;   // relationships with enforced integrity
};

// Row-level changes to one table's pages. Keeps usage maps of new pages up to date; the TDEF
// fields and indexes are the caller's business. Throws Damage when pages are inconsistent.
class TableWriter {
public:
    TableWriter(FileEditor& editor, TableState& table) : editor_(editor), table_(table) {}

    // Reads the table's owned data pages into the state (once).
    static void loadPages(FileEditor& editor, TableState& table);

    std::vector<LiveRow> liveRows() const;
    Bytes rowBytes(const LiveRow& row) const;

    // Stores a new row on a page with room (or a new page); returns its row pointer.
    RowPointer insertRow(const std::vector<std::uint8_t>& bytes);
    // Replaces a row's bytes keeping its row number; a row that no longer fits its page moves
    // to another page and leaves an overflow stub behind.
    void replaceRow(const LiveRow& row, const std::vector<std::uint8_t>& bytes);
    // Deletes a row and the long values it refers to; a page left without rows goes back to
    // the file's free pages.
    void deleteRow(const LiveRow& row);
    // Deletes every row and the long values they refer to, and gives every data page back to
    // the file's free pages. Returns the number of live rows.
    std::size_t deleteAllRows();

    // Stores a memo/OLE value out of the row (one long-value row, or a chain) and returns the
    // 12-byte field header. `longValueIndex` indexes definition.longValueMaps.
    std::vector<std::uint8_t> storeLongValue(std::size_t longValueIndex, Bytes stored);
    // Flags the long-value rows a memo field refers to deleted (nothing for inline values); a
    // long-value page left without rows goes back to the file's free pages.
    void releaseLongValue(Bytes field);

private:
    RowPointer placeRow(const std::vector<std::uint8_t>& bytes, std::uint16_t flags, std::uint32_t avoidPage);
    std::uint32_t newDataPage();
    RowPointer placeLongValueRow(std::size_t longValueIndex, Bytes bytes);
    void markDeleted(RowPointer where);
    // Releases the long values a stored row refers to.
    void releaseLongValuesOf(Bytes row);
    void releaseDataPageIfEmpty(std::uint32_t page);
    void releaseLongValuePageIfEmpty(std::uint32_t page);

    FileEditor& editor_;
    TableState& table_;
};

}  // namespace jet
