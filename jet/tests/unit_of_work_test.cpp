// The unit of work and the guards around it: lock files, read-only files, rollback, leftovers.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifdef _WIN32
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#else
#include <csignal>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "jet/file/atomic_replace.h"
#include "jet/write/connection.h"
#include "jet/error.h"
#include "jet/file/file_lock.h"
#include "jet/file/native_path.h"
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

// Product folders have Chinese names. The engine takes UTF-8 names and must reach the database,
// the product's lock file, its own lock file and the replacement through them on every system
// (on Windows through the wide-character API, whatever the ANSI code page).
TEST_F(UnitOfWorkTest, ChineseFolderAndFileNames) {
    const std::string folder = dir.file("") + "算命大师正式版";
    fs::create_directory(nativePath(folder));
    const std::string chinese = folder + "/黄道吉日.dll";
    makeDatabase(chinese, {almanacTable(10)}, 2052);
    {
        Connection connection(chinese);
        connection.beginWork();
        connection.execute("DELETE FROM huangdao", {});
        connection.execute(kAlmanacInsert, almanacRow(1, 1));
        EXPECT_TRUE(fs::exists(nativePath(writerLockPath(chinese))));
        connection.commitWork();
    }
    EXPECT_EQ(rowsOf(chinese, "huangdao").size(), 1u);
    EXPECT_FALSE(fs::exists(nativePath(writerLockPath(chinese))));
    EXPECT_FALSE(fs::exists(nativePath(replacementPath(chinese))));
    JET_EXPECT_INDEXES_CONSISTENT(chinese, true);

    std::ofstream(nativePath(folder + "/黄道吉日.ldb")) << "PC-1";
    try {
        Connection connection(chinese);
        ADD_FAILURE() << "opened while the product has it open";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::InUse);
        EXPECT_NE(error.cause().find("黄道吉日.ldb"), std::string::npos) << error.what();
    }
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

// Windows has no fork(); windows_process_test.cpp holds the lock from a child process there.
#ifndef _WIN32
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
#endif

TEST_F(UnitOfWorkTest, ReadOnlyFileIsRefused) {
    const auto before = readBytes(path);
    // On Windows this sets the file's read-only attribute.
    fs::permissions(path, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    EXPECT_EQ(openError().kind(), ErrorKind::ReadOnly);
    fs::permissions(path, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(readBytes(path), before);
    Connection writable(path);
}

// Windows ignores the read-only attribute of a folder (Explorer uses it to mark customised
// folders), so only POSIX refuses a read-only folder.
#ifndef _WIN32
TEST_F(UnitOfWorkTest, ReadOnlyFolderIsRefused) {
    const auto before = readBytes(path);
    const fs::path folder = fs::path(path).parent_path();
    fs::permissions(folder, fs::perms::owner_write | fs::perms::group_write | fs::perms::others_write, fs::perm_options::remove);
    const Error error = openError();
    fs::permissions(folder, fs::perms::owner_write, fs::perm_options::add);
    EXPECT_EQ(error.kind(), ErrorKind::ReadOnly);
    EXPECT_NE(error.cause().find("folder"), std::string::npos);
    EXPECT_EQ(readBytes(path), before);
}
#endif

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

#ifndef _WIN32
// A full disk is simulated with a file size limit, which Windows does not have; there a failed
// replacement is shown with a file another program keeps open (below).
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
        EXPECT_EQ(error.kind(), ErrorKind::DiskFull);
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

// Windows has no group or other permissions to keep.
TEST_F(UnitOfWorkTest, CommitKeepsThePermissions) {
    fs::permissions(path, fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read, fs::perm_options::replace);
    Connection connection(path);
    connection.execute("DELETE FROM huangdao", {});
    EXPECT_EQ(fs::status(path).permissions(), fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read);
}
#else
// Most programs open a file without allowing it to be deleted or renamed while they hold it;
// the rename over it then fails. The old file and the unit stay, as after a failed write.
TEST_F(UnitOfWorkTest, AFailedReplaceKeepsTheOldFileAndTheUnit) {
    const auto before = readBytes(path);
    Connection connection(path);
    connection.beginWork();
    connection.execute("DELETE FROM huangdao", {});
    HANDLE reader = CreateFileW(fs::path(path).c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    try {
        connection.commitWork();
        ADD_FAILURE() << "commit succeeded";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Io);
        EXPECT_NE(error.cause().find("cannot replace the file"), std::string::npos) << error.what();
    }
    CloseHandle(reader);
    EXPECT_EQ(readBytes(path), before);
    EXPECT_FALSE(fs::exists(replacementPath(path)));
    EXPECT_TRUE(connection.inWork());
    connection.commitWork();   // a retry succeeds once the other program let go
    EXPECT_TRUE(rowsOf(path, "huangdao").empty());
}

TEST_F(UnitOfWorkTest, CommitKeepsTheFileAttributes) {
    const std::wstring name = fs::path(path).wstring();
    ASSERT_TRUE(SetFileAttributesW(name.c_str(), FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_ARCHIVE));
    Connection connection(path);
    connection.execute("DELETE FROM huangdao", {});
    const DWORD attributes = GetFileAttributesW(name.c_str());
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << std::hex << attributes;
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_ARCHIVE) << std::hex << attributes;
    EXPECT_TRUE(rowsOf(path, "huangdao").empty());
}
#endif

}  // namespace
}  // namespace jet
