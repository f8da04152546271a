#pragma once
// The rules a correct almanac table obeys, written as checks over a whole
// table so that they run on the embedded table and on deliberately damaged
// copies of it alike. Each check returns one message per violation.

#include <array>
#include <cstddef>
#include <ostream>
#include <string>
#include <vector>

namespace almanac_test {

enum Column : std::size_t { gn, nn, suici, tszf, wuhang, cong, pzbj, jsyq, yi, xsyq, ji };
using Row = std::array<std::string, 11>;
using Table = std::vector<Row>;
using Violations = std::vector<std::string>;

Table embeddedTable();

Violations checkDatesConsecutive(const Table& table);
Violations checkLunarDateWeekdayAndSign(const Table& table);
Violations checkDayPairCycle(const Table& table);
Violations checkYearPair(const Table& table);
Violations checkMonthPair(const Table& table);
Violations checkNayinAndOfficer(const Table& table);
Violations checkClash(const Table& table);
Violations checkPengzu(const Table& table);
Violations checkFetalGod(const Table& table);
Violations checkTokenLists(const Table& table);
Violations checkCellText(const Table& table);

struct Rule {
    const char* name;
    Violations (*check)(const Table&);
};
const std::vector<Rule>& allRules();

// Names a rule in test output.
inline void PrintTo(const Rule& rule, std::ostream* os) { *os << rule.name; }

}  // namespace almanac_test
