// A database some other program has open is refused as in use: a Jet lock file beside it in
// whatever letter case, and (POSIX) a record lock another process holds on it, which is also
// how Wine shows Windows programs' file locks to the rest of the system.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#endif

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

class LockDetection : public ::testing::Test {
protected:
    void SetUp() override {
        makeDatabase(path, {almanacTable(5)}, 2052);
        before = readBytes(path);
    }

    // The error opening the database gives, or none.
    std::optional<Error> openError() {
        try {
            Connection connection(path);
            connection.execute("DELETE FROM huangdao", {});
        } catch (const Error& error) {
            return error;
        }
        return std::nullopt;
    }

    TempDir dir;
    const std::string path = dir.file("QorBirth.dll");
    std::vector<std::uint8_t> before;
};

TEST_F(LockDetection, AJetLockFileInAnyLetterCaseMeansInUse) {
    for (const char* name : {"QorBirth.ldb", "QORBIRTH.LDB", "qorbirth.ldb", "QorBirth.Ldb", "qorBIRTH.lDb"}) {
        SCOPED_TRACE(name);
        const std::string lockFile = dir.file(name);
        std::ofstream(nativePath(lockFile)) << "PC-0815";
        const std::optional<Error> error = openError();
        ASSERT_TRUE(error.has_value()) << "written while " << name << " is beside it";
        EXPECT_EQ(error->kind(), ErrorKind::InUse);
        EXPECT_NE(error->cause().find(name), std::string::npos) << error->what();
        EXPECT_EQ(readBytes(path), before);
        fs::remove(nativePath(lockFile));
    }
    // Names that only resemble it are no lock file.
    std::ofstream(nativePath(dir.file("QorBirth.ldb.txt"))) << "";
    std::ofstream(nativePath(dir.file("QorBirth2.ldb"))) << "";
    EXPECT_FALSE(openError().has_value());
}

#ifndef _WIN32
// A child process that holds a record lock on `file` until it is killed.
class LockHoldingChild {
public:
    // `command` is F_SETLK (a classic POSIX lock) or F_OFD_SETLK; the lock covers `length`
    // bytes from `start` (0: to the end and beyond).
    LockHoldingChild(const std::string& file, int command, short type, off_t start, off_t length) {
        int ready[2];
        if (::pipe(ready) != 0) throw std::runtime_error("pipe");
        pid_ = ::fork();
        if (pid_ == 0) {
            ::close(ready[0]);
            const int fd = ::open(file.c_str(), type == F_WRLCK ? O_RDWR : O_RDONLY);
            struct flock lock {};
            lock.l_type = type;
            lock.l_whence = SEEK_SET;
            lock.l_start = start;
            lock.l_len = length;
            const char status = fd >= 0 && ::fcntl(fd, command, &lock) == 0 ? 'y' : 'n';
            if (::write(ready[1], &status, 1) != 1) _exit(1);
            for (;;) ::pause();
        }
        ::close(ready[1]);
        char status = 'n';
        locked_ = ::read(ready[0], &status, 1) == 1 && status == 'y';
        ::close(ready[0]);
    }
    ~LockHoldingChild() {
        ::kill(pid_, SIGKILL);
        ::waitpid(pid_, nullptr, 0);
    }
    bool locked() const { return locked_; }

private:
    pid_t pid_ = -1;
    bool locked_ = false;
};

struct HeldLock {
    const char* name;
    int command;
    short type;
    off_t start;
    off_t length;
};

TEST_F(LockDetection, ARecordLockAnotherProcessHoldsMeansInUse) {
    const HeldLock locks[] = {
        {"classic write lock on the whole file", F_SETLK, F_WRLCK, 0, 0},
        {"classic read lock on one byte", F_SETLK, F_RDLCK, 100, 1},
        {"classic lock past the end of the file, as Jet takes them", F_SETLK, F_WRLCK, 0x10000000, 256},
#ifdef F_OFD_SETLK
        {"open-file-description write lock", F_OFD_SETLK, F_WRLCK, 0, 0},
        {"open-file-description read lock past the end", F_OFD_SETLK, F_RDLCK, 0x7FFFFF00, 16},
#endif
    };
    for (const HeldLock& held : locks) {
        SCOPED_TRACE(held.name);
        {
            LockHoldingChild child(path, held.command, held.type, held.start, held.length);
            ASSERT_TRUE(child.locked());
            const std::optional<Error> error = openError();
            ASSERT_TRUE(error.has_value()) << "written while another process holds a lock on it";
            EXPECT_EQ(error->kind(), ErrorKind::InUse) << error->what();
            EXPECT_EQ(readBytes(path), before);
        }
        // The lock goes with the process; then the file can be written.
        EXPECT_FALSE(openError().has_value());
        before = readBytes(path);
    }
}
#endif

}  // namespace
}  // namespace jet
