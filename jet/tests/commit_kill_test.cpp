// A commit killed at any instant leaves either the old file or the new one, byte for byte.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "jet/file/atomic_replace.h"
#include "jet/write/connection.h"
#include "jet/tests/commit_unit.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;

class CommitKillTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeDatabase(original, {almanacTable(300), horoscopeTable()}, 2052);
        oldBytes = readBytes(original);
        std::filesystem::copy_file(original, expected);
        runCommitUnit(expected);
        newBytes = readBytes(expected);
        ASSERT_NE(oldBytes, newBytes);
    }

    // Forks a child that runs the unit and is killed by `arm` (run in the child first); checks
    // what is left on disk. Returns true when the new file is there.
    bool killedChildLeavesOldOrNew(const std::function<void()>& arm, const std::function<void(pid_t)>& parent) {
        const std::string path = dir.file("work.dll");
        writeBytes(path, oldBytes);
        const pid_t child = fork();
        if (child == 0) {
            arm();
            try {
                runCommitUnit(path);
            } catch (const std::exception&) {
                _exit(3);   // reported through the exit status below
            }
            _exit(0);
        }
        parent(child);
        int status = 0;
        waitpid(child, &status, 0);
        if (WIFEXITED(status)) {
            EXPECT_EQ(WEXITSTATUS(status), 0) << "the child failed instead of being killed";
        }
        return leftOldOrNew(path, oldBytes, newBytes);
    }

    TempDir dir;
    std::string original = dir.file("original.dll");
    std::string expected = dir.file("expected.dll");
    std::vector<std::uint8_t> oldBytes, newBytes;
};

TEST_F(CommitKillTest, KilledAtEveryStepOfTheReplacement) {
    // Count the steps of one replacement, then kill a child at each of them.
    const int steps = replaceStepCount(dir.file("count.dll"), oldBytes);
    ASSERT_GT(steps, 4);
    int sawNew = 0;
    for (int kill = 1; kill <= steps; ++kill) {
        sawNew += killedChildLeavesOldOrNew(
            [kill] {
                auto counter = std::make_shared<int>(0);
                setReplaceProbe([kill, counter](const char*) {
                    if (++*counter == kill) raise(SIGKILL);
                });
            },
            [](pid_t) {});
    }
    EXPECT_EQ(sawNew, 1);   // only a kill after the rename ("done") leaves the new file
}

TEST_F(CommitKillTest, KilledAtRandomMoments) {
    std::mt19937 random(20270101);
    int sawNew = 0, sawOld = 0;
    for (int round = 0; round < 12; ++round) {
        const int delayMicroseconds = static_cast<int>(random() % 60000);
        const bool isNew = killedChildLeavesOldOrNew([] {}, [delayMicroseconds](pid_t child) {
            usleep(static_cast<useconds_t>(delayMicroseconds));
            kill(child, SIGKILL);
        });
        (isNew ? sawNew : sawOld)++;
    }
    EXPECT_EQ(sawNew + sawOld, 12);
}

}  // namespace
}  // namespace jet
