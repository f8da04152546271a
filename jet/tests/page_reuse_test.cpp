// Pages freed by deletes and by replaced long values are used again before the file grows, and
// a freed page leaves every map that listed it.
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <set>

#include "jet/read/catalogue.h"
#include "jet/write/connection.h"
#include "jet/format/data_page.h"
#include "jet/write/file_editor.h"
#include "jet/write/free_pages.h"
#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"
#include "jet/format/usage_map.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;

std::vector<std::uint32_t> mapPages(const PageFile& file, RowPointer map) {
    if (map.page == 0) return {};
    return readUsageMap(file, readPointedRow(file, map, "usage map"));
}

// What Access requires of the maps: a page is owned by one object at most, an owned page is
// not free in the global map, a free-space map lists owned pages only, and every data page of a
// table is in that table's map.
void expectMapsAgree(const std::string& path) {
    const PageFile file = PageFile::load(path);
    const auto freeInFile = mapPages(file, kGlobalUsageMap);
    const std::set<std::uint32_t> markedFree(freeInFile.begin(), freeInFile.end());
    std::map<std::uint32_t, std::string> owner;
    auto own = [&](const std::string& who, const std::vector<std::uint32_t>& pages) {
        for (std::uint32_t page : pages) {
            const auto [at, fresh] = owner.emplace(page, who);
            EXPECT_TRUE(fresh) << path << ": page " << page << " is listed by " << at->second << " and by " << who;
            EXPECT_FALSE(markedFree.count(page)) << path << ": page " << page << " of " << who << " is marked free";
        }
    };
    auto within = [&](const std::string& who, const std::vector<std::uint32_t>& pages, const std::vector<std::uint32_t>& owned) {
        const std::set<std::uint32_t> ownedSet(owned.begin(), owned.end());
        for (std::uint32_t page : pages) EXPECT_TRUE(ownedSet.count(page)) << path << ": free-space map of " << who << " lists page " << page;
    };
    std::vector<std::uint32_t> definitions{kCatalogueTablePage};
    for (const auto& entry : readCatalogue(file))
        if (entry.isTable() && entry.definitionPage() != kCatalogueTablePage) definitions.push_back(entry.definitionPage());
    std::map<std::uint32_t, std::set<std::uint32_t>> tablePages;
    for (std::uint32_t page : definitions) {
        const TableDefinition table = readTableDefinition(file, page);
        const std::string name = "table at " + std::to_string(page);
        const auto owned = mapPages(file, table.ownedPagesMap);
        own(name, owned);
        within(name, mapPages(file, table.freePagesMap), owned);
        tablePages[page].insert(owned.begin(), owned.end());
        for (std::size_t i = 0; i < table.longValueMaps.size(); ++i) {
            const auto lv = mapPages(file, table.longValueMaps[i].ownedPages);
            own(name + " long values " + std::to_string(i), lv);
            within(name + " long values " + std::to_string(i), mapPages(file, table.longValueMaps[i].freePages), lv);
        }
        for (std::size_t i = 0; i < table.physicalIndexes.size(); ++i) own(name + " index " + std::to_string(i), mapPages(file, table.physicalIndexes[i].ownedPagesMap));
    }
    for (std::uint32_t page = 3; page < file.pageCount(); ++page) {
        const ByteView view = file.page(page);
        if (view.u8(0, "type") != static_cast<std::uint8_t>(PageType::Data)) continue;
        const auto table = tablePages.find(view.u32(4, "owner"));
        if (table == tablePages.end()) continue;
        EXPECT_TRUE(table->second.count(page)) << path << ": data page " << page << " is in no map of its table";
    }
}

class PageReuse : public ::testing::Test {
protected:
    void SetUp() override { makeDatabase(path, {almanacTable(300), fortuneTable(), horoscopeTable()}, 2052); }

    void updateMemos(unsigned seed) {
        Connection connection(path);
        connection.beginWork();
        for (std::size_t a = 0; a < 12; ++a)
            connection.execute(kFortuneUpdate, {Value(chineseText(1600 + 500 * a, seed + a)), Value(chineseText(1650, seed + 20 + a)), Value(zodiacAnimals()[a])});
        for (std::size_t s = 0; s < 12; ++s) connection.execute(kHoroscopeUpdate, {Value(hexText(5000 + s, seed + s)), Value(starSigns()[s])});
        connection.commitWork();
    }

    void rebuildAlmanac(unsigned seed) {
        Connection connection(path);
        connection.beginWork();
        connection.execute("DELETE FROM huangdao", {});
        for (std::size_t day = 0; day < 300; ++day) connection.execute(kAlmanacInsert, almanacRow(day, seed));
        connection.commitWork();
    }

    TempDir dir;
    std::string path = dir.file("Tgcode.dll");
};

TEST_F(PageReuse, RepeatedUpgradesKeepTheFileItsSize) {
    updateMemos(1);
    rebuildAlmanac(1);
    const auto size = readBytes(path).size();
    for (unsigned round = 2; round <= 10; ++round) {
        updateMemos(round * 100);
        rebuildAlmanac(round);
        EXPECT_LE(readBytes(path).size(), size + kPageSize) << "round " << round;
        expectMapsAgree(path);
    }
    const auto fortunes = rowsOf(path, "Bennian2011");
    ASSERT_EQ(fortunes.size(), 12u);
    EXPECT_TRUE(std::get<std::string>(fortunes[11][2]) == chineseText(1600 + 500 * 11, 1000 + 11));
    const auto almanac = rowsOf(path, "huangdao");
    ASSERT_EQ(almanac.size(), 300u);
    EXPECT_EQ(almanac[299][1], almanacRow(299, 10)[0]);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(PageReuse, AnEmptiedTableGivesItsPagesToOthers) {
    std::string control = dir.file("control.dll");
    std::filesystem::copy_file(path, control);
    {
        Connection connection(path);
        connection.execute("DELETE FROM huangdao", {});
    }
    expectMapsAgree(path);
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 0u);
    // The memos go into the almanac's old pages (300 rows of about 500 bytes).
    updateMemos(7);
    std::swap(path, control);
    updateMemos(7);
    std::swap(path, control);
    EXPECT_LE(readBytes(path).size() + 30 * kPageSize, readBytes(control).size());
    expectMapsAgree(path);
    EXPECT_TRUE(std::get<std::string>(rowsOf(path, "xingzuo2007")[3][1]) == hexText(5003, 10));
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(PageReuse, DeletingSomeRowsReleasesTheirLongValuesAndEmptiedPages) {
    updateMemos(1);
    const auto pagesBefore = PageFile::load(path).pageCount();
    {
        Connection connection(path);
        connection.beginWork();
        for (std::size_t s = 1; s < 12; ++s) connection.execute("DELETE FROM xingzuo2007 where idxz = ?", {Value(starSigns()[s])});
        for (std::int64_t id = 11; id <= 300; ++id) connection.execute("DELETE FROM huangdao where id = ?", {Value(id)});
        connection.commitWork();
    }
    expectMapsAgree(path);
    EXPECT_EQ(rowsOf(path, "xingzuo2007").size(), 1u);
    EXPECT_EQ(rowsOf(path, "huangdao").size(), 10u);
    // Freed: the first page of each of eleven two-page memos, and the almanac's pages but its
    // first (290 rows of about 500 bytes). Free pages at the end of the file are cut off.
    const PageFile after = PageFile::load(path);
    const std::size_t freed = reusablePages(after, readCatalogue(after)).size() + (pagesBefore - after.pageCount());
    EXPECT_GE(freed, 11u + 30u);
    // What is left reads back, and new memos take the freed pages.
    EXPECT_TRUE(std::get<std::string>(rowsOf(path, "xingzuo2007")[0][1]) == hexText(5000, 1));
    updateMemos(2);
    EXPECT_LE(readBytes(path).size(), std::size_t(pagesBefore) * kPageSize);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
    expectMapsAgree(path);
}

// Only pages no map lists are handed out again, whatever the global map says of them.
TEST_F(PageReuse, PagesAMapStillListsAreNotReused) {
    PageFile file = PageFile::load(path);
    const auto catalogue = readCatalogue(file);
    EXPECT_TRUE(reusablePages(file, catalogue).empty()) << "a new file has no free pages";
    std::uint32_t almanacPage = 0;
    for (const auto& entry : catalogue)
        if (entry.name == "huangdao") almanacPage = entry.definitionPage();
    const TableDefinition table = readTableDefinition(file, almanacPage);
    const std::uint32_t dataPage = mapPages(file, table.ownedPagesMap).front();

    FileEditor editor(file);
    editor.setMapBit(kGlobalUsageMap, dataPage, true);      // listed by the table, yet marked free
    editor.setMapBit(kGlobalUsageMap, almanacPage, true);   // a table definition marked free
    EXPECT_TRUE(reusablePages(file, catalogue).empty());

    editor.setMapBit(table.ownedPagesMap, dataPage, false);
    editor.setMapBit(table.freePagesMap, dataPage, false);
    EXPECT_EQ(reusablePages(file, catalogue), std::vector<std::uint32_t>{dataPage});
}

// Which pages are free is asked of the walk the structure check makes: damage it finds (here
// one map row serving two maps) offers no page at all and names the table.
TEST_F(PageReuse, DamageTheOwnershipWalkFindsOffersNoPage) {
    PageFile file = PageFile::load(path);
    const auto catalogue = readCatalogue(file);
    std::uint32_t almanacPage = 0;
    for (const auto& entry : catalogue)
        if (entry.name == "huangdao") almanacPage = entry.definitionPage();
    const TableDefinition table = readTableDefinition(file, almanacPage);
    putU32(file.mutablePage(almanacPage) + tdef::kFreePagesMap, table.ownedPagesMap.raw());
    try {
        reusablePages(file, catalogue);
        ADD_FAILURE() << "pages offered from a damaged file";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Damaged);
        EXPECT_EQ(error.table(), "huangdao");
    }
}

}  // namespace
}  // namespace jet

namespace jet {
namespace {

// An Access-made file: memos replaced and a table emptied and refilled, round after round. The
// maps stay as Access requires them and the file keeps its size.
TEST(PageReuseInAccessFiles, RepeatedRewritesKeepTheMapsSoundAndTheSize) {
    JET_REQUIRE_SAMPLES();
    TempDir dir;
    const std::string path = dir.file("zblogasp-data-2013.mdb");
    std::filesystem::copy_file(samplePath("zblogasp-data-2013.mdb"), path);
    std::filesystem::permissions(path, std::filesystem::perms::owner_write, std::filesystem::perm_options::add);
    expectMapsAgree(path);
    std::size_t firstSize = 0;
    for (unsigned round = 1; round <= 5; ++round) {
        {
            Connection connection(path);
            connection.beginWork();
            connection.execute("update blog_Article set log_Content = ? where log_ID = 2", {Value(chineseText(6000, round))});
            connection.execute("DELETE FROM blog_Tag", {});
            for (int i = 0; i < 100; ++i)
                connection.execute("insert into blog_Tag (tag_Name, tag_Intro, tag_Order) values (?, ?, ?)",
                                   {Value(chineseText(12, round + i)), Value(chineseText(static_cast<std::size_t>(i) * 7, i)), Value(std::int64_t(i))});
            connection.commitWork();
        }
        expectMapsAgree(path);
        JET_EXPECT_INDEXES_CONSISTENT(path, false);
        const std::size_t size = readBytes(path).size();
        if (round == 1) firstSize = size;
        EXPECT_LE(size, firstSize + kPageSize) << "round " << round;
    }
    EXPECT_EQ(rowsOf(path, "blog_Tag").size(), 100u);
}

}  // namespace
}  // namespace jet
