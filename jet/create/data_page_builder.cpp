#include "jet/create/data_page_builder.h"

namespace jet {

DataPageBuilder::DataPageBuilder(std::uint32_t owner) : page_(kPageSize) { initDataPage(page_.data(), owner); }

std::size_t DataPageBuilder::freeSpace() const { return lowestRowStart(page_) - (kDataPageHeaderSize + 2u * rowCount()); }

std::uint16_t DataPageBuilder::rowCount() const { return pageRowCount(page_); }

std::uint8_t DataPageBuilder::add(const std::vector<std::uint8_t>& row) { return appendPageRow(page_.data(), row, 0); }

}  // namespace jet
