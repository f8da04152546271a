#include "text_characters.h"

#include "text/utf8.h"

#include <array>

namespace content {

std::vector<std::string_view> characters(std::string_view utf8) {
    std::vector<std::string_view> result;
    std::size_t i = 0;
    while (i < utf8.size()) {
        std::size_t length = text::utf8SequenceLength(utf8, i);
        if (length == 0) length = 1;   // each byte of a malformed sequence counts on its own
        result.push_back(utf8.substr(i, length));
        i += length;
    }
    return result;
}

std::size_t characterCount(std::string_view utf8) {
    return characters(utf8).size();
}

bool isBlankCharacter(std::string_view character) {
    static constexpr std::array<std::string_view, 4> kBlanks{" ", "\t", "\u00A0", "\u3000"};
    for (std::string_view blank : kBlanks)
        if (character == blank) return true;
    return false;
}

std::string_view trimBlankCharacters(std::string_view utf8) {
    const std::vector<std::string_view> chars = characters(utf8);
    std::size_t first = 0;
    std::size_t last = chars.size();
    while (first < last && isBlankCharacter(chars[first])) ++first;
    while (last > first && isBlankCharacter(chars[last - 1])) --last;
    if (first == last) return {};
    const std::size_t begin = static_cast<std::size_t>(chars[first].data() - utf8.data());
    const std::size_t end = static_cast<std::size_t>(chars[last - 1].data() - utf8.data()) + chars[last - 1].size();
    return utf8.substr(begin, end - begin);
}

SplitText splitAtLineFeeds(std::string_view utf8) {
    SplitText split;
    std::size_t start = 0;
    while (start < utf8.size()) {
        const std::size_t lf = utf8.find('\n', start);
        if (lf == std::string_view::npos) {
            split.lines.push_back(utf8.substr(start));
            return split;
        }
        split.lines.push_back(utf8.substr(start, lf - start));
        start = lf + 1;
    }
    split.endsWithLineBreak = !utf8.empty();
    return split;
}

}  // namespace content
