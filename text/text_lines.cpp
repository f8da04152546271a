#include "text/text_lines.h"

namespace text {

std::string_view trimBlanks(std::string_view text) {
    const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && isBlank(text[begin])) ++begin;
    while (end > begin && isBlank(text[end - 1])) --end;
    return text.substr(begin, end - begin);
}

LineList::LineList(std::vector<std::string> lines) : lines_(std::move(lines)) {}

LineList LineList::fromText(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        const std::size_t end = lf == std::string_view::npos ? text.size() : lf;
        std::size_t lineEnd = end;
        if (lineEnd > start && text[lineEnd - 1] == '\r') --lineEnd;
        lines.emplace_back(text.substr(start, lineEnd - start));
        if (lf == std::string_view::npos) break;
        start = lf + 1;
    }
    return LineList(std::move(lines));
}

const std::string& LineList::line(std::size_t i) const {
    static const std::string kEmpty;
    return i < lines_.size() ? lines_[i] : kEmpty;
}

std::string LineList::trimmedLine(std::size_t i) const {
    return std::string(trimBlanks(line(i)));
}

std::string LineList::text() const {
    std::string all;
    for (const auto& l : lines_) {
        all += l;
        all += "\r\n";
    }
    return all;
}

void LineList::append(std::string line) {
    lines_.push_back(std::move(line));
}

}  // namespace text
