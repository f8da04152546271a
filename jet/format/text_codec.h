#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "jet/file/byte_view.h"

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

// Room the stored form of `length` bytes of UTF-8 (or UTF-16 units) may need while it is encoded:
// UTF-16 never takes more than two bytes per UTF-8 byte, and a compressed single character takes
// three.
constexpr std::size_t maxStoredTextBytes(std::size_t length) { return length * 2 + 2; }

struct StoredTextSize {
    std::size_t bytes;   // of the stored form
    std::size_t units;   // UTF-16 code units, as Jet counts a text's length
};

// Encodes UTF-8 at `out`, which has room for maxStoredTextBytes(utf8.size()): compressed when
// compression is allowed and every character is in U+0001..U+00FF, UCS-2 otherwise. Returns
// nullopt on malformed UTF-8 (what was written at `out` is then meaningless).
std::optional<StoredTextSize> encodeStoredTextInto(std::string_view utf8, bool compressionAllowed, std::uint8_t* out);

// The same for UTF-16 code units, copied as they are; nullopt on an unpaired surrogate.
std::optional<std::size_t> encodeStoredTextInto(std::u16string_view units, bool compressionAllowed, std::uint8_t* out);

// Encodes UTF-8 as UCS-2 little-endian bytes.
std::vector<std::uint8_t> encodeUcs2(std::string_view utf8);

// Encodes for a column that allows compression: the compressed form when every character is in
// U+0001..U+00FF (one byte each, no mode switches), plain UCS-2 otherwise.
std::vector<std::uint8_t> encodeStoredText(std::string_view utf8, bool compressionAllowed);

}  // namespace jet
