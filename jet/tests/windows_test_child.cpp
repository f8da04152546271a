// jet_windows_test_child: the second process of windows_process_test.cpp, which Windows cannot
// fork from the test itself.
//
//   jet_windows_test_child hold DATABASE
//       opens DATABASE for writing, writes "ready" to its output and keeps the database open
//       until its input is closed
//   jet_windows_test_child share DATABASE
//       opens DATABASE for reading and writing, sharing both, as a product does; writes "ready",
//       or "refused" when the open fails for sharing, and keeps it open until its input is closed
//   jet_windows_test_child lock DATABASE
//       opens DATABASE for reading only, sharing everything, and locks bytes past its end, as
//       Jet does
//   jet_windows_test_child commit DATABASE [STEP]
//       writes "started" and runs the commit unit on DATABASE; with STEP it terminates itself at
//       that step of the file replacement, as if killed at that instant
//
// Exit status: 0 when done, 2 on usage errors, 3 when the engine refused, kTerminatedExitCode
// when terminated at STEP.
#define WIN32_LEAN_AND_MEAN
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <exception>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/file/atomic_replace.h"
#include "jet/write/connection.h"
#include "jet/tests/commit_unit.h"
#include "jet/tests/windows_test_child.h"

namespace {

// The arguments as UTF-8, read from the wide command line so that any file name survives.
std::vector<std::string> utf8Arguments() {
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    std::vector<std::string> arguments;
    for (int i = 1; wide && i < count; ++i) {
        const std::u8string u8 = std::filesystem::path(wide[i]).u8string();
        arguments.emplace_back(u8.begin(), u8.end());
    }
    LocalFree(wide);
    return arguments;
}

void say(const char* line) {
    std::fputs(line, stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

}  // namespace

int main() {
    const std::vector<std::string> args = utf8Arguments();
    if (args.size() < 2 || (args[0] != "hold" && args[0] != "share" && args[0] != "lock" && args[0] != "commit") || args.size() > 3) {
        std::fputs("usage: jet_windows_test_child hold|share|lock DATABASE | commit DATABASE [STEP]\n", stderr);
        return 2;
    }
    const std::string& path = args[1];
    if (args[0] == "share" || args[0] == "lock") {
        // The locker only reads, and shares everything, so that only its lock can keep us out.
        const bool lock = args[0] == "lock";
        HANDLE file = CreateFileW(std::filesystem::u8path(path).c_str(), lock ? GENERIC_READ : GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE | (lock ? FILE_SHARE_DELETE : 0), nullptr, OPEN_EXISTING,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        if (file == INVALID_HANDLE_VALUE) {
            say(GetLastError() == ERROR_SHARING_VIOLATION ? "refused" : "failed");
            return 0;
        }
        OVERLAPPED pastTheEnd{};
        pastTheEnd.Offset = 0x10000000;
        if (lock && !LockFileEx(file, LOCKFILE_FAIL_IMMEDIATELY, 0, 256, 0, &pastTheEnd)) {
            say("failed");
            return 0;
        }
        say("ready");
        char buffer[16];
        while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
        }
        CloseHandle(file);
        return 0;
    }
    try {
        if (args[0] == "hold") {
            jet::Connection holder(path);
            say("ready");
            char buffer[16];
            while (std::fread(buffer, 1, sizeof buffer, stdin) > 0) {
            }
            return 0;
        }
        if (args.size() == 3) {
            const int stopAt = std::stoi(args[2]);
            jet::setReplaceProbe([stopAt, count = 0](const char*) mutable {
                if (++count == stopAt) TerminateProcess(GetCurrentProcess(), jet::testing::kTerminatedExitCode);
            });
        }
        say("started");
        jet::testing::runCommitUnit(path);
        return 0;
    } catch (const std::exception& error) {
        std::fprintf(stderr, "jet_windows_test_child: %s\n", error.what());
        return 3;
    }
}
