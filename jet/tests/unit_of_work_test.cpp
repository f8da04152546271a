// The unit of work and the guards around it: lock files, read-only files, rollback, leftovers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "jet/atomic_replace.h"
#include "jet/connection.h"
#include "jet/error.h"
#include "jet/file_lock.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;
namespace fs = std::filesystem;

class UnitOfWorkTest : public ::testing::Test {
protected:
    void SetUp() override { makeDatabase(path, {almanacTable(10), horoscopeTable()}, 2052); }

    Error openError() {
        try {
            Connection connection(path);
        } catch (const Error& error) {
            return error;
        }
        ADD_FAILURE() << "opened";
        return Error(ErrorKind::Io, "", "", "");
    }

    TempDir dir;
    std::string path = dir.file("QorFile.dll");
};

TEST_F(UnitOfWorkTest, RollbackLeavesTheFileByteIdentical) {
    const auto before = readBytes(path);
    Connection connection(path);
    connection.beginWork();
    connection.execute("DELETE FROM huangdao", {});
    connection.execute(kAlmanacInsert, almanacRow(1, 1));
    connection.execute(kHoroscopeUpdate, {Value(hexText(5000, 1)), Value(starSigns()[0])});
    EXPECT_EQ(readBytes(path), before);   // nothing reaches the disk before the commit
    connection.rollbackWork();
    EXPECT_EQ(readBytes(path), before);
    // The connection reads the file afresh: the deleted rows are back.
    EXPECT_EQ(connection.execute("delete from huangdao where gn = '20270001'", {}), 1u);
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 9u);
}

TEST_F(UnitOfWorkTest, CommitWritesEverythingAtOnceAndLeavesNoFilesBehind) {
    Connection connection(path);
    connection.beginWork();
    connection.execute("DELETE FROM huangdao", {});
    for (std::size_t day = 0; day < 5; ++day) connection.execute(kAlmanacInsert, almanacRow(day, 3));
    connection.commitWork();
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 5u);
    EXPECT_FALSE(fs::exists(replacementPath(path)));
    EXPECT_THROW(connection.commitWork(), Error);     // no unit open
    EXPECT_THROW(connection.rollbackWork(), Error);
    connection.beginWork();
    EXPECT_THROW(connection.beginWork(), Error);
    connection.rollbackWork();
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(UnitOfWorkTest, ClosingWithAnOpenUnitDropsIt) {
    const auto before = readBytes(path);
    {
        Connection connection(path);
        connection.beginWork();
        connection.execute("DELETE FROM huangdao", {});
    }
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(fs::exists(writerLockPath(path)));
}

TEST_F(UnitOfWorkTest, AJetLockFileMeansTheDatabaseIsInUse) {
    EXPECT_EQ(jetLockFilePath(dir.file("QorBirth.dll")), dir.file("QorBirth.ldb"));
    std::ofstream(dir.file("QorFile.ldb")) << "PC-1";
    const Error error = openError();
    EXPECT_EQ(error.kind(), ErrorKind::InUse);
    EXPECT_NE(error.cause().find("QorFile.ldb"), std::string::npos);
    EXPECT_NE(error.cause().find("close the program"), std::string::npos);
}

TEST_F(UnitOfWorkTest, OurOwnLockKeepsASecondWriterOut) {
    {
        Connection first(path);
        const Error error = openError();
        EXPECT_EQ(error.kind(), ErrorKind::InUse);
        EXPECT_NE(error.cause().find("another copy of this program"), std::string::npos);
    }
    Connection again(path);   // released with the first connection
}

TEST_F(UnitOfWorkTest, AnotherProcessHoldingTheLockKeepsUsOut) {
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t child = fork();
    if (child == 0) {
        close(ready[0]);
        close(release[1]);
        try {
            Connection holder(path);
            char byte = 1;
            if (write(ready[1], &byte, 1) != 1) _exit(1);
            if (read(release[0], &byte, 1) < 0) _exit(1);   // until the parent closes its end
        } catch (const Error&) {
            _exit(2);   // reported through the exit status below
        }
        _exit(0);
    }
    close(ready[1]);
    close(release[0]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    EXPECT_EQ(openError().kind(), ErrorKind::InUse);
    close(release[1]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
    Connection after(path);   // free again once the other process ended
    close(ready[0]);
}

TEST_F(UnitOfWorkTest, ReadOnlyFileOrFolderIsRefused) {
    const auto before = readBytes(path);
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    EXPECT_EQ(openError().kind(), ErrorKind::ReadOnly);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    const fs::path folder = fs::path(path).parent_path();
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    const Error error = openError();
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(error.kind(), ErrorKind::ReadOnly);
    EXPECT_NE(error.cause().find("folder"), std::string::npos);
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(UnitOfWorkTest, MissingFileAndForeignFilesAreRefused) {
    EXPECT_THROW(Connection(dir.file("absent.dll")), Error);
    writeBytes(dir.file("text.dll"), std::vector<std::uint8_t>(8192, 'x'));
    try {
        Connection connection(dir.file("text.dll"));
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::NotAccess);
    }
}

TEST_F(UnitOfWorkTest, ALeftoverReplacementFileIsRemoved) {
    writeBytes(replacementPath(path), std::vector<std::uint8_t>(100, 1));
    Connection connection(path);
    EXPECT_FALSE(fs::exists(replacementPath(path)));
}

TEST_F(UnitOfWorkTest, AFailedWriteKeepsTheOldFileAndTheUnit) {
    const auto before = readBytes(path);
    Connection connection(path);
    connection.beginWork();
    connection.execute("DELETE FROM huangdao", {});
    // A file size limit makes the replacement's writes fail the way a full disk does.
    struct rlimit saved {};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    struct rlimit small = saved;
    small.rlim_cur = 8192;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    try {
        connection.commitWork();
        ADD_FAILURE() << "commit succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Io);
        EXPECT_NE(error.cause().find("cannot write the temporary file"), std::string::npos) << error.what();
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(fs::exists(replacementPath(path)));
    EXPECT_TRUE(connection.inWork());
    connection.commitWork();   // a retry succeeds
    EXPECT_TRUE(rowsOf(path, "huangdao").empty());
}

TEST_F(UnitOfWorkTest, CommitKeepsThePermissions) {
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read, fs::perm_options::replace);
    Connection connection(path);
    connection.execute("DELETE FROM huangdao", {});
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}

}  // namespace
}  // namespace jet
