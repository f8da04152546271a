#pragma once

#include <cstdint>
#include <unordered_set>
#include <vector>

#include "jet/check/page_claims.h"
#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"

namespace jet {

// Follows the memo and OLE values of a table's stored rows, for the structure check: every
// out-of-line value must lead to rows of long-value pages within the file, a single row long
// enough for its length or a chain that ends only once the length is reached, and no long-value
// row serves two values or one twice.
// The long-value pages reached are claimed for the table. Throws Error(Damaged).
class LongValueStructure {
public:
    LongValueStructure(const PageFile& file, const TableDefinition& table, PageClaims& claims, std::uint32_t tableKey);

    bool hasLongValueColumns() const { return !columns_.empty(); }
    // Checks the long values of the row at `page`/`row` (its stored bytes).
    void checkRow(Bytes rowBytes, std::uint32_t page, std::uint16_t row);

    // Long-value pages the table's values use, ascending.
    const std::vector<std::uint32_t>& pagesUsed() const { return pagesUsed_; }

private:
    void checkValue(const ColumnDefinition& column, Bytes field, std::uint32_t page, std::uint16_t row);
    // The bytes of the long-value row `pointer` names.
    Bytes longValueRow(std::uint32_t raw, const ColumnDefinition& column, std::uint32_t page, std::uint16_t row);
    [[noreturn]] void fail(const ColumnDefinition& column, std::uint32_t page, std::uint16_t row, const std::string& cause) const;

    const PageFile& file_;
    const TableDefinition& table_;
    PageClaims& claims_;
    std::uint32_t owner_ = 0;
    std::vector<std::size_t> columns_;   // memo and OLE columns, positions in table.columns
    std::vector<std::uint32_t> pagesUsed_;
    // Long-value rows reached so far: each belongs to one value, so a row reached again is a
    // loop or two values sharing data (which also keeps a damaged file from costing time
    // quadratic in its rows).
    std::unordered_set<std::uint32_t> rowsUsed_;
};

}  // namespace jet
