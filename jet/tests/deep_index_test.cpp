// New files are filled through the writer, whose index trees have no depth limit: an index three
// levels deep reads back, passes the checks, and stays right as statements change the table.
#include <gtest/gtest.h>

#include "jet/check/structure_check.h"
#include "jet/create/database_builder.h"
#include "jet/write/connection.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

TEST(DeepIndex, NewFileWithAThreeLevelIndexReadsBackAndPassesTheChecks) {
    testing::TempDir dir;
    const std::string path = dir.file("lookups.mdb");
    const NewTable table = fixtures::deepIndexTable(600);
    createDatabase(path, {table});

    const Database database = Database::open(path);
    const TableDefinition definition = database.table("Lookups");
    EXPECT_GE(fixtures::indexDepth(database.file(), definition.physicalIndexes.at(1).rootPage), 3u);
    EXPECT_EQ(definition.physicalIndexes.at(1).distinctKeyCount, 600u);
    const auto rows = database.readAllRows("Lookups");
    ASSERT_EQ(rows.size(), 600u);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(std::get<std::int64_t>(rows[r][0]), static_cast<std::int64_t>(r + 1));
        EXPECT_EQ(rows[r][1], table.rows[r][1]);
    }
    EXPECT_NO_THROW(checkStructure(database.file()));
    JET_EXPECT_INDEXES_CONSISTENT(path, true);

    // Statements keep the deep tree right: a delete reaching into every leaf, then inserts.
    {
        Connection connection(path);
        connection.beginWork();
        for (std::size_t r = 0; r < rows.size(); r += 3) connection.execute("delete from Lookups where code = ?", {rows[r][1]});
        for (int i = 0; i < 50; ++i) connection.execute("insert into Lookups (code) values (?)", {Value("new " + std::to_string(i) + std::string(150, 'z'))});
        connection.commitWork();
    }
    EXPECT_EQ(testing::rowsOf(path, "Lookups").size(), 600u - 200u + 50u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

}  // namespace
}  // namespace jet
