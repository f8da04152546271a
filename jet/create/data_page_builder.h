#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/data_page.h"

namespace jet {

// Fills one data page of a new file row by row, through the data page codec.
class DataPageBuilder {
public:
    explicit DataPageBuilder(std::uint32_t owner);

    // Bytes still available for one more row (its row-table entry included).
    std::size_t freeSpace() const;
    bool fits(std::size_t rowSize) const { return rowCount() < kMaxRowsPerPage && rowSize + 2 <= freeSpace(); }
    std::uint16_t rowCount() const;
    bool empty() const { return rowCount() == 0; }

    // Adds a row and returns its row number. The caller checks fits() first.
    std::uint8_t add(const std::vector<std::uint8_t>& row);

    // The finished page.
    const std::vector<std::uint8_t>& build() const { return page_; }

private:
    std::vector<std::uint8_t> page_;
};

}  // namespace jet
