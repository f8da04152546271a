#include "jet/format/index_key.h"

#include <array>
#include <cstring>
#include <stdexcept>

#include "jet/format/text_codec.h"

namespace jet {

namespace {

constexpr std::uint8_t kAscendingFlag = 0x7F;
constexpr std::uint8_t kNullFlag = 0x00;
constexpr std::uint8_t kDescendingFlag = 0x80;
constexpr std::uint8_t kDescendingNullFlag = 0xFF;
constexpr std::uint8_t kEndOfText = 0x01;
constexpr std::uint8_t kEndOfKey = 0x00;

// General sort order codes of the printable ASCII characters 0x20..0x7E. Letters fold to one
// code; a value of 0 marks a character without an inline code (sorted by its extra code,
// listed separately). Codes above 0xFF are two bytes (high byte first).
constexpr std::array<std::uint16_t, 95> kPrintableCodes = {
    0x07, 0x09, 0x0A, 0x0C, 0x0E, 0x10, 0x12, 0x00,     // space ! " # $ % & '
    0x14, 0x16, 0x18, 0x2C, 0x1A, 0x00, 0x1C, 0x1E,     // ( ) * + , - . /
    0x36, 0x38, 0x3A, 0x3C, 0x3E, 0x40, 0x42, 0x44,     // 0-7
    0x46, 0x48, 0x20, 0x22, 0x2E, 0x30, 0x32, 0x24,     // 8 9 : ; < = > ?
    0x26, 0x4A, 0x4C, 0x4D, 0x4F, 0x51, 0x53, 0x55,     // @ A-G
    0x57, 0x59, 0x5B, 0x5C, 0x5E, 0x60, 0x62, 0x64,     // H-O
    0x66, 0x68, 0x69, 0x6B, 0x6D, 0x6F, 0x71, 0x73,     // P-W
    0x75, 0x76, 0x78, 0x27, 0x29, 0x2A, 0x2B02, 0x2B03, // X Y Z [ \ ] ^ _
    0x2B07, 0x4A, 0x4C, 0x4D, 0x4F, 0x51, 0x53, 0x55,   // ` a-g
    0x57, 0x59, 0x5B, 0x5C, 0x5E, 0x60, 0x62, 0x64,     // h-o
    0x66, 0x68, 0x69, 0x6B, 0x6D, 0x6F, 0x71, 0x73,     // p-w
    0x75, 0x76, 0x78, 0x2B09, 0x2B0B, 0x2B0D, 0x2B0F,   // x y z { | } ~
};

// Extra codes of the characters without an inline code.
std::uint8_t unprintableCode(char c) {
    switch (c) {
    case '\'': return 0x80;
    case '-': return 0x82;
    default: return 0;
    }
}

void appendBigEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = bytes - 1; i >= 0; --i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

}  // namespace

std::vector<std::uint8_t> generalTextKey(const std::string& text) {
    std::vector<std::uint8_t> key;
    std::vector<std::uint8_t> unprintables;
    std::size_t inlineCount = 0;
    std::size_t characters = 0;
    for (char c : text) {
        if (++characters > 255) break;   // keys hold at most 255 characters
        const unsigned char u = static_cast<unsigned char>(c);
        if (u < 0x20 || u > 0x7E)
            throw std::invalid_argument("index keys support only printable ASCII text under this sort order");
        const std::uint16_t code = kPrintableCodes[u - 0x20];
        if (code == 0) {
            // Position of the unprintable character, counted in inline codes before it.
            const std::uint16_t position = static_cast<std::uint16_t>(0x8000 | (7 + 4 * inlineCount));
            unprintables.push_back(static_cast<std::uint8_t>(position >> 8));
            unprintables.push_back(static_cast<std::uint8_t>(position));
            unprintables.push_back(0x06);
            unprintables.push_back(unprintableCode(c));
            continue;
        }
        if (code > 0xFF) key.push_back(static_cast<std::uint8_t>(code >> 8));
        key.push_back(static_cast<std::uint8_t>(code));
        ++inlineCount;
    }
    key.push_back(kEndOfText);
    if (!unprintables.empty()) {
        key.insert(key.end(), {0x01, 0x01, 0x01});
        key.insert(key.end(), unprintables.begin(), unprintables.end());
    }
    key.push_back(kEndOfKey);
    return key;
}

namespace {

void appendAscendingKey(std::vector<std::uint8_t>& key, ColumnType type, std::uint16_t sortOrder, const Value& value) {
    if (isNull(value)) {
        key.push_back(kNullFlag);
        return;
    }
    key.push_back(kAscendingFlag);
    switch (type) {
    case ColumnType::Byte:
        key.push_back(static_cast<std::uint8_t>(std::get<std::int64_t>(value)));
        return;
    case ColumnType::Integer:
        appendBigEndian(key, static_cast<std::uint16_t>(std::get<std::int64_t>(value)) ^ 0x8000u, 2);
        return;
    case ColumnType::Long:
        appendBigEndian(key, static_cast<std::uint32_t>(std::get<std::int64_t>(value)) ^ 0x80000000u, 4);
        return;
    case ColumnType::DateTime: {
        std::uint64_t bits;
        const double days = std::get<DateTime>(value).days;
        std::memcpy(&bits, &days, sizeof bits);
        bits = (bits & 0x8000000000000000ull) ? ~bits : bits ^ 0x8000000000000000ull;
        appendBigEndian(key, bits, 8);
        return;
    }
    case ColumnType::Text: {
        if (sortOrder != 1033 && sortOrder != 2052)
            throw std::invalid_argument("index keys under sort order " + std::to_string(sortOrder) + " are not supported");
        const auto* units = std::get_if<std::u16string>(&value);
        const std::vector<std::uint8_t> text = generalTextKey(units ? utf16ToUtf8(*units) : std::get<std::string>(value));
        key.insert(key.end(), text.begin(), text.end());
        return;
    }
    default:
        throw std::invalid_argument("index keys on " + columnTypeName(static_cast<std::uint8_t>(type)) + " columns are not supported");
    }
}

}  // namespace

void appendIndexKey(std::vector<std::uint8_t>& key, ColumnType type, std::uint16_t sortOrder, const Value& value, bool ascending) {
    const std::size_t start = key.size();
    appendAscendingKey(key, type, sortOrder, value);
    if (ascending) return;
    key[start] = isNull(value) ? kDescendingNullFlag : kDescendingFlag;
    for (std::size_t b = start + 1; b < key.size(); ++b) key[b] = static_cast<std::uint8_t>(~key[b]);
}

bool isAllNullKey(const std::vector<std::uint8_t>& key, std::size_t columnCount) {
    if (key.size() != columnCount) return false;
    for (std::uint8_t flag : key)
        if (flag != kNullFlag && flag != kDescendingNullFlag) return false;
    return true;
}

}  // namespace jet
