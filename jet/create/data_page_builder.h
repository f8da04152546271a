#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/byte_view.h"

namespace jet {

inline constexpr std::size_t kDataPageHeaderSize = 14;
inline constexpr std::size_t kMaxRowsPerPage = 255;
inline constexpr std::uint32_t kLongValuePageOwner = 0x4C41564C;   // "LVAL"

// Collects rows for one data page, packing them from the end of the page downwards.
class DataPageBuilder {
public:
    explicit DataPageBuilder(std::uint32_t owner) : owner_(owner) {}

    // Bytes still available for one more row (its offset entry included).
    std::size_t freeSpace() const;
    bool fits(std::size_t rowSize) const { return rowCount() < kMaxRowsPerPage && rowSize + 2 <= freeSpace(); }
    std::uint16_t rowCount() const { return static_cast<std::uint16_t>(rows_.size()); }
    bool empty() const { return rows_.empty(); }

    // Adds a row and returns its row number. The caller checks fits() first.
    std::uint8_t add(std::vector<std::uint8_t> row);

    // The finished page.
    std::vector<std::uint8_t> build() const;

private:
    std::uint32_t owner_;
    std::vector<std::vector<std::uint8_t>> rows_;
    std::size_t rowBytes_ = 0;
};

}  // namespace jet
