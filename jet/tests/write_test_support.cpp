#include "jet/tests/write_test_support.h"

#include "jet/atomic_replace.h"
#include "jet/database_builder.h"
#include "jet/tests/commit_unit.h"
#include "jet/tests/test_support.h"

namespace jet::testing {

void makeDatabase(const std::string& path, const std::vector<NewTable>& tables, std::uint16_t sortOrder) {
    DatabaseOptions options;
    options.sortOrder = sortOrder;
    options.codePage = sortOrder == 2052 ? 936 : 1252;
    createDatabase(path, tables, options, true);
}

std::vector<std::vector<Value>> rowsOf(const std::string& path, const std::string& table) {
    return Database::open(path).readAllRows(table);
}

int replaceStepCount(const std::string& probe, const std::vector<std::uint8_t>& oldBytes) {
    int steps = 0;
    writeBytes(probe, oldBytes);
    setReplaceProbe([&](const char*) { ++steps; });
    runCommitUnit(probe);
    setReplaceProbe(nullptr);
    return steps;
}

}  // namespace jet::testing
