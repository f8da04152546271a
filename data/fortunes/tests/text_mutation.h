#pragma once
// Helpers for tests that change a carried text line by line and look at what
// the checker then finds.

#include "data/fortunes/fortune_texts.h"
#include "data/fortunes/structure_problem.h"

#include <algorithm>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace content::testing {

inline std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < text.size()) {
        const std::size_t lf = text.find('\n', start);
        if (lf == std::string_view::npos) {
            lines.emplace_back(text.substr(start));
            break;
        }
        lines.emplace_back(text.substr(start, lf - start));
        start = lf + 1;
    }
    return lines;
}

inline std::string joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& line : lines) text += line + "\n";
    return text;
}

inline const EmbeddedFortuneText& embeddedText(std::string_view fileName) {
    for (const auto& text : embeddedFortuneTexts())
        if (text.fileName == fileName) return text;
    throw std::invalid_argument("no embedded fortune text " + std::string(fileName));
}

// Index of the first line that equals the text exactly.
inline std::size_t indexOfLine(const std::vector<std::string>& lines, std::string_view text) {
    const auto found = std::find(lines.begin(), lines.end(), text);
    if (found == lines.end()) throw std::invalid_argument("no line " + std::string(text));
    return static_cast<std::size_t>(found - lines.begin());
}

// The findings of the changed text that the unchanged text does not have, so
// a slip in a carried text does not make a mutation test pass or fail.
inline StructureProblems introduced(const StructureProblems& before, const StructureProblems& after) {
    StructureProblems added;
    for (const auto& problem : after) {
        const bool known = std::any_of(before.begin(), before.end(), [&](const StructureProblem& old) {
            return old.line == problem.line && old.message == problem.message;
        });
        if (!known) added.push_back(problem);
    }
    return added;
}

// Whether a finding on that line (0: the whole text) mentions the fragment.
inline bool mentions(const StructureProblems& problems, std::size_t line, std::string_view fragment) {
    return std::any_of(problems.begin(), problems.end(), [&](const StructureProblem& problem) {
        return problem.line == line && problem.message.find(fragment) != std::string::npos;
    });
}

inline std::string listed(const StructureProblems& problems) {
    std::string text;
    for (const auto& problem : problems) text += formatProblem("text", problem) + "\n";
    return text;
}

}  // namespace content::testing
