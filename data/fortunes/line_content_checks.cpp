#include "line_content_checks.h"

#include "data/fortunes/text_characters.h"
#include "text/gbk_codec.h"
#include "text/utf8.h"

#include <cstdio>

namespace content {
namespace {

// ASCII punctuation that has a full-width form in Chinese prose. The full
// stop is left out: it is the decimal point in numbers.
constexpr std::string_view kAsciiPunctuation = ",;:!?()\"";

std::string codePointOf(std::string_view character) {
    const char32_t c = text::decodeUtf8At(character, 0);
    char code[16];
    std::snprintf(code, sizeof code, "U+%04X", static_cast<unsigned>(c));
    return code;
}

// Collects one kind of finding over a line and reports it once, with the
// first position and how often it occurs.
class Finding {
public:
    explicit Finding(std::string what) : what_(std::move(what)) {}
    void at(std::size_t position, std::string_view character) {
        if (count_++ == 0) {
            firstPosition_ = position;
            firstCharacter_ = std::string(character);
        }
    }
    void report(std::size_t lineNumber, StructureProblems& problems) const {
        if (count_ == 0) return;
        std::string message = what_ + " at character " + std::to_string(firstPosition_ + 1);
        if (!firstCharacter_.empty()) message += " (" + firstCharacter_ + ")";
        if (count_ > 1) message += ", " + std::to_string(count_) + " times on this line";
        problems.push_back({lineNumber, std::move(message)});
    }

private:
    std::string what_;
    std::size_t count_ = 0;
    std::size_t firstPosition_ = 0;
    std::string firstCharacter_;
};

}  // namespace

void checkLineContent(std::string_view line, std::size_t lineNumber, StructureProblems& problems) {
    if (const auto bad = text::findInvalidUtf8(line)) {
        problems.push_back({lineNumber, "malformed UTF-8 at byte " + std::to_string(*bad + 1) + " of the line"});
        return;
    }
    const std::vector<std::string_view> chars = characters(line);

    Finding quote("ASCII single quote (0x27), which the database update cannot carry");
    Finding punctuation("ASCII punctuation instead of the full-width form");
    Finding control("control character");
    Finding notGbk("character outside GBK (code page 936)");
    Finding byteOrderMark("byte order mark");
    const bool lineIsGbk = text::isGbkEncodable(line);
    for (std::size_t i = 0; i < chars.size(); ++i) {
        const std::string_view c = chars[i];
        if (c == "'") {
            quote.at(i, "");
        } else if (c.size() == 1 && kAsciiPunctuation.find(c[0]) != std::string_view::npos) {
            punctuation.at(i, c);
        } else if (c == "\r") {
            control.at(i, "CR: the file must use LF line ends");
        } else if (c.size() == 1 && static_cast<unsigned char>(c[0]) < 0x20 && c != "\t") {
            control.at(i, codePointOf(c));
        } else if (c == "\uFEFF") {
            byteOrderMark.at(i, "");
        } else if (!lineIsGbk && !text::isGbkEncodable(c)) {
            notGbk.at(i, codePointOf(c) + " " + std::string(c));
        }
    }
    for (const Finding* finding : {&quote, &punctuation, &control, &notGbk, &byteOrderMark})
        finding->report(lineNumber, problems);

    const std::string_view trimmed = trimBlankCharacters(line);
    if (!line.empty() && trimmed.empty()) {
        problems.push_back({lineNumber, "holds only blanks; an empty line must be empty"});
        return;
    }
    if (line.find('\t') != std::string_view::npos) problems.push_back({lineNumber, "holds a tab"});
    if (!chars.empty() && isBlankCharacter(chars.back())) problems.push_back({lineNumber, "ends in a blank"});
}

}  // namespace content
