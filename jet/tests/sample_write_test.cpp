// Writes on copies of the Access-made samples: the changed table reads as intended, every other
// table reads exactly as before, and the indexes stay consistent.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "jet/write/connection.h"
#include "jet/error.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;

class SampleWriteTest : public ::testing::Test {
protected:
    std::string copy(const std::string& name) {
        const std::string target = dir.file(name);
        std::filesystem::copy_file(samplePath(name), target);
        std::filesystem::permissions(target, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
        return target;
    }

    static std::map<std::string, std::vector<std::vector<Value>>> allTables(const std::string& path) {
        const Database database = Database::open(path);
        std::map<std::string, std::vector<std::vector<Value>>> tables;
        for (const auto& name : database.tableNames(true)) tables[name] = database.readAllRows(name);
        return tables;
    }

    static void expectOthersUnchanged(const std::map<std::string, std::vector<std::vector<Value>>>& before, const std::string& path,
                                      const std::string& changed) {
        const auto after = allTables(path);
        ASSERT_EQ(after.size(), before.size());
        for (const auto& [name, rows] : before)
            if (name != changed) {
                EXPECT_EQ(after.at(name), rows) << "table " << name << " changed";
            }
    }

    TempDir dir;
};

TEST_F(SampleWriteTest, ReadOnlyCopyIsRefusedUnchanged) {
    JET_REQUIRE_SAMPLES();
    // Made read-only here, so the refusal holds whoever runs the test, a superuser included.
    const std::string path = copy("jackcess-delTestV2003.mdb");
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read |
                                           std::filesystem::perms::others_read);
    const std::vector<std::uint8_t> before = readBytes(path);
    try {
        Connection connection(path);
        FAIL() << "a read-only copy was opened for writing";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::ReadOnly) << error.what();
    }
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(SampleWriteTest, UpdateChineseMemosInAnAccessFile) {
    JET_REQUIRE_SAMPLES();
    const std::string path = copy("zblogasp-data-2013.mdb");
    const auto before = allTables(path);
    const std::string content = fixtures::chineseText(5200, 1), intro = fixtures::chineseText(30, 2);
    {
        Connection connection(path);
        connection.beginWork();
        EXPECT_EQ(connection.execute("update blog_Article set log_Content = ?, log_Intro = ? where log_ID = ?",
                                     {Value(content), Value(intro), Value(std::int64_t(2))}), 1u);
        EXPECT_EQ(connection.execute("update blog_Config set conf_Value = ? where conf_Name = 'blog'", {Value(std::string("新标题"))}), 1u);
        connection.commitWork();
    }
    const auto articles = rowsOf(path, "blog_Article");
    bool found = false;
    for (const auto& row : articles)
        if (std::get<std::int64_t>(row[0]) == 2) {
            found = true;
            EXPECT_EQ(std::get<std::string>(row[7]), content);
            EXPECT_EQ(std::get<std::string>(row[6]), intro);
        }
    EXPECT_TRUE(found);
    const auto after = allTables(path);
    for (const auto& [name, rows] : before)
        if (name != "blog_Article" && name != "blog_Config") {
            EXPECT_EQ(after.at(name), rows) << name;
        }
    JET_EXPECT_INDEXES_CONSISTENT(path, false);
}

TEST_F(SampleWriteTest, DeleteAllRowsOfAnAccessTableWithADeletedRow) {
    JET_REQUIRE_SAMPLES();
    const std::string path = copy("jackcess-delTestV2003.mdb");
    const auto before = allTables(path);
    Connection connection(path);
    EXPECT_EQ(connection.execute("DELETE FROM [Table]", {}), 2u);
    EXPECT_TRUE(rowsOf(path, "Table").empty());
    EXPECT_EQ(connection.execute("insert into [Table] (a, b) values ('x', ?)", {Value(std::string("y"))}), 1u);
    EXPECT_EQ(rowsOf(path, "Table").size(), 1u);
    expectOthersUnchanged(before, path, "Table");
    JET_EXPECT_INDEXES_CONSISTENT(path, false);
}

TEST_F(SampleWriteTest, InsertIntoLongIndexesOfAnAccessFile) {
    JET_REQUIRE_SAMPLES();
    const std::string path = copy("jackcess-indexTestV2003.mdb");
    const auto before = allTables(path);
    Connection connection(path);
    connection.beginWork();
    for (int id = 100; id < 400; ++id)
        EXPECT_EQ(connection.execute("insert into Table3 (id, data) values (?, ?)", {Value(std::int64_t(id)), Value("row " + std::to_string(id))}), 1u);
    EXPECT_THROW(connection.execute("insert into Table3 (id, data) values (150, 'again')", {}), Error);
    connection.commitWork();
    EXPECT_EQ(rowsOf(path, "Table3").size(), 304u);
    expectOthersUnchanged(before, path, "Table3");
    JET_EXPECT_INDEXES_CONSISTENT(path, false);
}

TEST_F(SampleWriteTest, RelationshipsWithEnforcedIntegrityHold) {
    JET_REQUIRE_SAMPLES();
    const std::string path = copy("jackcess-indexTestV2003.mdb");
    const auto before = readBytes(path);
    Connection connection(path);
    auto refused = [&](const char* sql) {
        try {
            connection.execute(sql, {});
        } catch (const Error& error) {
            return error.kind();
        }
        return ErrorKind::Io;
    };
    // Table1.otherfk1 refers to Table2.id (cascading deletes), Table1.otherfk2 to Table3.id.
    EXPECT_EQ(refused("insert into Table1 (id, otherfk1, otherfk2) values (9, 99, 10)"), ErrorKind::Constraint);
    EXPECT_EQ(refused("delete from Table3 where id = 11"), ErrorKind::Constraint);
    EXPECT_EQ(refused("delete from Table2"), ErrorKind::Unsupported);
    EXPECT_EQ(refused("update Table3 set id = 20 where id = 13"), ErrorKind::Unsupported);   // would cascade
    EXPECT_EQ(refused("update Table1 set otherfk2 = 14 where id = 3"), ErrorKind::Constraint);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_EQ(connection.execute("insert into Table1 (id, otherfk1, otherfk2) values (9, 2, 12)", {}), 1u);
    EXPECT_EQ(connection.execute("insert into Table1 (id, otherfk1) values (10, NULL)", {}), 1u);   // NULL refers to nothing
    EXPECT_EQ(connection.execute("delete from Table1", {}), 6u);   // the referring side may always go
    EXPECT_EQ(connection.execute("delete from Table3", {}), 4u);
    EXPECT_EQ(connection.execute("delete from Table2", {}), 3u);
    JET_EXPECT_INDEXES_CONSISTENT(path, false);
}

TEST_F(SampleWriteTest, AccessRowsThatOverflowKeepTheirPlace) {
    JET_REQUIRE_SAMPLES();
    const std::string path = copy("jackcess-overflowTestV2003.mdb");
    const auto before = allTables(path);
    Connection connection(path);
    // Every row grows to about 900 bytes: more than the pages Access filled can take.
    std::string sql = "update Table1 set data3 = ?";
    std::vector<Value> values{Value(fixtures::chineseText(50, 3))};
    for (int c = 4; c <= 10; ++c) {
        sql += ", data" + std::to_string(c) + " = ?";
        values.emplace_back(fixtures::chineseText(50, static_cast<unsigned>(c)));
    }
    EXPECT_EQ(connection.execute(sql, values), 7u);
    EXPECT_EQ(connection.execute("update Table1 set data10 = 'last' where data1 = 'ROW7COL1'", {}), 1u);
    const auto after = rowsOf(path, "Table1");
    ASSERT_EQ(after.size(), 7u);
    std::multiset<std::string> keys, keysBefore;
    for (const auto& row : before.at("Table1")) keysBefore.insert(isNull(row[0]) ? "NULL" : std::get<std::string>(row[0]));
    for (const auto& row : after) {
        keys.insert(isNull(row[0]) ? "NULL" : std::get<std::string>(row[0]));
        EXPECT_EQ(std::get<std::string>(row[1]), fixtures::chineseText(50, 3));
        EXPECT_EQ(std::get<std::string>(row[7]), fixtures::chineseText(50, 9));
        const bool last = row[0] == Value(std::string("row7col1"));
        EXPECT_EQ(std::get<std::string>(row[8]), last ? std::string("last") : fixtures::chineseText(50, 10));
    }
    EXPECT_EQ(keys, keysBefore);
    expectOthersUnchanged(before, path, "Table1");
    JET_EXPECT_INDEXES_CONSISTENT(path, false);
}

TEST_F(SampleWriteTest, InsertWithAutoNumberIntoAChineseAccessFile) {
    JET_REQUIRE_SAMPLES();
    const std::string path = copy("zblogasp-data-2013.mdb");
    const auto before = allTables(path);
    const std::uint32_t counter = Database::open(path).table("blog_Tag").lastAutoNumber;
    Connection connection(path);
    connection.beginWork();
    for (int i = 0; i < 200; ++i)
        connection.execute("insert into blog_Tag (tag_Name, tag_Intro, tag_Order) values (?, ?, ?)",
                           {Value(fixtures::chineseText(10, i)), Value(fixtures::chineseText(i * 20, i)), Value(std::int64_t(i))});
    connection.commitWork();
    const auto tags = rowsOf(path, "blog_Tag");
    ASSERT_EQ(tags.size(), 200u);
    EXPECT_EQ(Database::open(path).table("blog_Tag").lastAutoNumber, counter + 200);
    for (const auto& row : tags) {
        const auto i = std::get<std::int64_t>(row[5]);
        EXPECT_EQ(std::get<std::int64_t>(row[0]), counter + 1 + i);
        EXPECT_EQ(std::get<std::string>(row[2]), fixtures::chineseText(static_cast<std::size_t>(i) * 20, static_cast<unsigned>(i)));
    }
    expectOthersUnchanged(before, path, "blog_Tag");
    JET_EXPECT_INDEXES_CONSISTENT(path, false);
}

}  // namespace
}  // namespace jet
