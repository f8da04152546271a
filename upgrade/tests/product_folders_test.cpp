// The folders a catalogue directory stands for: its twin under
// "Program Files (x86)" and the VirtualStore copies of Windows' file
// virtualisation.

#include "temporary_prefix.h"
#include "upgrade/installation.h"
#include "upgrade/program_files.h"
#include "upgrade/user_profile.h"

#include <gtest/gtest.h>

#include <cstdlib>

namespace fs = std::filesystem;
using namespace upgrade;

namespace {

constexpr std::string_view kOnC = "C:\\Program Files\\Quelvor软件\\八字算命正式版";
constexpr std::string_view kOnCx86 = "C:\\Program Files (x86)\\Quelvor软件\\八字算命正式版";
constexpr std::string_view kOnD = "D:\\Program Files\\Quelvor软件\\八字算命正式版";
const std::string kStoreOfC = std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files\\Quelvor软件\\八字算命正式版";
const std::string kStoreOfCx86 =
    std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files (x86)\\Quelvor软件\\八字算命正式版";

ProductFolder installed(std::string_view directory) {
    return {std::string(directory), std::string(directory), false};
}
ProductFolder stored(const std::string& directory, std::string_view installedDirectory) {
    return {directory, std::string(installedDirectory), true};
}

}  // namespace

TEST(ProgramFilesPaths, X86TwinOfProgramFilesRowsOnAnyDrive) {
    EXPECT_EQ(programFilesX86Twin(kOnC), std::string(kOnCx86));
    EXPECT_EQ(programFilesX86Twin("d:\\PROGRAM FILES\\Brannoc软件\\x"), "d:\\Program Files (x86)\\Brannoc软件\\x");
    EXPECT_EQ(programFilesX86Twin(kOnD), "D:\\Program Files (x86)\\Quelvor软件\\八字算命正式版");
    // Not for other folders, not for the folder itself, not twice.
    EXPECT_FALSE(programFilesX86Twin("D:\\quelvorsoft\\周易算命"));
    EXPECT_FALSE(programFilesX86Twin("C:\\Program Files"));
    EXPECT_FALSE(programFilesX86Twin("C:\\Program Files\\"));
    EXPECT_FALSE(programFilesX86Twin(kOnCx86));
    EXPECT_FALSE(programFilesX86Twin("C:\\Program Filesx\\a"));
    EXPECT_FALSE(programFilesX86Twin("relative\\Program Files\\a"));
}

TEST(ProgramFilesPaths, VirtualStoreOnlyForProgramFilesOfTheSystemDrive) {
    EXPECT_EQ(virtualStoreFolder(kOnC, "C:\\Users\\王\\AppData\\Local", 'c'),
              "C:\\Users\\王\\AppData\\Local\\VirtualStore\\Program Files\\Quelvor软件\\八字算命正式版");
    EXPECT_EQ(virtualStoreFolder(kOnCx86, "C:\\Users\\u\\AppData\\Local\\", 'C'),
              "C:\\Users\\u\\AppData\\Local\\VirtualStore\\Program Files (x86)\\Quelvor软件\\八字算命正式版");
    // Windows on D: virtualises D:'s Program Files, not C:'s.
    EXPECT_TRUE(virtualStoreFolder(kOnD, "D:\\Users\\u\\AppData\\Local", 'd'));
    EXPECT_FALSE(virtualStoreFolder(kOnC, "D:\\Users\\u\\AppData\\Local", 'd'));
    EXPECT_FALSE(virtualStoreFolder(kOnD, "C:\\Users\\u\\AppData\\Local", 'c'));
    EXPECT_FALSE(virtualStoreFolder("C:\\quelvorsoft\\周易算命", "C:\\Users\\u\\AppData\\Local", 'c'));
    EXPECT_FALSE(virtualStoreFolder(kOnC, "", 'c'));
}

TEST(ProgramFilesPaths, WineProfileCandidatesRefuseNamesThatLeaveTheUsersFolder) {
    EXPECT_EQ(wineLocalAppDataCandidates("bob"),
              (std::vector<std::string>{"C:\\users\\bob\\AppData\\Local", "C:\\users\\bob\\Local Settings\\Application Data"}));
    for (const char* name : {"", ".", "..", "a/b", "a\\b", "c:"}) EXPECT_TRUE(wineLocalAppDataCandidates(name).empty()) << name;
}

class ProductFoldersTest : public ::testing::Test {
protected:
    std::vector<ProductFolder> folders(std::string_view row) const { return prefix.installation().productFolders(row); }
    TemporaryPrefix prefix;
};

TEST_F(ProductFoldersTest, APlainInstallationIsTheCatalogueDirectoryAlone) {
    EXPECT_EQ(folders(kOnC), std::vector<ProductFolder>{installed(kOnC)}) << "listed even when missing";
    prefix.install(kOnC, "\\QorBirth.dll");
    prefix.install(kOnD, "\\QorBirth.dll");
    EXPECT_EQ(folders(kOnC), std::vector<ProductFolder>{installed(kOnC)});
    // A VirtualStore that holds other products changes nothing.
    prefix.install(std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files\\Quelvor软件\\别的软件", "\\QorBirth.dll");
    EXPECT_EQ(folders(kOnC), std::vector<ProductFolder>{installed(kOnC)});
    EXPECT_EQ(folders(kOnD), std::vector<ProductFolder>{installed(kOnD)});
    EXPECT_EQ(prefix.installation().localAppData(), std::string(TemporaryPrefix::kLocalAppData));
}

TEST_F(ProductFoldersTest, BothProgramFilesFoldersAndTheirVirtualStoresInOrder) {
    prefix.install(kOnC, "\\QorBirth.dll");
    prefix.install(kOnCx86, "\\QorBirth.dll");
    prefix.install(kStoreOfC, "\\QorBirth.dll");
    prefix.install(kStoreOfCx86, "\\QorFile.dll");
    EXPECT_EQ(folders(kOnC), (std::vector<ProductFolder>{installed(kOnC), stored(kStoreOfC, kOnC), installed(kOnCx86),
                                                         stored(kStoreOfCx86, kOnCx86)}));
    // The catalogue's own row still comes first when only the x86 folder holds the product.
    fs::remove_all(prefix.root() / "drive_c" / "Program Files");
    EXPECT_EQ(folders(kOnC),
              (std::vector<ProductFolder>{installed(kOnC), installed(kOnCx86), stored(kStoreOfCx86, kOnCx86)}));
    // A VirtualStore folder whose product is gone is not the product's.
    fs::remove_all(prefix.root() / "drive_c" / "Program Files (x86)");
    EXPECT_EQ(folders(kOnC), std::vector<ProductFolder>{installed(kOnC)});
}

TEST_F(ProductFoldersTest, DrivesOtherThanTheSystemDriveHaveNoVirtualStore) {
    prefix.install("D:\\Program Files (x86)\\Quelvor软件\\八字算命正式版", "\\QorBirth.dll");
    prefix.install(std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files (x86)\\Quelvor软件\\八字算命正式版",
                   "\\QorBirth.dll");
    EXPECT_EQ(folders(kOnD), (std::vector<ProductFolder>{installed(kOnD),
                                                         installed("D:\\Program Files (x86)\\Quelvor软件\\八字算命正式版")}));
}

#ifndef _WIN32

TEST_F(ProductFoldersTest, AFolderReachedTwiceThroughALinkIsListedOnce) {
    const fs::path real = prefix.install(kOnC, "\\QorBirth.dll").parent_path();
    fs::create_directories(prefix.root() / "drive_c" / "Program Files (x86)");
    fs::create_directory_symlink(real.parent_path(), prefix.root() / "drive_c" / "Program Files (x86)" / fs::path(u8"Quelvor软件"));
    EXPECT_EQ(folders(kOnC), std::vector<ProductFolder>{installed(kOnC)});
}

TEST_F(ProductFoldersTest, AWinePrefixKeepsTheProfileUnderUsersMatchedWithoutRegardToCase) {
    prefix.install(kOnC, "\\QorBirth.dll");
    const fs::path store = prefix.root() / "drive_c" / "USERS" / "Tester" / "appdata" / "local" / "virtualstore" /
                           "program files" / fs::path(u8"Quelvor软件") / fs::path(u8"八字算命正式版");
    fs::create_directories(store);
    const Installation wine = Installation::inWinePrefix(prefix.root(), "tester");
    EXPECT_EQ(wine.localAppData(), "C:\\users\\tester\\AppData\\Local");
    const std::vector<ProductFolder> found = wine.productFolders(kOnC);
    ASSERT_EQ(found.size(), 2u);
    EXPECT_EQ(found[1], stored("C:\\users\\tester\\AppData\\Local\\VirtualStore\\Program Files\\Quelvor软件\\八字算命正式版", kOnC));
    EXPECT_TRUE(wine.productFolders(kOnD).size() == 1u);
    // Another user's profile is not this user's.
    EXPECT_EQ(Installation::inWinePrefix(prefix.root(), "other").productFolders(kOnC).size(), 1u);
}

TEST_F(ProductFoldersTest, OldWinePrefixesKeepLocalDataUnderLocalSettings) {
    prefix.install(kOnC, "\\QorBirth.dll");
    fs::create_directories(prefix.root() / "drive_c" / "users" / "tester" / "Local Settings" / "Application Data" /
                           "VirtualStore" / "Program Files" / fs::path(u8"Quelvor软件") / fs::path(u8"八字算命正式版"));
    const char* oldUser = std::getenv("USER");
    const std::string saved = oldUser ? oldUser : "";
    setenv("USER", "tester", 1);
    const Installation wine = Installation::inWinePrefix(prefix.root());
    if (oldUser) setenv("USER", saved.c_str(), 1);
    else unsetenv("USER");
    EXPECT_EQ(wine.localAppData(), "C:\\users\\tester\\Local Settings\\Application Data");
    ASSERT_EQ(wine.productFolders(kOnC).size(), 2u);
    EXPECT_TRUE(wine.productFolders(kOnC)[1].virtualStore);
}

#endif
