#include "jet/write/column_value.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "jet/error.h"
#include "jet/format/field_value.h"
#include "text/ascii_case.h"
#include "jet/format/long_value.h"
#include "jet/format/text_codec.h"
#include "text/utf8.h"

namespace jet {

namespace {

// A value the column cannot take, named by its column.
[[noreturn]] void refuseBadValue(const ColumnDefinition& column, const std::string& cause) {
    throw Refusal(ErrorKind::Constraint, BrokenRule::BadValue, column.name, cause);
}

std::int64_t integerOf(const Value& value, const ColumnDefinition& column) {
    if (const auto* i = std::get_if<std::int64_t>(&value)) return *i;
    if (const auto* b = std::get_if<bool>(&value)) return *b ? -1 : 0;
    if (const auto* s = std::get_if<std::string>(&value)) {
        std::int64_t out = 0;
        const auto [end, ec] = std::from_chars(s->data(), s->data() + s->size(), out);
        if (ec == std::errc() && end == s->data() + s->size() && !s->empty()) return out;
        refuseBadValue(column, "'" + *s + "' is not a whole number for column " + column.name);
    }
    if (const auto* d = std::get_if<double>(&value)) {
        if (std::floor(*d) == *d && std::fabs(*d) < 9e18) return static_cast<std::int64_t>(*d);
    }
    refuseBadValue(column, "column " + column.name + " takes a whole number");
}

void checkRange(std::int64_t value, std::int64_t low, std::int64_t high, const ColumnDefinition& column) {
    if (value < low || value > high)
        refuseBadValue(column, std::to_string(value) + " is out of range for column " + column.name);
}

std::string textOf(Value&& value, const ColumnDefinition& column) {
    if (auto* s = std::get_if<std::string>(&value)) return std::move(*s);
    if (const auto* i = std::get_if<std::int64_t>(&value)) return std::to_string(*i);
    refuseBadValue(column, "column " + column.name + " takes text");
}

// UTF-16 code units of UTF-8 text, as Jet counts a text's length. Throws std::invalid_argument
// on malformed UTF-8.
std::size_t utf16Length(const std::string& utf8, const ColumnDefinition& column) {
    if (const auto units = text::utf16LengthOfUtf8(utf8)) return *units;
    refuseBadValue(column, "text for column " + column.name + " is not valid UTF-8");
}

[[noreturn]] void refuseTextLength(const ColumnDefinition& column, std::size_t units) {
    throw Refusal(ErrorKind::Constraint, BrokenRule::ValueTooLong, column.name,
                  "text of " + std::to_string(units) + " characters is longer than column " + column.name + " allows (" +
                      std::to_string(column.length / 2) + ")");
}

// Refuses text of `units` UTF-16 units that is longer than a Text column holds.
inline void checkTextLength(const ColumnDefinition& column, std::size_t units) {
    if (column.columnType() == ColumnType::Text && units > column.length / 2u) refuseTextLength(column, units);
}

}  // namespace

Value toColumnValue(const ColumnDefinition& column, Value value) {
    if (isNull(value)) return value;
    if (const auto* units = std::get_if<std::u16string>(&value)) {
        // UTF-16 text is stored as it is, checked as it is encoded; other columns read it as UTF-8.
        if (column.columnType() == ColumnType::Memo) return value;
        if (column.columnType() == ColumnType::Text) {
            checkTextLength(column, units->size());
            return value;
        }
        value = withUtf8Text(std::move(value));
    }
    switch (column.columnType()) {
    case ColumnType::Text: {
        std::string text = textOf(std::move(value), column);
        const std::size_t limit = column.length / 2;
        // UTF-8 never has fewer bytes than UTF-16 units, so only a text that might be too long is
        // counted. Malformed UTF-8 in a shorter one is refused by encodeColumnTextInto, which every
        // statement runs on the Text values it stores before it changes a page.
        checkTextLength(column, text.size() <= limit ? text.size() : utf16Length(text, column));
        return text;
    }
    case ColumnType::Memo: return textOf(std::move(value), column);   // checked as it is encoded
    case ColumnType::Binary:
    case ColumnType::Ole: {
        const auto* blob = std::get_if<Blob>(&value);
        if (!blob) refuseBadValue(column, "column " + column.name + " takes binary data");
        if (column.columnType() == ColumnType::Binary && blob->size() > column.length)
            throw Refusal(ErrorKind::Constraint, BrokenRule::ValueTooLong, column.name,
                          "binary value of " + std::to_string(blob->size()) + " bytes is longer than column " + column.name + " allows (" +
                              std::to_string(column.length) + ")");
        if (column.columnType() == ColumnType::Ole) checkLongValueLength(column, blob->size());
        return value;
    }
    case ColumnType::Byte: {
        const std::int64_t v = integerOf(value, column);
        checkRange(v, 0, 255, column);
        return v;
    }
    case ColumnType::Integer: {
        const std::int64_t v = integerOf(value, column);
        checkRange(v, -32768, 32767, column);
        return v;
    }
    case ColumnType::Long: {
        const std::int64_t v = integerOf(value, column);
        checkRange(v, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max(), column);
        return v;
    }
    case ColumnType::Boolean:
        if (const auto* b = std::get_if<bool>(&value)) return *b;
        if (const auto* s = std::get_if<std::string>(&value)) {
            std::string lower;
            for (char c : *s) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
            if (lower == "true" || lower == "yes" || lower == "-1" || lower == "1") return true;
            if (lower == "false" || lower == "no" || lower == "0") return false;
        }
        return integerOf(value, column) != 0;
    case ColumnType::Double:
    case ColumnType::Float:
        if (const auto* d = std::get_if<double>(&value)) return *d;
        if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
        if (const auto* s = std::get_if<std::string>(&value)) {
            try {
                std::size_t used = 0;
                const double d = std::stod(*s, &used);
                if (used == s->size()) return d;
            } catch (const std::exception&) {
            }
        }
        refuseBadValue(column, "column " + column.name + " takes a number");
    case ColumnType::DateTime:
        if (const auto* d = std::get_if<DateTime>(&value)) return *d;
        if (const auto* s = std::get_if<std::string>(&value)) {
            DateTime date;
            if (parseDateTime(*s, date)) return date;
        }
        refuseBadValue(column, "column " + column.name + " takes a date as 'YYYY-MM-DD[ HH:MM:SS]'");
    default:
        refuseUnwrittenType(column);
    }
}

void appendFieldBytes(const ColumnDefinition& column, const Value& value, std::vector<std::uint8_t>& bytes) {
    if (column.columnType() == ColumnType::Binary) {
        const Blob& blob = std::get<Blob>(value);
        bytes.insert(bytes.end(), blob.begin(), blob.end());
        return;
    }
    if (column.columnType() == ColumnType::Text) {
        const std::size_t start = bytes.size();
        bytes.resize(start + textRoom(value));
        try {
            bytes.resize(start + encodeTextValueInto(column, value, bytes.data() + start));
        } catch (...) {
            bytes.resize(start);
            throw;
        }
        return;
    }
    const std::size_t start = bytes.size();
    bytes.resize(start + fixedSizeOf(column.columnType()));
    try {
        writeFixedField(column, value, bytes.data() + start);
    } catch (...) {
        bytes.resize(start);
        throw;
    }
}

std::size_t encodeColumnTextInto(const ColumnDefinition& column, std::string_view utf8, std::uint8_t* const out) {
    const bool compressionAllowed = column.extendedFlags & kColumnCompressedUnicodeFlag;
    const auto stored = encodeStoredTextInto(utf8, compressionAllowed, out);
    if (!stored) refuseBadValue(column, "text for column " + column.name + " is not valid UTF-8");
    checkTextLength(column, stored->units);
    return stored->bytes;
}

std::size_t encodeColumnTextInto(const ColumnDefinition& column, std::u16string_view units, std::uint8_t* const out) {
    checkTextLength(column, units.size());
    const bool compressionAllowed = column.extendedFlags & kColumnCompressedUnicodeFlag;
    const auto bytes = encodeStoredTextInto(units, compressionAllowed, out);
    if (!bytes) refuseBadValue(column, "text for column " + column.name + " is not valid UTF-16 (unpaired surrogate)");
    return *bytes;
}

std::size_t textRoom(const Value& text) {
    if (const auto* units = std::get_if<std::u16string>(&text)) return maxColumnTextBytes(units->size());
    return maxColumnTextBytes(std::get<std::string>(text).size());
}

std::size_t encodeTextValueInto(const ColumnDefinition& column, const Value& text, std::uint8_t* out) {
    if (const auto* units = std::get_if<std::u16string>(&text)) return encodeColumnTextInto(column, *units, out);
    return encodeColumnTextInto(column, std::get<std::string>(text), out);
}

std::vector<std::uint8_t> encodeTextValue(const ColumnDefinition& column, const Value& text) {
    std::vector<std::uint8_t> out(textRoom(text));
    out.resize(encodeTextValueInto(column, text, out.data()));
    if (column.columnType() == ColumnType::Memo) checkLongValueLength(column, out.size());
    return out;
}

bool isLongValueColumn(const ColumnDefinition& column) {
    return column.columnType() == ColumnType::Memo || column.columnType() == ColumnType::Ole;
}

std::vector<std::uint8_t> encodeLongValueBytes(const ColumnDefinition& column, const Value& value) {
    if (column.columnType() == ColumnType::Memo) return encodeTextValue(column, value);
    const Blob& blob = std::get<Blob>(value);
    checkLongValueLength(column, blob.size());
    return blob;
}

void checkLongValueLength(const ColumnDefinition& column, std::size_t storedBytes) {
    if (storedBytes > kLongValueMaxLength)
        throw Refusal(ErrorKind::Constraint, BrokenRule::ValueTooLong, column.name,
                      "a value of " + std::to_string(storedBytes) + " stored bytes is longer than column " + column.name + " allows (at most " +
                          std::to_string(kLongValueMaxLength) + " bytes)");
}

bool sameValue(const Value& a, const Value& b) {
    if (isNull(a) || isNull(b)) return false;   // NULL equals nothing, as in SQL
    if (std::holds_alternative<std::u16string>(a) || std::holds_alternative<std::u16string>(b)) {
        try {
            return sameValue(withUtf8Text(a), withUtf8Text(b));
        } catch (const std::invalid_argument&) {
            return false;   // malformed text equals nothing stored
        }
    }
    if (const auto* x = std::get_if<std::string>(&a))
        if (const auto* y = std::get_if<std::string>(&b)) return text::equalsIgnoringAsciiCase(*x, *y);
    return a == b;
}

}  // namespace jet
