#include "jet/create/data_page_builder.h"

#include <algorithm>

#include "jet/file/page_file.h"

namespace jet {

std::size_t DataPageBuilder::freeSpace() const {
    return kPageSize - kDataPageHeaderSize - rowBytes_ - 2 * rows_.size();
}

std::uint8_t DataPageBuilder::add(std::vector<std::uint8_t> row) {
    rowBytes_ += row.size();
    rows_.push_back(std::move(row));
    return static_cast<std::uint8_t>(rows_.size() - 1);
}

std::vector<std::uint8_t> DataPageBuilder::build() const {
    std::vector<std::uint8_t> page(kPageSize, 0);
    page[0] = static_cast<std::uint8_t>(PageType::Data);
    page[1] = 0x01;
    putU16(&page[2], static_cast<std::uint32_t>(freeSpace()));
    putU32(&page[4], owner_);
    putU16(&page[12], static_cast<std::uint32_t>(rows_.size()));
    std::size_t end = kPageSize;
    for (std::size_t i = 0; i < rows_.size(); ++i) {
        const std::size_t start = end - rows_[i].size();
        std::copy(rows_[i].begin(), rows_[i].end(), page.begin() + static_cast<std::ptrdiff_t>(start));
        putU16(&page[kDataPageHeaderSize + 2 * i], static_cast<std::uint32_t>(start));
        end = start;
    }
    return page;
}

}  // namespace jet
