#include "jet/format/table_definition.h"

#include <algorithm>
#include <set>
#include <string>

#include "jet/format/text_codec.h"

namespace jet {

using namespace tdef;

namespace {

constexpr std::uint8_t kDefinitionPageType = static_cast<std::uint8_t>(PageType::TableDefinition);

// The chain's blocks concatenated: the first page whole, continuation pages without their header.
std::vector<std::uint8_t> concatenateDefinition(const PageFile& file, const std::vector<std::uint32_t>& chain) {
    std::vector<std::uint8_t> block;
    for (std::uint32_t page : chain) {
        const Bytes bytes = file.page(page).bytes();
        const std::size_t skip = page == chain.front() ? 0 : kContinuationHeader;
        block.insert(block.end(), bytes.begin() + static_cast<std::ptrdiff_t>(skip), bytes.end());
    }
    return block;
}

// Reads a name stored as a 2-byte length and UCS-2 bytes; advances `offset`.
std::string readName(const ByteView& view, std::size_t& offset) {
    const std::uint16_t length = view.u16(offset, "name length");
    const Bytes bytes = view.slice(offset + 2, length, "name");
    offset += 2 + length;
    return decodeStoredText(bytes);
}

// Appends `size` zero bytes for a fixed-size record; returns where it starts.
std::size_t appendRecord(std::vector<std::uint8_t>& block, std::size_t size) {
    block.resize(block.size() + size, 0);
    return block.size() - size;
}

void appendName(std::vector<std::uint8_t>& block, const std::string& utf8) {
    const std::vector<std::uint8_t> encoded = encodeUcs2(utf8);
    putU16(&block[appendRecord(block, 2)], static_cast<std::uint32_t>(encoded.size()));
    block.insert(block.end(), encoded.begin(), encoded.end());
}

}  // namespace

int TableDefinition::findColumn(const std::string& wanted) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == wanted) return static_cast<int>(i);
    return -1;
}

std::vector<std::uint32_t> definitionChain(const PageFile& file, std::uint32_t first) {
    std::vector<std::uint32_t> chain;
    std::set<std::uint32_t> seen;
    for (std::uint32_t page = first; page != 0;) {
        if (!seen.insert(page).second) throw Damage("table definition pages form a loop at page " + std::to_string(page));
        const ByteView view = file.page(page);
        if (view.u8(kPageType, "page type") != kDefinitionPageType)
            throw Damage("page " + std::to_string(page) + " is not a table definition page (type " +
                         std::to_string(view.u8(kPageType, "page type")) + ")");
        chain.push_back(page);
        page = view.u32(kNextPage, "next definition page");
    }
    return chain;
}

// ---- Decoding -------------------------------------------------------------------------------

TableDefinition readTableDefinition(const PageFile& file, std::uint32_t page) {
    const std::vector<std::uint8_t> buffer = concatenateDefinition(file, definitionChain(file, page));
    const ByteView view(Bytes(buffer.data(), buffer.size()));

    TableDefinition table;
    table.page = page;
    table.rowCount = view.u32(kRowCount, "row count");
    table.lastAutoNumber = view.u32(kLastAutoNumber, "AutoNumber value");
    table.tableType = view.u8(kTableType, "table type");
    table.maxColumnCount = view.u16(kMaxColumnCount, "maximum column count");
    table.variableColumnCount = view.u16(kVariableColumnCount, "variable column count");
    const std::uint16_t columnCount = view.u16(kColumnCount, "column count");
    const std::uint32_t logicalCount = view.u32(kLogicalIndexCount, "index count");
    const std::uint32_t physicalCount = view.u32(kPhysicalIndexCount, "real index count");
    table.ownedPagesMap = RowPointer::fromRaw(view.u32(kOwnedPagesMap, "owned pages map"));
    table.freePagesMap = RowPointer::fromRaw(view.u32(kFreePagesMap, "free pages map"));
    if (physicalCount > 1000 || logicalCount > 1000)
        throw Damage("table definition claims " + std::to_string(logicalCount) + " indexes");

    std::size_t offset = kIndexSlots;
    table.physicalIndexes.resize(physicalCount);
    for (auto& index : table.physicalIndexes) {
        index.distinctKeyCount = view.u32(offset + kSlotDistinctKeys, "index key count");
        offset += kIndexSlotSize;
    }

    table.columns.resize(columnCount);
    for (auto& column : table.columns) {
        const ByteView d(view.slice(offset, kColumnDescriptorSize, "column descriptor"));
        column.type = d.u8(kColumnType, "column type");
        column.number = d.u16(kColumnNumber, "column number");
        column.variableIndex = d.u16(kColumnVariableIndex, "variable column index");
        column.rowIndex = d.u16(kColumnRowIndex, "row column index");
        column.sortOrder = d.u16(kColumnSortOrder, "sort order");
        column.precision = d.u8(kColumnPrecision, "precision");
        column.scale = d.u8(kColumnScale, "scale");
        column.sortVersion = d.u8(kColumnSortVersion, "sort version");
        column.flags = d.u8(kColumnFlags, "column flags");
        column.extendedFlags = d.u8(kColumnExtendedFlags, "column extended flags");
        column.fixedOffset = d.u16(kColumnFixedOffset, "fixed offset");
        column.length = d.u16(kColumnLength, "column length");
        offset += kColumnDescriptorSize;
    }
    for (auto& column : table.columns) column.name = readName(view, offset);

    for (auto& index : table.physicalIndexes) {
        const ByteView d(view.slice(offset, kIndexDefinitionSize, "index definition"));
        for (std::size_t slot = 0; slot < kIndexColumnSlots; ++slot) {
            const std::size_t at = kIndexColumns + slot * kIndexColumnSlotSize;
            const std::uint16_t number = d.u16(at, "index column");
            if (number == kNoColumn) continue;
            index.columns.push_back({number, (d.u8(at + kIndexColumnOrder, "index column order") & 0x01) != 0});
        }
        index.ownedPagesMap = RowPointer::fromRaw(d.u32(kIndexOwnedPagesMap, "index usage map"));
        index.rootPage = d.u32(kIndexRootPage, "index root page");
        index.flags = d.u8(kIndexFlags, "index flags");
        offset += kIndexDefinitionSize;
    }

    table.logicalIndexes.resize(logicalCount);
    for (auto& index : table.logicalIndexes) {
        const ByteView d(view.slice(offset, kLogicalDefinitionSize, "logical index definition"));
        index.number = d.u32(kLogicalNumber, "index number");
        index.physicalIndex = d.u32(kLogicalPhysicalIndex, "index data number");
        index.relationshipSide = d.u8(kLogicalRelationshipSide, "relationship side");
        index.relatedIndex = d.u32(kLogicalRelatedIndex, "related index");
        index.relatedTablePage = d.u32(kLogicalRelatedTable, "related table");
        index.cascadeUpdates = d.u8(kLogicalCascadeUpdates, "cascade updates");
        index.cascadeDeletes = d.u8(kLogicalCascadeDeletes, "cascade deletes");
        index.type = d.u8(kLogicalType, "index type");
        offset += kLogicalDefinitionSize;
    }
    for (auto& index : table.logicalIndexes) index.name = readName(view, offset);

    // Long-value usage maps, one entry per memo/OLE column, ended by kNoColumn. Older files may
    // omit the list entirely; stop quietly when it runs out.
    while (offset + 2 <= view.size()) {
        const std::uint16_t number = view.u16(offset + kLongValueMapsColumn, "long value map column");
        if (number == kNoColumn || offset + kLongValueMapsSize > view.size()) break;
        LongValueMaps maps;
        maps.columnNumber = number;
        maps.ownedPages = RowPointer::fromRaw(view.u32(offset + kLongValueMapsOwned, "long value owned map"));
        maps.freePages = RowPointer::fromRaw(view.u32(offset + kLongValueMapsFree, "long value free map"));
        table.longValueMaps.push_back(maps);
        offset += kLongValueMapsSize;
        if (table.longValueMaps.size() > columnCount) break;
    }
    // Present columns in column-number order, as Access does; descriptors are usually stored so.
    std::stable_sort(table.columns.begin(), table.columns.end(),
                     [](const ColumnDefinition& a, const ColumnDefinition& b) { return a.number < b.number; });
    return table;
}

// ---- Encoding -------------------------------------------------------------------------------

std::vector<std::uint8_t> serializeTableDefinition(const TableDefinition& table) {
    std::vector<std::uint8_t> block(kIndexSlots, 0);
    block[kPageType] = kDefinitionPageType;
    block[kPageType + 1] = 0x01;
    // Free space and the next page are filled in per page, the block length at the end.
    putU32(&block[kMagic], kTableMagicValue);
    putU32(&block[kRowCount], table.rowCount);
    putU32(&block[kLastAutoNumber], table.lastAutoNumber);
    block[kAutoNumberInUse] = 1;
    block[kTableType] = table.tableType;
    putU16(&block[kMaxColumnCount], table.maxColumnCount);
    putU16(&block[kVariableColumnCount], table.variableColumnCount);
    putU16(&block[kColumnCount], static_cast<std::uint32_t>(table.columns.size()));
    putU32(&block[kLogicalIndexCount], static_cast<std::uint32_t>(table.logicalIndexes.size()));
    putU32(&block[kPhysicalIndexCount], static_cast<std::uint32_t>(table.physicalIndexes.size()));
    putU32(&block[kOwnedPagesMap], table.ownedPagesMap.raw());
    putU32(&block[kFreePagesMap], table.freePagesMap.raw());

    for (const auto& index : table.physicalIndexes)
        putU32(&block[appendRecord(block, kIndexSlotSize) + kSlotDistinctKeys], index.distinctKeyCount);
    for (const auto& column : table.columns) {
        std::uint8_t* d = &block[appendRecord(block, kColumnDescriptorSize)];
        d[kColumnType] = column.type;
        putU32(d + kColumnMagic, kTableMagicValue);
        putU16(d + kColumnNumber, column.number);
        putU16(d + kColumnVariableIndex, column.variableIndex);
        putU16(d + kColumnRowIndex, column.rowIndex);
        putU16(d + kColumnSortOrder, column.sortOrder);
        d[kColumnSortVersion] = column.sortVersion;
        d[kColumnFlags] = column.flags;
        d[kColumnExtendedFlags] = column.extendedFlags;
        putU16(d + kColumnFixedOffset, column.fixedOffset);
        putU16(d + kColumnLength, column.length);
    }
    for (const auto& column : table.columns) appendName(block, column.name);
    for (const auto& index : table.physicalIndexes) {
        std::uint8_t* d = &block[appendRecord(block, kIndexDefinitionSize)];
        putU32(d + kIndexDefinitionMagic, kIndexMagicValue);
        for (std::size_t slot = 0; slot < kIndexColumnSlots; ++slot) {
            std::uint8_t* column = d + kIndexColumns + slot * kIndexColumnSlotSize;
            const bool used = slot < index.columns.size();
            putU16(column, used ? index.columns[slot].columnNumber : kNoColumn);
            column[kIndexColumnOrder] = !used ? 0x00 : index.columns[slot].ascending ? 0x01 : 0x02;
        }
        putU32(d + kIndexOwnedPagesMap, index.ownedPagesMap.raw());
        putU32(d + kIndexRootPage, index.rootPage);
        d[kIndexFlags] = index.flags;
    }
    for (const auto& index : table.logicalIndexes) {
        std::uint8_t* d = &block[appendRecord(block, kLogicalDefinitionSize)];
        putU32(d + kLogicalMagic, kTableMagicValue);
        putU32(d + kLogicalNumber, index.number);
        putU32(d + kLogicalPhysicalIndex, index.physicalIndex);
        d[kLogicalRelationshipSide] = index.relationshipSide;
        putU32(d + kLogicalRelatedIndex, index.relatedIndex);
        putU32(d + kLogicalRelatedTable, index.relatedTablePage);
        d[kLogicalCascadeUpdates] = index.cascadeUpdates;
        d[kLogicalCascadeDeletes] = index.cascadeDeletes;
        d[kLogicalType] = index.type;
    }
    for (const auto& index : table.logicalIndexes) appendName(block, index.name);
    for (const auto& maps : table.longValueMaps) {
        std::uint8_t* d = &block[appendRecord(block, kLongValueMapsSize)];
        putU16(d + kLongValueMapsColumn, maps.columnNumber);
        putU32(d + kLongValueMapsOwned, maps.ownedPages.raw());
        putU32(d + kLongValueMapsFree, maps.freePages.raw());
    }
    putU16(&block[appendRecord(block, 2)], kNoColumn);
    putU32(&block[kBlockLength], static_cast<std::uint32_t>(block.size()));
    return block;
}

std::size_t pagesNeededForDefinition(std::size_t bytes) {
    if (bytes <= kPageSize) return 1;
    const std::size_t perContinuation = kPageSize - kContinuationHeader;
    return 1 + (bytes - kPageSize + perContinuation - 1) / perContinuation;
}

std::vector<std::vector<std::uint8_t>> paginateTableDefinition(const std::vector<std::uint8_t>& block,
                                                               const std::vector<std::uint32_t>& pages) {
    std::vector<std::vector<std::uint8_t>> out;
    std::size_t offset = 0;
    for (std::size_t i = 0; i < pages.size(); ++i) {
        std::vector<std::uint8_t> page(kPageSize, 0);
        std::size_t start = 0;
        if (i > 0) {
            page[kPageType] = kDefinitionPageType;
            page[kPageType + 1] = 0x01;
            start = kContinuationHeader;
        }
        const std::size_t take = std::min(kPageSize - start, block.size() - offset);
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(offset), take, page.begin() + static_cast<std::ptrdiff_t>(start));
        offset += take;
        // Free space as Access records it: the page minus its bytes and an 8-byte reserve.
        const std::size_t used = start + take + (i == 0 ? 8 : 0);
        putU16(&page[kFreeSpace], static_cast<std::uint32_t>(kPageSize > used ? kPageSize - used : 0));
        putU32(&page[kNextPage], i + 1 < pages.size() ? pages[i + 1] : 0);
        out.push_back(std::move(page));
    }
    return out;
}

// ---- Editing in place -----------------------------------------------------------------------

TableDefinitionEditor::TableDefinitionEditor(PageFile& file, const TableDefinition& table)
    : file_(file), pages_(definitionChain(file, table.page)), physicalCount_(table.physicalIndexes.size()) {}

std::size_t TableDefinitionEditor::indexDefinitionsOffset() {
    // Column descriptors, then the column names, then the physical index definitions. Found
    // only when asked: row counts, written on every insert, lie in the fixed part.
    if (indexDefinitionsOffset_ != 0) return indexDefinitionsOffset_;
    const std::uint16_t columnCount = static_cast<std::uint16_t>(*byteAt(kColumnCount) | (*byteAt(kColumnCount + 1) << 8));
    std::size_t offset = kIndexSlots + kIndexSlotSize * physicalCount_ + kColumnDescriptorSize * columnCount;
    for (std::uint16_t i = 0; i < columnCount; ++i) {
        const std::size_t length = *byteAt(offset) | (*byteAt(offset + 1) << 8);
        offset += 2 + length;
    }
    return indexDefinitionsOffset_ = offset;
}

std::uint8_t* TableDefinitionEditor::byteAt(std::size_t offset) {
    if (offset < kPageSize) return file_.mutablePage(pages_[0]) + offset;
    std::size_t rest = offset - kPageSize;
    for (std::size_t i = 1; i < pages_.size(); ++i) {
        const std::size_t span = kPageSize - kContinuationHeader;
        if (rest < span) return file_.mutablePage(pages_[i]) + kContinuationHeader + rest;
        rest -= span;
    }
    throw Damage("table definition field at " + std::to_string(offset) + " lies past its last page");
}

void TableDefinitionEditor::putU32At(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) *byteAt(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void TableDefinitionEditor::setDistinctKeyCount(std::size_t physicalIndex, std::uint32_t count) {
    putU32At(kIndexSlots + kIndexSlotSize * physicalIndex + kSlotDistinctKeys, count);
}

void TableDefinitionEditor::setRootPage(std::size_t physicalIndex, std::uint32_t page) {
    putU32At(indexDefinitionsOffset() + kIndexDefinitionSize * physicalIndex + kIndexRootPage, page);
}

}  // namespace jet
