#pragma once
// Checks a fortune text (UTF-8, LF line ends, as stored in the repository)
// against the structure its kind follows: fixed first lines, sections with
// exact headings in order, one empty line around every heading, one
// paragraph per line with the right opening, the target length within 10 %,
// and line content the database update can carry (see line_content_checks.h).
// The findings are meant for the person who writes the text.

#include "data/fortunes/fortune_facts.h"
#include "data/fortunes/fortune_layout.h"
#include "data/fortunes/structure_problem.h"

#include <string_view>

namespace content {

StructureProblems checkText(std::string_view utf8, const TextLayout& layout);

StructureProblems checkYearlyText(std::string_view utf8, const AnimalFacts& animal);
StructureProblems checkMonthlyText(std::string_view utf8, const AnimalFacts& animal);
StructureProblems checkHoroscopeText(std::string_view utf8, const SignFacts& sign);

// Characters of the text in the form the upgrade receives it: every line,
// the last included, ending in CR LF.
std::size_t crlfCharacterCount(std::string_view utf8);

// Whether a count lies within 10 % of its target, either way.
bool isWithinTenPercent(std::size_t count, std::size_t target);

}  // namespace content
