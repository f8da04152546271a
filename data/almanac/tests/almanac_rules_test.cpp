// The embedded almanac obeys every rule of a correct almanac and agrees with
// the values the earlier edition had right.

#include "almanac_rules.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace almanac_test {
namespace {

const Table& table() {
    static const Table embedded = embeddedTable();
    return embedded;
}

const Row& dayOf(const std::string& date) {
    const auto it = std::find_if(table().begin(), table().end(), [&](const Row& r) { return r[gn] == date; });
    if (it == table().end()) throw std::runtime_error("no row for " + date);
    return *it;
}

std::string firstFew(const Violations& v) {
    std::string text;
    for (std::size_t i = 0; i < v.size() && i < 5; ++i) text += v[i] + "\n";
    return text + std::to_string(v.size()) + " violations";
}

class EmbeddedAlmanac : public testing::TestWithParam<Rule> {};

TEST_P(EmbeddedAlmanac, ObeysRule) {
    const Violations v = GetParam().check(table());
    EXPECT_TRUE(v.empty()) << firstFew(v);
}

INSTANTIATE_TEST_SUITE_P(AllRules, EmbeddedAlmanac, testing::ValuesIn(allRules()),
                         [](const testing::TestParamInfo<Rule>& info) { return std::string(info.param.name); });

TEST(EmbeddedAlmanacRange, HoldsEveryDayFrom2021To2026February4) {
    ASSERT_EQ(table().size(), 1861u);
    EXPECT_EQ(table().front()[gn], "2021-01-01");
    EXPECT_EQ(table().back()[gn], "2026-02-04");
}

TEST(EmbeddedAlmanacRows, SpringFestival2024MatchesTheEarlierEdition) {
    const Row& row = dayOf("2024-02-10");
    EXPECT_EQ(row[nn], "农历01月(小)01日 星期六 水瓶座");
    EXPECT_EQ(row[suici], "甲辰年、生肖属龙、丙寅月、甲辰日");
    EXPECT_EQ(row[cong], "冲狗(戊戌)煞南");
    EXPECT_EQ(row[pzbj], "甲不开仓财物耗散 辰不哭泣必主重丧");
    EXPECT_EQ(row[yi], "嫁娶 开光 求嗣 会亲友 安床 牧养 塑绘 针灸");
    EXPECT_EQ(row[xsyq], "厌对 招摇 九空 九坎 九焦 复日");
    EXPECT_EQ(row[ji], "入宅 移徙 出火 分居 安香 作灶 开市 交易 立券 安葬 动土 伐木");
}

TEST(EmbeddedAlmanacRows, RowsTheEarlierEditionHadWrongAreMended) {
    // 2021 rows are governed by the day's own pair, 己酉, not 己丑.
    const Row& first = dayOf("2021-01-01");
    EXPECT_EQ(first[suici], "庚子年、生肖属鼠、戊子月、己酉日");
    EXPECT_EQ(first[cong], "冲兔(癸卯)煞东");
    EXPECT_EQ(first[pzbj], "己不破券二比并亡 酉不宴客醉坐颠狂");
    // The year turns on the day of 立春, together with the 寅 month.
    EXPECT_EQ(dayOf("2024-02-03")[suici], "癸卯年、生肖属兔、乙丑月、丁酉日");
    EXPECT_EQ(dayOf("2024-02-04")[suici], "甲辰年、生肖属龙、丙寅月、戊戌日");
    EXPECT_EQ(dayOf("2025-02-03")[suici].substr(0, std::string("乙巳年").size()), "乙巳年");
}

TEST(EmbeddedAlmanacRows, LeapMonthsAreMarked) {
    EXPECT_EQ(dayOf("2023-03-22")[nn].substr(0, std::string("农历02月(润)01日").size()), "农历02月(润)01日");
    EXPECT_EQ(dayOf("2025-07-25")[nn].substr(0, std::string("农历06月(润)01日").size()), "农历06月(润)01日");
    const auto leapDays = std::count_if(table().begin(), table().end(),
                                        [](const Row& r) { return r[nn].find("(润)") != std::string::npos; });
    EXPECT_EQ(leapDays, 29 + 29);
}

}  // namespace
}  // namespace almanac_test
