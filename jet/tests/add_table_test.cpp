// Adding a table rebuilds a database this engine made, keeping every existing row.
#include "jet/create/add_table.h"
#include "jet/create/database_builder.h"
#include "jet/tests/test_support.h"

namespace jet {
namespace {

using testing::makeColumn;

TEST(AddTable, KeepsExistingTablesRowsAndHeader) {
    testing::TempDir dir;
    const std::string path = dir.file("QorBirth.dll");
    NewTable first;
    first.name = "First";
    first.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("note", ColumnType::Memo)};
    first.indexes = {{"PrimaryKey", {"id"}, true, true}};
    first.rows = {{Value{}, std::string(5000, 'a')}, {Value{}, Value{}}};
    DatabaseOptions options;
    options.sortOrder = 2052;
    options.creationDate = 44000.25;
    createDatabase(path, {first}, options);

    NewTable second;
    second.name = "Second";
    second.columns = {makeColumn("name", ColumnType::Text, 20)};
    addTableToDatabase(path, second);

    const Database database = Database::open(path);
    EXPECT_EQ(database.tableNames(), (std::vector<std::string>{"First", "Second"}));
    EXPECT_EQ(database.header().sortOrder, 2052);
    EXPECT_DOUBLE_EQ(database.header().creationDate, 44000.25);
    const auto rows = database.readAllRows("First");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(std::get<std::string>(rows[0][1]), std::string(5000, 'a'));
    EXPECT_EQ(database.table("First").lastAutoNumber, 2u);
    EXPECT_EQ(database.table("First").logicalIndexes.at(0).type, kLogicalIndexPrimaryKey);
}

TEST(AddTable, RefusesDatabasesMadeByAccess) {
    JET_REQUIRE_SAMPLES();
    testing::TempDir dir;
    const std::string copy = dir.file("copy.mdb");
    std::filesystem::copy_file(testing::samplePath("jackcess-delTestV2003.mdb"), copy);
    const auto before = testing::readBytes(copy);
    NewTable table;
    table.name = "Extra";
    table.columns = {makeColumn("a", ColumnType::Long)};
    try {
        addTableToDatabase(copy, table);
        FAIL() << "rebuilt an Access-made file";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Unsupported);
    }
    EXPECT_EQ(testing::readBytes(copy), before);
}

}  // namespace
}  // namespace jet
