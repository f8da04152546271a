#pragma once
// Lines up the section headings a text has with the headings it should have,
// so that a missing, surplus or misplaced section is named as such instead of
// every later heading looking wrong.

#include <cstddef>
#include <string_view>
#include <vector>

namespace content {

struct AlignmentStep {
    enum class Kind {
        Same,        // actual[actual] is expected[expected]
        Renamed,     // actual[actual] stands where expected[expected] belongs but reads differently
        Missing,     // expected[expected] is absent; it belongs before actual[actual] (== size: at the end)
        Misplaced,   // expected[expected] belongs before actual[actual] but comes later, at actual[foundAt]
        Unexpected,  // actual[actual] has no place in the text
    };
    Kind kind;
    std::size_t actual;
    std::size_t expected;
    std::size_t foundAt = 0;
};

// Steps in text order. A misplaced section yields one Misplaced step and no
// Unexpected step for the place it was found at.
std::vector<AlignmentStep> alignSections(const std::vector<std::string_view>& actual,
                                         const std::vector<std::string_view>& expected);

}  // namespace content
