#pragma once
// Line lists: the ordered lists of text lines that hold the carried content
// and the success and failure logs, with the trim the upgrade reads them with.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace text {

// Removes leading and trailing blanks and control characters (every byte up
// to and including the ASCII space). Multi-byte characters are never cut.
std::string_view trimBlanks(std::string_view text);

class LineList {
public:
    LineList() = default;
    explicit LineList(std::vector<std::string> lines);

    // Splits a text at CR LF or LF. One trailing empty line (the text ending
    // in a line break) is not counted as a line.
    static LineList fromText(std::string_view text);

    std::size_t count() const { return lines_.size(); }
    // Line i as stored; an index at or past the end reads as an empty text.
    const std::string& line(std::size_t i) const;
    // Line i through trimBlanks.
    std::string trimmedLine(std::size_t i) const;
    // All lines, each followed by CR LF, the last one included.
    std::string text() const;

    void append(std::string line);
    const std::vector<std::string>& lines() const { return lines_; }

private:
    std::vector<std::string> lines_;
};

}  // namespace text
