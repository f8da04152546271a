#pragma once
// Reading of the almanac table text: a header line naming the eleven columns,
// then one line per day with eleven tab-separated UTF-8 fields.

#include <array>
#include <cstddef>
#include <stdexcept>
#include <string_view>
#include <vector>

namespace content {

inline constexpr std::size_t kAlmanacColumnCount = 11;
inline constexpr std::array<std::string_view, kAlmanacColumnCount> kAlmanacColumns = {
    "gn", "nn", "suici", "tszf", "wuhang", "cong", "pzbj", "jsyq", "yi", "xsyq", "ji"};

using AlmanacRow = std::array<std::string_view, kAlmanacColumnCount>;

class AlmanacFormatError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// Splits the text into rows whose fields point into `text`. Throws
// AlmanacFormatError, naming `source`, the table and the line, when the header
// is not the column list, a line has another number of fields, a field is
// empty or the text does not end in a line break.
std::vector<AlmanacRow> parseAlmanacText(std::string_view text, std::string_view source);

}  // namespace content
