#include "text/utf8.h"

namespace text {

namespace {

void appendUnits(std::u16string& out, char32_t c) {
    if (c >= 0x10000) {
        out += static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10));
        out += static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF));
    } else {
        out += static_cast<char16_t>(c);
    }
}

const unsigned char* bytesOf(std::string_view utf8) { return reinterpret_cast<const unsigned char*>(utf8.data()); }

}  // namespace

std::optional<std::size_t> findInvalidUtf8(std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = utf8SequenceLength(utf8, at);
        if (length == 0) return at;
        at += length;
    }
    return std::nullopt;
}

char32_t decodeUtf8At(std::string_view utf8, std::size_t byteOffset) {
    if (byteOffset >= utf8.size()) return 0xFFFD;
    const std::size_t length = utf8SequenceLength(utf8, byteOffset);
    return length == 0 ? 0xFFFD : decodeUtf8Sequence(bytesOf(utf8), byteOffset, length);
}

std::optional<std::size_t> utf16LengthOfUtf8(std::string_view utf8) {
    std::size_t units = 0;
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = utf8SequenceLength(utf8, at);
        if (length == 0) return std::nullopt;
        units += length == 4 ? 2 : 1;
        at += length;
    }
    return units;
}

void appendUtf16(std::u16string& out, std::string_view utf8) {
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = utf8SequenceLength(utf8, at);
        if (length == 0) {
            out += u'\uFFFD';
            ++at;
            continue;
        }
        appendUnits(out, decodeUtf8Sequence(bytesOf(utf8), at, length));
        at += length;
    }
}

std::optional<std::size_t> appendUtf16Strict(std::u16string& out, std::string_view utf8) {
    out.reserve(out.size() + utf8.size());
    for (std::size_t at = 0; at < utf8.size();) {
        const std::size_t length = utf8SequenceLength(utf8, at);
        if (length == 0) return at;
        appendUnits(out, decodeUtf8Sequence(bytesOf(utf8), at, length));
        at += length;
    }
    return std::nullopt;
}

std::optional<std::size_t> appendUtf8Strict(std::string& out, std::u16string_view utf16) {
    out.reserve(out.size() + utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t c = utf16[i];
        if (c >= 0xD800 && c <= 0xDFFF) {
            if (c >= 0xDC00 || i + 1 >= utf16.size() || utf16[i + 1] < 0xDC00 || utf16[i + 1] > 0xDFFF) return i;
            c = 0x10000 + ((c - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        appendUtf8(out, c);
    }
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t c) {
    char bytes[4];
    char* end = bytes;
    writeUtf8(end, c);
    out.append(bytes, static_cast<std::size_t>(end - bytes));
}

}  // namespace text
