#include "fortune_layout.h"

namespace content {
namespace {

constexpr std::size_t kMaxYearlyParagraphChars = 308;

}  // namespace

std::size_t TextLayout::lineCount() const {
    const std::size_t perSection = emptyLineBeforeEachSection ? 4 : 3;
    const std::size_t separators = emptyLineBeforeEachSection || sections.empty() ? 0 : sections.size() - 1;
    return fixedLines.size() + perSection * sections.size() + separators;
}

std::string birthYearLine(const AnimalFacts& animal) {
    std::string line = "出生年份：";
    const std::vector<int> years = animal.birthYears();
    for (std::size_t i = 0; i < years.size(); ++i) {
        if (i > 0) line += "、";
        line += std::to_string(years[i]);
        if (animal.birthYearStyle == BirthYearStyle::YearAfterEach || i + 1 == years.size()) line += "年";
    }
    if (animal.birthYearStyle == BirthYearStyle::YearAfterLastThenFullStop) line += "。";
    return line;
}

std::string starLine(int filledStars) {
    std::string line = "运势星级：";
    for (int i = 0; i < 5; ++i) line += i < filledStars ? "★" : "☆";
    return line;
}

const std::vector<std::string>& monthHeadings() {
    static const std::vector<std::string> headings{
        "农历正月（公历时间：2024年2月4日—2024年3月4日）",
        "农历二月（公历时间：2024年3月5日—2024年4月3日）",
        "农历三月（公历时间：2024年4月4日—2024年5月4日）",
        "农历四月（公历时间：2024年5月5日—2024年6月4日）",
        "农历五月（公历时间：2024年6月5日—2024年7月5日）",
        "农历六月（公历时间：2024年7月6日—2024年8月6日）",
        "农历七月（公历时间：2024年8月7日—2024年9月6日）",
        "农历八月（公历时间：2024年9月7日—2024年10月7日）",
        "农历九月（公历时间：2024年10月8日—2024年11月6日）",
        "农历十月（公历时间：2024年11月7日—2024年12月5日）",
        "农历十一月（公历时间：2024年12月6日—2025年1月4日）",
        "农历十二月（公历时间：2025年1月5日—2025年2月3日）",
    };
    return headings;
}

TextLayout yearlyLayout(const AnimalFacts& animal) {
    TextLayout layout{{birthYearLine(animal), starLine(animal.stars)}, true, {}, animal.yearlyChars,
                      kMaxYearlyParagraphChars};
    for (std::string_view heading :
         {animal.overallHeading, animal.wealthHeading, std::string_view("事业运势："), std::string_view("感情运势："),
          std::string_view("健康运势：")})
        layout.sections.push_back({std::string(heading), true, ""});
    const std::vector<int> years = animal.birthYears();
    for (int i = 0; i < animal.yearSections; ++i) {
        const std::string year = std::to_string(years[static_cast<std::size_t>(i)]);
        layout.sections.push_back(
            {year + "年属" + std::string(animal.key) + "运势：", true, year.substr(2) + "年出生的你"});
    }
    return layout;
}

TextLayout monthlyLayout(const AnimalFacts& animal) {
    TextLayout layout{{"每月运势（四柱八字以农历24节气分界）"}, true, {}, animal.monthlyChars, 0};
    for (const std::string& heading : monthHeadings()) layout.sections.push_back({heading, false, "本月"});
    return layout;
}

TextLayout horoscopeLayout(const SignFacts& sign) {
    TextLayout layout{{}, false, {}, sign.chars, 0};
    for (std::string_view heading : {"整体运势：", "事业运势：", "财运运势：", "感情运势：", "健康运势：", "学业运势："})
        layout.sections.push_back({std::string(heading), true, ""});
    return layout;
}

}  // namespace content
