#pragma once
// One finding of the fortune text checks.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace content {

struct StructureProblem {
    std::size_t line;      // 1-based line number; 0 for the text as a whole
    std::string message;
};

using StructureProblems = std::vector<StructureProblem>;

// "yearly-dog.txt:14: message" (or "yearly-dog.txt: message" for the whole text).
std::string formatProblem(std::string_view fileName, const StructureProblem& problem);

}  // namespace content
