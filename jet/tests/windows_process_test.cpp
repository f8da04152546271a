// Windows: another process holding a database, and commits ended by TerminateProcess at any
// instant, which must leave either the old file or the new one, byte for byte. Windows cannot
// fork, so the other process is jet_windows_test_child, started from beside this program.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/file/atomic_replace.h"
#include "jet/write/connection.h"
#include "jet/error.h"
#include "jet/file/file_lock.h"
#include "jet/file/native_path.h"
#include "jet/tests/commit_unit.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/windows_test_child.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;
namespace fs = std::filesystem;

// jet_windows_test_child run with the given arguments, its input and output on pipes.
class Child {
public:
    explicit Child(const std::vector<std::wstring>& arguments) {
        wchar_t self[MAX_PATH] = {};
        GetModuleFileNameW(nullptr, self, MAX_PATH);
        const fs::path program = fs::path(self).parent_path() / kWindowsTestChild;
        std::wstring commandLine = L"\"" + program.wstring() + L"\"";
        for (const std::wstring& argument : arguments) commandLine += L" \"" + argument + L"\"";   // no quotes inside

        SECURITY_ATTRIBUTES inheritable{sizeof(SECURITY_ATTRIBUTES), nullptr, TRUE};
        HANDLE childInput = nullptr, childOutput = nullptr;
        if (!CreatePipe(&childInput, &input_, &inheritable, 0) || !CreatePipe(&output_, &childOutput, &inheritable, 0))
            throw std::runtime_error("cannot create pipes for the child");
        // Only the child's ends are inherited: the child sees the end of its input once we close ours.
        SetHandleInformation(input_, HANDLE_FLAG_INHERIT, 0);
        SetHandleInformation(output_, HANDLE_FLAG_INHERIT, 0);

        STARTUPINFOW startup{};
        startup.cb = sizeof startup;
        startup.dwFlags = STARTF_USESTDHANDLES;
        startup.hStdInput = childInput;
        startup.hStdOutput = childOutput;
        startup.hStdError = GetStdHandle(STD_ERROR_HANDLE);
        PROCESS_INFORMATION process{};
        const BOOL started = CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr, &startup, &process);
        const DWORD error = GetLastError();
        CloseHandle(childInput);
        CloseHandle(childOutput);
        if (!started) {
            CloseHandle(input_);
            CloseHandle(output_);
            throw std::runtime_error("cannot start " + program.string() + " (error " + std::to_string(error) + ")");
        }
        CloseHandle(process.hThread);
        process_ = process.hProcess;
    }

    ~Child() {
        closeInput();
        if (WaitForSingleObject(process_, 0) == WAIT_TIMEOUT) {
            TerminateProcess(process_, 1);
            WaitForSingleObject(process_, INFINITE);
        }
        CloseHandle(process_);
        CloseHandle(output_);
    }

    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    // The next line the child writes; empty once its output is closed.
    std::string readLine() {
        std::string line;
        char c = 0;
        DWORD read = 0;
        while (ReadFile(output_, &c, 1, &read, nullptr) && read == 1 && c != '\n') line += c;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return line;
    }

    void closeInput() {
        if (input_) CloseHandle(input_);
        input_ = nullptr;
    }

    void terminate() { TerminateProcess(process_, kTerminatedExitCode); }

    DWORD exitCode() {
        WaitForSingleObject(process_, INFINITE);
        DWORD code = 0;
        GetExitCodeProcess(process_, &code);
        return code;
    }

private:
    HANDLE process_ = nullptr;
    HANDLE input_ = nullptr;
    HANDLE output_ = nullptr;
};

std::wstring wide(const std::string& utf8Path) { return nativePath(utf8Path).wstring(); }

class WindowsProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeDatabase(original, {almanacTable(300), horoscopeTable()}, 2052);
        oldBytes = readBytes(original);
        fs::copy_file(original, expected);
        const auto start = std::chrono::steady_clock::now();
        runCommitUnit(expected);
        unitTime = std::chrono::steady_clock::now() - start;
        newBytes = readBytes(expected);
        ASSERT_NE(oldBytes, newBytes);
    }

    Error secondWriterError() {
        try {
            Connection second(original);
        } catch (const Error& error) {
            return error;
        }
        ADD_FAILURE() << "a second writer got in";
        return Error(ErrorKind::Io, "", "", "");
    }

    TempDir dir;
    std::string original = dir.file("original.dll");
    std::string expected = dir.file("expected.dll");
    std::vector<std::uint8_t> oldBytes, newBytes;
    std::chrono::steady_clock::duration unitTime{};
};

TEST_F(WindowsProcessTest, AnotherProcessHoldingTheLockKeepsUsOut) {
    Child holder({L"hold", wide(original)});
    ASSERT_EQ(holder.readLine(), "ready");
    const Error error = secondWriterError();
    EXPECT_EQ(error.kind(), ErrorKind::InUse);
    EXPECT_NE(error.cause().find("another copy of this program"), std::string::npos) << error.what();
    holder.closeInput();
    EXPECT_EQ(holder.exitCode(), 0u);
    EXPECT_FALSE(fs::exists(nativePath(writerLockPath(original))));   // deleted with the holder's handle
    Connection after(original);
}

// A product that has the database open for writing keeps us out, and while we hold it no
// product can open it for writing; also a program that only locked byte ranges of it is seen.
TEST_F(WindowsProcessTest, ShareModesAndFileLocksOfOtherProgramsAreSeen) {
    {
        Child product({L"share", wide(original)});
        ASSERT_EQ(product.readLine(), "ready");
        const Error error = secondWriterError();
        EXPECT_EQ(error.kind(), ErrorKind::InUse) << error.what();
    }
    {
        Connection ours(original);
        Child product({L"share", wide(original)});
        EXPECT_EQ(product.readLine(), "refused");
        ours.execute("DELETE FROM huangdao WHERE gn = '20270001'", {});   // the commit still replaces the file
        Child later({L"share", wide(original)});
        EXPECT_EQ(later.readLine(), "refused") << "the hold was not taken again after the commit";
    }
    {
        Child locker({L"lock", wide(original)});
        ASSERT_EQ(locker.readLine(), "ready");
        const Error error = secondWriterError();
        EXPECT_EQ(error.kind(), ErrorKind::InUse) << error.what();
    }
    Connection after(original);
}

TEST_F(WindowsProcessTest, ATerminatedHolderLeavesNoLockBehind) {
    Child holder({L"hold", wide(original)});
    ASSERT_EQ(holder.readLine(), "ready");
    holder.terminate();
    EXPECT_EQ(holder.exitCode(), kTerminatedExitCode);
    EXPECT_FALSE(fs::exists(nativePath(writerLockPath(original))));
    Connection after(original);
    EXPECT_EQ(readBytes(original), oldBytes);
}

TEST_F(WindowsProcessTest, TerminatedAtEveryStepOfTheReplacement) {
    // Count the steps of one replacement, then end a child at each of them.
    const int steps = replaceStepCount(dir.file("count.dll"), oldBytes);
    ASSERT_GT(steps, 4);
    const std::string path = dir.file("work.dll");
    int sawNew = 0;
    for (int step = 1; step <= steps; ++step) {
        writeBytes(path, oldBytes);
        Child child({L"commit", wide(path), std::to_wstring(step)});
        EXPECT_EQ(child.exitCode(), kTerminatedExitCode) << "step " << step;
        sawNew += leftOldOrNew(path, oldBytes, newBytes);
    }
    EXPECT_EQ(sawNew, 1);   // only the end after the replacement ("done") leaves the new file
}

TEST_F(WindowsProcessTest, TerminatedAtRandomMoments) {
    // Random instants within about the time the unit takes here, counted from the child's start.
    const auto unitMilliseconds = std::chrono::duration_cast<std::chrono::milliseconds>(unitTime).count();
    std::mt19937 random(20270101);
    std::uniform_int_distribution<int> delay(0, static_cast<int>(unitMilliseconds * 3 / 2) + 1);
    const std::string path = dir.file("work.dll");
    int sawNew = 0, sawOld = 0;
    for (int round = 0; round < 12; ++round) {
        writeBytes(path, oldBytes);
        {
            Child child({L"commit", wide(path)});
            ASSERT_EQ(child.readLine(), "started");
            Sleep(static_cast<DWORD>(delay(random)));
            child.terminate();
            const DWORD code = child.exitCode();
            EXPECT_TRUE(code == 0 || code == kTerminatedExitCode) << "the child failed (exit status " << code << ")";
        }
        (leftOldOrNew(path, oldBytes, newBytes) ? sawNew : sawOld)++;
    }
    EXPECT_EQ(sawNew + sawOld, 12);
}

}  // namespace
}  // namespace jet
