#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/row_decoder.h"
#include "jet/format/table_definition.h"

namespace jet {

// Given the bytes of an overflow stub, returns the row data it leads to (following further stubs).
// Throws Damage when the chain is broken or too long.
Bytes followOverflowStub(const PageFile& file, Bytes stub);

// Walks a table's live rows in physical order: owned data pages in ascending page number, rows
// in row-table order, deleted rows skipped, rows that overflowed read where their data lies.
class TableScan {
public:
    // Throws Damage when the table's page map cannot be read.
    TableScan(const PageFile& file, const TableDefinition& table);

    // Decodes the next live row into `out`; false at the end. Throws Damage.
    bool next(std::vector<Value>& out);

    // Position of the row last returned (its original row pointer).
    RowPointer position() const { return position_; }

private:

    const PageFile& file_;
    RowDecoder decoder_;
    std::vector<std::uint32_t> pages_;
    std::size_t pageIndex_ = 0;
    std::uint16_t rowIndex_ = 0;
    RowPointer position_;
};

}  // namespace jet
