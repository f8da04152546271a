#pragma once

#include <cstdint>
#include <string>

#include "jet/data_page.h"
#include "jet/page_file.h"

namespace jet {

// Changes to the in-memory page image that many writers share: appending pages, the global
// page map (page 1, row 0; a set bit means free) and the usage maps of tables, indexes and
// long-value columns. Throws Damage when a map cannot be read or changed.
class FileEditor {
public:
    explicit FileEditor(PageFile& file) : file_(file) {}

    PageFile& file() { return file_; }
    const PageFile& file() const { return file_; }
    Bytes page(std::uint32_t number) const { return file_.page(number).bytes(); }
    std::uint8_t* mutablePage(std::uint32_t number) { return file_.mutablePage(number); }

    // Appends a zeroed page and marks it used in the global map.
    std::uint32_t allocatePage();
    // Marks a page free in the global map (its bytes stay as they are).
    void releasePage(std::uint32_t page);

    // Sets or clears the bit of `page` in the usage map row at `map` (owned or free-space map).
    void setMapBit(RowPointer map, std::uint32_t page, bool value);

private:
    void setBit(RowPointer map, std::uint32_t page, bool value, bool unmappedIsSet);
    std::uint8_t* mapRow(RowPointer map, std::size_t& length);

    PageFile& file_;
};

inline constexpr RowPointer kGlobalUsageMap{1, 0};

}  // namespace jet
