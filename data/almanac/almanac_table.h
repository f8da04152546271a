#pragma once
// The carried almanac: one row of eleven values per day, 2021-01-01 to
// 2026-02-04, in the column order of kAlmanacColumns. Row i is day i of the
// range; values are UTF-8 as embedded, or GBK for writing into the products.

#include "data/almanac/almanac_text.h"

#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace content {

// Number of day rows. The embedded table is parsed on first use; a malformed
// table throws AlmanacFormatError from here and from the accessors below.
std::size_t almanacDayCount();

// The eleven UTF-8 values of day i. Throws std::out_of_range past the end.
std::array<std::string_view, kAlmanacColumnCount> almanacDay(std::size_t i);

// The eleven values of day i as GBK bytes. Throws std::out_of_range past the
// end and text::EncodingError for a value outside code page 936.
std::array<std::string, kAlmanacColumnCount> almanacDayGbk(std::size_t i);

}  // namespace content
