// Tables are added in place, through the writer, to databases this engine made and to files
// Access made: the old tables keep every row, the new one reads back, and the structure and
// index checks pass. A refused table leaves the file as it was.
#include "jet/create/add_table.h"
#include "jet/create/database_builder.h"
#include "jet/check/structure_check.h"
#include "jet/write/connection.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using testing::makeColumn;
namespace fs = std::filesystem;

// A table with an AutoNumber key, a text index and memos both inline and in long-value pages.
NewTable readingsTable(const std::string& name, int rows) {
    NewTable table;
    table.name = name;
    table.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("code", ColumnType::Text, 40),
                     makeColumn("note", ColumnType::Memo), makeColumn("when", ColumnType::DateTime)};
    table.indexes = {{"PrimaryKey", {"id"}, true, true}, {"ByCode", {"code"}, false, false}};
    for (int i = 0; i < rows; ++i)
        table.rows.push_back({Value{}, std::string("code-") + std::to_string(rows - i), i % 3 == 0 ? Value(std::string(3000 + i, 'n')) : Value(std::string("short")),
                              DateTime{45000.0 + i}});
    return table;
}

// Every row of every table, system tables included, as our reader sees them.
std::map<std::string, std::vector<std::vector<Value>>> everyTable(const std::string& path) {
    const Database database = Database::open(path);
    std::map<std::string, std::vector<std::vector<Value>>> tables;
    for (const auto& name : database.tableNames(true)) tables[name] = database.readAllRows(name);
    return tables;
}

void expectReadingsRows(const std::string& path, const NewTable& table) {
    const auto rows = Database::open(path).readAllRows(table.name);
    ASSERT_EQ(rows.size(), table.rows.size());
    for (std::size_t r = 0; r < rows.size(); ++r) {
        EXPECT_EQ(std::get<std::int64_t>(rows[r][0]), static_cast<std::int64_t>(r + 1));
        for (std::size_t c = 1; c < rows[r].size(); ++c) EXPECT_EQ(rows[r][c], table.rows[r][c]) << "row " << r << " column " << c;
    }
}

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
    EXPECT_EQ(database.table("Second").columns.at(0).sortOrder, 2052);
}

TEST(AddTable, AddsTablesWithRowsToEveryAccessMadeSample) {
    JET_REQUIRE_SAMPLES();
    testing::TempDir dir;
    const NewTable table = readingsTable("Readings", 300);
    std::size_t samples = 0;
    for (const auto& sample : fs::directory_iterator(testing::samplesDir())) {
        if (sample.path().extension() != ".mdb") continue;
        ++samples;
        SCOPED_TRACE(sample.path().filename().string());
        const std::string copy = dir.file(sample.path().filename().string());
        fs::copy_file(sample.path(), copy);
        fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
        const auto before = everyTable(copy);

        addTableToDatabase(copy, table);

        auto after = everyTable(copy);
        ASSERT_EQ(after.count("Readings"), 1u);
        after.erase("Readings");
        // The catalogue gained the table's row (and MSysACEs its rights); every other table is as it was.
        ASSERT_EQ(after.at("MSysObjects").size(), before.at("MSysObjects").size() + 1);
        for (const auto& [name, rows] : before)
            if (name != "MSysObjects" && name != "MSysACEs") EXPECT_EQ(after.at(name), rows) << name;
        const Database database = Database::open(copy);
        EXPECT_EQ(database.tableNames().back(), "Readings");
        expectReadingsRows(copy, table);
        EXPECT_NO_THROW(checkStructure(PageFile::load(copy)));
        JET_EXPECT_INDEXES_CONSISTENT(copy, false);
    }
    EXPECT_GE(samples, 6u);
}

TEST(AddTable, RefusedTablesLeaveTheFileUnchanged) {
    JET_REQUIRE_SAMPLES();
    testing::TempDir dir;
    const std::string copy = dir.file("copy.mdb");
    fs::copy_file(testing::samplePath("jackcess-delTestV2003.mdb"), copy);
    fs::permissions(copy, fs::perms::owner_write, fs::perm_options::add);
    const auto bytes = testing::readBytes(copy);
    const std::string existing = Database::open(copy).tableNames().front();

    NewTable taken = readingsTable(existing, 2);   // a name in use, in another letter case
    for (char& c : taken.name) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    EXPECT_EQ(testing::kindOf([&] { addTableToDatabase(copy, taken); }), ErrorKind::InvalidArgument);

    NewTable duplicate = readingsTable("Readings", 2);   // fails after its pages and catalogue row were written
    duplicate.indexes.push_back({"UniqueCode", {"code"}, false, true});
    duplicate.rows[1][1] = duplicate.rows[0][1];
    try {
        addTableToDatabase(copy, duplicate);
        FAIL() << "accepted a repeated unique key";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::InvalidArgument);
        EXPECT_EQ(error.rule(), BrokenRule::DuplicateKey);
        EXPECT_EQ(error.table(), "Readings");
        EXPECT_EQ(error.index(), "UniqueCode");
    }
    EXPECT_EQ(testing::readBytes(copy), bytes);

    // Inside a unit of work the refused table is gone and the unit goes on.
    Connection connection(copy);
    connection.beginWork();
    EXPECT_THROW(addTable(connection, duplicate), Error);
    addTable(connection, readingsTable("Readings", 5));
    connection.execute("insert into Readings (code) values ('late')", {});
    EXPECT_EQ(testing::readBytes(copy), bytes);
    connection.commitWork();
    EXPECT_EQ(Database::open(copy).readAllRows("Readings").size(), 6u);
    JET_EXPECT_INDEXES_CONSISTENT(copy, false);
}

}  // namespace
}  // namespace jet
