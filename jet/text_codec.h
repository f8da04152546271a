#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "jet/byte_view.h"

namespace jet {

// Jet 4 stores text as UCS-2 little-endian, or as "compressed Unicode": the marker FF FE, then
// one byte per character, where a 0x00 byte switches to two bytes per character and back.

// Decodes stored text (either form) to UTF-8. Unpaired surrogates become U+FFFD.
std::string decodeStoredText(Bytes stored);

// Decodes plain UCS-2 little-endian to UTF-8 (odd trailing byte ignored).
std::string decodeUcs2(Bytes stored);

// UTF-8 to UTF-16 code units. Throws std::invalid_argument on malformed UTF-8.
std::u16string utf8ToUtf16(std::string_view utf8);

// UTF-16 code units to UTF-8. Throws std::invalid_argument on an unpaired surrogate.
std::string utf16ToUtf8(std::u16string_view utf16);

// Encodes UTF-8 as UCS-2 little-endian bytes.
std::vector<std::uint8_t> encodeUcs2(std::string_view utf8);

// Encodes for a column that allows compression: the compressed form when every character is in
// U+0001..U+00FF (one byte each, no mode switches), plain UCS-2 otherwise.
std::vector<std::uint8_t> encodeStoredText(std::string_view utf8, bool compressionAllowed);

}  // namespace jet
