#include "jet/format/table_definition_writer.h"
#include "jet/format/table_definition_format.h"

#include <algorithm>

#include "jet/file/page_file.h"
#include "jet/format/text_codec.h"

namespace jet {

using namespace tdef;

namespace {

// Constants Access writes into every table definition.
constexpr std::uint32_t kTableMagic = 1625;
constexpr std::uint32_t kIndexMagic = 1923;

class Writer {
public:
    void u8(std::uint32_t v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void u16(std::uint32_t v) { u8(v); u8(v >> 8); }
    void u32(std::uint32_t v) { u16(v); u16(v >> 16); }
    void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
    void name(const std::string& utf8) {
        const std::vector<std::uint8_t> encoded = encodeUcs2(utf8);
        u16(static_cast<std::uint32_t>(encoded.size()));
        bytes.insert(bytes.end(), encoded.begin(), encoded.end());
    }
    std::vector<std::uint8_t> bytes;
};

}  // namespace

std::vector<std::uint8_t> serializeTableDefinition(const TableDefinition& table) {
    Writer w;
    w.u8(static_cast<std::uint8_t>(PageType::TableDefinition));
    w.u8(0x01);
    w.u16(0);   // free space, filled in per page
    w.u32(0);   // next definition page, filled in per page
    w.u32(0);   // definition length, filled in below
    w.u32(kTableMagic);
    w.u32(table.rowCount);
    w.u32(table.lastAutoNumber);
    w.u8(1);    // AutoNumber in use
    w.zeros(15);
    w.u8(table.tableType);
    w.u16(table.maxColumnCount);
    w.u16(table.variableColumnCount);
    w.u16(static_cast<std::uint32_t>(table.columns.size()));
    w.u32(static_cast<std::uint32_t>(table.logicalIndexes.size()));
    w.u32(static_cast<std::uint32_t>(table.physicalIndexes.size()));
    w.u32(table.ownedPagesMap.raw());
    w.u32(table.freePagesMap.raw());

    for (const auto& index : table.physicalIndexes) {
        w.u32(0);
        w.u32(index.distinctKeyCount);
        w.u32(0);
    }
    for (const auto& column : table.columns) {
        w.u8(column.type);
        w.u32(kTableMagic);
        w.u16(column.number);
        w.u16(column.variableIndex);
        w.u16(column.rowIndex);
        w.u16(column.sortOrder);
        w.u8(0);
        w.u8(column.sortVersion);
        w.u8(column.flags);
        w.u8(column.extendedFlags);
        w.u32(0);
        w.u16(column.fixedOffset);
        w.u16(column.length);
    }
    for (const auto& column : table.columns) w.name(column.name);
    for (const auto& index : table.physicalIndexes) {
        w.u32(kIndexMagic);
        for (std::size_t slot = 0; slot < 10; ++slot) {
            if (slot < index.columns.size()) {
                w.u16(index.columns[slot].columnNumber);
                w.u8(index.columns[slot].ascending ? 0x01 : 0x02);
            } else {
                w.u16(0xFFFF);
                w.u8(0);
            }
        }
        w.u32(index.ownedPagesMap.raw());
        w.u32(index.rootPage);
        w.u32(0);
        w.u8(index.flags);
        w.zeros(5);
    }
    for (const auto& index : table.logicalIndexes) {
        w.u32(kTableMagic);
        w.u32(index.number);
        w.u32(index.physicalIndex);
        w.u8(0);
        w.u32(0xFFFFFFFF);   // no related table
        w.u32(0);
        w.u8(0x04);
        w.u8(0x04);
        w.u8(index.type);
        w.u32(0);
    }
    for (const auto& index : table.logicalIndexes) w.name(index.name);
    for (const auto& maps : table.longValueMaps) {
        w.u16(maps.columnNumber);
        w.u32(maps.ownedPages.raw());
        w.u32(maps.freePages.raw());
    }
    w.u16(0xFFFF);
    putU32(&w.bytes[8], static_cast<std::uint32_t>(w.bytes.size()));
    return w.bytes;
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
            page[0] = static_cast<std::uint8_t>(PageType::TableDefinition);
            page[1] = 0x01;
            start = kContinuationHeader;
        }
        const std::size_t take = std::min(kPageSize - start, block.size() - offset);
        std::copy_n(block.begin() + static_cast<std::ptrdiff_t>(offset), take, page.begin() + static_cast<std::ptrdiff_t>(start));
        offset += take;
        // Free space as Access records it: the page minus its bytes and an 8-byte reserve.
        const std::size_t used = start + take + (i == 0 ? 8 : 0);
        putU16(&page[2], static_cast<std::uint32_t>(kPageSize > used ? kPageSize - used : 0));
        putU32(&page[4], i + 1 < pages.size() ? pages[i + 1] : 0);
        out.push_back(std::move(page));
    }
    return out;
}

}  // namespace jet
