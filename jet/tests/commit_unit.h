#pragma once
// The unit of work the kill tests interrupt: it replaces the almanac rows and rewrites every
// horoscope, so that its replacement file takes several steps to write. It writes the same bytes
// in every process, which lets a test compute the expected new file beforehand.

#include <string>

#include "jet/write/connection.h"
#include "jet/tests/product_fixtures.h"

namespace jet::testing {

inline void runCommitUnit(const std::string& path) {
    using namespace jet::fixtures;
    Connection connection(path);
    connection.beginWork();
    connection.execute("DELETE FROM huangdao", {});
    for (std::size_t day = 0; day < 400; ++day) connection.execute(kAlmanacInsert, almanacRow(day, 5));
    for (std::size_t s = 0; s < 12; ++s)
        connection.execute(kHoroscopeUpdate, {Value(hexText(5000, static_cast<unsigned>(s))), Value(starSigns()[s])});
    connection.commitWork();
}

}  // namespace jet::testing
