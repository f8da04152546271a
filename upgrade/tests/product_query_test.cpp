#include "fake_product_database.h"
#include "temporary_prefix.h"
#include "upgrade/product_query.h"
#include "text/utf8_path.h"

#include <gtest/gtest.h>

using upgrade::DatabaseError;
using upgrade::Installation;
using upgrade::ProductQuery;

namespace {
constexpr std::string_view kDir = "D:\\Program Files\\Quelvor软件\\算命大师正式版";
constexpr std::string_view kOtherDir = "C:\\Program Files\\Brannoc软件\\风水大师正式版";
}  // namespace

TEST(ProductQuery, PointingDoesNoInputOutputAndAMissingFileFailsAtTheFirstStatement) {
    TemporaryPrefix prefix;
    FakeOpener opener;
    ProductQuery query(opener, prefix.installation());
    query.pointAt(kDir, "\\QorBirth.dll");
    EXPECT_EQ(query.connectionString(),
              "Provider=Microsoft.Jet.OLEDB.4.0;Data Source=D:\\Program Files\\Quelvor软件\\算命大师正式版\\QorBirth.dll;"
              "Persist Security Info=False");
    EXPECT_TRUE(opener.opened.empty());
    try {
        query.execute("DELETE FROM huangdao");
        FAIL() << "the file does not exist";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.directory(), kDir);
        EXPECT_EQ(e.fileName(), "QorBirth.dll");
        EXPECT_EQ(e.kind(), upgrade::FailureKind::FileMissing);
        EXPECT_EQ(e.cause().rfind("找不到数据库文件", 0), 0u) << e.cause();
        EXPECT_NE(std::string(e.what()).find("QorBirth.dll"), std::string::npos);
    }
    EXPECT_THROW(ProductQuery(opener, prefix.installation()).execute("DELETE FROM huangdao"), std::logic_error);
}

TEST(ProductQuery, KeepsTheFileOpenUntilPointedElsewhere) {
    TemporaryPrefix prefix;
    const auto first = prefix.install(kDir, "\\QorBirth.dll");
    const auto second = prefix.install(kOtherDir, "\\QorFile.dll");
    FakeOpener opener;
    ProductQuery query(opener, prefix.installation());

    query.pointAt(kDir, "\\QorBirth.dll");
    query.execute("DELETE FROM huangdao");
    query.pointAt(kDir, "\\QorBirth.dll");
    query.execute("DELETE FROM huangdao");
    EXPECT_EQ(opener.state(first).opens, 1) << "pointing again at the same file keeps it open";

    query.pointAt(kOtherDir, "\\QorFile.dll");
    EXPECT_FALSE(query.isOpen()) << "pointing elsewhere drops the open file";
    query.execute("DELETE FROM huangdao");
    query.pointAt(kDir, "\\QorBirth.dll");
    query.execute("DELETE FROM huangdao");
    EXPECT_EQ(opener.state(first).opens, 2);
    EXPECT_EQ(opener.state(second).opens, 1);
}

TEST(ProductQuery, TheSameFileNamedWithOrWithoutItsBackslashIsKeptOpen) {
    TemporaryPrefix prefix;
    const auto file = prefix.install(kDir, "\\QorBirth.dll");
    FakeOpener opener;
    ProductQuery query(opener, prefix.installation());
    query.pointAt(kDir, "\\QorBirth.dll");
    EXPECT_EQ(query.filePath(), std::string(kDir) + "\\QorBirth.dll");
    query.execute("DELETE FROM huangdao");
    query.pointAt(kDir, "QorBirth.dll");
    EXPECT_TRUE(query.isOpen());
    EXPECT_EQ(query.filePath(), std::string(kDir) + "\\QorBirth.dll");
    query.execute("DELETE FROM huangdao");
    EXPECT_EQ(opener.state(file).opens, 1);
}

TEST(ProductQuery, EngineFailuresCarryTheDirectoryAndFile) {
    TemporaryPrefix prefix;
    const auto file = prefix.install(kDir, "\\Tgcode.dll");
    FakeOpener opener;
    opener.state(file).failAtStatement = 1;
    opener.state(file).failure = "no such table: Bennian2011";
    opener.state(file).failureTable = "Bennian2011";
    ProductQuery query(opener, prefix.installation());
    query.pointAt(kDir, "\\Tgcode.dll");
    try {
        query.execute("update Bennian2011 set [Values] = ?,Liuyue = ? where shuxing = ?", {"a", "b", "狗"});
        FAIL();
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.directory(), kDir);
        EXPECT_EQ(e.fileName(), "Tgcode.dll");
        EXPECT_EQ(e.kind(), upgrade::FailureKind::TableMissing);
        EXPECT_EQ(e.cause(), "缺少数据表 Bennian2011，该软件的版本与本补丁不匹配，请重新安装该软件后再升级。"
                             "（技术信息：no such table: Bennian2011）");
    }
}

TEST(ProductQuery, TechnicalDetailNamesTheFileAsTheCatalogueDoes) {
    TemporaryPrefix prefix;
    const auto file = prefix.install(kDir, "\\Tgcode.dll");
    const std::string local = text::utf8FromPath(file);
    const std::string folder = text::utf8FromPath(file.parent_path());
    FakeOpener opener;
    opener.state(file).failAtStatement = 1;
    opener.state(file).failureKind = upgrade::FailureKind::ReadOnly;
    opener.state(file).failure = "cannot lock " + local + ".jet-lock; the folder " + folder + " is read-only";
    ProductQuery query(opener, prefix.installation());
    query.pointAt(kDir, "\\Tgcode.dll");
    try {
        query.execute("DELETE FROM Bennian2011");
        FAIL();
    } catch (const DatabaseError& e) {
        const std::string windowsDir(kDir);
        EXPECT_NE(e.cause().find("（技术信息：cannot lock " + windowsDir + "\\Tgcode.dll.jet-lock; the folder " + windowsDir +
                                 " is read-only）"),
                  std::string::npos)
            << e.cause();
        EXPECT_EQ(e.cause().find(text::utf8FromPath(prefix.root())), std::string::npos) << "no local path left";
    }
}

TEST(ProductQuery, ReleaseClosesTheFileAndTheNextStatementOpensItAgain) {
    TemporaryPrefix prefix;
    const auto file = prefix.install(kDir, "\\QorBirth.dll");
    FakeOpener opener;
    ProductQuery query(opener, prefix.installation());
    query.release();
    query.pointAt(kDir, "\\QorBirth.dll");
    query.execute("DELETE FROM huangdao");
    query.release();
    EXPECT_FALSE(query.isOpen());
    query.execute("DELETE FROM huangdao");
    EXPECT_TRUE(query.isOpen());
    EXPECT_EQ(opener.state(file).opens, 2);
}

TEST(ProductQuery, ExecuteEachPreparesOnceRunsEverySetAndStopsAtTheFirstFailure) {
    TemporaryPrefix prefix;
    const auto file = prefix.install(kDir, "\\QorBirth.dll");
    FakeOpener opener;
    FakeFileState& state = opener.state(file);
    state.changedRows = 2;
    ProductQuery query(opener, prefix.installation());
    query.pointAt(kDir, "\\QorBirth.dll");
    const std::vector<upgrade::SqlParameters> sets = {{"a"}, {"b"}, {"c"}};
    query.beginWork();
    EXPECT_EQ(query.executeEach("delete from huangdao where gn = ?", sets), 6u);
    query.commitWork();
    EXPECT_EQ(state.prepared, 1);
    ASSERT_EQ(state.committed.size(), 3u);
    EXPECT_EQ(std::get<std::string>(state.committed[2].parameters[0]), "c");

    state.failAtStatement = state.statementsSeen + 2;
    query.beginWork();
    try {
        query.executeEach("delete from huangdao where gn = ?", sets);
        FAIL() << "the second set fails";
    } catch (const DatabaseError& e) {
        EXPECT_EQ(e.fileName(), "QorBirth.dll");
        EXPECT_EQ(e.kind(), upgrade::FailureKind::TableMissing);
    }
    query.rollbackWork();
    EXPECT_EQ(state.statementsSeen, 5) << "nothing runs after the failure";
    EXPECT_EQ(state.committed.size(), 3u);
}
