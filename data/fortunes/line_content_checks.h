#pragma once
// Checks of what a single line of a fortune text may hold, whatever its place
// in the structure: characters GBK can carry, no ASCII single quote, no ASCII
// punctuation in the Chinese prose, no stray blanks or control characters.

#include "data/fortunes/structure_problem.h"

#include <string_view>

namespace content {

// lineNumber is 1-based; findings are appended to problems.
void checkLineContent(std::string_view line, std::size_t lineNumber, StructureProblems& problems);

}  // namespace content
