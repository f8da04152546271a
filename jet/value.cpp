#include "jet/value.h"

#include <cmath>
#include <cstdio>

#include "jet/format/text_codec.h"

namespace jet {

namespace {

// Days since 1970-01-01 to a civil date (proleptic Gregorian).
void civilFromDays(std::int64_t z, int& year, unsigned& month, unsigned& day) {
    z += 719468;
    const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const std::int64_t y = static_cast<std::int64_t>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    day = doy - (153 * mp + 2) / 5 + 1;
    month = mp < 10 ? mp + 3 : mp - 9;
    year = static_cast<int>(y + (month <= 2));
}

std::int64_t daysFromCivil(int year, unsigned month, unsigned day) {
    year -= month <= 2;
    const std::int64_t era = (year >= 0 ? year : year - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(year - era * 400);
    const unsigned doy = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<std::int64_t>(doe) - 719468;
}

constexpr std::int64_t kEpochOffsetDays = 25569;   // 1899-12-30 to 1970-01-01

}  // namespace

std::string formatDateTime(DateTime value) {
    const double days = value.days;
    if (!std::isfinite(days) || std::fabs(days) > 3e6) return "invalid";
    // Negative values count whole days backwards but the fraction still runs forward in the day.
    const double whole = std::trunc(days);
    const double fraction = std::fabs(days - whole);
    std::int64_t millis = static_cast<std::int64_t>(std::llround(fraction * 86400000.0));
    std::int64_t day = static_cast<std::int64_t>(whole);
    if (millis >= 86400000) { millis -= 86400000; day += days < 0 ? -1 : 1; }
    int year;
    unsigned month, dayOfMonth;
    civilFromDays(day - kEpochOffsetDays, year, month, dayOfMonth);
    const int hours = static_cast<int>(millis / 3600000);
    const int minutes = static_cast<int>(millis / 60000 % 60);
    const int seconds = static_cast<int>(millis / 1000 % 60);
    const int ms = static_cast<int>(millis % 1000);
    char buffer[48];
    if (ms)
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02d.%03d", year, month, dayOfMonth, hours, minutes, seconds, ms);
    else
        std::snprintf(buffer, sizeof buffer, "%04d-%02u-%02uT%02d:%02d:%02d", year, month, dayOfMonth, hours, minutes, seconds);
    return buffer;
}

bool parseDateTime(const std::string& text, DateTime& out) {
    int year = 0, hours = 0, minutes = 0, seconds = 0;
    unsigned month = 0, day = 0;
    char separator = 0;
    int consumed = 0;
    const int fields = std::sscanf(text.c_str(), "%d-%u-%u%c%d:%d:%d%n", &year, &month, &day, &separator, &hours, &minutes,
                                   &seconds, &consumed);
    if (fields == 3) {
        int dateOnly = 0;
        std::sscanf(text.c_str(), "%*d-%*u-%*u%n", &dateOnly);
        if (static_cast<std::size_t>(dateOnly) != text.size()) return false;
    } else if (fields != 7 || (separator != 'T' && separator != ' ') || static_cast<std::size_t>(consumed) != text.size()) {
        return false;
    }
    if (month < 1 || month > 12 || day < 1 || day > 31 || hours < 0 || hours > 23 || minutes < 0 || minutes > 59 ||
        seconds < 0 || seconds > 59 || year < 100 || year > 9999)
        return false;
    const std::int64_t days = daysFromCivil(year, month, day) + kEpochOffsetDays;
    const double time = (hours * 3600.0 + minutes * 60.0 + seconds) / 86400.0;
    out.days = days >= 0 ? days + time : days - time;
    return true;
}

std::string formatMoney(Money value) {
    const bool negative = value.tenThousandths < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value.tenThousandths)
                                             : static_cast<std::uint64_t>(value.tenThousandths);
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%s%llu.%04llu", negative ? "-" : "", static_cast<unsigned long long>(magnitude / 10000),
                  static_cast<unsigned long long>(magnitude % 10000));
    return buffer;
}

void appendJsonString(std::string& out, const std::string& utf8) {
    out.push_back('"');
    std::size_t runStart = 0;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const unsigned char u = static_cast<unsigned char>(utf8[i]);
        if (u >= 0x20 && u != '"' && u != '\\') continue;
        out.append(utf8, runStart, i - runStart);
        runStart = i + 1;
        switch (u) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default: {
            char buffer[8];
            std::snprintf(buffer, sizeof buffer, "\\u%04x", u);
            out += buffer;
        }
        }
    }
    out.append(utf8, runStart, std::string::npos);
    out.push_back('"');
}

namespace {
struct JsonWriter {
    std::string& out;
    void operator()(std::monostate) const { out += "null"; }
    void operator()(bool v) const { out += v ? "true" : "false"; }
    void operator()(std::int64_t v) const { out += std::to_string(v); }
    void operator()(double v) const {
        if (!std::isfinite(v)) { out += "null"; return; }
        char buffer[32];
        std::snprintf(buffer, sizeof buffer, "%.17g", v);
        out += buffer;
    }
    void operator()(const std::string& v) const { appendJsonString(out, v); }
    void operator()(const std::u16string& v) const { appendJsonString(out, utf16ToUtf8(v)); }
    void operator()(DateTime v) const { appendJsonString(out, formatDateTime(v)); }
    void operator()(Money v) const { appendJsonString(out, formatMoney(v)); }
    void operator()(const DecimalText& v) const { appendJsonString(out, v.text); }
    void operator()(const GuidText& v) const { appendJsonString(out, v.text); }
    void operator()(const Blob& v) const {
        static const char digits[] = "0123456789abcdef";
        out.push_back('"');
        for (std::uint8_t b : v) {
            out.push_back(digits[b >> 4]);
            out.push_back(digits[b & 15]);
        }
        out.push_back('"');
    }
};
}  // namespace

Value withUtf8Text(Value value) {
    if (const auto* units = std::get_if<std::u16string>(&value)) return utf16ToUtf8(*units);
    return value;
}

std::string valueToJson(const Value& value) {
    std::string out;
    appendJson(out, value);
    return out;
}

void appendJson(std::string& out, const Value& value) { std::visit(JsonWriter{out}, value); }

}  // namespace jet
