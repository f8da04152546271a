#include "upgrade/install_location.h"
#include "upgrade/installation.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <random>

namespace fs = std::filesystem;
using upgrade::findInstalledFile;
using upgrade::resolveWindowsPath;
using upgrade::wineDrives;

#ifndef _WIN32

namespace {

fs::path u8path(std::string_view text) {
    return fs::path(std::u8string(text.begin(), text.end()));
}

// A throw-away Wine prefix: drive D is a folder of its own, drive C the
// usual ../drive_c link, drive E is not mapped.
class WinePrefix : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device rd;
        root_ = fs::temp_directory_path() / ("patch-prefix-" + std::to_string(rd()));
        fs::create_directories(root_ / "dosdevices");
        fs::create_directories(root_ / "drive_c");
        fs::create_directories(root_ / "drive_d");
        fs::create_directory_symlink("../drive_c", root_ / "dosdevices" / "c:");
        fs::create_directory_symlink(root_ / "drive_d", root_ / "dosdevices" / "d:");
    }
    void TearDown() override { fs::remove_all(root_); }

    fs::path install(std::string_view relativeUnderDrive, const fs::path& drive) {
        const fs::path dir = root_ / drive / u8path(relativeUnderDrive);
        fs::create_directories(dir);
        return dir;
    }
    static void touch(const fs::path& file) { std::ofstream(file) << "x"; }

    fs::path root_;
};

}  // namespace

TEST_F(WinePrefix, MatchesEveryComponentWithoutRegardToCase) {
    const fs::path dir = install("program files/QUELVOR软件/算命大师正式版", "drive_d");
    touch(dir / "TGCODE.DLL");
    const auto found = findInstalledFile("D:\\Program Files\\Quelvor软件\\算命大师正式版", "\\Tgcode.dll", wineDrives(root_));
    ASSERT_TRUE(found.has_value());
    EXPECT_TRUE(fs::equivalent(*found, dir / "TGCODE.DLL"));
    // A lower-case drive letter and forward slashes resolve the same way.
    EXPECT_TRUE(resolveWindowsPath("d:/program files/quelvor软件/算命大师正式版/tgcode.dll", wineDrives(root_)).has_value());
}

TEST_F(WinePrefix, FollowsTheDriveLinkOfTheBootDrive) {
    const fs::path dir = install("Program Files/Brannoc软件/风水大师正式版", "drive_c");
    touch(dir / "QorBirth.dll");
    EXPECT_TRUE(findInstalledFile("C:\\Program Files\\Brannoc软件\\风水大师正式版", "\\QorBirth.dll", wineDrives(root_)));
    EXPECT_FALSE(findInstalledFile("C:\\Program Files\\Brannoc软件\\风水大师正式版", "\\QorFile.dll", wineDrives(root_)));
}

TEST_F(WinePrefix, UnmappedDrivesMissingFoldersAndDirectoriesAreNotInstalled) {
    const fs::path dir = install("Program Files/Quelvor软件/算命大师正式版", "drive_d");
    touch(dir / "Tgcode.dll");
    fs::create_directory(dir / "QorFile.dll");  // a folder is not the database file
    EXPECT_FALSE(findInstalledFile("E:\\Program Files\\Quelvor软件\\算命大师正式版", "\\Tgcode.dll", wineDrives(root_)));
    EXPECT_FALSE(findInstalledFile("G:\\Program Files\\Quelvor软件\\算命大师正式版", "\\Tgcode.dll", wineDrives(root_)));
    EXPECT_FALSE(findInstalledFile("D:\\Program Files\\Quelvor软件\\其他正式版", "\\Tgcode.dll", wineDrives(root_)));
    EXPECT_FALSE(findInstalledFile("D:\\Program Files\\Quelvor软件\\算命大师正式版", "\\QorFile.dll", wineDrives(root_)));
    EXPECT_FALSE(findInstalledFile("D:\\Program Files\\Quelvor软件\\算命大师正式版\\..\\算命大师正式版", "\\Tgcode.dll", wineDrives(root_)));
    EXPECT_FALSE(findInstalledFile("relative\\path", "\\Tgcode.dll", wineDrives(root_)));
    EXPECT_FALSE(findInstalledFile("D:\\Program Files\\Quelvor软件\\算命大师正式版", "\\Tgcode.dll", wineDrives(root_ / "missing")));
    EXPECT_FALSE(findInstalledFile("D:\\Program Files\\Quelvor软件\\算命大师正式版", "\\Tgcode.dll", wineDrives(fs::path())));
    // Trailing blanks belong to the name: the catalogue trims them before the lookup.
    EXPECT_FALSE(findInstalledFile("D:\\Program Files\\Quelvor软件\\算命大师正式版 ", "\\Tgcode.dll", wineDrives(root_)));
}

TEST_F(WinePrefix, PrefixComesFromWineprefixOrHome) {
    const char* oldPrefix = std::getenv("WINEPREFIX");
    const std::string saved = oldPrefix ? oldPrefix : "";
    setenv("WINEPREFIX", root_.c_str(), 1);
    EXPECT_EQ(upgrade::defaultWinePrefix(), root_);
    const fs::path dir = install("Program Files/Quelvor软件/周易算命正式版", "drive_d");
    touch(dir / "QorFile.dll");
    EXPECT_TRUE(upgrade::Installation().fileExists("D:\\Program Files\\Quelvor软件\\周易算命正式版", "\\QorFile.dll"));
    unsetenv("WINEPREFIX");
    EXPECT_EQ(upgrade::defaultWinePrefix(), fs::path(std::getenv("HOME")) / ".wine");
    if (oldPrefix) setenv("WINEPREFIX", saved.c_str(), 1);
}

#endif
