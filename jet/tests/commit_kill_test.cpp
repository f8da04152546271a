// A commit killed at any instant leaves either the old file or the new one, byte for byte.
#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <random>
#include <sys/wait.h>
#include <unistd.h>

#include "jet/file/atomic_replace.h"
#include "jet/create/add_table.h"
#include "jet/write/connection.h"
#include "jet/write/write_session.h"
#include "jet/tests/commit_unit.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;

using Unit = std::function<void(const std::string&)>;

// Adds a table with rows through a connection; the catalogue date is fixed so that every
// process writes the same bytes.
void addLookupsTable(const std::string& path) {
    Connection connection(path);
    connection.applyChange([](WriteSession& session) { addTable(session, deepIndexTable(300), 45000.0); });
}

class CommitKillTest : public ::testing::Test {
protected:
    void SetUp() override {
        makeDatabase(original, {almanacTable(300), horoscopeTable()}, 2052);
        oldBytes = readBytes(original);
        std::filesystem::copy_file(original, expected);
        unit(expected);
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
                unit(path);
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

    // Kills a child at each step of the replacement; returns how many left the new file.
    int newFilesAfterKillsAtEveryStep() {
        const int steps = replaceStepCount(dir.file("count.dll"), oldBytes, unit);
        EXPECT_GT(steps, 4);
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
        return sawNew;
    }

    Unit unit = runCommitUnit;
    TempDir dir;
    std::string original = dir.file("original.dll");
    std::string expected = dir.file("expected.dll");
    std::vector<std::uint8_t> oldBytes, newBytes;
};

TEST_F(CommitKillTest, KilledAtEveryStepOfTheReplacement) {
    EXPECT_EQ(newFilesAfterKillsAtEveryStep(), 1);   // only a kill after the rename ("done") leaves the new file
}

// Adding a table commits like a statement: a kill at any step leaves the old file or the new one.
class AddTableKillTest : public CommitKillTest {
protected:
    void SetUp() override {
        unit = addLookupsTable;
        CommitKillTest::SetUp();
    }
};

TEST_F(AddTableKillTest, KilledAtEveryStepOfTheReplacement) {
    EXPECT_EQ(newFilesAfterKillsAtEveryStep(), 1);
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
