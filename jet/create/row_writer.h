#pragma once

#include <cstdint>
#include <functional>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/create/page_allocator.h"
#include "jet/create/data_page_builder.h"
#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

inline constexpr std::size_t kMaxRowSize = 4060;

// Writes rows of one table into data pages, and memo/OLE values too long to stay in the row into
// long-value pages of their column. Records every page it uses so usage maps can be built.
class RowWriter {
public:
    RowWriter(PageAllocator& pages, const TableDefinition& table);

    // Encodes and stores a row (values in table.columns order, already type-checked). Returns
    // where it was stored. Throws std::invalid_argument when the row is too large.
    RowPointer write(const std::vector<Value>& values);

    // Writes out the pages still being filled.
    void finish();

    const std::vector<std::uint32_t>& dataPages() const { return dataPages_; }
    // Long-value pages per memo/OLE column, in table.longValueMaps order.
    const std::vector<std::vector<std::uint32_t>>& longValuePages() const { return longValuePages_; }

private:
    struct OpenPage {
        std::uint32_t number = 0;
        DataPageBuilder builder{0};
        bool open = false;
    };

    RowPointer store(OpenPage& page, std::vector<std::uint32_t>& used, std::uint32_t owner, std::vector<std::uint8_t> row);
    std::vector<std::uint8_t> encodeLongValue(std::size_t lvIndex, const std::vector<std::uint8_t>& stored);
    std::vector<std::uint8_t> encodeRow(const std::vector<Value>& values);

    PageAllocator& pages_;
    const TableDefinition& table_;
    OpenPage data_;
    std::vector<OpenPage> longValue_;
    std::vector<std::uint32_t> dataPages_;
    std::vector<std::vector<std::uint32_t>> longValuePages_;
};

}  // namespace jet
