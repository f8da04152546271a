#pragma once

#include <cstdint>
#include <string>
#include <variant>
#include <vector>

namespace jet {

// A date/time as Jet stores it: days since 1899-12-30, the fraction being the time of day.
struct DateTime {
    double days = 0;
    bool operator==(const DateTime&) const = default;
};

// Money: the stored 64-bit integer, i.e. ten-thousandths of a unit.
struct Money {
    std::int64_t tenThousandths = 0;
    bool operator==(const Money&) const = default;
};

// Decimal and GUID values are kept as their canonical text ("-12.50", "{…}").
struct DecimalText {
    std::string text;
    bool operator==(const DecimalText&) const = default;
};
struct GuidText {
    std::string text;
    bool operator==(const GuidText&) const = default;
};

using Blob = std::vector<std::uint8_t>;

// One cell. Text is UTF-8; Blob holds binary and OLE data. A statement's text may also be given
// as UTF-16 code units, the form Jet stores, which spares converting text a caller already holds
// that way; values read back are always UTF-8.
using Value = std::variant<std::monostate, bool, std::int64_t, double, std::string, DateTime, Money, DecimalText, GuidText, Blob, std::u16string>;

// UTF-16 text as UTF-8; other values as they are. Throws std::invalid_argument on an unpaired
// surrogate.
Value withUtf8Text(Value value);

inline bool isNull(const Value& value) { return std::holds_alternative<std::monostate>(value); }

// "YYYY-MM-DDTHH:MM:SS" (milliseconds appended when not whole seconds).
std::string formatDateTime(DateTime value);
// Inverse of formatDateTime; also accepts "YYYY-MM-DD" and a space instead of 'T'. Returns false
// when the text is not a date.
bool parseDateTime(const std::string& text, DateTime& out);

std::string formatMoney(Money value);

// JSON text of a value: null, true/false, numbers, strings (dates, money, decimals, GUIDs as
// strings), blobs as lowercase hex strings.
std::string valueToJson(const Value& value);
void appendJson(std::string& out, const Value& value);
void appendJsonString(std::string& out, const std::string& utf8);

}  // namespace jet
