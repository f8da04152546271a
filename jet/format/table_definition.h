#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/column_type.h"
#include "jet/format/data_page.h"

namespace jet {

// The table definition (TDEF): one block of bytes spread over a chain of pages. The first page
// holds the block's first 4096 bytes, page header included; each continuation page an 8-byte
// header and the next 4088 bytes. Every offset of the layout is named here, once; the decoder,
// the encoder and the in-place editor below all use these names.
namespace tdef {

// Header of every definition page.
inline constexpr std::size_t kPageType = 0x00;
inline constexpr std::size_t kFreeSpace = 0x02;              // per page
inline constexpr std::size_t kNextPage = 0x04;               // per page; 0 ends the chain
inline constexpr std::size_t kContinuationHeader = 8;        // bytes a continuation page starts with
// Fixed part of the block.
inline constexpr std::size_t kBlockLength = 0x08;
inline constexpr std::size_t kMagic = 0x0C;
inline constexpr std::size_t kRowCount = 0x10;
inline constexpr std::size_t kLastAutoNumber = 0x14;
inline constexpr std::size_t kAutoNumberInUse = 0x18;
inline constexpr std::size_t kTableType = 0x28;
inline constexpr std::size_t kMaxColumnCount = 0x29;
inline constexpr std::size_t kVariableColumnCount = 0x2B;
inline constexpr std::size_t kColumnCount = 0x2D;
inline constexpr std::size_t kLogicalIndexCount = 0x2F;
inline constexpr std::size_t kPhysicalIndexCount = 0x33;
inline constexpr std::size_t kOwnedPagesMap = 0x37;
inline constexpr std::size_t kFreePagesMap = 0x3B;
inline constexpr std::size_t kIndexSlots = 0x3F;             // end of the fixed part
// One slot per physical index, right after the fixed part.
inline constexpr std::size_t kIndexSlotSize = 12;
inline constexpr std::size_t kSlotDistinctKeys = 4;
// Column descriptors, then the column names (2-byte length and UCS-2 each).
inline constexpr std::size_t kColumnDescriptorSize = 25;
inline constexpr std::size_t kColumnType = 0;
inline constexpr std::size_t kColumnMagic = 1;
inline constexpr std::size_t kColumnNumber = 5;
inline constexpr std::size_t kColumnVariableIndex = 7;
inline constexpr std::size_t kColumnRowIndex = 9;
inline constexpr std::size_t kColumnSortOrder = 11;          // text and memo (2 bytes)
inline constexpr std::size_t kColumnPrecision = 11;          // decimal, same bytes
inline constexpr std::size_t kColumnScale = 12;
inline constexpr std::size_t kColumnSortVersion = 14;
inline constexpr std::size_t kColumnFlags = 15;
inline constexpr std::size_t kColumnExtendedFlags = 16;
inline constexpr std::size_t kColumnFixedOffset = 21;
inline constexpr std::size_t kColumnLength = 23;
// Physical index definitions, after the column names.
inline constexpr std::size_t kIndexDefinitionSize = 52;
inline constexpr std::size_t kIndexDefinitionMagic = 0;
inline constexpr std::size_t kIndexColumns = 4;              // kIndexColumnSlots x {column 2, order 1}
inline constexpr std::size_t kIndexColumnSlots = 10;
inline constexpr std::size_t kIndexColumnSlotSize = 3;
inline constexpr std::size_t kIndexColumnOrder = 2;          // within a column slot
inline constexpr std::size_t kIndexOwnedPagesMap = 34;
inline constexpr std::size_t kIndexRootPage = 38;
inline constexpr std::size_t kIndexFlags = 46;
// Logical index definitions, then the logical index names.
inline constexpr std::size_t kLogicalDefinitionSize = 28;
inline constexpr std::size_t kLogicalMagic = 0;
inline constexpr std::size_t kLogicalNumber = 4;
inline constexpr std::size_t kLogicalPhysicalIndex = 8;
inline constexpr std::size_t kLogicalRelationshipSide = 12;
inline constexpr std::size_t kLogicalRelatedIndex = 13;
inline constexpr std::size_t kLogicalRelatedTable = 17;
inline constexpr std::size_t kLogicalCascadeUpdates = 21;
inline constexpr std::size_t kLogicalCascadeDeletes = 22;
inline constexpr std::size_t kLogicalType = 23;
// Long-value usage maps, one entry per memo/OLE column, ended by kNoColumn.
inline constexpr std::size_t kLongValueMapsSize = 10;
inline constexpr std::size_t kLongValueMapsColumn = 0;
inline constexpr std::size_t kLongValueMapsOwned = 2;
inline constexpr std::size_t kLongValueMapsFree = 6;
inline constexpr std::uint16_t kNoColumn = 0xFFFF;
// Constants Access writes at kMagic, kColumnMagic, kLogicalMagic (the table value) and
// kIndexDefinitionMagic (the index value).
inline constexpr std::uint32_t kTableMagicValue = 1625;
inline constexpr std::uint32_t kIndexMagicValue = 1923;

}  // namespace tdef

inline constexpr std::uint8_t kColumnFixedFlag = 0x01;
inline constexpr std::uint8_t kColumnUpdatableFlag = 0x02;
inline constexpr std::uint8_t kColumnAutoNumberFlag = 0x04;
inline constexpr std::uint8_t kColumnAutoGuidFlag = 0x40;
inline constexpr std::uint8_t kColumnHyperlinkFlag = 0x80;
inline constexpr std::uint8_t kColumnCompressedUnicodeFlag = 0x01;   // extended flags

struct ColumnDefinition {
    std::string name;
    std::uint8_t type = 0;
    std::uint16_t number = 0;          // bit in the null mask; counts deleted columns
    std::uint16_t variableIndex = 0;   // slot in the row's variable offset table
    std::uint16_t rowIndex = 0;
    std::uint16_t sortOrder = 0;       // text and memo
    std::uint8_t precision = 0;        // decimal
    std::uint8_t scale = 0;            // decimal
    std::uint8_t sortVersion = 0;
    std::uint8_t flags = 0;
    std::uint8_t extendedFlags = 0;
    std::uint16_t fixedOffset = 0;
    std::uint16_t length = 0;          // bytes; Text(n) has 2n

    ColumnType columnType() const { return static_cast<ColumnType>(type); }
    bool isFixed() const { return flags & kColumnFixedFlag; }
    bool isAutoNumber() const { return flags & kColumnAutoNumberFlag; }
};

inline constexpr std::uint8_t kIndexUniqueFlag = 0x01;
inline constexpr std::uint8_t kIndexIgnoreNullsFlag = 0x02;
inline constexpr std::uint8_t kIndexRequiredFlag = 0x08;

struct IndexColumn {
    std::uint16_t columnNumber = 0;
    bool ascending = true;
};

// A physical index: the B-tree that one or more logical indexes share.
struct PhysicalIndex {
    std::vector<IndexColumn> columns;
    RowPointer ownedPagesMap;
    std::uint32_t rootPage = 0;
    std::uint8_t flags = 0;
    std::uint32_t distinctKeyCount = 0;
};

inline constexpr std::uint8_t kLogicalIndexPrimaryKey = 0x01;
inline constexpr std::uint8_t kLogicalIndexForeignKey = 0x02;

inline constexpr std::uint8_t kReferencedSide = 1;

struct LogicalIndex {
    std::string name;
    std::uint32_t number = 0;
    std::uint32_t physicalIndex = 0;
    std::uint8_t type = 0;   // 1 primary key, 2 foreign key reference
    // The relationship a foreign key index takes part in. The defaults are what this engine
    // writes into an index outside any relationship.
    std::uint8_t relationshipSide = 0;          // kReferencedSide: this table holds the "one" side
    std::uint32_t relatedIndex = 0xFFFFFFFF;    // number of the matching logical index there
    std::uint32_t relatedTablePage = 0;         // definition page of the table on the other side
    std::uint8_t cascadeUpdates = 0x04;
    std::uint8_t cascadeDeletes = 0x04;
};

struct LongValueMaps {
    std::uint16_t columnNumber = 0;
    RowPointer ownedPages;
    RowPointer freePages;
};

inline constexpr std::uint8_t kTableTypeUser = 0x4E;
inline constexpr std::uint8_t kTableTypeSystem = 0x53;

struct TableDefinition {
    std::string name;
    std::uint32_t page = 0;
    std::uint32_t rowCount = 0;
    std::uint32_t lastAutoNumber = 0;
    std::uint8_t tableType = 0;
    std::uint16_t maxColumnCount = 0;
    std::uint16_t variableColumnCount = 0;
    RowPointer ownedPagesMap;
    RowPointer freePagesMap;
    std::vector<ColumnDefinition> columns;   // in descriptor order
    std::vector<PhysicalIndex> physicalIndexes;
    std::vector<LogicalIndex> logicalIndexes;
    std::vector<LongValueMaps> longValueMaps;

    // Index into `columns`, or -1.
    int findColumn(const std::string& name) const;
};

// The pages of the definition chain starting at `first`, first page first. Throws Damage when a
// page is not a definition page or the chain loops.
std::vector<std::uint32_t> definitionChain(const PageFile& file, std::uint32_t first);

// Reads the table definition starting at `page`, following continuation pages. Throws Damage
// when a page is not a TDEF page, the chain loops or a field does not fit.
TableDefinition readTableDefinition(const PageFile& file, std::uint32_t page);

// Encodes a table definition as one block, page header included. Long-value map pointers are
// taken from table.longValueMaps.
std::vector<std::uint8_t> serializeTableDefinition(const TableDefinition& table);

// Splits an encoded block into the pages of a chain. `pages` are the page numbers to use (as
// many as pagesNeededForDefinition() says); returns their contents.
std::size_t pagesNeededForDefinition(std::size_t bytes);
std::vector<std::vector<std::uint8_t>> paginateTableDefinition(const std::vector<std::uint8_t>& block,
                                                               const std::vector<std::uint32_t>& pages);

// Changes the few table-definition fields that writing rows touches, in place: the row count,
// the last AutoNumber value, and per physical index its distinct-key count and root page. The
// definition is never laid out again. Throws Damage when a field lies outside the chain.
class TableDefinitionEditor {
public:
    TableDefinitionEditor(PageFile& file, const TableDefinition& table);

    void setRowCount(std::uint32_t count) { putU32At(tdef::kRowCount, count); }
    void setLastAutoNumber(std::uint32_t value) { putU32At(tdef::kLastAutoNumber, value); }
    void setDistinctKeyCount(std::size_t physicalIndex, std::uint32_t count);
    void setRootPage(std::size_t physicalIndex, std::uint32_t page);

private:
    void putU32At(std::size_t offset, std::uint32_t value);
    std::size_t indexDefinitionsOffset();
    std::uint8_t* byteAt(std::size_t offset);

    PageFile& file_;
    std::vector<std::uint32_t> pages_;   // the chain, first page first
    std::size_t physicalCount_ = 0;
    std::size_t indexDefinitionsOffset_ = 0;
};

}  // namespace jet
