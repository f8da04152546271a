#include "section_alignment.h"

#include <algorithm>
#include <optional>
#include <set>

namespace content {
namespace {

std::optional<std::size_t> find(const std::vector<std::string_view>& list, std::string_view heading,
                                std::size_t from) {
    for (std::size_t k = from; k < list.size(); ++k)
        if (list[k] == heading) return k;
    return std::nullopt;
}

}  // namespace

std::vector<AlignmentStep> alignSections(const std::vector<std::string_view>& actual,
                                         const std::vector<std::string_view>& expected) {
    using enum AlignmentStep::Kind;
    std::vector<AlignmentStep> steps;
    std::set<std::size_t> misplaced;  // actual sections already named by a Misplaced step

    const auto absent = [&](std::size_t j, std::size_t i) {
        if (const auto later = find(actual, expected[j], i)) {
            misplaced.insert(*later);
            steps.push_back({Misplaced, i, j, *later});
        } else {
            steps.push_back({Missing, i, j});
        }
    };
    const auto surplus = [&](std::size_t i) {
        if (!misplaced.contains(i)) steps.push_back({Unexpected, i, 0});
    };

    std::size_t i = 0;
    std::size_t j = 0;
    while (i < actual.size() && j < expected.size()) {
        if (actual[i] == expected[j]) {
            steps.push_back({Same, i++, j++});
            continue;
        }
        // Skip whichever side needs the shorter jump to get back in step.
        const auto laterExpected = find(expected, actual[i], j + 1);
        const auto laterActual = find(actual, expected[j], i + 1);
        if (laterExpected && (!laterActual || *laterExpected - j <= *laterActual - i)) {
            for (; j < *laterExpected; ++j) absent(j, i);
        } else if (laterActual) {
            for (; i < *laterActual; ++i) surplus(i);
        } else {
            steps.push_back({Renamed, i++, j++});
        }
    }
    for (; j < expected.size(); ++j) absent(j, i);
    for (; i < actual.size(); ++i) surplus(i);
    return steps;
}

}  // namespace content
