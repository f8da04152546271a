#include "jet/read/table_scan.h"

#include <string>

#include "jet/read/live_rows.h"

namespace jet {

TableScan::TableScan(const PageFile& file, const TableDefinition& table)
    : file_(file), decoder_(file, table), pages_(ownedDataPages(file, table)) {}

Bytes followOverflowStub(const PageFile& file, Bytes stub) {
    const RowPointer target = overflowTarget(file, stub);
    return DataPage(file.page(target.page)).row(target.row).bytes;
}

bool TableScan::next(std::vector<Value>& out) {
    while (pageIndex_ < pages_.size()) {
        const std::uint32_t pageNumber = pages_[pageIndex_];
        const DataPage page(file_.page(pageNumber));
        while (rowIndex_ < page.rowCount()) {
            const std::uint16_t index = rowIndex_++;
            const std::uint16_t flags = page.rowFlags(index);
            // 0x4000 marks an overflow stub (its data lives elsewhere and is met there) and, with
            // 0x8000, a deleted row. A row flagged 0x8000 alone is data moved here from a stub.
            // Reading moved rows where they lie gives the order every other reader reports.
            if (flags & kRowOverflowFlag) continue;
            const RowSlot slot = page.row(index);
            position_ = {pageNumber, static_cast<std::uint8_t>(index)};
            decoder_.decode(slot.bytes, out);
            return true;
        }
        ++pageIndex_;
        rowIndex_ = 0;
    }
    return false;
}

}  // namespace jet
