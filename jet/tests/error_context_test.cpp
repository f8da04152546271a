// The names an Error carries besides its message: the column and index a refusal concerns, the
// key columns of a unique index, and which rule was broken. Callers sort errors by these fields,
// so each refusal below checks them, and that the message keeps naming file, table and cause.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>

#include "jet/write/connection.h"
#include "jet/error.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;

Error errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error;
    }
    ADD_FAILURE() << "no error";
    return Error(ErrorKind::Io, "", "", "no error");
}

class ErrorContextTest : public ::testing::Test {
protected:
    void SetUp() override {
        NewTable codes;
        codes.name = "codes";
        codes.columns = {makeColumn("code", ColumnType::Text, 10), makeColumn("nian", ColumnType::Long), makeColumn("note", ColumnType::Text, 5)};
        codes.indexes.push_back({"CodeYear", {"code", "nian"}, false, true});
        codes.indexes.push_back({"PrimaryKey", {"note"}, true, true});
        makeDatabase(path, {codes, almanacTable(3)}, 2052);
    }
    TempDir dir;
    std::string path = dir.file("QorFile.dll");
};

TEST_F(ErrorContextTest, ARepeatedKeyNamesTableIndexAndTheIndexColumns) {
    Connection connection(path);
    connection.execute("insert into codes values ('A', 2024, 'one')", {});
    connection.execute("insert into codes values ('B', 2024, 'two')", {});
    const auto before = readBytes(path);

    const Error inserted = errorOf([&] { connection.execute("insert into codes values ('A', 2024, 'three')", {}); });
    EXPECT_EQ(inserted.kind(), ErrorKind::Constraint);
    EXPECT_EQ(inserted.rule(), BrokenRule::DuplicateKey);
    EXPECT_EQ(inserted.file(), path);
    EXPECT_EQ(inserted.table(), "codes");
    EXPECT_EQ(inserted.index(), "CodeYear");
    EXPECT_EQ(inserted.indexColumns(), (std::vector<std::string>{"code", "nian"}));
    EXPECT_TRUE(inserted.column().empty());
    EXPECT_EQ(std::string(inserted.what()), path + ", table codes: duplicate key in unique index CodeYear");

    // An update that would give an existing row another's key names the same.
    const Error updated = errorOf([&] { connection.execute("update codes set code = 'A' where note = 'two'", {}); });
    EXPECT_EQ(updated.rule(), BrokenRule::DuplicateKey);
    EXPECT_EQ(updated.index(), "CodeYear");
    EXPECT_EQ(updated.indexColumns(), (std::vector<std::string>{"code", "nian"}));
    EXPECT_EQ(readBytes(path), before);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(ErrorContextTest, UnknownNamesSayWhetherTheTableOrAColumnIsMissing) {
    Connection connection(path);
    const Error column = errorOf([&] { connection.execute("insert into codes (nosuch) values ('x')", {}); });
    EXPECT_EQ(column.kind(), ErrorKind::NotFound);
    EXPECT_EQ(column.table(), "codes");
    EXPECT_EQ(column.column(), "nosuch");
    EXPECT_EQ(column.cause(), "no such column: nosuch");

    const Error condition = errorOf([&] { connection.execute("update codes set code = 'x' where missing = 1", {}); });
    EXPECT_EQ(condition.kind(), ErrorKind::NotFound);
    EXPECT_EQ(condition.column(), "missing");

    const Error table = errorOf([&] { connection.execute("delete from nosuch", {}); });
    EXPECT_EQ(table.kind(), ErrorKind::NotFound);
    EXPECT_EQ(table.table(), "nosuch");
    EXPECT_TRUE(table.column().empty());
}

TEST_F(ErrorContextTest, RefusedValuesNameTheirColumnAndRule) {
    Connection connection(path);
    const auto before = readBytes(path);

    const Error tooLong = errorOf([&] { connection.execute("insert into codes values (?, 1, 'n')", {Value(std::string(11, 'x'))}); });
    EXPECT_EQ(tooLong.kind(), ErrorKind::Constraint);
    EXPECT_EQ(tooLong.rule(), BrokenRule::ValueTooLong);
    EXPECT_EQ(tooLong.column(), "code");
    EXPECT_EQ(tooLong.cause(), "text of 11 characters is longer than column code allows (10)");

    const Error notANumber = errorOf([&] { connection.execute("insert into codes values ('a', 'seven', 'n')", {}); });
    EXPECT_EQ(notANumber.kind(), ErrorKind::Constraint);
    EXPECT_EQ(notANumber.rule(), BrokenRule::BadValue);
    EXPECT_EQ(notANumber.column(), "nian");

    const Error required = errorOf([&] { connection.execute("insert into codes (code, nian) values ('a', 1)", {}); });
    EXPECT_EQ(required.kind(), ErrorKind::Constraint);
    EXPECT_EQ(required.rule(), BrokenRule::RequiredValue);
    EXPECT_EQ(required.column(), "note");
    EXPECT_EQ(required.index(), "PrimaryKey");
    EXPECT_EQ(required.indexColumns(), std::vector<std::string>{"note"});

    // A key this engine cannot encode names the index and the column, and stays unsupported.
    const Error key = errorOf([&] { connection.execute("insert into huangdao (gn) values (?)", {Value(std::string("甲子"))}); });
    EXPECT_EQ(key.kind(), ErrorKind::Unsupported);
    EXPECT_EQ(key.rule(), BrokenRule::None);
    EXPECT_EQ(key.table(), "huangdao");
    EXPECT_EQ(key.index(), "gn");
    EXPECT_EQ(key.column(), "gn");

    EXPECT_EQ(readBytes(path), before);
}

TEST(ErrorContext, ARelationshipRefusalNamesItAndTheReferringColumns) {
    JET_REQUIRE_SAMPLES();
    TempDir dir;
    const std::string path = dir.file("relationships.mdb");
    std::filesystem::copy_file(samplePath("jackcess-indexTestV2003.mdb"), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    Connection connection(path);
    // Table1.otherfk1 refers to Table2.id, which has no row 99.
    const Error missing = errorOf([&] { connection.execute("insert into Table1 (id, otherfk1, otherfk2) values (9, 99, 10)", {}); });
    EXPECT_EQ(missing.kind(), ErrorKind::Constraint);
    EXPECT_EQ(missing.table(), "Table1");
    EXPECT_FALSE(missing.index().empty());
    EXPECT_NE(missing.cause().find("relationship " + missing.index()), std::string::npos) << missing.what();
    EXPECT_EQ(missing.indexColumns(), std::vector<std::string>{"otherfk1"});
}

TEST(ErrorContext, ANewDatabaseWhoseRowsBreakAnIndexNamesIt) {
    TempDir dir;
    const std::string path = dir.file("new.mdb");
    NewTable table;
    table.name = "codes";
    table.columns = {makeColumn("code", ColumnType::Text, 10), makeColumn("nian", ColumnType::Long)};
    table.indexes.push_back({"CodeYear", {"code", "nian"}, false, true});
    table.rows = {{Value(std::string("A")), Value(std::int64_t{1})}, {Value(std::string("A")), Value(std::int64_t{1})}};
    const Error repeated = errorOf([&] { makeDatabase(path, {table}); });
    EXPECT_EQ(repeated.kind(), ErrorKind::InvalidArgument);
    EXPECT_EQ(repeated.table(), "codes");
    EXPECT_EQ(repeated.index(), "CodeYear");
    EXPECT_EQ(repeated.indexColumns(), (std::vector<std::string>{"code", "nian"}));

    table.rows = {{Value(std::string("A")), Value(std::string("seven"))}};
    const Error value = errorOf([&] { makeDatabase(path, {table}); });
    EXPECT_EQ(value.kind(), ErrorKind::InvalidArgument);
    EXPECT_EQ(value.column(), "nian");
}

}  // namespace
}  // namespace jet
