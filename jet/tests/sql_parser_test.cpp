#include <gtest/gtest.h>

#include "jet/sql/sql_parser.h"

namespace jet {
namespace {

TEST(SqlParser, ReadsTheFourProductStatements) {
    {
        const ParsedStatement parsed = parseSql("update Bennian2011 set [Values] = ?,Liuyue = ? where shuxing = ?");
        const auto& update = std::get<UpdateStatement>(parsed.statement);
        EXPECT_EQ(update.table, "Bennian2011");
        ASSERT_EQ(update.assignments.size(), 2u);
        EXPECT_EQ(update.assignments[0].column, "Values");
        EXPECT_EQ(update.assignments[1].column, "Liuyue");
        EXPECT_EQ(std::get<SqlParameter>(update.assignments[1].value).index, 1u);
        ASSERT_EQ(update.where.size(), 1u);
        EXPECT_EQ(update.where[0].column, "shuxing");
        EXPECT_EQ(std::get<SqlParameter>(update.where[0].value).index, 2u);
        EXPECT_EQ(parsed.parameterCount, 3u);
    }
    EXPECT_EQ(parseSql("update xingzuo2007 set content = ? where idxz = ?").parameterCount, 2u);
    {
        const ParsedStatement parsed = parseSql("DELETE FROM huangdao");
        const auto& remove = std::get<DeleteStatement>(parsed.statement);
        EXPECT_EQ(remove.table, "huangdao");
        EXPECT_TRUE(remove.where.empty());
    }
    {
        const ParsedStatement parsed =
            parseSql("insert into huangdao(gn,nn,suici,tszf,wuhang,cong,pzbj,jsyq,yi,xsyq,ji) values (?,?,?,?,?,?,?,?,?,?,?)");
        const auto& insert = std::get<InsertStatement>(parsed.statement);
        EXPECT_EQ(insert.columns.size(), 11u);
        EXPECT_EQ(insert.columns.back(), "ji");
        EXPECT_EQ(parsed.parameterCount, 11u);
    }
}

TEST(SqlParser, LiteralsKeywordsAndNames) {
    const ParsedStatement parsed = parseSql("  InSeRt   INTO [my table] ([a b], c, d) VALUES ('it''s 中文', -42, null);");
    const auto& insert = std::get<InsertStatement>(parsed.statement);
    EXPECT_EQ(insert.table, "my table");
    EXPECT_EQ(insert.columns[0], "a b");
    EXPECT_EQ(std::get<std::string>(std::get<SqlLiteral>(insert.values[0]).value), "it's 中文");
    EXPECT_EQ(std::get<std::int64_t>(std::get<SqlLiteral>(insert.values[1]).value), -42);
    EXPECT_TRUE(isNull(std::get<SqlLiteral>(insert.values[2]).value));
    EXPECT_EQ(parsed.parameterCount, 0u);

    const ParsedStatement parsedDelete = parseSql("delete * from t where a = 'x' and b = 2");
    const auto& remove = std::get<DeleteStatement>(parsedDelete.statement);
    ASSERT_EQ(remove.where.size(), 2u);
    EXPECT_EQ(remove.where[1].column, "b");
}

TEST(SqlParser, AnUnescapedQuoteInAValueIsASyntaxError) {
    // What the unescaped statement builders produce for the text  O'Brien .
    try {
        parseSql("update xingzuo2007 set content = 'O'Brien' where idxz = 'x'");
        FAIL() << "accepted";
    } catch (const SqlSyntaxError& error) {
        // The quotes pair up differently from what was meant; the last one is left open.
        EXPECT_EQ(error.position(), 58u);
        EXPECT_NE(std::string(error.what()).find("no closing quote"), std::string::npos) << error.what();
    }
    try {
        parseSql("update t set a = 'it's' where b = 'y''");
        FAIL() << "accepted";
    } catch (const SqlSyntaxError& error) {
        EXPECT_EQ(error.position(), 21u);   // the word after the value that the stray quote ended
    }
}

TEST(SqlParser, RejectsStatementsOutsideTheSubset) {
    for (const char* sql : {"", "select * from t", "update t a = 1", "update t set a = 1 where", "update t set a = b",
                            "delete t", "insert into t (a, b) values (1)", "insert into t values 1", "update t set a = 1 or b = 2",
                            "update [t set a = 1", "update t set a = 1 where a = 1 and", "update t set a = 1; delete from t",
                            "update t set a = 99999999999999999999", "insert into t (a) values (1) extra", "delete from t where a > 1"}) {
        EXPECT_THROW(parseSql(sql), SqlSyntaxError) << sql;
    }
}

TEST(SqlParser, SplitsScriptsOutsideQuotesAndBrackets) {
    const auto statements = splitSqlScript("delete from t;\n insert into t (a) values ('x;y');; update [a;b] set c = 'it''s;'\n");
    ASSERT_EQ(statements.size(), 3u);
    EXPECT_EQ(statements[0], "delete from t");
    EXPECT_EQ(statements[1], "insert into t (a) values ('x;y')");
    EXPECT_EQ(statements[2], "update [a;b] set c = 'it''s;'\n");
}

}  // namespace
}  // namespace jet
