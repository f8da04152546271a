#include "jet/read/live_rows.h"

#include <string>

#include "jet/format/usage_map.h"

namespace jet {

std::vector<std::uint32_t> ownedDataPages(const PageFile& file, const TableDefinition& table) {
    std::vector<std::uint32_t> pages;
    const Bytes mapRow = readPointedRow(file, table.ownedPagesMap, "table usage map");
    for (std::uint32_t page : readUsageMap(file, mapRow)) {
        if (isDataPageOwnedBy(file.page(page), table.page)) pages.push_back(page);
    }
    return pages;
}

RowPointer overflowTarget(const PageFile& file, Bytes stub) {
    for (int hop = 0; hop < kMaxOverflowHops; ++hop) {
        const RowPointer target = RowPointer::fromRaw(ByteView(stub).u32(0, "overflow pointer"));
        const DataPage page(file.page(target.page));
        if (!(page.rowFlags(target.row) & kRowOverflowFlag)) return target;
        stub = page.row(target.row).bytes;
    }
    throw Damage("overflow rows form a chain longer than " + std::to_string(kMaxOverflowHops));
}

std::vector<LiveRow> listLiveRows(const PageFile& file, const std::vector<std::uint32_t>& pages) {
    std::vector<LiveRow> rows;
    for (std::uint32_t pageNumber : pages) {
        const DataPage view(file.page(pageNumber));
        for (std::uint16_t i = 0; i < view.rowCount(); ++i) {
            const std::uint16_t flags = view.rowFlags(i);
            if (flags & kRowDeletedFlag) continue;   // deleted, or data that a stub elsewhere stands for
            LiveRow row{{pageNumber, static_cast<std::uint8_t>(i)}, {pageNumber, static_cast<std::uint8_t>(i)}};
            if (flags & kRowOverflowFlag) row.data = overflowTarget(file, view.row(i).bytes);
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace jet
