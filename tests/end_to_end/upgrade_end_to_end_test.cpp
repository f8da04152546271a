// Both upgrade actions on real product databases, made and read by the
// project's engine: the demo installation, and products in states that
// must make a directory fail without changing its file.

#include "data/almanac/almanac_table.h"
#include "data/fortunes/fortune_texts.h"
#include "demo_prefix.h"
#include "jet/read/database.h"
#include "jet/create/database_builder.h"
#include "jet/check/index_check.h"
#include "jet/file/page_file.h"
#include "recording_feedback.h"
#include "upgrade/almanac_upgrade.h"
#include "upgrade/fortune_upgrade.h"
#include "text/gbk_codec.h"
#include "upgrade/horoscope_scrambler.h"
#include "upgrade/jet_product_database.h"
#include "upgrade/program_files.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <map>
#include <random>

namespace fs = std::filesystem;
using namespace upgrade;

namespace {

constexpr std::string_view kLocalAppData = "C:\\users\\tester\\AppData\\Local";

std::string utf8(const fs::path& path) {
    const auto u8 = path.u8string();
    return std::string(u8.begin(), u8.end());
}

std::string fileBytes(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<std::vector<jet::Value>> rowsOf(const fs::path& file, const std::string& table) {
    return jet::Database::open(utf8(file)).readAllRows(table);
}

std::vector<fs::path> writerLocksUnder(const fs::path& root) {
    std::vector<fs::path> locks;
    for (const auto& entry : fs::recursive_directory_iterator(root))
        if (entry.path().extension() == ".jet-lock") locks.push_back(entry.path());
    return locks;
}

class UpgradeEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        std::random_device random;
        prefix = fs::temp_directory_path() / ("patch-demo-" + std::to_string(random()));
        installed = demo::makeDemoPrefix(prefix);
        for (const demo::InstalledFile& file : installed) before[file.path] = fileBytes(file.path);
        query = std::make_unique<ProductQuery>(opener, installation());
    }
    void TearDown() override {
        query.reset();  // closes the last product database before its folder goes
        fs::remove_all(prefix);
    }

    Installation installation() const {
        return Installation::withDrives({{'c', prefix / "drive_c"}, {'d', prefix / "drive_d"}, {'e', prefix / "drive_e"}},
                                        std::string(kLocalAppData));
    }
    const demo::InstalledFile& file(const std::string& directory, const std::string& name) const {
        for (const demo::InstalledFile& f : installed)
            if (f.directory == directory && f.fileName == name) return f;
        throw std::logic_error("no demo file " + directory + "\\" + name);
    }
    AlmanacUpgradeResult runAlmanac(const CatalogueList& list) {
        return runAlmanacUpgrade(list, *query, {succeeded, failed}, feedback);
    }

    fs::path prefix;
    std::vector<demo::InstalledFile> installed;
    std::map<fs::path, std::string> before;
    JetDatabaseOpener opener;
    std::unique_ptr<ProductQuery> query;
    text::LineList succeeded, failed;
    RecordingFeedback feedback;
};

void expectCarriedAlmanac(const fs::path& file, bool withAutoNumber) {
    const auto rows = rowsOf(file, "huangdao");
    ASSERT_EQ(rows.size(), content::almanacDayCount()) << file;
    const std::size_t first = withAutoNumber ? 1 : 0;
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const auto day = content::almanacDay(i);
        for (std::size_t c = 0; c < day.size(); ++c)
            ASSERT_EQ(std::get<std::string>(rows[i][first + c]), day[c]) << file << " day " << i;
    }
}

// Every product database's size, by path.
std::map<fs::path, std::uintmax_t> sizesOf(const std::vector<demo::InstalledFile>& files) {
    std::map<fs::path, std::uintmax_t> sizes;
    for (const demo::InstalledFile& f : files) sizes[f.path] = fs::file_size(f.path);
    return sizes;
}

// An upgrade run again and again rewrites the same content: the files keep the size the first
// run gave them (give or take a page), every table reads in full and the indexes stay sound.
template <typename Run>
void expectRepeatedRunsKeepTheirSize(const std::vector<demo::InstalledFile>& files, Run run) {
    run();
    const auto first = sizesOf(files);
    for (int round = 2; round <= 10; ++round) {
        run();
        for (const auto& [path, size] : sizesOf(files)) {
            const auto expected = first.at(path);
            EXPECT_LE(size, expected + 4096) << path << " after run " << round;
            EXPECT_GE(size + 4096, expected) << path << " after run " << round;
        }
    }
    for (const demo::InstalledFile& f : files) {
        const jet::Database database = jet::Database::open(utf8(f.path));
        for (const std::string& table : database.tableNames(true)) EXPECT_NO_THROW(database.readAllRows(table)) << f.path << " " << table;
        const auto problems = jet::checkAllIndexes(jet::PageFile::load(utf8(f.path)), true);
        EXPECT_TRUE(problems.empty()) << f.path << ": " << problems.front();
    }
}

}  // namespace

TEST_F(UpgradeEndToEnd, RepeatedUpgradesKeepTheFilesTheirSize) {
    expectRepeatedRunsKeepTheirSize(installed, [&] {
        ASSERT_TRUE(runAlmanac(almanacList()).failures.empty());
        expectCarriedAlmanac(file(fortuneList().entry(0), "QorBirth.dll").path, true);
    });
    expectRepeatedRunsKeepTheirSize(installed, [&] {
        const FortuneUpgradeResult result = runFortuneUpgrade(fortuneList(), *query, feedback);
        ASSERT_FALSE(result.failure) << result.failure->what();
    });
    const auto fortunes = rowsOf(file(fortuneList().entry(0), "Tgcode.dll").path, "Bennian2011");
    for (const content::AnimalFortune& animal : content::animalFortunes()) {
        const auto row = std::find_if(fortunes.begin(), fortunes.end(), [&](const auto& r) { return std::get<std::string>(r[0]) == animal.key; });
        ASSERT_NE(row, fortunes.end()) << animal.key;
        EXPECT_EQ(text::utf8ToGbk(std::get<std::string>((*row)[1])), animal.yearlyText) << animal.key;
    }
}

TEST_F(UpgradeEndToEnd, AlmanacUpgradeRebuildsEveryInstalledProduct) {
    const AlmanacUpgradeResult result = runAlmanac(almanacList());
    EXPECT_TRUE(result.failures.empty()) << result.failures.front().cause;
    EXPECT_EQ(feedback.messages.back().text, "更新成功！");
    EXPECT_EQ(succeeded.count(), 7u) << "six products, one of them listed twice";

    const std::string ordinary = fortuneList().entry(0);
    expectCarriedAlmanac(file(ordinary, "QorBirth.dll").path, true);
    // The AutoNumber goes on from the last number handed out; deleted rows keep theirs.
    const auto keyed = rowsOf(file(ordinary, "QorBirth.dll").path, "huangdao");
    EXPECT_EQ(std::get<std::int64_t>(keyed.front()[0]), 366);

    // Feng-shui products get the rows in QorFile.dll; their QorBirth.dll stays as it was.
    const std::string fengShui = almanacList().entry(56);
    expectCarriedAlmanac(file(fengShui, "QorFile.dll").path, true);
    EXPECT_EQ(fileBytes(file(fengShui, "QorBirth.dll").path), before[file(fengShui, "QorBirth.dll").path]);
    expectCarriedAlmanac(file(fortuneList().entry(10), "QorBirth.dll").path, false);

    // Every other table reads as before, and the backup is the file as it was.
    for (const demo::InstalledFile& f : installed) {
        if (fileBytes(f.path) == before[f.path]) continue;
        const auto oldImage = jet::Database::fromImage(f.fileName, std::vector<std::uint8_t>(before[f.path].begin(), before[f.path].end()));
        EXPECT_EQ(rowsOf(f.path, "Settings"), oldImage.readAllRows("Settings")) << f.path;
        EXPECT_EQ(fileBytes(backupPathFor(f.path)), before[f.path]) << f.path;
    }

    // The last file stays open, its writer lock beside it, until the query is
    // released; releasing it leaves no lock file in any product's folder.
    EXPECT_TRUE(query->isOpen());
    EXPECT_EQ(writerLocksUnder(prefix).size(), 1u);
    query->release();
    EXPECT_TRUE(writerLocksUnder(prefix).empty());
}

TEST_F(UpgradeEndToEnd, FortuneUpgradeWritesTextsScrambledHoroscopesAndSparesMarriageProducts) {
    const FortuneUpgradeResult result = runFortuneUpgrade(fortuneList(), *query, feedback);
    ASSERT_FALSE(result.failure) << result.failure->what();
    EXPECT_EQ(feedback.messages.back().text, "更新成功！");

    const auto fortunes = rowsOf(file(fortuneList().entry(0), "Tgcode.dll").path, "Bennian2011");
    ASSERT_EQ(fortunes.size(), 12u);
    for (const content::AnimalFortune& animal : content::animalFortunes()) {
        const auto row = std::find_if(fortunes.begin(), fortunes.end(),
                                      [&](const auto& r) { return std::get<std::string>(r[0]) == animal.key; });
        ASSERT_NE(row, fortunes.end()) << animal.key;
        EXPECT_EQ(text::utf8ToGbk(std::get<std::string>((*row)[1])), animal.yearlyText) << animal.key;
        EXPECT_EQ(text::utf8ToGbk(std::get<std::string>((*row)[2])), animal.monthlyText) << animal.key;
    }
    const auto horoscopes = rowsOf(file(fortuneList().entry(32), "QorFile.dll").path, "xingzuo2007");
    for (const content::Horoscope& sign : content::horoscopes()) {
        const auto row = std::find_if(horoscopes.begin(), horoscopes.end(),
                                      [&](const auto& r) { return std::get<std::string>(r[0]) == sign.key; });
        ASSERT_NE(row, horoscopes.end());
        EXPECT_EQ(std::get<std::string>((*row)[1]), horoscopeScramble(sign.text)) << sign.key;
    }
    const fs::path marriage = file(fortuneList().entry(32), "Tgcode.dll").path;
    EXPECT_EQ(fileBytes(marriage), before[marriage]) << "a marriage-matching product keeps its zodiac table";
    EXPECT_FALSE(fs::exists(backupPathFor(marriage)));
}

TEST_F(UpgradeEndToEnd, BrokenProductsFailAloneAndKeepTheirFilesByteForByte) {
    // A product whose almanac table is missing, one whose column is too short
    // for the carried text, and one that is open in another program.
    const std::string noTable = almanacList().entry(36);
    const std::string shortColumn = almanacList().entry(40);
    const std::string inUse = almanacList().entry(44);
    auto make = [&](const std::string& directory, std::vector<jet::NewTable> tables) {
        const fs::path folder = demo::localDirectory(prefix, directory);
        fs::create_directories(folder);
        jet::createDatabase(utf8(folder / "QorBirth.dll"), tables);
        return folder / "QorBirth.dll";
    };
    jet::NewTable other{"Settings", {{"Name", jet::ColumnType::Text, 50}}, {}, {{std::string("x")}}};
    jet::NewTable tooShort{"huangdao", {}, {}, {}}, sound{"huangdao", {}, {}, {}};
    for (std::string_view column : content::kAlmanacColumns) {
        tooShort.columns.push_back({std::string(column), jet::ColumnType::Text, static_cast<std::uint16_t>(column == "yi" ? 20 : 255)});
        sound.columns.push_back({std::string(column), jet::ColumnType::Text, 255});
    }
    const fs::path missingFile = make(noTable, {other});
    const fs::path shortFile = make(shortColumn, {tooShort});
    const fs::path busyFile = make(inUse, {sound});   // only the lock file makes it fail
    std::ofstream(busyFile.parent_path() / "QorBirth.ldb") << "lock";
    const std::string missingBefore = fileBytes(missingFile), shortBefore = fileBytes(shortFile),
                      busyBefore = fileBytes(busyFile);

    const AlmanacUpgradeResult result = runAlmanac(almanacList());
    EXPECT_EQ(result.failures.size(), 3u);
    EXPECT_EQ(failed.lines(), (std::vector<std::string>{noTable, shortColumn, inUse}));
    EXPECT_EQ(succeeded.count(), 7u) << "the other products were upgraded";
    for (const auto& [path, old] : {std::pair{missingFile, missingBefore}, {shortFile, shortBefore}, {busyFile, busyBefore}}) {
        EXPECT_EQ(fileBytes(path), old) << path;
        EXPECT_FALSE(fs::exists(backupPathFor(path))) << "a failed upgrade leaves no backup";
    }
    const UserMessage& message = feedback.messages.back();
    EXPECT_EQ(message.icon, MessageIcon::Warning);
    for (const std::string& directory : {noTable, shortColumn, inUse})
        EXPECT_NE(message.text.find(directory), std::string::npos) << message.text;
    EXPECT_NE(message.text.find("数据库正被其他程序使用"), std::string::npos) << message.text;
    EXPECT_NE(message.text.find("其余产品已更新成功。"), std::string::npos);
}

TEST_F(UpgradeEndToEnd, AFortuneFailureStopsTheActionAndLeavesThatFile) {
    const fs::path first = file(fortuneList().entry(0), "Tgcode.dll").path;
    jet::createDatabase(utf8(first), {{"Settings", {{"Name", jet::ColumnType::Text, 50}}, {}, {}}}, {}, true);
    const std::string firstBefore = fileBytes(first);

    const FortuneUpgradeResult result = runFortuneUpgrade(fortuneList(), *query, feedback);
    ASSERT_TRUE(result.failure.has_value());
    EXPECT_EQ(fileBytes(first), firstBefore);
    for (const demo::InstalledFile& f : installed) {
        if (f.path == first) continue;
        EXPECT_EQ(fileBytes(f.path), before[f.path]) << "nothing after the failure is touched";
    }
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_EQ(feedback.messages[0].icon, MessageIcon::Error);
    EXPECT_NE(feedback.messages[0].text.find("Tgcode.dll"), std::string::npos);
}

TEST_F(UpgradeEndToEnd, ProgramFilesX86AndVirtualStoreCopiesAreUpgradedEachWithItsOwnBackup) {
    // The demo's product on drive C installed a second time by a 32-bit
    // installer, and the copies file virtualisation made of its databases.
    const std::string onC = fortuneList().entry(5);
    const std::string x86 = *programFilesX86Twin(onC);
    const std::string store = std::string(kLocalAppData) + "\\VirtualStore\\" + onC.substr(3);
    const fs::path installedFolder = demo::localDirectory(prefix, onC);
    fs::create_directories(demo::localDirectory(prefix, x86).parent_path());
    fs::copy(installedFolder, demo::localDirectory(prefix, x86));
    fs::create_directories(demo::localDirectory(prefix, store));
    std::vector<fs::path> copies;
    for (const char* name : {"QorBirth.dll", "Tgcode.dll"}) {
        copies.push_back(demo::localDirectory(prefix, x86) / name);
        copies.push_back(demo::localDirectory(prefix, store) / name);
        fs::copy_file(installedFolder / name, copies.back());
    }
    const std::string old = fileBytes(installedFolder / "QorBirth.dll");
    const std::string oldFortunes = fileBytes(installedFolder / "Tgcode.dll");

    const AlmanacUpgradeResult almanac = runAlmanac(almanacList());
    ASSERT_TRUE(almanac.failures.empty()) << almanac.failures.front().cause;
    const std::vector<std::string>& upgraded = succeeded.lines();
    const auto at = std::find(upgraded.begin(), upgraded.end(), onC);
    ASSERT_NE(at, upgraded.end());
    ASSERT_LT(at + 2, upgraded.end());
    EXPECT_EQ(*(at + 1), store) << "the product's own copy follows its installed folder";
    EXPECT_EQ(*(at + 2), x86);
    EXPECT_EQ(upgraded.size(), 9u);
    const FortuneUpgradeResult fortunes = runFortuneUpgrade(fortuneList(), *query, feedback);
    ASSERT_FALSE(fortunes.failure) << fortunes.failure->what();

    for (const fs::path& file : copies) {
        EXPECT_EQ(fileBytes(backupPathFor(file)), file.filename() == "Tgcode.dll" ? oldFortunes : old) << file;
        if (file.filename() == "QorBirth.dll") expectCarriedAlmanac(file, false);
    }
    const auto yearly = rowsOf(demo::localDirectory(prefix, store) / "Tgcode.dll", "Bennian2011");
    const content::AnimalFortune& dog = content::animalFortunes()[0];
    const auto row = std::find_if(yearly.begin(), yearly.end(),
                                  [&](const auto& r) { return std::get<std::string>(r[0]) == dog.key; });
    ASSERT_NE(row, yearly.end());
    EXPECT_EQ(text::utf8ToGbk(std::get<std::string>((*row)[1])), dog.yearlyText);
}

TEST_F(UpgradeEndToEnd, AVirtualStoreCopyInUseFailsAloneNamedByItsFolder) {
    const std::string onC = fortuneList().entry(5);
    const std::string store = std::string(kLocalAppData) + "\\VirtualStore\\" + onC.substr(3);
    const fs::path copy = demo::localDirectory(prefix, store) / "QorBirth.dll";
    fs::create_directories(copy.parent_path());
    fs::copy_file(demo::localDirectory(prefix, onC) / "QorBirth.dll", copy);
    std::ofstream(copy.parent_path() / "QorBirth.ldb") << "lock";  // the product has its copy open
    const std::string copyBefore = fileBytes(copy);

    const AlmanacUpgradeResult result = runAlmanac(almanacList());
    EXPECT_EQ(failed.lines(), std::vector<std::string>{store});
    EXPECT_EQ(fileBytes(copy), copyBefore);
    EXPECT_FALSE(fs::exists(backupPathFor(copy)));
    expectCarriedAlmanac(demo::localDirectory(prefix, onC) / "QorBirth.dll", false);
    EXPECT_EQ(result.succeeded, 7u);
    EXPECT_NE(feedback.messages.back().text.find(store + "：QorBirth.dll，数据库正被其他程序使用"), std::string::npos)
        << feedback.messages.back().text;
}
