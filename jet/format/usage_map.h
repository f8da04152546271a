#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/data_page.h"

namespace jet {

inline constexpr std::size_t kMapBitmapBytes = 64;
inline constexpr std::size_t kMapRowSize = 5 + kMapBitmapBytes;   // every map row Access writes is 69 bytes

// Decodes a usage map row (inline bitmap or references to bitmap pages) into the ascending list
// of page numbers whose bits are set. Pages past the end of the file are left out. Throws Damage
// when the map is malformed.
std::vector<std::uint32_t> readUsageMap(const PageFile& file, Bytes mapRow);

// Encodes an inline usage map row covering `bitmapBytes`*8 pages from `startPage`, with the bits
// of `pages` set. Throws InvalidArgument-free Damage if a page does not fit the window.
std::vector<std::uint8_t> buildInlineUsageMap(std::uint32_t startPage, const std::vector<std::uint32_t>& pages,
                                              std::size_t bitmapBytes = 64);

}  // namespace jet
