#include "jet/format/table_definition.h"
#include "jet/format/table_definition_format.h"

#include <algorithm>
#include <set>
#include <string>

#include "jet/format/text_codec.h"

namespace jet {

using namespace tdef;

namespace {

constexpr std::size_t kIndexColumnSlots = 10;
constexpr std::uint16_t kNoColumn = 0xFFFF;

// The TDEF chain concatenated: the first page whole, continuation pages without their header.
std::vector<std::uint8_t> concatenateDefinition(const PageFile& file, std::uint32_t first) {
    std::vector<std::uint8_t> buffer;
    std::set<std::uint32_t> seen;
    std::uint32_t page = first;
    while (true) {
        if (!seen.insert(page).second) throw Damage("table definition pages form a loop at page " + std::to_string(page));
        ByteView view = file.page(page);
        if (view.u8(0, "page type") != static_cast<std::uint8_t>(PageType::TableDefinition))
            throw Damage("page " + std::to_string(page) + " is not a table definition page (type " +
                         std::to_string(view.u8(0, "page type")) + ")");
        const Bytes bytes = view.bytes();
        const std::size_t skip = page == first ? 0 : kContinuationHeader;
        buffer.insert(buffer.end(), bytes.begin() + skip, bytes.end());
        const std::uint32_t next = view.u32(4, "next definition page");
        if (next == 0) break;
        page = next;
    }
    return buffer;
}

// Reads a name stored as a 2-byte length and UCS-2 bytes; advances `offset`.
std::string readName(const ByteView& view, std::size_t& offset) {
    const std::uint16_t length = view.u16(offset, "name length");
    const Bytes bytes = view.slice(offset + 2, length, "name");
    offset += 2 + length;
    return decodeStoredText(bytes);
}

}  // namespace

int TableDefinition::findColumn(const std::string& wanted) const {
    for (std::size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == wanted) return static_cast<int>(i);
    return -1;
}

TableDefinition readTableDefinition(const PageFile& file, std::uint32_t page) {
    const std::vector<std::uint8_t> buffer = concatenateDefinition(file, page);
    const ByteView view(Bytes(buffer.data(), buffer.size()));

    TableDefinition table;
    table.page = page;
    table.rowCount = view.u32(0x10, "row count");
    table.lastAutoNumber = view.u32(0x14, "AutoNumber value");
    table.tableType = view.u8(0x28, "table type");
    table.maxColumnCount = view.u16(0x29, "maximum column count");
    table.variableColumnCount = view.u16(0x2B, "variable column count");
    const std::uint16_t columnCount = view.u16(0x2D, "column count");
    const std::uint32_t logicalCount = view.u32(0x2F, "index count");
    const std::uint32_t physicalCount = view.u32(0x33, "real index count");
    table.ownedPagesMap = RowPointer::fromRaw(view.u32(0x37, "owned pages map"));
    table.freePagesMap = RowPointer::fromRaw(view.u32(0x3B, "free pages map"));
    if (physicalCount > 1000 || logicalCount > 1000)
        throw Damage("table definition claims " + std::to_string(logicalCount) + " indexes");

    std::size_t offset = 0x3F;
    table.physicalIndexes.resize(physicalCount);
    for (auto& index : table.physicalIndexes) {
        index.distinctKeyCount = view.u32(offset + 4, "index key count");
        offset += kIndexSlotSize;
    }

    table.columns.resize(columnCount);
    for (auto& column : table.columns) {
        const Bytes descriptor = view.slice(offset, kColumnDescriptorSize, "column descriptor");
        const ByteView d(descriptor);
        column.type = d.u8(0, "column type");
        column.number = d.u16(5, "column number");
        column.variableIndex = d.u16(7, "variable column index");
        column.rowIndex = d.u16(9, "row column index");
        column.sortOrder = d.u16(11, "sort order");
        column.precision = d.u8(11, "precision");
        column.scale = d.u8(12, "scale");
        column.sortVersion = d.u8(14, "sort version");
        column.flags = d.u8(15, "column flags");
        column.extendedFlags = d.u8(16, "column extended flags");
        column.fixedOffset = d.u16(21, "fixed offset");
        column.length = d.u16(23, "column length");
        offset += kColumnDescriptorSize;
    }
    for (auto& column : table.columns) column.name = readName(view, offset);

    for (auto& index : table.physicalIndexes) {
        const ByteView d(view.slice(offset, kIndexDefinitionSize, "index definition"));
        for (std::size_t slot = 0; slot < kIndexColumnSlots; ++slot) {
            const std::uint16_t number = d.u16(4 + slot * 3, "index column");
            if (number == kNoColumn) continue;
            index.columns.push_back({number, (d.u8(6 + slot * 3, "index column order") & 0x01) != 0});
        }
        index.ownedPagesMap = RowPointer::fromRaw(d.u32(34, "index usage map"));
        index.rootPage = d.u32(38, "index root page");
        index.flags = d.u8(46, "index flags");
        offset += kIndexDefinitionSize;
    }

    table.logicalIndexes.resize(logicalCount);
    for (auto& index : table.logicalIndexes) {
        const ByteView d(view.slice(offset, kLogicalDefinitionSize, "logical index definition"));
        index.number = d.u32(4, "index number");
        index.physicalIndex = d.u32(8, "index data number");
        index.type = d.u8(23, "index type");
        offset += kLogicalDefinitionSize;
    }
    for (auto& index : table.logicalIndexes) index.name = readName(view, offset);

    // Long-value usage maps, one entry per memo/OLE column, ended by 0xFFFF. Older files may omit
    // the list entirely; stop quietly when it runs out.
    while (offset + 2 <= view.size()) {
        const std::uint16_t number = view.u16(offset, "long value map column");
        if (number == kNoColumn || offset + 10 > view.size()) break;
        LongValueMaps maps;
        maps.columnNumber = number;
        maps.ownedPages = RowPointer::fromRaw(view.u32(offset + 2, "long value owned map"));
        maps.freePages = RowPointer::fromRaw(view.u32(offset + 6, "long value free map"));
        table.longValueMaps.push_back(maps);
        offset += 10;
        if (table.longValueMaps.size() > columnCount) break;
    }
    // Present columns in column-number order, as Access does; descriptors are usually stored so.
    std::stable_sort(table.columns.begin(), table.columns.end(),
                     [](const ColumnDefinition& a, const ColumnDefinition& b) { return a.number < b.number; });
    return table;
}

}  // namespace jet
