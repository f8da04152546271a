#include "jet/format/text_codec.h"

#include <bit>
#include <cstring>
#include <stdexcept>

#if defined(__SSE2__) || defined(_M_X64)
#include <emmintrin.h>
#endif

#include "text/utf8.h"

namespace jet {

std::string decodeUcs2(Bytes stored) {
    std::string out;
    text::Utf16ToUtf8Writer sink(out, stored.size() / 2);
    for (std::size_t i = 0; i + 1 < stored.size(); i += 2) sink.put(static_cast<char16_t>(stored[i] | (stored[i + 1] << 8)));
    sink.finish();
    return out;
}

std::string decodeStoredText(Bytes stored) {
    if (stored.size() < 2 || stored[0] != 0xFF || stored[1] != 0xFE) return decodeUcs2(stored);
    std::string out;
    text::Utf16ToUtf8Writer sink(out, stored.size());
    bool oneByte = true;
    std::size_t i = 2;
    while (i < stored.size()) {
        if (stored[i] == 0x00) {
            oneByte = !oneByte;
            ++i;
        } else if (oneByte) {
            sink.put(stored[i]);
            ++i;
        } else if (i + 1 < stored.size()) {
            sink.put(static_cast<char16_t>(stored[i] | (stored[i + 1] << 8)));
            i += 2;
        } else {
            break;
        }
    }
    sink.finish();
    return out;
}

std::u16string utf8ToUtf16(std::string_view utf8) {
    std::u16string out;
    if (const auto bad = text::appendUtf16Strict(out, utf8))
        throw std::invalid_argument("text is not valid UTF-8 (byte " + std::to_string(*bad) + ")");
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    if (const auto bad = text::appendUtf8Strict(out, utf16))
        throw std::invalid_argument("text is not valid UTF-16 (unpaired surrogate at unit " + std::to_string(*bad) + ")");
    return out;
}

namespace {

// Bytes i, i + 1 and i + 2 of `text` in the low 24 bits, byte i lowest (i + 3 <= size). One load
// where a fourth byte can be read along.
inline std::uint32_t threeBytesAt(const unsigned char* text, std::size_t size, std::size_t i) {
    if constexpr (std::endian::native == std::endian::little) {
        if (i + 4 <= size) {
            std::uint32_t word;
            std::memcpy(&word, text + i, 4);
            return word & 0xFFFFFFu;
        }
    }
    return text[i] | (std::uint32_t(text[i + 1]) << 8) | (std::uint32_t(text[i + 2]) << 16);
}

// Turns `units` UCS-2 units at `at` into the compressed form in place and returns its size: FF FE
// and then each unit's low byte. Byte 2 + j comes from byte 2j, which lies at or after it from
// j = 2 on, so only the first two low bytes are kept aside. A single unit takes three bytes,
// which the room made for the encoding allows.
std::size_t compressInPlace(std::uint8_t* at, std::size_t units) {
    const std::uint8_t first = at[0], second = units > 1 ? at[2] : 0;
    for (std::size_t j = 2; j < units; ++j) at[2 + j] = at[2 * j];
    at[0] = 0xFF;
    at[1] = 0xFE;
    at[2] = first;
    if (units > 1) at[3] = second;
    return units + 2;
}

// A UTF-16 unit, little-endian.
inline void putUnit(std::uint8_t* at, std::uint32_t unit) {
    if constexpr (std::endian::native == std::endian::little) {
        const auto value = static_cast<std::uint16_t>(unit);
        std::memcpy(at, &value, 2);
    } else {
        at[0] = static_cast<std::uint8_t>(unit);
        at[1] = static_cast<std::uint8_t>(unit >> 8);
    }
}

}  // namespace

std::optional<StoredTextSize> encodeStoredTextInto(std::string_view utf8, bool compressionAllowed, std::uint8_t* const begin) {
    const std::size_t size = utf8.size();
    std::uint8_t* put = begin;
    bool compressible = compressionAllowed && size > 0;
    const auto* text = reinterpret_cast<const unsigned char*>(utf8.data());
    for (std::size_t i = 0; i < size;) {
        // Runs of three-byte characters (CJK text) in a tight loop: the lead byte 1110xxxx and
        // two continuation bytes 10xxxxxx are checked with one mask on three bytes at once.
        const std::size_t runStart = i;
        while (i + 3 <= size) {
            const std::uint32_t three = threeBytesAt(text, size, i);
            if ((three & 0xC0C0F0u) != 0x8080E0u) break;
            const std::uint32_t unit = ((three & 0x0Fu) << 12) | ((three >> 2) & 0x0FC0u) | ((three >> 16) & 0x3Fu);
            if (unit < 0x800 || (unit & 0xF800) == 0xD800) break;   // overlong or a surrogate half: refused below
            putUnit(put, unit);
            put += 2;
            i += 3;
        }
        if (i != runStart) compressible = false;   // stored uncompressed, which is always allowed
        if (i >= size) break;
        const std::size_t length = text::utf8SequenceLength(text, size, i);
        if (length == 0) return std::nullopt;
        std::uint32_t code = text::decodeUtf8Sequence(text, i, length);
        i += length;
        if (code >= 0x10000) {
            code -= 0x10000;
            const std::uint32_t high = 0xD800 | (code >> 10), low = 0xDC00 | (code & 0x3FF);
            *put++ = static_cast<std::uint8_t>(high);
            *put++ = static_cast<std::uint8_t>(high >> 8);
            *put++ = static_cast<std::uint8_t>(low);
            *put++ = static_cast<std::uint8_t>(low >> 8);
            compressible = false;
        } else {
            compressible = compressible && code != 0 && code <= 0xFF;
            *put++ = static_cast<std::uint8_t>(code);
            *put++ = static_cast<std::uint8_t>(code >> 8);
        }
    }
    const std::size_t units = static_cast<std::size_t>(put - begin) / 2;
    return StoredTextSize{compressible ? compressInPlace(begin, units) : units * 2, units};
}

std::optional<std::size_t> encodeStoredTextInto(std::u16string_view units, bool compressionAllowed, std::uint8_t* const begin) {
    // One pass for what the text holds, without branches; then the units are copied as they are.
    bool surrogates = false, wide = false;
    std::size_t i = 0;
#if defined(__SSE2__) || defined(_M_X64)
    // Eight units at a time: a unit is a surrogate when (unit & F800) == D800, and outside
    // U+0001..U+00FF when unit - 1 (wrapping) exceeds FE, which a saturating FE - subtraction
    // leaves non-zero.
    const __m128i surrogateMask = _mm_set1_epi16(static_cast<short>(0xF800)), surrogateBits = _mm_set1_epi16(static_cast<short>(0xD800));
    const __m128i one = _mm_set1_epi16(1), lastByteUnit = _mm_set1_epi16(0xFE);
    __m128i anySurrogate = _mm_setzero_si128(), anyWide = _mm_setzero_si128();
    for (; i + 8 <= units.size(); i += 8) {
        const __m128i eight = _mm_loadu_si128(reinterpret_cast<const __m128i*>(units.data() + i));
        anySurrogate = _mm_or_si128(anySurrogate, _mm_cmpeq_epi16(_mm_and_si128(eight, surrogateMask), surrogateBits));
        anyWide = _mm_or_si128(anyWide, _mm_subs_epu16(_mm_sub_epi16(eight, one), lastByteUnit));
    }
    surrogates = _mm_movemask_epi8(anySurrogate) != 0;
    wide = _mm_movemask_epi8(_mm_cmpeq_epi16(anyWide, _mm_setzero_si128())) != 0xFFFF;
#endif
    for (; i < units.size(); ++i) {
        surrogates |= (units[i] & 0xF800u) == 0xD800u;
        wide |= static_cast<std::uint32_t>(units[i]) - 1u >= 0xFFu;   // outside U+0001..U+00FF
    }
    if (surrogates)
        for (std::size_t at = 0; at < units.size(); ++at) {
            if ((units[at] & 0xF800u) != 0xD800u) continue;
            if (units[at] >= 0xDC00u || at + 1 >= units.size() || (units[at + 1] & 0xFC00u) != 0xDC00u)
                return std::nullopt;
            ++at;
        }
    if (compressionAllowed && !units.empty() && !wide) {
        begin[0] = 0xFF;
        begin[1] = 0xFE;
        for (std::size_t at = 0; at < units.size(); ++at) begin[2 + at] = static_cast<std::uint8_t>(units[at]);
        return units.size() + 2;
    }
    if constexpr (std::endian::native == std::endian::little) {
        if (!units.empty()) std::memcpy(begin, units.data(), units.size() * 2);
    } else {
        for (std::size_t at = 0; at < units.size(); ++at) putUnit(begin + 2 * at, units[at]);
    }
    return units.size() * 2;
}

std::vector<std::uint8_t> encodeUcs2(std::string_view utf8) {
    return encodeStoredText(utf8, false);
}

std::vector<std::uint8_t> encodeStoredText(std::string_view utf8, bool compressionAllowed) {
    std::vector<std::uint8_t> out(maxStoredTextBytes(utf8.size()));
    const auto stored = encodeStoredTextInto(utf8, compressionAllowed, out.data());
    if (!stored) throw std::invalid_argument("text is not valid UTF-8 (byte " + std::to_string(*text::findInvalidUtf8(utf8)) + ")");
    out.resize(stored->bytes);
    return out;
}

}  // namespace jet
