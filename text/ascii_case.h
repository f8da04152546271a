#pragma once
// ASCII letter case, as Access compares table and column names and as Windows and Wine compare
// the file names this program looks for (their other characters, CJK ideographs here, have no
// case). Bytes outside A-Z, UTF-8 sequences included, compare as they are.

#include <cstddef>
#include <string_view>

namespace text {

constexpr char lowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

constexpr bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (lowerAscii(a[i]) != lowerAscii(b[i])) return false;
    return true;
}

}  // namespace text
