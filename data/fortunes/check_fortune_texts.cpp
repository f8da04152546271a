// Checks a folder of fortune texts against their structure and target
// lengths and prints, per file, the length against its target and every
// finding. Exit status 0 when all 36 files exist and pass, 1 otherwise.
//
//   check_fortune_texts FOLDER

#include "data/fortunes/fortune_facts.h"
#include "data/fortunes/fortune_structure.h"

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>

namespace {

struct Outcome {
    int missing = 0;
    int failing = 0;
};

void checkFile(const std::filesystem::path& folder, const std::string& fileName, std::string_view memo,
               std::string_view key, std::size_t target,
               const std::function<content::StructureProblems(std::string_view)>& check, Outcome& outcome) {
    std::ifstream in(folder / fileName, std::ios::binary);
    if (!in) {
        std::cout << fileName << "  " << memo << "  " << key << "  missing\n";
        ++outcome.missing;
        return;
    }
    const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::size_t count = content::crlfCharacterCount(text);
    const content::StructureProblems problems = check(text);
    char deviation[32];
    std::snprintf(deviation, sizeof deviation, "%+.1f %%",
                  100.0 * (static_cast<double>(count) - static_cast<double>(target)) / static_cast<double>(target));
    std::cout << fileName << "  " << memo << "  " << key << "  " << count << " / " << target << " chars ("
              << deviation << ")  " << (problems.empty() ? "ok" : std::to_string(problems.size()) + " problem(s)")
              << "\n";
    for (const auto& problem : problems) std::cout << "    " << content::formatProblem(fileName, problem) << "\n";
    if (!problems.empty()) ++outcome.failing;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::cerr << "usage: check_fortune_texts FOLDER\n";
        return 2;
    }
    const std::filesystem::path folder = argv[1];
    Outcome outcome;
    for (const auto& animal : content::animalFacts())
        checkFile(folder, animal.yearlyFileName(), animal.yearlyMemo, animal.key, animal.yearlyChars,
                  [&](std::string_view text) { return content::checkYearlyText(text, animal); }, outcome);
    for (const auto& animal : content::animalFacts())
        checkFile(folder, animal.monthlyFileName(), animal.monthlyMemo, animal.key, animal.monthlyChars,
                  [&](std::string_view text) { return content::checkMonthlyText(text, animal); }, outcome);
    for (const auto& sign : content::signFacts())
        checkFile(folder, sign.fileName(), sign.memo, sign.key, sign.chars,
                  [&](std::string_view text) { return content::checkHoroscopeText(text, sign); }, outcome);
    std::cout << outcome.missing << " missing, " << outcome.failing << " with problems\n";
    return outcome.missing == 0 && outcome.failing == 0 ? 0 : 1;
}
