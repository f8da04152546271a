#pragma once
// UTF-8 and UTF-16: the one decoder and the one encoder of the program's text. All text is kept
// in UTF-8; UTF-16 is what the Access files and the Windows API hold.

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace text {

// Length of the well-formed UTF-8 sequence starting at `i` (lead byte and the continuation bytes
// it announces), or 0 when it is malformed, cut off, overlong, a surrogate half or past U+10FFFF.
// Inline: the column encoders run it on every character they store.
inline std::size_t utf8SequenceLength(const unsigned char* bytes, std::size_t size, std::size_t i) {
    const unsigned char lead = bytes[i];
    if (lead < 0x80) return 1;
    auto continuations = [&](std::size_t count) {
        if (i + count >= size) return false;
        unsigned bad = 0;
        for (std::size_t k = 1; k <= count; ++k) bad |= (bytes[i + k] & 0xC0u) ^ 0x80u;
        return bad == 0;
    };
    if ((lead & 0xF0) == 0xE0) {   // most CJK text
        if (!continuations(2)) return 0;
        const unsigned char second = bytes[i + 1];
        return (lead == 0xE0 && second < 0xA0) || (lead == 0xED && second >= 0xA0) ? 0 : 3;
    }
    if ((lead & 0xE0) == 0xC0) return lead >= 0xC2 && continuations(1) ? 2 : 0;
    if ((lead & 0xF8) == 0xF0) {
        if (lead > 0xF4 || !continuations(3)) return 0;
        const unsigned char second = bytes[i + 1];
        return (lead == 0xF0 && second < 0x90) || (lead == 0xF4 && second >= 0x90) ? 0 : 4;
    }
    return 0;
}

inline std::size_t utf8SequenceLength(std::string_view utf8, std::size_t i) {
    return utf8SequenceLength(reinterpret_cast<const unsigned char*>(utf8.data()), utf8.size(), i);
}

// The character of the well-formed sequence of `length` bytes (1 to 4) at `i`.
inline char32_t decodeUtf8Sequence(const unsigned char* bytes, std::size_t i, std::size_t length) {
    switch (length) {
    case 1: return bytes[i];
    case 2: return (char32_t(bytes[i] & 0x1F) << 6) | (bytes[i + 1] & 0x3F);
    case 3: return (char32_t(bytes[i] & 0x0F) << 12) | (char32_t(bytes[i + 1] & 0x3F) << 6) | (bytes[i + 2] & 0x3F);
    default:
        return (char32_t(bytes[i] & 0x07) << 18) | (char32_t(bytes[i + 1] & 0x3F) << 12) | (char32_t(bytes[i + 2] & 0x3F) << 6) |
               (bytes[i + 3] & 0x3F);
    }
}

// Offset of the first byte that is not part of a well-formed UTF-8 sequence.
std::optional<std::size_t> findInvalidUtf8(std::string_view utf8);

// The character whose sequence starts at byteOffset (U+FFFD when malformed or past the end).
char32_t decodeUtf8At(std::string_view utf8, std::size_t byteOffset);

// UTF-16 code units the UTF-8 text takes, or nullopt when it is malformed.
std::optional<std::size_t> utf16LengthOfUtf8(std::string_view utf8);

// Appends the UTF-8 form of one character (U+0000..U+10FFFF).
void appendUtf8(std::string& out, char32_t c);

// Appends UTF-8 text as UTF-16 code units; each byte of a malformed sequence becomes U+FFFD.
void appendUtf16(std::u16string& out, std::string_view utf8);

// Appends well-formed UTF-8 text as UTF-16 code units. Returns the offset of the first malformed
// byte (`out` then holds the units before it), or nullopt when all of it was converted.
std::optional<std::size_t> appendUtf16Strict(std::u16string& out, std::string_view utf8);

// Appends UTF-16 code units as UTF-8. Returns the index of the first unpaired surrogate (`out`
// then holds the text before it), or nullopt when all of it was converted.
std::optional<std::size_t> appendUtf8Strict(std::string& out, std::u16string_view utf16);

// Writes the UTF-8 form of one character (U+0000..U+10FFFF) at `at`, which has room for four
// bytes, and moves `at` past it.
inline void writeUtf8(char*& at, char32_t c) {
    if (c < 0x80) {
        *at++ = static_cast<char>(c);
    } else if (c < 0x800) {
        *at++ = static_cast<char>(0xC0 | (c >> 6));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        *at++ = static_cast<char>(0xE0 | (c >> 12));
        *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    } else {
        *at++ = static_cast<char>(0xF0 | (c >> 18));
        *at++ = static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        *at++ = static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        *at++ = static_cast<char>(0x80 | (c & 0x3F));
    }
}

// Writes UTF-16 code units as UTF-8 into `out`, sized for the worst case up front (three bytes a
// unit; a surrogate pair's four bytes fit the six kept for its two units), pairing surrogates and
// replacing unpaired ones with U+FFFD. Inline: the readers of the Access files run it on every
// unit of every text they decode.
class Utf16ToUtf8Writer {
public:
    Utf16ToUtf8Writer(std::string& out, std::size_t maxUnits) : out_(out) {
        out_.resize(maxUnits * 3 + 3);
        at_ = out_.data();
    }
    void put(char16_t unit) {
        if (pendingHigh_) {
            if (unit >= 0xDC00 && unit <= 0xDFFF) {
                write(0x10000 + ((char32_t(pendingHigh_) - 0xD800) << 10) + (unit - 0xDC00));
                pendingHigh_ = 0;
                return;
            }
            write(0xFFFD);
            pendingHigh_ = 0;
        }
        if (unit < 0x80) {
            *at_++ = static_cast<char>(unit);
        } else if (unit >= 0xD800 && unit <= 0xDBFF) {
            pendingHigh_ = unit;
        } else if (unit >= 0xDC00 && unit <= 0xDFFF) {
            write(0xFFFD);
        } else {
            write(unit);
        }
    }
    // Ends the text (a high surrogate left over becomes U+FFFD) and trims `out` to it.
    void finish() {
        if (pendingHigh_) write(0xFFFD);
        pendingHigh_ = 0;
        out_.resize(static_cast<std::size_t>(at_ - out_.data()));
    }

private:
    void write(char32_t cp) { writeUtf8(at_, cp); }

    std::string& out_;
    char* at_ = nullptr;
    char16_t pendingHigh_ = 0;
};

}  // namespace text
