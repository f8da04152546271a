#include "fortune_structure.h"

#include "data/fortunes/line_content_checks.h"
#include "data/fortunes/section_alignment.h"
#include "data/fortunes/text_characters.h"

#include <algorithm>
#include <array>
#include <map>

namespace content {
namespace {

constexpr std::string_view kIndent = "\u3000\u3000";
// What a finished paragraph ends in.
constexpr std::array<std::string_view, 4> kSentenceEnds{"。", "！", "？", "”"};
// Headings are short; every paragraph the targets ask for is far longer.
constexpr std::size_t kLongestHeading = 40;

std::string quoted(std::string_view text) {
    return "\"" + std::string(text) + "\"";
}

std::string describeDifference(std::string_view actual, std::string_view expected) {
    const std::vector<std::string_view> a = characters(actual);
    const std::vector<std::string_view> e = characters(expected);
    std::size_t i = 0;
    while (i < a.size() && i < e.size() && a[i] == e[i]) ++i;
    return "reads " + quoted(actual) + ", expected " + quoted(expected) + " (first difference at character " +
           std::to_string(i + 1) + ")";
}

struct Item {
    std::size_t index;     // 0-based line index
    std::string_view text;
    bool heading;
};

struct Section {
    const Item* heading;
    const Item* paragraph;  // null when the heading has none
};

std::size_t crlfCharacterCount(const SplitText& split) {
    std::size_t count = 0;
    for (std::string_view line : split.lines) count += characterCount(line) + 2;
    return count;
}

bool looksLikeHeading(std::string_view line) {
    const std::vector<std::string_view> chars = characters(line);
    return chars.size() <= kLongestHeading && !isBlankCharacter(chars.front()) && !line.starts_with("本月");
}

class Checker {
public:
    Checker(std::string_view utf8, const TextLayout& layout) : layout_(layout), split_(splitAtLineFeeds(utf8)) {}

    StructureProblems run() {
        const auto& lines = split_.lines;
        if (lines.empty()) {
            add(0, "the text is empty");
            return std::move(problems_);
        }
        for (std::size_t i = 0; i < lines.size(); ++i) checkLineContent(lines[i], i + 1, problems_);
        if (!split_.endsWithLineBreak) add(lines.size(), "the last line has no line end (LF)");
        if (lines.size() != layout_.lineCount())
            add(0, std::to_string(lines.size()) + " lines, expected " + std::to_string(layout_.lineCount()));
        checkFixedLines();
        collectItems();
        checkSpacing();
        buildSections();
        matchSections();
        checkDuplicateParagraphs();
        checkLength();
        std::stable_sort(problems_.begin(), problems_.end(),
                         [](const StructureProblem& a, const StructureProblem& b) { return a.line < b.line; });
        return std::move(problems_);
    }

private:
    void add(std::size_t line, std::string message) { problems_.push_back({line, std::move(message)}); }

    void checkFixedLines() {
        const auto& lines = split_.lines;
        for (std::size_t i = 0; i < layout_.fixedLines.size(); ++i) {
            if (i >= lines.size()) {
                add(0, "line " + std::to_string(i + 1) + " " + quoted(layout_.fixedLines[i]) + " is missing");
            } else if (lines[i] != layout_.fixedLines[i]) {
                add(i + 1, describeDifference(lines[i], layout_.fixedLines[i]));
            }
        }
    }

    void collectItems() {
        const auto& lines = split_.lines;
        for (std::size_t i = layout_.fixedLines.size(); i < lines.size(); ++i)
            if (!trimBlankCharacters(lines[i]).empty()) items_.push_back({i, lines[i], looksLikeHeading(lines[i])});
    }

    // Every heading and paragraph stands between single empty lines; yearly
    // and monthly texts also open their first section with one.
    void checkSpacing() {
        const std::size_t bodyStart = layout_.fixedLines.size();
        if (items_.empty()) {
            add(0, "the text holds no sections");
            return;
        }
        const std::size_t leading = items_.front().index - bodyStart;
        const std::size_t wantedLeading = layout_.emptyLineBeforeEachSection ? 1 : 0;
        if (leading != wantedLeading)
            add(items_.front().index + 1, std::to_string(leading) + " empty lines before this line, expected " +
                                              std::to_string(wantedLeading));
        for (std::size_t k = 1; k < items_.size(); ++k) {
            const Item& previous = items_[k - 1];
            const Item& current = items_[k];
            const std::size_t gap = current.index - previous.index - 1;
            if (gap == 0 && !previous.heading && !current.heading) continue;  // reported as a split paragraph
            if (gap == 0)
                add(current.index + 1, "no empty line between line " + std::to_string(previous.index + 1) +
                                           " and this line");
            else if (gap > 1)
                add(current.index + 1, std::to_string(gap) + " empty lines before this line, expected one");
        }
        const std::size_t trailing = split_.lines.size() - 1 - items_.back().index;
        if (trailing > 0)
            add(items_.back().index + 2, std::to_string(trailing) + " empty line(s) after the last paragraph");
    }

    void buildSections() {
        for (std::size_t k = 0; k < items_.size(); ++k) {
            const Item& item = items_[k];
            if (item.heading) {
                sections_.push_back({&item, nullptr});
                continue;
            }
            if (!sections_.empty() && sections_.back().paragraph == nullptr && k > 0 && items_[k - 1].heading) {
                sections_.back().paragraph = &item;
                continue;
            }
            if (k > 0 && !items_[k - 1].heading && items_[k - 1].index + 1 == item.index)
                add(item.index + 1, "continues the paragraph of line " + std::to_string(items_[k - 1].index + 1) +
                                        "; a paragraph must be one line");
            else
                add(item.index + 1, "paragraph without a heading");
        }
        for (const Section& section : sections_)
            if (section.paragraph == nullptr)
                add(section.heading->index + 1, "heading " + quoted(section.heading->text) + " has no paragraph");
    }

    std::size_t lineOfSection(std::size_t i) const {
        return i < sections_.size() ? sections_[i].heading->index + 1 : split_.lines.size();
    }

    void matchSections() {
        std::vector<std::string_view> actual;
        for (const Section& section : sections_) actual.push_back(section.heading->text);
        std::vector<std::string_view> expected;
        for (const ExpectedSection& section : layout_.sections) expected.push_back(section.heading);

        using enum AlignmentStep::Kind;
        for (const AlignmentStep& step : alignSections(actual, expected)) {
            const std::size_t line = lineOfSection(step.actual);
            switch (step.kind) {
                case Same:
                    checkParagraph(sections_[step.actual], layout_.sections[step.expected]);
                    break;
                case Renamed:
                    add(line, "heading " + describeDifference(actual[step.actual], expected[step.expected]));
                    checkParagraph(sections_[step.actual], layout_.sections[step.expected]);
                    break;
                case Missing:
                    add(line, "section " + quoted(expected[step.expected]) + " is missing before this line");
                    break;
                case Misplaced:
                    add(line, "section " + quoted(expected[step.expected]) + " belongs here but comes later, at line " +
                                  std::to_string(lineOfSection(step.foundAt)));
                    break;
                case Unexpected:
                    add(line, "unexpected section " + quoted(actual[step.actual]));
                    break;
            }
        }
    }

    void checkParagraph(const Section& section, const ExpectedSection& expected) {
        if (section.paragraph == nullptr) return;
        const std::string_view text = section.paragraph->text;
        const std::size_t line = section.paragraph->index + 1;
        std::string_view body = text;
        if (expected.indented) {
            if (!text.starts_with(kIndent) || text.size() == kIndent.size() ||
                isBlankCharacter(characters(text.substr(kIndent.size())).front())) {
                add(line, "the paragraph must open with exactly two ideographic spaces (U+3000)");
                body = trimBlankCharacters(text);
            } else {
                body = text.substr(kIndent.size());
            }
        } else if (isBlankCharacter(characters(text).front())) {
            add(line, "the paragraph must not be indented");
            body = trimBlankCharacters(text);
        }
        if (!body.starts_with(expected.opening)) {
            const std::vector<std::string_view> chars = characters(body);
            const std::size_t shown = std::min(characterCount(expected.opening) + 4, chars.size());
            std::string start;
            for (std::size_t k = 0; k < shown; ++k) start += chars[k];
            add(line, "the paragraph must open with " + quoted(expected.opening) + ", it opens with " + quoted(start));
        }
        const std::string_view last = characters(text).back();
        if (std::find(kSentenceEnds.begin(), kSentenceEnds.end(), last) == kSentenceEnds.end())
            add(line, "the paragraph stops mid-sentence: it ends in " + quoted(last));
        const std::size_t length = characterCount(text);
        if (layout_.maxParagraphChars > 0 && length > layout_.maxParagraphChars)
            add(line, "paragraph of " + std::to_string(length) + " characters, at most " +
                          std::to_string(layout_.maxParagraphChars) + " fit");
    }

    void checkDuplicateParagraphs() {
        std::map<std::string_view, std::size_t> seen;
        for (const Item& item : items_) {
            if (item.heading) continue;
            const auto [at, inserted] = seen.emplace(item.text, item.index);
            if (!inserted)
                add(item.index + 1, "repeats the paragraph of line " + std::to_string(at->second + 1));
        }
    }

    void checkLength() {
        const std::size_t count = crlfCharacterCount(split_);
        if (!isWithinTenPercent(count, layout_.targetChars)) {
            const std::size_t low = (layout_.targetChars * 9 + 9) / 10;
            const std::size_t high = layout_.targetChars * 11 / 10;
            add(0, std::to_string(count) + " characters (CR LF counted), target " +
                       std::to_string(layout_.targetChars) + ", allowed " + std::to_string(low) + " to " +
                       std::to_string(high));
        }
    }

    const TextLayout& layout_;
    SplitText split_;
    std::vector<Item> items_;
    std::vector<Section> sections_;
    StructureProblems problems_;
};

}  // namespace

StructureProblems checkText(std::string_view utf8, const TextLayout& layout) {
    return Checker(utf8, layout).run();
}

StructureProblems checkYearlyText(std::string_view utf8, const AnimalFacts& animal) {
    return checkText(utf8, yearlyLayout(animal));
}

StructureProblems checkMonthlyText(std::string_view utf8, const AnimalFacts& animal) {
    return checkText(utf8, monthlyLayout(animal));
}

StructureProblems checkHoroscopeText(std::string_view utf8, const SignFacts& sign) {
    return checkText(utf8, horoscopeLayout(sign));
}

std::size_t crlfCharacterCount(std::string_view utf8) {
    return crlfCharacterCount(splitAtLineFeeds(utf8));
}

bool isWithinTenPercent(std::size_t count, std::size_t target) {
    return count * 10 >= target * 9 && count * 10 <= target * 11;
}

std::string formatProblem(std::string_view fileName, const StructureProblem& problem) {
    std::string text(fileName);
    if (problem.line > 0) text += ":" + std::to_string(problem.line);
    return text + ": " + problem.message;
}

}  // namespace content
