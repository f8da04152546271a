#include "jet/text_codec.h"

#include <stdexcept>

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

std::vector<std::uint8_t> encodeUcs2(std::string_view utf8) {
    const std::u16string units = utf8ToUtf16(utf8);
    std::vector<std::uint8_t> out;
    out.reserve(units.size() * 2);
    for (char16_t unit : units) {
        out.push_back(static_cast<std::uint8_t>(unit));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return out;
}

std::vector<std::uint8_t> encodeStoredText(std::string_view utf8, bool compressionAllowed) {
    const std::u16string units = utf8ToUtf16(utf8);
    bool compressible = compressionAllowed && !units.empty();
    for (char16_t unit : units)
        if (unit == 0 || unit > 0xFF) compressible = false;
    std::vector<std::uint8_t> out;
    if (compressible) {
        out.reserve(units.size() + 2);
        out.push_back(0xFF);
        out.push_back(0xFE);
        for (char16_t unit : units) out.push_back(static_cast<std::uint8_t>(unit));
        return out;
    }
    out.reserve(units.size() * 2);
    for (char16_t unit : units) {
        out.push_back(static_cast<std::uint8_t>(unit));
        out.push_back(static_cast<std::uint8_t>(unit >> 8));
    }
    return out;
}

}  // namespace jet
