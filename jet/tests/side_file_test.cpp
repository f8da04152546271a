// The engine's own files beside a database (the commit's replacement file, the writer's lock
// file) are only ever regular files it made itself: a link, FIFO or folder at their names
// refuses the write and is left alone, and nothing is written through it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <functional>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "jet/file/atomic_replace.h"
#include "jet/write/connection.h"
#include "jet/create/database_builder.h"
#include "jet/error.h"
#include "jet/file/file_lock.h"
#include "jet/file/native_path.h"
#include "jet/file/side_file.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;
namespace fs = std::filesystem;

// What is planted at a side file's name.
enum class Obstacle { LinkToAFile, DanglingLink, Fifo, Folder };

const char* obstacleName(Obstacle obstacle) {
    switch (obstacle) {
    case Obstacle::LinkToAFile: return "LinkToAFile";
    case Obstacle::DanglingLink: return "DanglingLink";
    case Obstacle::Fifo: return "Fifo";
    case Obstacle::Folder: return "Folder";
    }
    return "?";
}

std::vector<Obstacle> obstaclesOfThisSystem() {
#ifdef _WIN32
    return {Obstacle::Folder};   // links need privileges there, and FIFOs do not exist
#else
    return {Obstacle::LinkToAFile, Obstacle::DanglingLink, Obstacle::Fifo, Obstacle::Folder};
#endif
}

// Plants an obstacle at `name`; `bait` is the file a link points at (existing or not).
void plant(Obstacle obstacle, const std::string& name, const std::string& bait) {
    switch (obstacle) {
    case Obstacle::LinkToAFile:
        std::ofstream(nativePath(bait)) << "bait";
        fs::create_symlink(nativePath(bait), nativePath(name));
        break;
    case Obstacle::DanglingLink: fs::create_symlink(nativePath(bait), nativePath(name)); break;
    case Obstacle::Fifo:
#ifndef _WIN32
        ASSERT_EQ(::mkfifo(name.c_str(), 0644), 0);
#endif
        break;
    case Obstacle::Folder: fs::create_directory(nativePath(name)); break;
    }
}

// The obstacle and what a link points at are exactly as planted.
void expectUntouched(Obstacle obstacle, const std::string& name, const std::string& bait) {
    const fs::file_status status = fs::symlink_status(nativePath(name));
    switch (obstacle) {
    case Obstacle::LinkToAFile:
        EXPECT_TRUE(fs::is_symlink(status)) << name;
        EXPECT_EQ(readBytes(bait), (std::vector<std::uint8_t>{'b', 'a', 'i', 't'})) << "written through the link";
        break;
    case Obstacle::DanglingLink:
        EXPECT_TRUE(fs::is_symlink(status)) << name;
        EXPECT_FALSE(fs::exists(nativePath(bait))) << "a file was made where the link points";
        break;
    case Obstacle::Fifo: EXPECT_TRUE(fs::is_fifo(status)) << name; break;
    case Obstacle::Folder:
        EXPECT_TRUE(fs::is_directory(status)) << name;
        EXPECT_TRUE(fs::is_empty(nativePath(name))) << name;
        break;
    }
}

struct SideFileCase {
    std::string suffix;   // of the side file's name
    Obstacle obstacle;
    bool plantedWhileOpen;   // after the connection was opened, before its commit
};

std::string describe(const ::testing::TestParamInfo<SideFileCase>& info) {
    std::string suffix = info.param.suffix == ".jet-new" ? "Replacement" : "WriterLock";
    return suffix + "_" + obstacleName(info.param.obstacle) + (info.param.plantedWhileOpen ? "_WhileOpen" : "");
}

std::vector<SideFileCase> sideFileCases() {
    std::vector<SideFileCase> cases;
    for (const Obstacle obstacle : obstaclesOfThisSystem()) {
        cases.push_back({".jet-new", obstacle, false});
        cases.push_back({".jet-new", obstacle, true});
        cases.push_back({".jet-lock", obstacle, false});
    }
    return cases;
}

class ObstacleAtASideFile : public ::testing::TestWithParam<SideFileCase> {
protected:
    void SetUp() override {
        makeDatabase(path, {almanacTable(10)}, 2052);
        before = readBytes(path);
    }

    TempDir dir;
    const std::string path = dir.file("QorBirth.dll");
    const std::string bait = dir.file("elsewhere.txt");
    std::vector<std::uint8_t> before;
};

TEST_P(ObstacleAtASideFile, RefusesTheWriteNamingItAndLeavesEverythingAsItWas) {
    const SideFileCase& side = GetParam();
    const std::string name = path + side.suffix;
    try {
        if (!side.plantedWhileOpen) plant(side.obstacle, name, bait);
        Connection connection(path);
        if (side.plantedWhileOpen) plant(side.obstacle, name, bait);
        connection.execute("DELETE FROM huangdao", {});
        ADD_FAILURE() << "the write went ahead";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::ForeignFile) << error.what();
        EXPECT_EQ(error.file(), path);
        EXPECT_NE(error.cause().find(name), std::string::npos) << error.what();
    }
    EXPECT_EQ(readBytes(path), before);
    expectUntouched(side.obstacle, name, bait);
    if (side.suffix != ".jet-lock") {
        EXPECT_FALSE(fs::exists(nativePath(writerLockPath(path))));
    }
    if (side.suffix != ".jet-new") {
        EXPECT_FALSE(fs::exists(nativePath(replacementPath(path))));
    }
}

INSTANTIATE_TEST_SUITE_P(SideFiles, ObstacleAtASideFile, ::testing::ValuesIn(sideFileCases()), describe);

// Files a killed run left are regular files of ours: they are taken over and cleared.
TEST(LeftoverSideFiles, AStaleLockAndAnOldReplacementDoNotBlockTheNextWriter) {
    TempDir dir;
    const std::string path = dir.file("QorBirth.dll");
    makeDatabase(path, {almanacTable(10)}, 2052);
    std::ofstream(nativePath(writerLockPath(path))) << "";
    std::ofstream(nativePath(replacementPath(path))) << "half a file";
    {
        Connection connection(path);
        EXPECT_FALSE(fs::exists(nativePath(replacementPath(path))));
        EXPECT_EQ(connection.execute("DELETE FROM huangdao WHERE gn = '20270001'", {}), 1u);
    }
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 9u);
    EXPECT_FALSE(fs::exists(nativePath(writerLockPath(path))));
    EXPECT_FALSE(fs::exists(nativePath(replacementPath(path))));
}

// Creating a database and adding a table replace the file through the same exclusive, flushed
// replacement as a commit.
TEST(LeftoverSideFiles, CreatingADatabaseGoesThroughTheSameReplacement) {
    TempDir dir;
    const std::string path = dir.file("New.mdb");
    std::vector<std::string> steps;
    setReplaceProbe([&](const char* step) { steps.emplace_back(step); });
    makeDatabase(path, {almanacTable(3)});
    setReplaceProbe(nullptr);
    ASSERT_FALSE(steps.empty()) << "the file was not made through the atomic replacement";
    EXPECT_NE(std::find(steps.begin(), steps.end(), "flush"), steps.end());
    EXPECT_EQ(steps.back(), "done");
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 3u);
    for (const auto& entry : fs::directory_iterator(nativePath(dir.file(""))))
        EXPECT_EQ(entry.path().filename(), nativePath("New.mdb")) << "left behind: " << entry.path();

    const std::string other = dir.file("Other.mdb");
    fs::create_directory(nativePath(replacementPath(other)));
    try {
        makeDatabase(other, {almanacTable(3)});
        ADD_FAILURE() << "created through a folder at the replacement's name";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::ForeignFile) << error.what();
    }
    EXPECT_FALSE(fs::exists(nativePath(other)));
}

}  // namespace
}  // namespace jet
