#include "jet/text_codec.h"

#include <stdexcept>

namespace jet {

void appendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

namespace {

// Writes UTF-8 for UTF-16 code units into a buffer sized for the worst case (3 bytes a unit),
// pairing surrogates and replacing unpaired ones with U+FFFD.
class Utf16Sink {
public:
    Utf16Sink(std::string& out, std::size_t maxUnits) : out_(out) {
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
    void finish() {
        if (pendingHigh_) write(0xFFFD);
        pendingHigh_ = 0;
        out_.resize(static_cast<std::size_t>(at_ - out_.data()));
    }

private:
    void write(char32_t cp) {
        if (cp < 0x80) {
            *at_++ = static_cast<char>(cp);
        } else if (cp < 0x800) {
            *at_++ = static_cast<char>(0xC0 | (cp >> 6));
            *at_++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else if (cp < 0x10000) {
            *at_++ = static_cast<char>(0xE0 | (cp >> 12));
            *at_++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *at_++ = static_cast<char>(0x80 | (cp & 0x3F));
        } else {
            // A surrogate pair took two units (6 bytes reserved) for these 4 bytes.
            *at_++ = static_cast<char>(0xF0 | (cp >> 18));
            *at_++ = static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
            *at_++ = static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
            *at_++ = static_cast<char>(0x80 | (cp & 0x3F));
        }
    }

    std::string& out_;
    char* at_ = nullptr;
    char16_t pendingHigh_ = 0;
};

}  // namespace

std::string decodeUcs2(Bytes stored) {
    std::string out;
    Utf16Sink sink(out, stored.size() / 2);
    for (std::size_t i = 0; i + 1 < stored.size(); i += 2) sink.put(static_cast<char16_t>(stored[i] | (stored[i + 1] << 8)));
    sink.finish();
    return out;
}

std::string decodeStoredText(Bytes stored) {
    if (stored.size() < 2 || stored[0] != 0xFF || stored[1] != 0xFE) return decodeUcs2(stored);
    std::string out;
    Utf16Sink sink(out, stored.size());
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
    out.reserve(utf8.size());
    std::size_t i = 0;
    while (i < utf8.size()) {
        const unsigned char lead = static_cast<unsigned char>(utf8[i]);
        char32_t cp;
        int extra;
        if (lead < 0x80) { cp = lead; extra = 0; }
        else if ((lead & 0xE0) == 0xC0) { cp = lead & 0x1F; extra = 1; }
        else if ((lead & 0xF0) == 0xE0) { cp = lead & 0x0F; extra = 2; }
        else if ((lead & 0xF8) == 0xF0) { cp = lead & 0x07; extra = 3; }
        else throw std::invalid_argument("text is not valid UTF-8 (byte " + std::to_string(i) + ")");
        if (i + extra >= utf8.size() && extra > 0) throw std::invalid_argument("text is not valid UTF-8 (truncated sequence)");
        for (int k = 1; k <= extra; ++k) {
            const unsigned char next = static_cast<unsigned char>(utf8[i + k]);
            if ((next & 0xC0) != 0x80) throw std::invalid_argument("text is not valid UTF-8 (byte " + std::to_string(i + k) + ")");
            cp = (cp << 6) | (next & 0x3F);
        }
        const bool overlong = (extra == 1 && cp < 0x80) || (extra == 2 && cp < 0x800) || (extra == 3 && cp < 0x10000);
        if (overlong || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
            throw std::invalid_argument("text is not valid UTF-8 (byte " + std::to_string(i) + ")");
        if (cp >= 0x10000) {
            cp -= 0x10000;
            out.push_back(static_cast<char16_t>(0xD800 + (cp >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + (cp & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(cp));
        }
        i += extra + 1;
    }
    return out;
}

std::string utf16ToUtf8(std::u16string_view utf16) {
    std::string out;
    out.reserve(utf16.size() * 3);
    for (std::size_t i = 0; i < utf16.size(); ++i) {
        char32_t cp = utf16[i];
        if (cp >= 0xD800 && cp <= 0xDFFF) {
            if (cp >= 0xDC00 || i + 1 >= utf16.size() || utf16[i + 1] < 0xDC00 || utf16[i + 1] > 0xDFFF)
                throw std::invalid_argument("text is not valid UTF-16 (unpaired surrogate at unit " + std::to_string(i) + ")");
            cp = 0x10000 + ((cp - 0xD800) << 10) + (utf16[++i] - 0xDC00);
        }
        appendUtf8(out, cp);
    }
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
