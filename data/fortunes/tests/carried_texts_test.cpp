#include "data/fortunes/fortune_structure.h"
#include "data/fortunes/fortune_texts.h"
#include "text_mutation.h"

#include <gtest/gtest.h>

#include <map>

using namespace content;
using namespace content::testing;

namespace {

StructureProblems checkEmbedded(const EmbeddedFortuneText& text) {
    switch (text.kind) {
        case FortuneTextKind::Yearly: return checkYearlyText(text.utf8, animalFacts()[text.position]);
        case FortuneTextKind::Monthly: return checkMonthlyText(text.utf8, animalFacts()[text.position]);
        case FortuneTextKind::Horoscope: return checkHoroscopeText(text.utf8, signFacts()[text.position]);
    }
    return {};
}

std::vector<std::string> memoNames(int first, int last) {
    std::vector<std::string> names;
    for (int i = first; i <= last; ++i) names.push_back("Memo" + std::to_string(i));
    return names;
}

}  // namespace

TEST(CarriedFortuneTexts, EveryTextFollowsItsStructure) {
    ASSERT_EQ(embeddedFortuneTexts().size(), 36u);
    for (const auto& text : embeddedFortuneTexts())
        for (const auto& problem : checkEmbedded(text)) ADD_FAILURE() << formatProblem(text.fileName, problem);
}

TEST(CarriedFortuneTexts, NoParagraphAppearsTwice) {
    std::map<std::string, std::string> firstSeen;
    for (const auto& text : embeddedFortuneTexts()) {
        const std::vector<std::string> lines = linesOf(text.utf8);
        for (std::size_t i = 0; i < lines.size(); ++i) {
            if (lines[i].size() < 120) continue;  // headings and fixed lines repeat by design
            const std::string place = text.fileName + ":" + std::to_string(i + 1);
            const auto [at, inserted] = firstSeen.emplace(lines[i], place);
            EXPECT_TRUE(inserted) << place << " repeats the paragraph of " << at->second;
        }
    }
}

TEST(CarriedFortuneTexts, AnimalsComeInProcessingOrderWithTheirMemos) {
    const std::vector<std::string> keys{"狗", "猴", "虎", "鸡", "龙", "马", "牛", "蛇", "鼠", "兔", "羊", "猪"};
    const auto& fortunes = animalFortunes();
    ASSERT_EQ(fortunes.size(), 12u);
    const auto yearlyMemos = memoNames(1, 12);
    const auto monthlyMemos = memoNames(13, 24);
    for (std::size_t i = 0; i < fortunes.size(); ++i) {
        EXPECT_EQ(fortunes[i].key, keys[i]);
        EXPECT_EQ(fortunes[i].yearlyMemo, yearlyMemos[i]);
        EXPECT_EQ(fortunes[i].monthlyMemo, monthlyMemos[i]);
    }
}

TEST(CarriedFortuneTexts, HoroscopesComeInProcessingOrderWithTheirMemos) {
    const std::vector<std::string> keys{"白羊座", "金牛座", "天蝎座", "天秤座", "双子座", "射手座",
                                        "摩羯座", "巨蟹座", "狮子座", "水瓶座", "处女座", "双鱼座"};
    const auto& list = horoscopes();
    ASSERT_EQ(list.size(), 12u);
    const auto memos = memoNames(25, 36);
    for (std::size_t i = 0; i < list.size(); ++i) {
        EXPECT_EQ(list[i].key, keys[i]);
        EXPECT_EQ(list[i].memo, memos[i]);
    }
}

TEST(CarriedFortuneTexts, EmbeddedFilesAreListedInMemoOrder) {
    const auto& texts = embeddedFortuneTexts();
    const auto memos = memoNames(1, 36);
    ASSERT_EQ(texts.size(), memos.size());
    for (std::size_t i = 0; i < texts.size(); ++i) EXPECT_EQ(texts[i].memo, memos[i]) << texts[i].fileName;
    EXPECT_EQ(texts[0].fileName, "yearly-dog.txt");
    EXPECT_EQ(texts[20].fileName, "monthly-rat.txt");
    EXPECT_EQ(texts[35].fileName, "horoscope-pisces.txt");
}
