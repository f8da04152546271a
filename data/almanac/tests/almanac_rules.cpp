#include "almanac_rules.h"

#include "almanac_vocabulary.h"
#include "data/almanac/almanac_table.h"
#include "text/gbk_codec.h"

#include <algorithm>
#include <chrono>
#include <map>
#include <optional>
#include <set>
#include <string_view>

namespace almanac_test {
namespace {

using std::chrono::sys_days;

constexpr sys_days kFirstDay{std::chrono::year{2021} / 1 / 1};
constexpr int kFirstDayPair = 45;   // 己酉
constexpr int kFirstYearPair = 36;  // 庚子, the year before the first 立春
// Days of 立春: the year pair turns and the 寅 month begins on these days.
constexpr std::array<sys_days, 6> kSpringStarts = {
    sys_days{std::chrono::year{2021} / 2 / 3}, sys_days{std::chrono::year{2022} / 2 / 4},
    sys_days{std::chrono::year{2023} / 2 / 4}, sys_days{std::chrono::year{2024} / 2 / 4},
    sys_days{std::chrono::year{2025} / 2 / 3}, sys_days{std::chrono::year{2026} / 2 / 4}};

// The UTF-8 characters of a text, one string each.
std::vector<std::string> characters(std::string_view text) {
    std::vector<std::string> out;
    for (std::size_t i = 0; i < text.size();) {
        const auto lead = static_cast<unsigned char>(text[i]);
        const std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        out.emplace_back(text.substr(i, length));
        i += length;
    }
    return out;
}

// Matches a text against a pattern in which every '?' stands for one character
// and every other character stands for itself; returns the '?' characters.
std::optional<std::vector<std::string>> capture(std::string_view text, std::string_view pattern) {
    const auto got = characters(text);
    const auto want = characters(pattern);
    if (got.size() != want.size()) return std::nullopt;
    std::vector<std::string> captured;
    for (std::size_t i = 0; i < got.size(); ++i) {
        if (want[i] == "?") captured.push_back(got[i]);
        else if (want[i] != got[i]) return std::nullopt;
    }
    return captured;
}

template <std::size_t N>
int indexIn(const std::array<std::string_view, N>& list, std::string_view word) {
    const auto it = std::find(list.begin(), list.end(), word);
    return it == list.end() ? -1 : static_cast<int>(it - list.begin());
}

int mod(int a, int n) { return ((a % n) + n) % n; }

// Position in the sixty-pair cycle, or -1 for a stem and branch of unlike parity.
int cycleIndex(int stem, int branch) {
    for (int k = stem; k < 60; k += 10)
        if (k % 12 == branch) return k;
    return -1;
}

std::optional<sys_days> parseDate(const std::string& text) {
    if (text.size() != 10 || text[4] != '-' || text[7] != '-') return std::nullopt;
    int y = 0, m = 0, d = 0;
    for (std::size_t i : {0, 1, 2, 3, 5, 6, 8, 9})
        if (text[i] < '0' || text[i] > '9') return std::nullopt;
    y = std::stoi(text.substr(0, 4));
    m = std::stoi(text.substr(5, 2));
    d = std::stoi(text.substr(8, 2));
    const std::chrono::year_month_day ymd{std::chrono::year{y}, std::chrono::month(m), std::chrono::day(d)};
    if (!ymd.ok()) return std::nullopt;
    return sys_days{ymd};
}

struct LunarDate {
    int month, day;
    std::string kind, weekday;
    int sign;
};

std::optional<int> twoDigits(const std::string& tens, const std::string& units) {
    const auto digit = [](const std::string& c) { return c.size() == 1 && c[0] >= '0' && c[0] <= '9'; };
    if (!digit(tens) || !digit(units)) return std::nullopt;
    return (tens[0] - '0') * 10 + (units[0] - '0');
}

std::optional<LunarDate> parseLunarDate(const std::string& text) {
    const auto c = capture(text, "农历??月(?)??日 星期? ???");
    if (!c) return std::nullopt;
    const auto& v = *c;
    const auto month = twoDigits(v[0], v[1]);
    const auto day = twoDigits(v[3], v[4]);
    const int sign = indexIn(kStarSigns, v[6] + v[7] + v[8]);
    const bool kindOk = v[2] == "大" || v[2] == "小" || v[2] == "润";
    if (!month || !day || !kindOk || sign < 0 || indexIn(kWeekdays, v[5]) < 0) return std::nullopt;
    if (*month < 1 || *month > 12 || *day < 1 || *day > (v[2] == "小" ? 29 : 30)) return std::nullopt;
    return LunarDate{*month, *day, v[2], v[5], sign};
}

// A lunar day follows the previous one in its month, or starts the next month
// once the previous month has run its 29 (小) or 30 (大) days; a leap month
// repeats the number of the month before it.
bool followsLunarDate(const LunarDate& p, const LunarDate& c) {
    if (c.day != 1) return c.day == p.day + 1 && c.month == p.month && c.kind == p.kind;
    const bool monthEnded = p.kind == "大" ? p.day == 30 : p.kind == "小" ? p.day == 29 : p.day >= 29;
    const bool numberOk = c.kind == "润" ? c.month == p.month : c.month == p.month % 12 + 1;
    return monthEnded && numberOk;
}

struct Pairs {
    int yearStem, yearBranch, animal, monthStem, monthBranch, dayStem, dayBranch;
    int day() const { return cycleIndex(dayStem, dayBranch); }
};

std::optional<Pairs> parseSuici(const std::string& text) {
    const auto c = capture(text, "??年、生肖属?、??月、??日");
    if (!c) return std::nullopt;
    const auto& v = *c;
    Pairs p{indexIn(kStems, v[0]),  indexIn(kBranches, v[1]), indexIn(kAnimals, v[2]), indexIn(kStems, v[3]),
            indexIn(kBranches, v[4]), indexIn(kStems, v[5]),   indexIn(kBranches, v[6])};
    if (std::min({p.yearStem, p.yearBranch, p.animal, p.monthStem, p.monthBranch, p.dayStem, p.dayBranch}) < 0)
        return std::nullopt;
    if (cycleIndex(p.yearStem, p.yearBranch) < 0 || cycleIndex(p.monthStem, p.monthBranch) < 0 || p.day() < 0)
        return std::nullopt;
    return p;
}

std::string where(const Table& table, std::size_t i) { return "row " + std::to_string(i) + " (" + table[i][gn] + ")"; }

// Runs `check` on every row whose date and pairs read; rows that do not read
// are the business of the rules for those columns.
template <typename Check>
Violations forEachDay(const Table& table, Check check) {
    Violations out;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto date = parseDate(table[i][gn]);
        const auto pairs = parseSuici(table[i][suici]);
        if (date && pairs) check(i, *date, *pairs, out);
    }
    return out;
}

// The day's own stem-branch pair, counted through the sixty-pair cycle from
// 己酉 on 2021-01-01; it governs cong, pzbj and tszf.
int dayPairOf(sys_days date) { return mod(kFirstDayPair + static_cast<int>((date - kFirstDay).count()), 60); }

// Runs `check` with the pair of every row whose date reads.
template <typename Check>
Violations forEachDate(const Table& table, Check check) {
    Violations out;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (const auto date = parseDate(table[i][gn])) check(i, dayPairOf(*date) % 10, dayPairOf(*date) % 12, out);
    return out;
}

bool isSpringStart(sys_days d) { return std::find(kSpringStarts.begin(), kSpringStarts.end(), d) != kSpringStarts.end(); }

bool isIdeograph(const std::string& c) {
    if (c.size() != 3) return false;
    const char32_t cp = (static_cast<unsigned char>(c[0]) & 0x0Fu) << 12 | (static_cast<unsigned char>(c[1]) & 0x3Fu) << 6 |
                        (static_cast<unsigned char>(c[2]) & 0x3Fu);
    return cp >= 0x4E00 && cp <= 0x9FFF;
}

}  // namespace

Table embeddedTable() {
    Table table(content::almanacDayCount());
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto day = content::almanacDay(i);
        std::copy(day.begin(), day.end(), table[i].begin());
    }
    return table;
}

Violations checkDatesConsecutive(const Table& table) {
    Violations out;
    std::optional<sys_days> previous;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto date = parseDate(table[i][gn]);
        if (!date) out.push_back(where(table, i) + ": not a YYYY-MM-DD date");
        else if (i == 0 && *date != kFirstDay) out.push_back(where(table, i) + ": the table must start on 2021-01-01");
        else if (previous && *date != *previous + std::chrono::days{1})
            out.push_back(where(table, i) + ": does not follow the previous row's date by one day");
        previous = date;
    }
    return out;
}

Violations checkLunarDateWeekdayAndSign(const Table& table) {
    Violations out;
    std::optional<LunarDate> previous;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const auto current = parseLunarDate(table[i][nn]);
        const auto date = parseDate(table[i][gn]);
        if (!current) {
            out.push_back(where(table, i) + ": nn \"" + table[i][nn] + "\" does not read");
        } else {
            if (date && current->weekday != kWeekdays[std::chrono::weekday{*date}.c_encoding()])
                out.push_back(where(table, i) + ": weekday " + current->weekday + " is not that of the date");
            if (previous && !followsLunarDate(*previous, *current))
                out.push_back(where(table, i) + ": lunar date does not follow the previous row's");
            const int dayOfMonth = date ? static_cast<int>(unsigned{std::chrono::year_month_day{*date}.day()}) : 0;
            if (previous && current->sign != previous->sign &&
                (current->sign != (previous->sign + 1) % 12 || dayOfMonth < 19 || dayOfMonth > 24))
                out.push_back(where(table, i) + ": star sign does not follow the previous row's");
        }
        previous = current;
    }
    return out;
}

Violations checkDayPairCycle(const Table& table) {
    Violations out;
    for (std::size_t i = 0; i < table.size(); ++i)
        if (!parseSuici(table[i][suici])) out.push_back(where(table, i) + ": suici \"" + table[i][suici] + "\" does not read");
    auto rest = forEachDay(table, [&](std::size_t i, sys_days date, const Pairs& p, Violations& v) {
        if (p.day() != dayPairOf(date))
            v.push_back(where(table, i) + ": day pair is not the date's place in the sixty-pair cycle");
    });
    out.insert(out.end(), rest.begin(), rest.end());
    return out;
}

Violations checkYearPair(const Table& table) {
    return forEachDay(table, [&](std::size_t i, sys_days date, const Pairs& p, Violations& v) {
        const auto springs = std::count_if(kSpringStarts.begin(), kSpringStarts.end(), [&](sys_days s) { return s <= date; });
        const int expected = (kFirstYearPair + static_cast<int>(springs)) % 60;
        if (cycleIndex(p.yearStem, p.yearBranch) != expected || p.animal != p.yearBranch)
            v.push_back(where(table, i) + ": year pair or animal is not that of the year begun at the last 立春");
    });
}

Violations checkMonthPair(const Table& table) {
    std::optional<int> previousBranch;
    int previousStem = -1;
    std::optional<sys_days> lastChange;
    return forEachDay(table, [&](std::size_t i, sys_days date, const Pairs& p, Violations& v) {
        // The 寅 month's stem follows from the year stem; the others count on from it.
        const int expectedStem = mod((p.yearStem % 5) * 2 + 2 + mod(p.monthBranch - 2, 12), 10);
        if (p.monthStem != expectedStem) v.push_back(where(table, i) + ": month stem does not follow from the year stem");
        const bool changed = previousBranch && *previousBranch != p.monthBranch;
        if (changed && p.monthBranch != (*previousBranch + 1) % 12)
            v.push_back(where(table, i) + ": month branch skips or goes back");
        if (previousBranch && !changed && p.monthStem != previousStem)
            v.push_back(where(table, i) + ": month stem changes within a solar-term month");
        if (previousBranch && isSpringStart(date) != (changed && p.monthBranch == 2))
            v.push_back(where(table, i) + ": the 寅 month must begin exactly on the day of 立春");
        if (changed && lastChange && ((date - *lastChange) < std::chrono::days{29} || (date - *lastChange) > std::chrono::days{32}))
            v.push_back(where(table, i) + ": a solar-term month lasts 29 to 32 days");
        if (changed) lastChange = date;
        previousBranch = p.monthBranch;
        previousStem = p.monthStem;
    });
}

Violations checkNayinAndOfficer(const Table& table) {
    std::optional<Pairs> previous;
    int previousOfficer = -1;
    return forEachDay(table, [&](std::size_t i, sys_days date, const Pairs& p, Violations& v) {
        const int day = dayPairOf(date);
        const auto c = capture(table[i][wuhang], "??? ?执位");
        const int officer = c ? indexIn(kOfficers, (*c)[3]) : -1;
        if (!c || (*c)[0] + (*c)[1] + (*c)[2] != kNayin[day / 2]) {
            v.push_back(where(table, i) + ": wuhang \"" + table[i][wuhang] + "\" is not the day's nayin and officer");
        } else if (officer != mod(day % 12 - p.monthBranch, 12)) {
            v.push_back(where(table, i) + ": officer is not counted from the month branch");
        } else if (previous && previousOfficer >= 0) {
            const bool monthBegins = previous->monthBranch != p.monthBranch;
            if (officer != (monthBegins ? previousOfficer : (previousOfficer + 1) % 12))
                v.push_back(where(table, i) + ": officer must advance daily and repeat when a solar-term month begins");
        }
        previous = p;
        previousOfficer = officer;
    });
}

Violations checkClash(const Table& table) {
    return forEachDate(table, [&](std::size_t i, int stem, int branch, Violations& v) {
        const int b = (branch + 6) % 12;
        const std::string expected = "冲" + std::string(kAnimals[b]) + "(" + std::string(kStems[(stem + 4) % 10]) +
                                     std::string(kBranches[b]) + ")煞" + std::string(kShaByBranch[branch]);
        if (table[i][cong] != expected) v.push_back(where(table, i) + ": cong \"" + table[i][cong] + "\", expected " + expected);
    });
}

Violations checkPengzu(const Table& table) {
    return forEachDate(table, [&](std::size_t i, int stem, int branch, Violations& v) {
        const std::string expected = std::string(kStems[stem]) + "不" + std::string(kPengzuOfStem[stem]) + " " +
                                     std::string(kBranches[branch]) + "不" + std::string(kPengzuOfBranch[branch]);
        if (table[i][pzbj] != expected) v.push_back(where(table, i) + ": pzbj \"" + table[i][pzbj] + "\", expected " + expected);
    });
}

Violations checkFetalGod(const Table& table) {
    std::map<int, std::string> byPair;
    auto out = forEachDate(table, [&](std::size_t i, int stem, int branch, Violations& v) {
        const std::string& value = table[i][tszf];
        if (!capture(value, "???外??") && !capture(value, "???房内?"))
            v.push_back(where(table, i) + ": tszf \"" + value + "\" is not three places and a direction");
        const auto [it, fresh] = byPair.emplace(cycleIndex(stem, branch), value);
        if (!fresh && it->second != value)
            v.push_back(where(table, i) + ": tszf differs from an earlier day of the same pair");
    });
    std::set<std::string> distinct;
    for (const auto& [pair, value] : byPair) distinct.insert(value);
    if (byPair.size() == 60 && distinct.size() != 60)
        out.push_back("tszf: " + std::to_string(distinct.size()) + " distinct values for the 60 pairs");
    return out;
}

// Tokens separated by single spaces, each of ideographs only, none twice, and
// 无 only as the whole list.
Violations checkTokenLists(const Table& table) {
    Violations out;
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (const Column column : {jsyq, yi, xsyq, ji}) {
            const std::string& list = table[i][column];
            const auto report = [&](const std::string& fault) {
                out.push_back(where(table, i) + ": " + std::string(content::kAlmanacColumns[column]) + " \"" + list +
                              "\" " + fault);
            };
            std::vector<std::string> tokens;
            for (std::size_t start = 0, space = 0; space != std::string::npos; start = space + 1) {
                space = list.find(' ', start);
                tokens.push_back(list.substr(start, space == std::string::npos ? space : space - start));
            }
            std::set<std::string> seen;
            for (const std::string& token : tokens) {
                const auto chars = characters(token);
                if (token.empty() || !std::all_of(chars.begin(), chars.end(), isIdeograph))
                    report("has a token that is not all ideographs");
                else if (!seen.insert(token).second)
                    report("repeats " + token);
                else if (token == "无" && tokens.size() > 1)
                    report("has 无 beside other tokens");
            }
        }
    }
    return out;
}

Violations checkCellText(const Table& table) {
    Violations out;
    for (std::size_t i = 0; i < table.size(); ++i) {
        for (const std::string& cell : table[i]) {
            const auto chars = characters(cell);
            if (chars.empty() || chars.front() == " " || chars.back() == " " || chars.front() == "\u3000" ||
                chars.back() == "\u3000")
                out.push_back(where(table, i) + ": a cell is empty or has blanks at an end: \"" + cell + "\"");
            if (cell.find("已") != std::string::npos || cell.find("戍") != std::string::npos)
                out.push_back(where(table, i) + ": \"" + cell + "\" writes a branch as 已 or 戍");
            if (!text::isGbkEncodable(cell)) out.push_back(where(table, i) + ": \"" + cell + "\" is not encodable in GBK");
        }
    }
    return out;
}

const std::vector<Rule>& allRules() {
    static const std::vector<Rule> rules = {
        {"DatesConsecutive", checkDatesConsecutive},
        {"LunarDateWeekdayAndSign", checkLunarDateWeekdayAndSign},
        {"DayPairCycle", checkDayPairCycle},
        {"YearPair", checkYearPair},
        {"MonthPair", checkMonthPair},
        {"NayinAndOfficer", checkNayinAndOfficer},
        {"Clash", checkClash},
        {"Pengzu", checkPengzu},
        {"FetalGod", checkFetalGod},
        {"TokenLists", checkTokenLists},
        {"CellText", checkCellText},
    };
    return rules;
}

}  // namespace almanac_test
