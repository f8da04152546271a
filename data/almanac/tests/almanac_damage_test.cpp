// The rule checks catch the faults an almanac table really suffers: rows out
// of order or missing, misspelt branches, a year turning on the wrong day, a
// clash read from the wrong pair, stray placeholders. Each test damages a copy
// of the embedded table and expects the rule that guards against it to fire.

#include "almanac_rules.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>

namespace almanac_test {
namespace {

const Table& intact() {
    static const Table embedded = embeddedTable();
    return embedded;
}

std::size_t indexOf(const std::string& date) {
    const auto it = std::find_if(intact().begin(), intact().end(), [&](const Row& r) { return r[gn] == date; });
    if (it == intact().end()) throw std::runtime_error("no row for " + date);
    return static_cast<std::size_t>(it - intact().begin());
}

Table damaged(const std::function<void(Table&)>& damage) {
    Table copy = intact();
    damage(copy);
    return copy;
}

void replaceAll(std::string& text, const std::string& from, const std::string& to) {
    for (std::size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

// Which rules report anything on the table, by name.
std::vector<std::string> firingRules(const Table& table) {
    std::vector<std::string> names;
    for (const Rule& rule : allRules())
        if (!rule.check(table).empty()) names.emplace_back(rule.name);
    return names;
}

testing::AssertionResult fires(const Table& table, const std::string& rule) {
    const auto names = firingRules(table);
    if (std::find(names.begin(), names.end(), rule) != names.end()) return testing::AssertionSuccess();
    return testing::AssertionFailure() << rule << " does not notice the damage";
}

TEST(DamagedAlmanacOrder, TwoNeighbouringRowsSwapped) {
    const auto t = damaged([](Table& t) { std::swap(t[indexOf("2023-06-10")], t[indexOf("2023-06-11")]); });
    EXPECT_TRUE(fires(t, "DatesConsecutive"));
    EXPECT_TRUE(fires(t, "LunarDateWeekdayAndSign"));
    EXPECT_TRUE(fires(t, "NayinAndOfficer"));
}

TEST(DamagedAlmanacOrder, TwoDistantRowsSwapped) {
    const auto t = damaged([](Table& t) { std::swap(t[indexOf("2021-03-01")], t[indexOf("2025-09-15")]); });
    EXPECT_TRUE(fires(t, "DatesConsecutive"));
    EXPECT_TRUE(fires(t, "MonthPair"));
}

TEST(DamagedAlmanacOrder, ValuesShiftedAgainstTheirDates) {
    // Every column but the date moved one row down: each row still reads well
    // on its own, but no longer belongs to its date.
    const auto t = damaged([](Table& t) {
        for (std::size_t i = t.size() - 1; i > 0; --i)
            for (std::size_t c = nn; c < t[i].size(); ++c) t[i][c] = t[i - 1][c];
    });
    EXPECT_TRUE(fires(t, "LunarDateWeekdayAndSign"));
    EXPECT_TRUE(fires(t, "DayPairCycle"));
}

TEST(DamagedAlmanacOrder, DaysMissing) {
    const auto t = damaged([](Table& t) { t.erase(t.begin() + static_cast<std::ptrdiff_t>(indexOf("2022-07-01"))); });
    EXPECT_TRUE(fires(t, "DatesConsecutive"));
}

TEST(DamagedAlmanacBranches, SiWrittenAsYiEverywhere) {
    const auto t = damaged([](Table& t) {
        for (Row& r : t)
            for (std::string& cell : r) replaceAll(cell, "巳", "已");
    });
    for (const char* rule : {"DayPairCycle", "Clash", "Pengzu", "CellText"}) EXPECT_TRUE(fires(t, rule));
}

TEST(DamagedAlmanacBranches, SiWrittenAsYiInOneCell) {
    const std::size_t i = indexOf("2025-03-01");  // a 乙巳 year day
    ASSERT_NE(intact()[i][suici].find("巳"), std::string::npos);
    const auto t = damaged([&](Table& t) { replaceAll(t[i][suici], "巳", "已"); });
    EXPECT_TRUE(fires(t, "DayPairCycle"));
    EXPECT_TRUE(fires(t, "CellText"));
}

TEST(DamagedAlmanacBranches, XuWrittenAsShuInClashAndPengzu) {
    const std::size_t i = indexOf("2024-02-10");
    const auto t = damaged([&](Table& t) {
        replaceAll(t[i][cong], "戌", "戍");
        replaceAll(t[indexOf("2024-02-04")][pzbj], "戌", "戍");
    });
    EXPECT_TRUE(fires(t, "Clash"));
    EXPECT_TRUE(fires(t, "Pengzu"));
}

TEST(DamagedAlmanacPairs, YearTurningOneDayLate) {
    const auto t = damaged([](Table& t) { t[indexOf("2024-02-04")][suici] = "癸卯年、生肖属兔、甲寅月、戊戌日"; });
    EXPECT_TRUE(fires(t, "YearPair"));
    EXPECT_TRUE(fires(t, "MonthPair"));
}

TEST(DamagedAlmanacPairs, MonthTurningOneDayLate) {
    const auto t = damaged([](Table& t) { t[indexOf("2024-02-04")][suici] = "甲辰年、生肖属龙、乙丑月、戊戌日"; });
    EXPECT_TRUE(fires(t, "MonthPair"));
    EXPECT_TRUE(fires(t, "NayinAndOfficer"));
}

TEST(DamagedAlmanacPairs, ClashPengzuAndFetalGodReadFromAnotherPair) {
    // The earlier edition governed 2021-01-01, a 己酉 day, by 己丑.
    const std::size_t i = indexOf("2021-01-01");
    const auto t = damaged([&](Table& t) {
        t[i][cong] = "冲羊(癸未)煞东";
        t[i][pzbj] = "己不破券二比并亡 丑不冠带主不还乡";
        t[i][tszf] = "占门厕外正北";
    });
    for (const char* rule : {"Clash", "Pengzu", "FetalGod"}) EXPECT_TRUE(fires(t, rule));
}

TEST(DamagedAlmanacPairs, ShaDirectionFromTheWrongGroup) {
    const auto t = damaged([](Table& t) { t[indexOf("2024-02-10")][cong] = "冲狗(戊戌)煞北"; });
    EXPECT_TRUE(fires(t, "Clash"));
}

TEST(DamagedAlmanacWording, LibraryWordingLeftUnmapped) {
    const auto t = damaged([](Table& t) {
        replaceAll(t[indexOf("2021-01-01")][nn], "山羊座", "摩羯座");
        replaceAll(t[indexOf("2021-01-01")][pzbj], "宴客", "会客");
    });
    EXPECT_TRUE(fires(t, "LunarDateWeekdayAndSign"));
    EXPECT_TRUE(fires(t, "Pengzu"));
}

TEST(DamagedAlmanacWording, NayinMisspeltOrOfficerMissing) {
    const std::size_t i = indexOf("2024-02-10");
    auto t = damaged([&](Table& t) { replaceAll(t[i][wuhang], "覆灯火", "复灯火"); });
    EXPECT_TRUE(fires(t, "NayinAndOfficer"));
    t = damaged([&](Table& t) { t[i][wuhang] = "甲辰"; });
    EXPECT_TRUE(fires(t, "NayinAndOfficer"));
}

TEST(DamagedAlmanacWording, FetalGodWithTheLibrarysSpace) {
    const auto t = damaged([](Table& t) { t[indexOf("2024-02-10")][tszf] = "占门栖 房内东"; });
    EXPECT_TRUE(fires(t, "FetalGod"));
}

TEST(DamagedAlmanacTokens, PlaceholdersBlanksAndRepeats) {
    const std::size_t i = indexOf("2024-02-10");
    const std::vector<std::function<void(Row&)>> damages = {
        [](Row& r) { r[ji] = "嫁娶 作灶 **** 安床"; },
        [](Row& r) { r[yi] += "\u3000"; },
        [](Row& r) { r[jsyq] += " 守日"; },
        [](Row& r) { replaceAll(r[xsyq], " ", "  "); },
        [](Row& r) { r[xsyq] = "无 四离"; },
    };
    for (std::size_t d = 0; d < damages.size(); ++d) {
        const auto t = damaged([&](Table& t) { damages[d](t[i]); });
        EXPECT_TRUE(fires(t, "TokenLists")) << "damage " << d;
    }
}

TEST(DamagedAlmanacTokens, EmptyCell) {
    const auto t = damaged([](Table& t) { t[indexOf("2022-05-05")][xsyq].clear(); });
    EXPECT_TRUE(fires(t, "CellText"));
    EXPECT_TRUE(fires(t, "TokenLists"));
}

TEST(DamagedAlmanacText, CharacterOutsideGbk) {
    const auto t = damaged([](Table& t) { t[indexOf("2022-05-05")][yi] = "祭祀 \U0001F600"; });
    EXPECT_TRUE(fires(t, "CellText"));
}

}  // namespace
}  // namespace almanac_test
