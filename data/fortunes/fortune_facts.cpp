#include "fortune_facts.h"

#include <array>

namespace content {
namespace {

constexpr std::string_view kOverallRuncheng = "总体运程：";
constexpr std::string_view kOverallYunshi = "总体运势：";
constexpr std::string_view kWealth = "财运运势：";
constexpr std::string_view kWealthRat = "财富运程：";

using enum BirthYearStyle;

constexpr std::array<AnimalFacts, 12> kAnimals{{
    {"dog", "狗", "Memo1", "Memo13", 2, 1946, 7, 6, kOverallRuncheng, kWealth, YearAfterEach, 2823, 1757},
    {"monkey", "猴", "Memo2", "Memo14", 4, 1944, 7, 6, kOverallYunshi, kWealth, YearAfterLast, 2425, 1761},
    {"tiger", "虎", "Memo3", "Memo15", 2, 1950, 7, 6, kOverallRuncheng, kWealth, YearAfterLast, 2684, 1758},
    {"rooster", "鸡", "Memo4", "Memo16", 3, 1945, 7, 5, kOverallYunshi, kWealth, YearAfterLast, 2362, 1759},
    {"dragon", "龙", "Memo5", "Memo17", 2, 1940, 7, 7, kOverallYunshi, kWealth, YearAfterLast, 2633, 1788},
    {"horse", "马", "Memo6", "Memo18", 3, 1942, 7, 6, kOverallYunshi, kWealth, YearAfterLast, 2516, 1768},
    {"ox", "牛", "Memo7", "Memo19", 3, 1949, 7, 6, kOverallRuncheng, kWealth, YearAfterLast, 2605, 1753},
    {"snake", "蛇", "Memo8", "Memo20", 3, 1941, 7, 6, kOverallRuncheng, kWealth, YearAfterLast, 2728, 1752},
    {"rat", "鼠", "Memo9", "Memo21", 4, 1948, 7, 6, kOverallRuncheng, kWealthRat, YearAfterLastThenFullStop, 2617,
     1772},
    {"rabbit", "兔", "Memo10", "Memo22", 3, 1951, 6, 6, kOverallRuncheng, kWealth, YearAfterLast, 2604, 1784},
    {"goat", "羊", "Memo11", "Memo23", 3, 1943, 7, 6, kOverallRuncheng, kWealth, YearAfterLast, 2589, 1777},
    {"pig", "猪", "Memo12", "Memo24", 3, 1947, 7, 6, kOverallRuncheng, kWealth, YearAfterLastThenFullStop, 2678,
     1754},
}};

constexpr std::array<SignFacts, 12> kSigns{{
    {"aries", "白羊座", "Memo25", 1392},
    {"taurus", "金牛座", "Memo26", 1336},
    {"scorpio", "天蝎座", "Memo27", 1151},
    {"libra", "天秤座", "Memo28", 1319},
    {"gemini", "双子座", "Memo29", 1236},
    {"sagittarius", "射手座", "Memo30", 1295},
    {"capricorn", "摩羯座", "Memo31", 1283},
    {"cancer", "巨蟹座", "Memo32", 1302},
    {"leo", "狮子座", "Memo33", 1245},
    {"aquarius", "水瓶座", "Memo34", 1261},
    {"virgo", "处女座", "Memo35", 1266},
    {"pisces", "双鱼座", "Memo36", 1138},
}};

}  // namespace

std::vector<int> AnimalFacts::birthYears() const {
    std::vector<int> years;
    for (int i = 0; i < birthYearCount; ++i) years.push_back(firstBirthYear + 12 * i);
    return years;
}

std::string AnimalFacts::yearlyFileName() const {
    return "yearly-" + std::string(slug) + ".txt";
}

std::string AnimalFacts::monthlyFileName() const {
    return "monthly-" + std::string(slug) + ".txt";
}

std::string SignFacts::fileName() const {
    return "horoscope-" + std::string(slug) + ".txt";
}

std::span<const AnimalFacts> animalFacts() {
    return kAnimals;
}

std::span<const SignFacts> signFacts() {
    return kSigns;
}

}  // namespace content
