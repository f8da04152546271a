#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

inline constexpr std::size_t kLongValueHeaderSize = 12;
inline constexpr std::uint32_t kLongValueInline = 0x80000000u;
inline constexpr std::uint32_t kLongValueSingleRow = 0x40000000u;
// A long value's length takes the low three bytes of its header word; the high byte holds the
// type flags above. So a stored value is at most 2^24 - 1 bytes: a longer length would spill
// into the flags and make the whole table unreadable.
inline constexpr std::uint32_t kLongValueLengthMask = 0x00FFFFFFu;
inline constexpr std::size_t kLongValueMaxLength = kLongValueLengthMask;

// Reads the stored bytes of a memo or OLE value from the field bytes in the row (the 12-byte
// header, plus the data when inline). Follows a single long-value row or a chain of rows.
// Throws Damage when lengths do not fit, a pointer leads nowhere or the chain loops.
std::vector<std::uint8_t> readLongValue(const PageFile& file, Bytes field);

}  // namespace jet
