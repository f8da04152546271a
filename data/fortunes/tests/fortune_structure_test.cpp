#include "data/fortunes/fortune_layout.h"
#include "data/fortunes/fortune_structure.h"
#include "data/fortunes/section_alignment.h"
#include "text_mutation.h"

#include <gtest/gtest.h>

#include <functional>

using namespace content;
using namespace content::testing;

namespace {

const AnimalFacts& animal(std::string_view key) {
    for (const auto& facts : animalFacts())
        if (facts.key == key) return facts;
    throw std::invalid_argument("no animal " + std::string(key));
}

const SignFacts& sign(std::string_view key) {
    for (const auto& facts : signFacts())
        if (facts.key == key) return facts;
    throw std::invalid_argument("no sign " + std::string(key));
}

using Check = std::function<StructureProblems(std::string_view)>;
using Mutation = std::function<void(std::vector<std::string>&)>;

// What the checker finds in the changed copy of a carried text and not in the text itself.
StructureProblems afterMutation(std::string_view fileName, const Check& check, const Mutation& mutate) {
    const std::string_view original = embeddedText(fileName).utf8;
    std::vector<std::string> lines = linesOf(original);
    mutate(lines);
    return introduced(check(original), check(joined(lines)));
}

Check yearlyCheck(std::string_view key) {
    return [&facts = animal(key)](std::string_view text) { return checkYearlyText(text, facts); };
}
Check monthlyCheck(std::string_view key) {
    return [&facts = animal(key)](std::string_view text) { return checkMonthlyText(text, facts); };
}
Check horoscopeCheck(std::string_view key) {
    return [&facts = sign(key)](std::string_view text) { return checkHoroscopeText(text, facts); };
}

void removeSection(std::vector<std::string>& lines, std::string_view heading) {
    const std::size_t at = indexOfLine(lines, heading);
    const auto headingLine = lines.begin() + static_cast<std::ptrdiff_t>(at);
    lines.erase(headingLine - 1, headingLine + 3);
}

}  // namespace

TEST(FortuneLayout, FirstLinesAndLineCountsFollowTheAnimalFacts) {
    EXPECT_EQ(birthYearLine(animal("狗")), "出生年份：1946年、1958年、1970年、1982年、1994年、2006年、2018年");
    EXPECT_EQ(birthYearLine(animal("猴")), "出生年份：1944、1956、1968、1980、1992、2004、2016年");
    EXPECT_EQ(birthYearLine(animal("鼠")), "出生年份：1948、1960、1972、1984、1996、2008、2020年。");
    EXPECT_EQ(birthYearLine(animal("猪")), "出生年份：1947、1959、1971、1983、1995、2007、2019年。");
    EXPECT_EQ(birthYearLine(animal("兔")), "出生年份：1951、1963、1975、1987、1999、2011年");
    EXPECT_EQ(starLine(animal("虎").stars), "运势星级：★★☆☆☆");
    EXPECT_EQ(starLine(animal("鼠").stars), "运势星级：★★★★☆");

    EXPECT_EQ(yearlyLayout(animal("狗")).lineCount(), 46u);
    EXPECT_EQ(yearlyLayout(animal("鸡")).lineCount(), 42u);
    EXPECT_EQ(yearlyLayout(animal("龙")).lineCount(), 50u);
    EXPECT_EQ(yearlyLayout(animal("兔")).lineCount(), 46u);
    EXPECT_EQ(monthlyLayout(animal("鼠")).lineCount(), 49u);
    EXPECT_EQ(horoscopeLayout(sign("射手座")).lineCount(), 23u);

    const TextLayout rat = yearlyLayout(animal("鼠"));
    EXPECT_EQ(rat.sections[1].heading, "财富运程：");
    EXPECT_EQ(rat.sections[10].heading, "2008年属鼠运势：");
    EXPECT_EQ(rat.sections[10].opening, "08年出生的你");
    EXPECT_EQ(yearlyLayout(animal("马")).sections[0].heading, "总体运势：");
    EXPECT_EQ(yearlyLayout(animal("羊")).sections[0].heading, "总体运程：");
}

TEST(SectionAlignment, NamesMissingSurplusMisplacedAndRenamedSections) {
    using enum AlignmentStep::Kind;
    const auto kinds = [](const std::vector<std::string_view>& actual) {
        std::vector<std::pair<AlignmentStep::Kind, std::size_t>> result;
        for (const auto& step : alignSections(actual, {"A", "B", "C", "D"}))
            result.emplace_back(step.kind, step.kind == Unexpected ? step.actual : step.expected);
        return result;
    };
    using Steps = std::vector<std::pair<AlignmentStep::Kind, std::size_t>>;
    EXPECT_EQ(kinds({"A", "B", "C", "D"}), (Steps{{Same, 0}, {Same, 1}, {Same, 2}, {Same, 3}}));
    EXPECT_EQ(kinds({"A", "C", "D"}), (Steps{{Same, 0}, {Missing, 1}, {Same, 2}, {Same, 3}}));
    EXPECT_EQ(kinds({"A", "B", "C"}), (Steps{{Same, 0}, {Same, 1}, {Same, 2}, {Missing, 3}}));
    EXPECT_EQ(kinds({"A", "B", "B", "C", "D"}), (Steps{{Same, 0}, {Same, 1}, {Unexpected, 2}, {Same, 2}, {Same, 3}}));
    EXPECT_EQ(kinds({"A", "X", "C", "D"}), (Steps{{Same, 0}, {Renamed, 1}, {Same, 2}, {Same, 3}}));
    EXPECT_EQ(kinds({"A", "C", "B", "D"}), (Steps{{Same, 0}, {Misplaced, 1}, {Same, 2}, {Same, 3}}));
    EXPECT_EQ(kinds({"A", "B", "C", "D", "E"}), (Steps{{Same, 0}, {Same, 1}, {Same, 2}, {Same, 3}, {Unexpected, 4}}));
}

TEST(FortuneStructure, LengthCountsCrLfAndAllowsTenPercentEitherWay) {
    EXPECT_EQ(crlfCharacterCount("甲乙\n\n丙\n"), 2u + 2u + 0u + 2u + 1u + 2u);
    EXPECT_TRUE(isWithinTenPercent(900, 1000));
    EXPECT_TRUE(isWithinTenPercent(1100, 1000));
    EXPECT_FALSE(isWithinTenPercent(899, 1000));
    EXPECT_FALSE(isWithinTenPercent(1101, 1000));

    const auto added = afterMutation("horoscope-pisces.txt", horoscopeCheck("双鱼座"), [](auto& lines) {
        lines[2] += lines[2] + lines[2];
    });
    EXPECT_TRUE(mentions(added, 0, "target 1138, allowed 1025 to 1251")) << listed(added);
}

TEST(FortuneStructure, MissingOrMisplacedSectionsAreNamed) {
    auto added = afterMutation("yearly-dog.txt", yearlyCheck("狗"),
                               [](auto& lines) { removeSection(lines, "事业运势："); });
    EXPECT_TRUE(mentions(added, 0, "42 lines, expected 46")) << listed(added);
    EXPECT_TRUE(mentions(added, 12, "section \"事业运势：\" is missing")) << listed(added);

    added = afterMutation("yearly-dragon.txt", yearlyCheck("龙"),
                          [](auto& lines) { removeSection(lines, "2012年属龙运势："); });
    EXPECT_TRUE(mentions(added, 46, "section \"2012年属龙运势：\" is missing")) << listed(added);

    added = afterMutation("monthly-ox.txt", monthlyCheck("牛"), [](auto& lines) {
        removeSection(lines, "农历六月（公历时间：2024年7月6日—2024年8月6日）");
    });
    EXPECT_TRUE(mentions(added, 23, "\"农历六月（公历时间：2024年7月6日—2024年8月6日）\" is missing")) << listed(added);

    added = afterMutation("horoscope-leo.txt", horoscopeCheck("狮子座"), [](auto& lines) {
        std::swap(lines[indexOfLine(lines, "事业运势：")], lines[indexOfLine(lines, "财运运势：")]);
    });
    EXPECT_TRUE(mentions(added, 5, "section \"事业运势：\" belongs here but comes later, at line 9")) << listed(added);
}

TEST(FortuneStructure, HeadingsMustMatchCharacterForCharacter) {
    auto added = afterMutation("horoscope-cancer.txt", horoscopeCheck("巨蟹座"),
                               [](auto& lines) { lines[indexOfLine(lines, "感情运势：")] = "感情运势:"; });
    EXPECT_TRUE(mentions(added, 13, "heading reads \"感情运势:\", expected \"感情运势：\"")) << listed(added);
    EXPECT_TRUE(mentions(added, 13, "ASCII punctuation")) << listed(added);

    added = afterMutation("horoscope-sagittarius.txt", horoscopeCheck("射手座"),
                          [](auto& lines) { lines[indexOfLine(lines, "健康运势：")] = "健康运势"; });
    EXPECT_TRUE(mentions(added, 17, "first difference at character 5")) << listed(added);

    added = afterMutation("yearly-rat.txt", yearlyCheck("鼠"),
                          [](auto& lines) { lines[indexOfLine(lines, "财富运程：")] = "财运运势："; });
    EXPECT_TRUE(mentions(added, 8, "expected \"财富运程：\"")) << listed(added);

    added = afterMutation("monthly-pig.txt", monthlyCheck("猪"), [](auto& lines) {
        lines[indexOfLine(lines, "农历九月（公历时间：2024年10月8日—2024年11月6日）")] =
            "农历九月（公历时间：2024年10月8日-2024年11月6日）";
    });
    EXPECT_TRUE(mentions(added, 35, "first difference at character 21")) << listed(added);
}

TEST(FortuneStructure, FirstLinesMustStateYearsAndStarsExactly) {
    auto added = afterMutation("yearly-tiger.txt", yearlyCheck("虎"),
                               [](auto& lines) { lines[1] = "运势星级：★★★☆☆"; });
    EXPECT_TRUE(mentions(added, 2, "expected \"运势星级：★★☆☆☆\" (first difference at character 8)")) << listed(added);

    added = afterMutation("yearly-dog.txt", yearlyCheck("狗"), [](auto& lines) {
        lines[0] = "出生年份：1946、1958、1970、1982、1994、2006、2018年";
    });
    EXPECT_TRUE(mentions(added, 1, "first difference at character 10")) << listed(added);

    added = afterMutation("yearly-pig.txt", yearlyCheck("猪"),
                          [](auto& lines) { lines[0].resize(lines[0].size() - 3); });
    EXPECT_TRUE(mentions(added, 1, "expected \"出生年份：1947、1959、1971、1983、1995、2007、2019年。\"")) << listed(added);

    added = afterMutation("yearly-rabbit.txt", yearlyCheck("兔"), [](auto& lines) { lines[0] += "、2023年"; });
    EXPECT_TRUE(mentions(added, 1, "reads")) << listed(added);

    added = afterMutation("monthly-goat.txt", monthlyCheck("羊"), [](auto& lines) { lines[0] = "每月运势"; });
    EXPECT_TRUE(mentions(added, 1, "expected \"每月运势（四柱八字以农历24节气分界）\"")) << listed(added);
}

TEST(FortuneStructure, ParagraphsMustOpenAsTheirSectionAsks) {
    auto added = afterMutation("yearly-dragon.txt", yearlyCheck("龙"), [](auto& lines) {
        std::string& paragraph = lines[indexOfLine(lines, "1964年属龙运势：") + 2];
        paragraph = "\u3000  " + paragraph.substr(6);
    });
    EXPECT_TRUE(mentions(added, 34, "exactly two ideographic spaces")) << listed(added);

    added = afterMutation("yearly-horse.txt", yearlyCheck("马"), [](auto& lines) {
        std::string& paragraph = lines[indexOfLine(lines, "1966年属马运势：") + 2];
        paragraph.replace(paragraph.find("66年出生的你"), 2, "67");
    });
    EXPECT_TRUE(mentions(added, 34, "must open with \"66年出生的你\"")) << listed(added);

    added = afterMutation("monthly-snake.txt", monthlyCheck("蛇"),
                          [](auto& lines) { lines[4] = "\u3000\u3000" + lines[4]; });
    EXPECT_TRUE(mentions(added, 5, "must not be indented")) << listed(added);

    added = afterMutation("monthly-snake.txt", monthlyCheck("蛇"), [](auto& lines) { lines[8].replace(0, 6, "这个"); });
    EXPECT_TRUE(mentions(added, 9, "must open with \"本月\"")) << listed(added);

    added = afterMutation("horoscope-virgo.txt", horoscopeCheck("处女座"),
                          [](auto& lines) { lines[2] = lines[2].substr(6); });
    EXPECT_TRUE(mentions(added, 3, "exactly two ideographic spaces")) << listed(added);

    added = afterMutation("horoscope-capricorn.txt", horoscopeCheck("摩羯座"), [](auto& lines) {
        lines[22].resize(lines[22].rfind("，"));
    });
    EXPECT_TRUE(mentions(added, 23, "stops mid-sentence")) << listed(added);

    added = afterMutation("yearly-goat.txt", yearlyCheck("羊"), [](auto& lines) {
        for (int i = 0; i < 300; ++i) lines[5] += "好";
    });
    EXPECT_TRUE(mentions(added, 6, "at most 308 fit")) << listed(added);
}

TEST(FortuneStructure, EmptyLinesSeparateEveryHeadingAndParagraph) {
    auto added = afterMutation("monthly-rat.txt", monthlyCheck("鼠"), [](auto& lines) {
        lines.erase(lines.begin() + static_cast<std::ptrdiff_t>(
                                        indexOfLine(lines, "农历十一月（公历时间：2024年12月6日—2025年1月4日）")) + 1);
    });
    EXPECT_TRUE(mentions(added, 0, "48 lines, expected 49")) << listed(added);
    EXPECT_TRUE(mentions(added, 44, "no empty line between line 43 and this line")) << listed(added);

    added = afterMutation("horoscope-aquarius.txt", horoscopeCheck("水瓶座"), [](auto& lines) {
        lines.insert(lines.begin() + 12, "");
    });
    EXPECT_TRUE(mentions(added, 14, "2 empty lines before this line")) << listed(added);

    added = afterMutation("yearly-monkey.txt", yearlyCheck("猴"), [](auto& lines) { lines[6] = " "; });
    EXPECT_TRUE(mentions(added, 7, "holds only blanks")) << listed(added);

    added = afterMutation("horoscope-taurus.txt", horoscopeCheck("金牛座"), [](auto& lines) { lines.push_back(""); });
    EXPECT_TRUE(mentions(added, 24, "1 empty line(s) after the last paragraph")) << listed(added);

    added = afterMutation("yearly-ox.txt", yearlyCheck("牛"), [](auto& lines) {
        const std::string paragraph = lines[5];
        const std::size_t half = paragraph.rfind("，", paragraph.size() / 2) + 3;
        lines[5] = paragraph.substr(0, half);
        lines.insert(lines.begin() + 6, paragraph.substr(half));
    });
    EXPECT_TRUE(mentions(added, 7, "continues the paragraph of line 6")) << listed(added);

    added = afterMutation("horoscope-gemini.txt", horoscopeCheck("双子座"), [](auto& lines) { lines[6] = lines[2]; });
    EXPECT_TRUE(mentions(added, 7, "repeats the paragraph of line 3")) << listed(added);
}

TEST(FortuneStructure, LinesHoldOnlyWhatTheDatabaseUpdateCarries) {
    const auto added = afterMutation("horoscope-libra.txt", horoscopeCheck("天秤座"), [](auto& lines) {
        lines[2] += "\U0001F600";
        lines[6].insert(6, "it's ");
        lines[10] += " ";
        lines[14] += "\r";
    });
    EXPECT_TRUE(mentions(added, 3, "outside GBK")) << listed(added);
    EXPECT_TRUE(mentions(added, 7, "single quote")) << listed(added);
    EXPECT_TRUE(mentions(added, 11, "ends in a blank")) << listed(added);
    EXPECT_TRUE(mentions(added, 15, "CR: the file must use LF line ends")) << listed(added);

    EXPECT_TRUE(mentions(checkHoroscopeText("整体运势：", sign("天蝎座")), 1, "no line end")) ;
    EXPECT_TRUE(mentions(checkHoroscopeText("", sign("天蝎座")), 0, "empty"));
}
