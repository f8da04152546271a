#include "jet/tests/write_test_support.h"

#include "jet/database_builder.h"

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

}  // namespace jet::testing
