#pragma once
// What the 36 carried fortune texts of 2024 are: for every zodiac animal and
// star sign its key, the memo names its texts are written under, the facts
// its yearly text states (birth years, stars, headings) and the character
// counts the texts are written to. Both lists are in the order the fortune
// upgrade processes them.

#include <cstddef>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace content {

// How the birth-year list on the first line of a yearly text writes "年".
enum class BirthYearStyle {
    YearAfterEach,               // 1946年、1958年、…、2018年
    YearAfterLast,               // 1944、1956、…、2016年
    YearAfterLastThenFullStop,   // 1948、1960、…、2020年。
};

struct AnimalFacts {
    std::string_view slug;          // file name part: yearly-<slug>.txt, monthly-<slug>.txt
    std::string_view key;           // the animal's character
    std::string_view yearlyMemo;
    std::string_view monthlyMemo;
    int stars;                      // filled stars out of five
    int firstBirthYear;
    int birthYearCount;             // years on the first line, twelve apart
    int yearSections;               // the earliest years that get a section of their own
    std::string_view overallHeading;
    std::string_view wealthHeading;
    BirthYearStyle birthYearStyle;
    std::size_t yearlyChars;        // target length, CR LF counted
    std::size_t monthlyChars;

    std::vector<int> birthYears() const;
    std::string yearlyFileName() const;
    std::string monthlyFileName() const;
};

struct SignFacts {
    std::string_view slug;          // file name part: horoscope-<slug>.txt
    std::string_view key;           // the sign's three-character name
    std::string_view memo;
    std::size_t chars;              // target length, CR LF counted

    std::string fileName() const;
};

// The twelve animals, 狗 first and 猪 last.
std::span<const AnimalFacts> animalFacts();
// The twelve signs, 白羊座 first and 双鱼座 last.
std::span<const SignFacts> signFacts();

}  // namespace content
