#include "jet/read/live_rows.h"

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

std::vector<LiveRow> listLiveRows(const PageFile& file, const std::vector<std::uint32_t>& pages) {
    std::vector<LiveRow> rows;
    for (std::uint32_t pageNumber : pages) {
        const DataPage view(file.page(pageNumber));
        for (std::uint16_t i = 0; i < view.rowCount(); ++i) {
            const std::uint16_t flags = view.rowFlags(i);
            if (flags & kRowDeletedFlag) continue;   // deleted, or data that a stub elsewhere stands for
            LiveRow row{{pageNumber, static_cast<std::uint8_t>(i)}, {pageNumber, static_cast<std::uint8_t>(i)}};
            if (flags & kRowOverflowFlag) {
                Bytes stub = view.row(i).bytes;
                for (int hop = 0;; ++hop) {
                    if (hop > kMaxOverflowHops) throw Damage("overflow rows form a chain too long");
                    row.data = RowPointer::fromRaw(ByteView(stub).u32(0, "overflow pointer"));
                    const DataPage target(file.page(row.data.page));
                    if (!(target.rowFlags(row.data.row) & kRowOverflowFlag)) break;
                    stub = target.row(row.data.row).bytes;
                }
            }
            rows.push_back(row);
        }
    }
    return rows;
}

}  // namespace jet
