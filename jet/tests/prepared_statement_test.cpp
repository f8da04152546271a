// Prepared statements: parsed and resolved once, run many times with new parameters, resolved
// again when their connection loads the file anew, refused once their connection is gone.
#include <gtest/gtest.h>

#include <optional>

#include "jet/error.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"
#include "jet/write/connection.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;

class PreparedStatementTest : public ::testing::Test {
protected:
    void SetUp() override { makeDatabase(path, {almanacTable(10), horoscopeTable()}, 2052); }

    TempDir dir;
    std::string path = dir.file("QorBirth.dll");
};

Error errorOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error;
    }
    ADD_FAILURE() << "no error";
    return Error(ErrorKind::Io, "", "", "");
}

TEST_F(PreparedStatementTest, RunsManyTimesWithNewParametersInAUnitAndOnItsOwn) {
    Connection connection(path);
    PreparedStatement insert = connection.prepare(kAlmanacInsert);
    PreparedStatement remove = connection.prepare("delete from huangdao where gn = ?");
    EXPECT_EQ(insert.parameterCount(), 11u);
    connection.beginWork();
    EXPECT_EQ(connection.execute("DELETE FROM huangdao"), 10u);
    for (std::size_t day = 0; day < 30; ++day) EXPECT_EQ(insert.execute(almanacRow(day, 4)), 1u);
    // Statements on one table interleave: the delete sees the rows the insert just added.
    EXPECT_EQ(remove.execute({almanacRow(3, 4)[0]}), 1u);
    EXPECT_EQ(remove.execute({almanacRow(3, 4)[0]}), 0u);
    connection.commitWork();
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 29u);

    // Without a unit every execution commits on its own.
    const auto before = readBytes(path);
    EXPECT_EQ(remove.execute({almanacRow(4, 4)[0]}), 1u);
    EXPECT_NE(readBytes(path), before);
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 28u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(PreparedStatementTest, PrepareRefusesWhatNoParameterCanMakeRightAndWritesNothing) {
    const auto before = readBytes(path);
    Connection connection(path);
    connection.beginWork();
    connection.execute("DELETE FROM huangdao where gn = '20270001'");
    EXPECT_EQ(kindOf([&] { connection.prepare("delete from nosuch where gn = ?"); }), ErrorKind::NotFound);
    const Error column = errorOf([&] { connection.prepare("update huangdao set nosuch = ? where gn = ?"); });
    EXPECT_EQ(column.kind(), ErrorKind::NotFound);
    EXPECT_EQ(column.table(), "huangdao");
    EXPECT_EQ(column.column(), "nosuch");
    EXPECT_EQ(errorOf([&] { connection.prepare("delete from huangdao where nosuch = ?"); }).column(), "nosuch");
    EXPECT_EQ(errorOf([&] { connection.prepare("update huangdao set id = ?"); }).kind(), ErrorKind::Constraint);   // AutoNumber
    EXPECT_EQ(errorOf([&] { connection.prepare("update huangdao set gn = ?, GN = ?"); }).kind(), ErrorKind::SqlSyntax);
    EXPECT_EQ(errorOf([&] { connection.prepare("insert into huangdao (gn, gn) values (?, ?)"); }).kind(), ErrorKind::SqlSyntax);
    EXPECT_EQ(errorOf([&] { connection.prepare("insert into huangdao values (?)"); }).kind(), ErrorKind::SqlSyntax);
    EXPECT_EQ(errorOf([&] { connection.prepare("select * from huangdao"); }).kind(), ErrorKind::SqlSyntax);
    EXPECT_EQ(errorOf([&] { connection.prepare("delete from MSysObjects"); }).kind(), ErrorKind::Unsupported);
    EXPECT_EQ(readBytes(path), before);
    // Refused preparations leave the unit as it was.
    connection.commitWork();
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 9u);
}

TEST_F(PreparedStatementTest, ARefusedExecutionLeavesTheStatementUsable) {
    Connection connection(path);
    PreparedStatement insert = connection.prepare("insert into huangdao (id, gn) values (?, ?)");
    EXPECT_EQ(kindOf([&] { insert.execute({Value(std::int64_t(1))}); }), ErrorKind::InvalidArgument);   // parameter count
    EXPECT_EQ(kindOf([&] { insert.execute({Value(std::int64_t(3)), Value("dup")}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { insert.execute({Value("three"), Value("x")}); }), ErrorKind::Constraint);
    EXPECT_EQ(insert.execute({Value(std::int64_t(50)), Value("fifty")}), 1u);
    EXPECT_EQ(insert.execute({std::monostate{}, Value("next")}), 1u);   // the AutoNumber goes on from 50
    const auto rows = rowsOf(path, "huangdao");
    ASSERT_EQ(rows.size(), 12u);
    EXPECT_EQ(std::get<std::int64_t>(rows.back()[0]), 51);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

// A rollback loads the file anew; statements prepared before it resolve again against the
// tables now loaded instead of writing through the ones the rollback dropped.
TEST_F(PreparedStatementTest, ResolvesAgainAfterTheConnectionReloadsTheFile) {
    Connection connection(path);
    PreparedStatement insert = connection.prepare(kAlmanacInsert);
    PreparedStatement update = connection.prepare(kHoroscopeUpdate);
    connection.beginWork();
    EXPECT_EQ(insert.execute(almanacRow(20, 5)), 1u);
    EXPECT_EQ(update.execute({Value(hexText(5000, 1)), Value(starSigns()[0])}), 1u);
    EXPECT_EQ(connection.execute(kAlmanacInsert, almanacRow(21, 5)), 1u);
    connection.rollbackWork();
    connection.beginWork();
    for (std::size_t day = 20; day < 25; ++day) EXPECT_EQ(insert.execute(almanacRow(day, 5)), 1u);
    EXPECT_EQ(update.execute({Value(hexText(6000, 2)), Value(starSigns()[1])}), 1u);
    // So does the statement execute() keeps for a text it runs again.
    EXPECT_EQ(connection.execute(kAlmanacInsert, almanacRow(30, 5)), 1u);
    connection.commitWork();
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 16u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(PreparedStatementTest, IsRefusedOnceItsConnectionIsGone) {
    std::optional<Connection> connection(std::in_place, path);
    PreparedStatement remove = connection->prepare("delete from huangdao");
    connection.reset();
    const auto before = readBytes(path);
    const Error error = errorOf([&] { remove.execute(); });
    EXPECT_EQ(error.kind(), ErrorKind::InvalidArgument);
    EXPECT_EQ(error.file(), path);
    EXPECT_EQ(readBytes(path), before);
}

}  // namespace
}  // namespace jet
