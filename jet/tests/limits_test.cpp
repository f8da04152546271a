// Jet 4's limits: a memo holds fewer than 2^24 stored bytes, and a database at most 2 GiB.
// Values and files past them are refused before anything is written or read.
#include <gtest/gtest.h>

#include <filesystem>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

#include "jet/write/connection.h"
#include "jet/read/database.h"
#include "jet/error.h"
#include "jet/format/long_value.h"
#include "jet/file/native_path.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;
namespace fs = std::filesystem;

std::string textOf(const Value& value) { return std::get<std::string>(value); }

// Chinese text is stored as UTF-16, two bytes a character, so 2^23 characters are exactly one
// byte too many for a memo's 24-bit length.
TEST(MemoLimit, AValueLongerThanAMemoHoldsIsRefusedNamingTheColumnAndTheLimit) {
    TempDir dir;
    const std::string path = dir.file("Tgcode.dll");
    makeDatabase(path, {fortuneTable()}, 2052);
    const std::vector<std::uint8_t> before = readBytes(path);
    const std::size_t tooMany = (kLongValueMaxLength + 1) / 2;
    const std::string tooLong = chineseText(tooMany, 7);
    {
        Connection connection(path);
        connection.beginWork();
        for (const char* sql : {"update Bennian2011 set Liuyue = ? where shuxing = ?", "insert into Bennian2011(Liuyue, shuxing) values (?, ?)"}) {
            SCOPED_TRACE(sql);
            try {
                connection.execute(sql, {tooLong, zodiacAnimals().front()});
                ADD_FAILURE() << "a memo of " << tooMany << " characters was accepted";
            } catch (const Error& error) {
                EXPECT_EQ(error.kind(), ErrorKind::Constraint) << error.what();
                EXPECT_EQ(error.table(), "Bennian2011");
                EXPECT_NE(error.cause().find("column Liuyue"), std::string::npos) << error.what();
                EXPECT_NE(error.cause().find(std::to_string(kLongValueMaxLength)), std::string::npos) << error.what();
            }
        }
        // The refusals changed nothing, also inside the unit.
        connection.commitWork();
    }
    EXPECT_EQ(readBytes(path), before);

    // One character less fits, and reads back whole.
    const std::string longest = chineseText(tooMany - 1, 7);
    {
        Connection connection(path);
        EXPECT_EQ(connection.execute("update Bennian2011 set Liuyue = ? where shuxing = ?", {longest, zodiacAnimals().front()}), 1u);
    }
    bool found = false;
    const Database database = Database::open(path);
    const std::vector<std::vector<Value>> rows = database.readAllRows("Bennian2011");
    for (const auto& row : rows)
        for (const Value& value : row)
            if (std::holds_alternative<std::string>(value) && textOf(value).size() == longest.size()) found = textOf(value) == longest;
    EXPECT_TRUE(found) << "the longest memo did not read back";
}

// A sparse file past Jet 4's limit, made from a real database so that only its size is wrong.
void makeOversizedFile(const std::string& path, std::uint64_t size) {
    makeDatabase(path, {almanacTable(3)}, 2052);
    fs::resize_file(nativePath(path), size);
}

TEST(FileSizeLimit, AFileLargerThanJet4AllowsIsRefusedWithoutBeingReadOrWritten) {
    TempDir dir;
    const std::string path = dir.file("QorBirth.dll");
    std::vector<std::uint64_t> sizes{kMaxFileSize + kPageSize};
#ifndef _WIN32
    sizes.push_back(std::uint64_t(30) << 30);   // NTFS would reserve the room for a file that is not sparse
#endif
    for (const std::uint64_t size : sizes) {
        SCOPED_TRACE(size);
        makeOversizedFile(path, size);
        for (int attempt = 0; attempt < 2; ++attempt) {
            try {
                if (attempt == 0) Connection connection(path);
                else Database::open(path);
                ADD_FAILURE() << "a file of " << size << " bytes was opened";
            } catch (const Error& error) {
                EXPECT_EQ(error.kind(), ErrorKind::Damaged) << error.what();
                EXPECT_NE(error.cause().find(std::to_string(kMaxFileSize)), std::string::npos) << error.what();
            }
        }
        EXPECT_EQ(fs::file_size(nativePath(path)), size);
        fs::remove(nativePath(path));
    }
}

#ifndef _WIN32
#if defined(__SANITIZE_ADDRESS__)
#define JET_UNDER_ADDRESS_SANITIZER 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define JET_UNDER_ADDRESS_SANITIZER 1
#endif
#endif

// Opening, reading and writing a database stays within a memory budget: a child process whose
// address space is capped at 1 GiB opens the oversized files and writes a normal database.
TEST(FileSizeLimit, ReadingStaysWithinAMemoryBudget) {
#ifdef JET_UNDER_ADDRESS_SANITIZER
    // The address sanitizer reserves terabytes of address space for its shadow memory, so no
    // process under it lives with an address-space cap; the plain build runs this test.
    GTEST_SKIP() << "an address-space cap cannot be combined with the address sanitizer";
#endif
    TempDir dir;
    const std::string huge = dir.file("Huge.dll");
    const std::string normal = dir.file("QorBirth.dll");
    makeOversizedFile(huge, kMaxFileSize + kPageSize);
    makeDatabase(normal, {almanacTable(50)}, 2052);
    const pid_t child = ::fork();
    if (child == 0) {
        const rlimit budget{rlim_t(1) << 30, rlim_t(1) << 30};
        if (::setrlimit(RLIMIT_AS, &budget) != 0) _exit(10);
        int code = 0;
        try {
            Connection connection(huge);
            code = 1;   // opened
        } catch (const Error& error) {
            code = error.kind() == ErrorKind::Damaged ? 0 : 2;
        } catch (const std::bad_alloc&) {
            code = 3;
        }
        if (code != 0) _exit(code);
        try {
            Connection connection(normal);
            connection.execute("DELETE FROM huangdao WHERE gn = '20270001'", {});
        } catch (...) {
            _exit(4);
        }
        _exit(0);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status)) << "the child died of signal " << WTERMSIG(status);
    EXPECT_EQ(WEXITSTATUS(status), 0) << "1: opened, 2: another error, 3: out of memory, 4: the normal file failed, 10: no limit";
    EXPECT_EQ(rowsOf(normal, "huangdao").size(), 49u);
}
#endif

}  // namespace
}  // namespace jet
