// The structure check that guards every write: what it accepts (Access's own files, the engine's
// own), and damaged files refused before anything is written, with their bytes unchanged.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <functional>
#include <random>

#include "jet/read/catalogue.h"
#include "jet/write/connection.h"
#include "jet/format/data_page.h"
#include "jet/create/database_builder.h"
#include "jet/error.h"
#include "jet/format/header_page.h"
#include "jet/sql/sql_parser.h"
#include "jet/check/structure_check.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/format/usage_map.h"
#include "jet/write/write_session.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;
namespace fs = std::filesystem;
using Image = std::vector<std::uint8_t>;

// A fortune product's database: the table the upgrade rewrites, then a settings table with an
// index and long values of both kinds (one row, a chain), last in the file.
Image productImage() {
    NewTable settings;
    settings.name = "Settings";
    settings.columns = {column("id", ColumnType::Long, 0, true), column("name", ColumnType::Text, 50), column("memo", ColumnType::Memo)};
    settings.indexes = {{"PrimaryKey", {"id"}, true, true}};
    for (int i = 0; i < 40; ++i)
        settings.rows.push_back({Value(), Value("setting" + std::to_string(i)), Value(chineseText(i == 1 ? 3000 : i == 2 ? 900 : 10, 7 + i))});
    DatabaseOptions options;
    options.creationDate = 45000.0;
    return buildDatabaseImage("Tgcode.dll", {fortuneTable(), settings}, options);
}

std::uint32_t pageCount(const Image& image) { return static_cast<std::uint32_t>(image.size() / kPageSize); }
std::uint8_t* pageAt(Image& image, std::uint32_t page) { return image.data() + std::size_t(page) * kPageSize; }

TableDefinition tableOf(const Image& image, const std::string& name) { return Database::fromImage("Tgcode.dll", image).table(name); }

std::vector<std::uint32_t> ownedPages(const Image& image, const TableDefinition& table) {
    const PageFile file = PageFile::fromImage("Tgcode.dll", image);
    return readUsageMap(file, readPointedRow(file, table.ownedPagesMap, "map"));
}

std::uint32_t firstDataPage(const Image& image, const std::string& name) {
    const TableDefinition table = tableOf(image, name);
    for (std::uint32_t page : ownedPages(image, table))
        if (image[std::size_t(page) * kPageSize] == 0x01 && ByteView(Bytes(image.data() + std::size_t(page) * kPageSize, kPageSize)).u32(4, "owner") == table.page)
            return page;
    ADD_FAILURE() << "table " << name << " has no data page";
    return 0;
}

std::uint32_t firstLongValuePage(const Image& image) {
    for (std::uint32_t page = 0; page < pageCount(image); ++page)
        if (image[std::size_t(page) * kPageSize] == 0x01 && std::equal(image.begin() + std::ptrdiff_t(page * kPageSize + 4), image.begin() + std::ptrdiff_t(page * kPageSize + 8), "LVAL"))
            return page;
    ADD_FAILURE() << "no long-value page";
    return 0;
}

// The inline bitmap of the map row `map` points to: its start page and its first bitmap byte.
std::pair<std::uint32_t, std::uint8_t*> inlineMap(Image& image, RowPointer map) {
    const DataPage page(ByteView(Bytes(pageAt(image, map.page), kPageSize)));
    const Bytes row = page.row(map.row).bytes;
    std::uint8_t* bytes = pageAt(image, map.page) + (row.data() - pageAt(image, map.page));
    EXPECT_EQ(bytes[0], 0x00) << "not an inline map";
    return {ByteView(row).u32(1, "start"), bytes + 5};
}

void flipMapBit(Image& image, RowPointer map, std::uint32_t page) {
    const auto [start, bitmap] = inlineMap(image, map);
    ASSERT_GE(page, start);
    bitmap[(page - start) / 8] ^= static_cast<std::uint8_t>(1u << ((page - start) % 8));
}

// The check on an image, as the damage it reports (or Io when it accepts the image).
Error checkOf(const Image& image) {
    try {
        checkStructure(PageFile::fromImage("Tgcode.dll", image));
    } catch (const Error& error) {
        return error;
    }
    return Error(ErrorKind::Io, "", "", "accepted");
}

class DamagedFile : public ::testing::Test {
protected:
    // The damaged image written to disk must be refused by a writer as damage, naming the file,
    // and stay byte for byte as it was with nothing added beside it.
    void expectRefused(const Image& image, const std::string& what, const std::string& table = "") {
        writeBytes(path, image);
        std::vector<fs::path> before;
        for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) before.push_back(entry.path());
        try {
            Connection connection(path);
            connection.execute(kFortuneUpdate, {chineseText(1500, 1), chineseText(3100, 2), std::string("鼠")});
            ADD_FAILURE() << what << ": a damaged file was written";
        } catch (const Error& error) {
            // Files too short for a header, a catalogue and a table are refused by size.
            EXPECT_TRUE(error.kind() == ErrorKind::Damaged || error.kind() == ErrorKind::BadFileSize) << what << ": " << error.what();
            EXPECT_EQ(error.file(), path) << what;
            if (!table.empty()) {
                EXPECT_EQ(error.table(), table) << what << ": " << error.what();
            }
        }
        EXPECT_EQ(readBytes(path), image) << what << ": the file changed";
        std::vector<fs::path> after;
        for (const auto& entry : fs::directory_iterator(fs::path(path).parent_path())) after.push_back(entry.path());
        EXPECT_EQ(after, before) << what;
    }

    TempDir dir;
    std::string path = dir.file("Tgcode.dll");
    const Image sound = productImage();
};

TEST(StructureCheck, AcceptsAccessFilesAndTheEnginesOwn) {
    EXPECT_NO_THROW(checkStructure(PageFile::fromImage("Tgcode.dll", productImage())));
    NewTable empty = almanacTable(0);
    EXPECT_NO_THROW(checkStructure(PageFile::fromImage("empty.mdb", buildDatabaseImage("empty.mdb", {empty, horoscopeTable()}))));
    if (samplesDir().empty()) GTEST_SKIP() << "Access sample files not found at " JET_SAMPLES_DIR;
    for (const auto& entry : fs::directory_iterator(samplesDir())) {
        if (entry.path().extension() != ".mdb") continue;
        EXPECT_NO_THROW(checkStructure(PageFile::load(entry.path().string()))) << entry.path();
    }
}

// Every statement kind, committed and checked again on the committed file.
TEST(StructureCheck, AcceptsWhatTheWritePathCommits) {
    TempDir dir;
    const std::string path = dir.file("Tgcode.dll");
    writeBytes(path, productImage());
    {
        Connection connection(path);
        connection.beginWork();
        for (const std::string& animal : zodiacAnimals())
            connection.execute(kFortuneUpdate, {chineseText(1500, 1), chineseText(3100, 2), animal});
        connection.execute("delete from Settings where name = ?", {std::string("setting1")});
        connection.execute("insert into Settings(name, memo) values (?, ?)", {std::string("new"), chineseText(5000, 3)});
        connection.commitWork();
        connection.execute("DELETE FROM Bennian2011", {});
    }
    EXPECT_NO_THROW(checkStructure(PageFile::load(path)));
}

// A file cut short at a page boundary, as an interrupted copy leaves it, lost pages that the
// tables' maps still list; its new long values would be written onto them.
TEST_F(DamagedFile, CutShortBeforePagesAnotherTableStillOwnsIsNotUpgraded) {
    const std::vector<std::uint32_t> settingsPages = ownedPages(sound, tableOf(sound, "Settings"));
    ASSERT_FALSE(settingsPages.empty());
    Image cut = sound;
    cut.resize(std::size_t(settingsPages.back()) * kPageSize);
    expectRefused(cut, "cut before Settings' last data page", "Settings");
}

TEST_F(DamagedFile, CutShortAtAnyPageBoundaryIsRefused) {
    for (std::uint32_t pages = 1; pages < pageCount(sound); ++pages) {
        Image cut(sound.begin(), sound.begin() + std::ptrdiff_t(pages * kPageSize));
        expectRefused(cut, "cut to " + std::to_string(pages) + " pages");
    }
}

TEST_F(DamagedFile, ZeroedPagesAreRefused) {
    const std::pair<std::string, std::uint32_t> pages[] = {
        {"definition of Bennian2011", tableOf(sound, "Bennian2011").page},
        {"data page of Bennian2011", firstDataPage(sound, "Bennian2011")},
        {"data page of Settings", firstDataPage(sound, "Settings")},
        {"long-value page", firstLongValuePage(sound)},
        {"index root of Settings", tableOf(sound, "Settings").physicalIndexes.at(0).rootPage},
        {"the catalogue's data page", firstDataPage(sound, "MSysObjects")},
    };
    for (const auto& [what, page] : pages) {
        Image zeroed = sound;
        std::fill_n(pageAt(zeroed, page), kPageSize, std::uint8_t{0});
        expectRefused(zeroed, "zeroed " + what);
    }
}

TEST_F(DamagedFile, FlippedUsageMapBitsAreRefused) {
    const TableDefinition fortunes = tableOf(sound, "Bennian2011");
    const TableDefinition settings = tableOf(sound, "Settings");
    const std::uint32_t fortunePage = firstDataPage(sound, "Bennian2011");

    Image lostPage = sound;   // a data page the table no longer lists: its rows do not count
    flipMapBit(lostPage, fortunes.ownedPagesMap, fortunePage);
    expectRefused(lostPage, "data page left out of its table's map", "Bennian2011");

    Image foreignPage = sound;   // another table's data page listed as the table's own
    flipMapBit(foreignPage, settings.ownedPagesMap, fortunePage);
    expectRefused(foreignPage, "another table's page in the map", "Settings");

    Image pastTheEnd = sound;
    flipMapBit(pastTheEnd, settings.ownedPagesMap, pageCount(sound) + 1);
    expectRefused(pastTheEnd, "a page past the end of the file in the map", "Settings");

    Image markedFree = sound;   // a page in use marked free in the file's page map
    flipMapBit(markedFree, RowPointer{1, 0}, firstLongValuePage(sound));
    expectRefused(markedFree, "a long-value page marked free");
}

// The check's findings, named by the page where they are.
TEST(StructureCheck, SaysWhatIsWrongAndWhere) {
    const Image sound = productImage();
    Image moved = sound;   // a Settings data page that points back at the other table's definition
    const std::uint32_t settingsPage = firstDataPage(sound, "Settings");
    putU32(pageAt(moved, settingsPage) + 4, tableOf(sound, "Bennian2011").page);
    const Error rowCount = checkOf(moved);
    EXPECT_EQ(rowCount.kind(), ErrorKind::Damaged);
    EXPECT_EQ(rowCount.table(), "Settings");
    EXPECT_NE(rowCount.cause().find("rows"), std::string::npos) << rowCount.cause();

    Image indexOnData = sound;   // the index root points at a data page of the table
    const std::uint32_t root = tableOf(sound, "Settings").physicalIndexes.at(0).rootPage;
    std::copy_n(pageAt(indexOnData, firstDataPage(sound, "Settings")), kPageSize, pageAt(indexOnData, root));
    const Error index = checkOf(indexOnData);
    EXPECT_EQ(index.kind(), ErrorKind::Damaged);
    EXPECT_NE(index.cause().find("page " + std::to_string(root)), std::string::npos) << index.cause();

    const TableDefinition fortunes = tableOf(sound, "Bennian2011");
    Image foreignIndex = sound;   // the index page points back at the other table's definition
    putU32(pageAt(foreignIndex, root) + 4, fortunes.page);
    const Error backPointer = checkOf(foreignIndex);
    EXPECT_EQ(backPointer.table(), "Settings");
    EXPECT_NE(backPointer.cause().find("index page " + std::to_string(root) + " points at the definition at page " + std::to_string(fortunes.page)),
              std::string::npos)
        << backPointer.cause();

    Image sharedRoot = sound;   // Settings' index definition names Bennian2011's index root
    std::uint8_t* definition = pageAt(sharedRoot, tableOf(sound, "Settings").page);
    std::uint8_t rootBytes[4];
    putU32(rootBytes, root);
    std::uint8_t* at = std::search(definition, definition + kPageSize, rootBytes, rootBytes + 4);
    ASSERT_NE(at, definition + kPageSize);
    ASSERT_EQ(std::search(at + 1, definition + kPageSize, rootBytes, rootBytes + 4), definition + kPageSize) << "root page number found twice";
    putU32(at, fortunes.physicalIndexes.at(0).rootPage);
    const Error shared = checkOf(sharedRoot);
    EXPECT_NE(shared.cause().find("page " + std::to_string(fortunes.physicalIndexes.at(0).rootPage) + " belongs both to table Bennian2011's index PrimaryKey"),
              std::string::npos)
        << shared.cause();

    Image sharedMap = sound;   // Settings' free-space map is Bennian2011's
    putU32(pageAt(sharedMap, tableOf(sound, "Settings").page) + tdef::kFreePagesMap, fortunes.freePagesMap.raw());
    const Error mapRow = checkOf(sharedMap);
    EXPECT_EQ(mapRow.table(), "Settings");
    EXPECT_NE(mapRow.cause().find("is the row of another usage map too"), std::string::npos) << mapRow.cause();

    Image looped = sound;   // the first chain row of a long memo points back at itself
    bool pointed = false;
    for (std::uint32_t page = firstLongValuePage(sound); page < pageCount(sound) && !pointed; ++page) {
        std::uint8_t* bytes = pageAt(looped, page);
        if (bytes[0] != 0x01 || !std::equal(bytes + 4, bytes + 8, "LVAL")) continue;
        const DataPage data(ByteView(Bytes(bytes, kPageSize)));
        for (std::uint16_t row = 0; row < data.rowCount() && !pointed; ++row) {
            const Bytes slot = data.row(row).bytes;
            if (slot.size() < 4000 || ByteView(slot).u32(0, "next") == 0) continue;
            putU32(bytes + (slot.data() - bytes), RowPointer{page, static_cast<std::uint8_t>(row)}.raw());
            pointed = true;
        }
    }
    ASSERT_TRUE(pointed) << "no chained memo found";
    const Error loop = checkOf(looped);
    EXPECT_EQ(loop.table(), "Settings");
    EXPECT_NE(loop.cause().find("reached a second time"), std::string::npos) << loop.cause();

    const Error size = checkOf(Image(sound.begin(), sound.end() - 100));
    EXPECT_EQ(size.kind(), ErrorKind::BadFileSize);
}

// Mutated copies of the product database, as the upgrade would meet them: every one is refused as
// it is read, refused by a statement (damage in row contents, which the write path meets before
// it changes anything), or upgraded into a file that passes the check and reads completely. A
// write the check refuses at commit would be damage of the engine's own making.
TEST(StructureCheck, DamagedVariantsAreRefusedOrUpgradedSoundly) {
    const Image sound = productImage();
    std::vector<Image> variants;
    for (std::uint32_t pages = 1; pages < pageCount(sound); ++pages) variants.emplace_back(sound.begin(), sound.begin() + std::ptrdiff_t(pages * kPageSize));
    for (std::uint32_t page = 0; page < pageCount(sound); ++page) {
        Image zeroed = sound;
        std::fill_n(pageAt(zeroed, page), kPageSize, std::uint8_t{0});
        variants.push_back(std::move(zeroed));
    }
    std::mt19937 random(16);
    while (variants.size() < 420) {
        Image flipped = sound;
        const std::uint32_t page = 1 + random() % (pageCount(sound) - 1);
        for (int n = 1 + random() % 4; n > 0; --n) pageAt(flipped, page)[random() % 64 == 0 ? random() % kPageSize : random() % 96] ^= 1u << (random() % 8);
        variants.push_back(std::move(flipped));
    }
    const ParsedStatement update = parseSql(kFortuneUpdate);
    std::size_t refused = 0, refusedByStatement = 0, upgraded = 0;
    for (std::size_t n = 0; n < variants.size(); ++n) {
        try {
            const PageFile file = PageFile::fromImage("Tgcode.dll", variants[n]);
            checkHeader(file);
            checkStructure(file);
        } catch (const Error&) {
            ++refused;
            continue;
        }
        try {
            WriteSession session("Tgcode.dll", variants[n]);
            for (const std::string& animal : zodiacAnimals()) session.execute(update, {chineseText(1500, 1), chineseText(3100, 2), animal});
            session.flush();
            const Error after = checkOf(session.file().image());
            EXPECT_EQ(after.kind(), ErrorKind::Io) << "variant " << n << ": the upgrade damaged an accepted file: " << after.what();
            const Database written = Database::fromImage("Tgcode.dll", session.releaseImage());
            readEverything(written);
            ++upgraded;
        } catch (const Error&) {
            ++refusedByStatement;
        }
    }
    EXPECT_GE(refused, 2u * pageCount(sound) - 2);   // every cut, nearly every zeroed page
    RecordProperty("refused", static_cast<int>(refused));
    RecordProperty("refusedByStatement", static_cast<int>(refusedByStatement));
    RecordProperty("upgraded", static_cast<int>(upgraded));
    EXPECT_GT(upgraded, 0u);
}

}  // namespace
}  // namespace jet
