#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/file/page_file.h"

namespace jet {

// Everything a usage map row records, for the structure check: unlike readUsageMap it also
// reports set bits past the end of the file and the bitmap pages a reference map uses.
struct MapContent {
    std::vector<std::uint32_t> pages;         // set bits within the file, ascending
    std::vector<std::uint32_t> bitmapPages;   // pages of type 0x05 a reference map points to
    bool anyPastEnd = false;                  // a bit is set for a page the file does not have
    std::uint32_t firstPastEnd = 0;           // the lowest such page
};

// Reads the map row `map` points to. Throws Damage when the pointer leads to no row, the map type
// is unknown or a reference map names a page outside the file or of another type.
MapContent readMapContent(const PageFile& file, RowPointer map);

}  // namespace jet
