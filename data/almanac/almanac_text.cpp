#include "data/almanac/almanac_text.h"

#include <string>

namespace content {
namespace {

[[noreturn]] void fail(std::string_view source, std::size_t lineNumber, const std::string& cause) {
    throw AlmanacFormatError(std::string(source) + " (almanac table huangdao), line " +
                             std::to_string(lineNumber) + ": " + cause);
}

std::vector<std::string_view> splitFields(std::string_view line) {
    std::vector<std::string_view> fields;
    std::size_t start = 0;
    for (;;) {
        const std::size_t tab = line.find('\t', start);
        fields.push_back(line.substr(start, tab == std::string_view::npos ? std::string_view::npos : tab - start));
        if (tab == std::string_view::npos) return fields;
        start = tab + 1;
    }
}

}  // namespace

std::vector<AlmanacRow> parseAlmanacText(std::string_view text, std::string_view source) {
    if (text.empty() || text.back() != '\n') fail(source, 1, "the text is empty or does not end in a line break");

    std::vector<AlmanacRow> rows;
    std::size_t lineNumber = 0;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t end = text.find('\n', start);
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNumber;
        // A checkout that turned LF into CR LF still reads the same.
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);

        const std::vector<std::string_view> fields = splitFields(line);
        if (fields.size() != kAlmanacColumnCount)
            fail(source, lineNumber,
                 std::to_string(fields.size()) + " fields, expected " + std::to_string(kAlmanacColumnCount));
        if (lineNumber == 1) {
            for (std::size_t c = 0; c < kAlmanacColumnCount; ++c)
                if (fields[c] != kAlmanacColumns[c])
                    fail(source, lineNumber,
                         "header column " + std::to_string(c + 1) + " is \"" + std::string(fields[c]) +
                             "\", expected \"" + std::string(kAlmanacColumns[c]) + "\"");
            continue;
        }
        AlmanacRow row;
        for (std::size_t c = 0; c < kAlmanacColumnCount; ++c) {
            if (fields[c].empty()) fail(source, lineNumber, "column " + std::string(kAlmanacColumns[c]) + " is empty");
            row[c] = fields[c];
        }
        rows.push_back(row);
    }
    return rows;
}

}  // namespace content
