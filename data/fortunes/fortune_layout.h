#pragma once
// The line structure each kind of fortune text follows, spelled out for one
// animal or sign: the fixed lines it starts with, its sections (exact heading
// and how the paragraph opens) and the length it is written to.

#include "data/fortunes/fortune_facts.h"

#include <cstddef>
#include <string>
#include <vector>

namespace content {

struct ExpectedSection {
    std::string heading;
    bool indented;          // paragraph opens with two U+3000 (otherwise with no blank at all)
    std::string opening;    // what the paragraph opens with after the indentation ("" for anything)
};

struct TextLayout {
    std::vector<std::string> fixedLines;  // lines before the first section, exact
    bool emptyLineBeforeEachSection;      // yearly and monthly: empty, heading, empty, paragraph
                                          // horoscope: heading, empty, paragraph, sections apart by one empty line
    std::vector<ExpectedSection> sections;
    std::size_t targetChars;              // CR LF counted
    std::size_t maxParagraphChars;        // 0 when unlimited

    std::size_t lineCount() const;
};

TextLayout yearlyLayout(const AnimalFacts& animal);
TextLayout monthlyLayout(const AnimalFacts& animal);
TextLayout horoscopeLayout(const SignFacts& sign);

// The first two lines of a yearly text.
std::string birthYearLine(const AnimalFacts& animal);
std::string starLine(int filledStars);

// The twelve solar-term month headings of 2024, 正月 to 十二月.
const std::vector<std::string>& monthHeadings();

}  // namespace content
