#pragma once
// Small UTF-8 helpers: sequence lengths, validation and decoding of single
// characters. The program keeps all its text in UTF-8.

#include <optional>
#include <string>
#include <string_view>

namespace upgrade {

// Length of the UTF-8 sequence that starts with this lead byte, or 0 when the
// byte cannot start a sequence.
std::size_t utf8SequenceLength(unsigned char leadByte);

// Offset of the first byte that is not part of a well-formed UTF-8 sequence.
std::optional<std::size_t> findInvalidUtf8(std::string_view text);

// The character whose sequence starts at byteOffset (U+FFFD when malformed).
char32_t decodeUtf8At(std::string_view text, std::size_t byteOffset);

// Appends the UTF-8 form of one character.
void appendUtf8(std::string& out, char32_t c);

// Appends well-formed UTF-8 text as UTF-16 code units; malformed sequences become U+FFFD.
void appendUtf16(std::u16string& out, std::string_view utf8);

}  // namespace upgrade
