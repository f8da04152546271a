#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/format/column_type.h"
#include "jet/format/data_page.h"

namespace jet {

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

struct LogicalIndex {
    std::string name;
    std::uint32_t number = 0;
    std::uint32_t physicalIndex = 0;
    std::uint8_t type = 0;   // 1 primary key, 2 foreign key reference
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

// Reads the table definition starting at `page`, following continuation pages. Throws Damage
// when a page is not a TDEF page, the chain loops or a field does not fit.
TableDefinition readTableDefinition(const PageFile& file, std::uint32_t page);

}  // namespace jet
