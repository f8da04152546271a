#include "utf8.h"

namespace upgrade {

std::size_t utf8SequenceLength(unsigned char leadByte) {
    if (leadByte < 0x80) return 1;
    if (leadByte >= 0xC2 && leadByte <= 0xDF) return 2;
    if (leadByte >= 0xE0 && leadByte <= 0xEF) return 3;
    if (leadByte >= 0xF0 && leadByte <= 0xF4) return 4;
    return 0;
}

namespace {

// Decodes one sequence; returns its length, or 0 when it is malformed
// (truncated, bad continuation byte, overlong, surrogate or beyond U+10FFFF).
std::size_t decodeSequence(std::string_view text, std::size_t at, char32_t& c) {
    const auto lead = static_cast<unsigned char>(text[at]);
    const std::size_t length = utf8SequenceLength(lead);
    if (length == 0 || at + length > text.size()) return 0;
    if (length == 1) {
        c = lead;
        return 1;
    }
    c = lead & (0x7F >> length);
    for (std::size_t i = 1; i < length; ++i) {
        const auto next = static_cast<unsigned char>(text[at + i]);
        if ((next & 0xC0) != 0x80) return 0;
        c = (c << 6) | (next & 0x3F);
    }
    static constexpr char32_t kMinimum[] = {0, 0, 0x80, 0x800, 0x10000};
    if (c < kMinimum[length] || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
    return length;
}

}  // namespace

std::optional<std::size_t> findInvalidUtf8(std::string_view text) {
    for (std::size_t at = 0; at < text.size();) {
        char32_t c = 0;
        const std::size_t length = decodeSequence(text, at, c);
        if (length == 0) return at;
        at += length;
    }
    return std::nullopt;
}

char32_t decodeUtf8At(std::string_view text, std::size_t byteOffset) {
    char32_t c = 0;
    if (byteOffset >= text.size() || decodeSequence(text, byteOffset, c) == 0) return 0xFFFD;
    return c;
}

void appendUtf16(std::u16string& out, std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        char32_t c = 0;
        const std::size_t length = decodeSequence(utf8, at, c);
        if (length == 0) c = 0xFFFD;
        at += length == 0 ? 1 : length;
        if (c >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(c);
        }
    }
}

void appendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

}  // namespace upgrade
