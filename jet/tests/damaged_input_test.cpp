// Damaged files raise Error(Damaged) naming file and table: never a crash, a hang or a read
// outside the file.
#include <algorithm>
#include <random>

#include "jet/write/column_value.h"
#include "jet/format/data_page.h"
#include "jet/format/index_node.h"
#include "jet/format/table_definition.h"
#include "jet/create/database_builder.h"
#include "jet/check/index_check.h"
#include "jet/tests/test_support.h"

namespace jet {
namespace {

using testing::makeColumn;

std::vector<std::uint8_t> sampleImage() {
    NewTable table;
    table.name = "Notes";
    table.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("title", ColumnType::Text, 50),
                     makeColumn("body", ColumnType::Memo)};
    table.indexes = {{"PrimaryKey", {"id"}, true, true}};
    for (int i = 0; i < 30; ++i)
        table.rows.push_back({Value{}, std::string("title ") + std::to_string(i), std::string(i == 3 ? 9000 : 100 + i, 'a' + i % 26)});
    return buildDatabaseImage("damaged.mdb", {table});
}

std::uint32_t tablePage(const std::vector<std::uint8_t>& image) {
    return Database::fromImage("damaged.mdb", image).table("Notes").page;
}

std::uint8_t* pageAt(std::vector<std::uint8_t>& image, std::uint32_t page) { return image.data() + std::size_t(page) * kPageSize; }

// Reads everything and returns the error raised, or fails the test when none is.
Error damageOf(const std::vector<std::uint8_t>& image) {
    try {
        const Database database = Database::fromImage("damaged.mdb", image);
        testing::readEverything(database);
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("damaged.mdb"), std::string::npos);
        return error;
    }
    ADD_FAILURE() << "damage went unnoticed";
    return Error(ErrorKind::Io, "", "", "");
}

TEST(DamagedInput, DefinitionChainLoopingOntoItself) {
    auto image = sampleImage();
    const std::uint32_t page = tablePage(image);
    putU32(pageAt(image, page) + 4, page);
    const Error error = damageOf(image);
    EXPECT_EQ(error.kind(), ErrorKind::Damaged);
    EXPECT_EQ(error.table(), "Notes");
    EXPECT_NE(error.cause().find("loop"), std::string::npos);
}

TEST(DamagedInput, PointersPastTheEndOfTheFile) {
    auto image = sampleImage();
    putU32(pageAt(image, tablePage(image)) + tdef::kOwnedPagesMap, 0xFFFFFF00u);   // owned-pages map on page 0xFFFFFF
    const Error error = damageOf(image);
    EXPECT_EQ(error.kind(), ErrorKind::Damaged);
    EXPECT_NE(error.cause().find("past the end"), std::string::npos);
}

// The index self-check on a definition whose index names a column the table does not have.
TEST(DamagedInput, IndexCheckOfAnIndexOnAMissingColumnIsDamage) {
    const auto image = sampleImage();
    const PageFile file = PageFile::fromImage("damaged.mdb", image);
    TableDefinition table = Database::fromImage("damaged.mdb", image).table("Notes");
    ASSERT_FALSE(table.physicalIndexes.empty());
    EXPECT_TRUE(checkTableIndexes(file, table, true).empty());
    table.physicalIndexes[0].columns[0].columnNumber = 11519;
    EXPECT_THROW(checkTableIndexes(file, table, false), Damage);
}

// An index root turned into a node page holding one entry of two bytes, too short for a key and
// a child page number.
TEST(DamagedInput, IndexCheckOfATooShortNodeEntryIsDamage) {
    auto image = sampleImage();
    const std::uint32_t root = Database::fromImage("damaged.mdb", image).table("Notes").physicalIndexes.at(0).rootPage;
    std::uint8_t* page = pageAt(image, root);
    const std::size_t entriesAt = 0x1E0, bitmapAt = 0x1B;
    page[0] = 0x03;
    putU16(page + 2, static_cast<std::uint16_t>(kPageSize - entriesAt - 2));   // two bytes used
    putU32(page + 20, 0);                                                      // no tail page
    std::fill(page + bitmapAt, page + entriesAt, std::uint8_t{0});
    page[bitmapAt] = 0x04;                                                     // an entry ends at byte 2
    try {
        checkAllIndexes(PageFile::fromImage("damaged.mdb", image), false);
        ADD_FAILURE() << "damage went unnoticed";
    } catch (const Damage& damage) {
        EXPECT_NE(std::string(damage.what()).find("too short"), std::string::npos) << damage.what();
    }
}

// Index levels whose every entry leads to the same page below: four node levels over the old
// root leaf. The index check must refuse the second visit of a page rather than walk the
// 250^4 paths through them.
TEST(DamagedInput, IndexCheckOfNodesSharingTheirChildIsDamage) {
    auto image = sampleImage();
    const std::uint32_t owner = tablePage(image);
    const std::uint32_t root = Database::fromImage("damaged.mdb", image).table("Notes").physicalIndexes.at(0).rootPage;
    const std::uint32_t first = static_cast<std::uint32_t>(image.size() / kPageSize);
    image.resize(image.size() + 4 * kPageSize);
    std::copy_n(pageAt(image, root), kPageSize, pageAt(image, first + 3));   // the leaf, moved to the bottom
    const IndexEntryBytes entry{0x7F, 0x80, 0, 0, 1, 0, 0, 0x11, 1};
    const std::vector<const IndexEntryBytes*> entries(250, &entry);
    std::uint32_t node = root;
    for (std::uint32_t child = first; child < first + 4; node = child++)
        encodeIndexPage(pageAt(image, node), {static_cast<std::uint8_t>(PageType::IndexNode), owner, 0, 0, child}, entries,
                        std::vector<std::uint32_t>(250, child));
    try {
        checkAllIndexes(PageFile::fromImage("damaged.mdb", image), false);
        ADD_FAILURE() << "damage went unnoticed";
    } catch (const Damage& damage) {
        EXPECT_NE(std::string(damage.what()).find("twice"), std::string::npos) << damage.what();
    }
}

// Fixed-size fields that a damaged row cut short, as the write path and the index check decode them.
TEST(DamagedInput, ShortFixedFieldsAreDamage) {
    const PageFile file = PageFile::fromImage("damaged.mdb", sampleImage());
    const std::pair<ColumnType, std::size_t> cases[] = {{ColumnType::Byte, 0}, {ColumnType::Integer, 1}, {ColumnType::Long, 3},
                                                        {ColumnType::Double, 7}, {ColumnType::DateTime, 4}};
    for (const auto& [type, size] : cases) {
        ColumnDefinition column;
        column.name = "c";
        column.type = static_cast<std::uint8_t>(type);
        RowField field;
        field.present = true;
        field.bytes.assign(size, 0x7F);
        EXPECT_THROW(decodeField(file, column, field), Damage) << columnTypeName(column.type);
        field.bytes.push_back(0x7F);
        if (type == ColumnType::Integer || type == ColumnType::Long) {
            EXPECT_NO_THROW(decodeField(file, column, field));
        }
    }
}

TEST(DamagedInput, WrongPageTypeWhereATableDefinitionShouldBe) {
    auto image = sampleImage();
    pageAt(image, tablePage(image))[0] = 0x01;
    EXPECT_EQ(damageOf(image).kind(), ErrorKind::Damaged);
}

TEST(DamagedInput, LongValueChainThatLoops) {
    auto image = sampleImage();
    bool changed = false;
    for (std::uint32_t page = 0; page < image.size() / kPageSize && !changed; ++page) {
        std::uint8_t* bytes = pageAt(image, page);
        if (bytes[0] != 0x01 || std::memcmp(bytes + 4, "LVAL", 4) != 0) continue;
        const DataPage data(ByteView(Bytes(bytes, kPageSize)));
        for (std::uint16_t row = 0; row < data.rowCount(); ++row) {
            const std::uint16_t start = (bytes[14 + 2 * row] | (bytes[15 + 2 * row] << 8)) & kRowOffsetMask;
            // A chain row fills its page and starts with the pointer to the next chunk.
            if (data.row(row).bytes.size() >= 4000 && (bytes[start] | bytes[start + 1] | bytes[start + 2] | bytes[start + 3])) {
                putU32(bytes + start, RowPointer{page, static_cast<std::uint8_t>(row)}.raw());   // points at itself
                changed = true;
                break;
            }
        }
    }
    ASSERT_TRUE(changed) << "no chained memo found";
    const Error error = damageOf(image);
    EXPECT_EQ(error.kind(), ErrorKind::Damaged);
    EXPECT_NE(error.cause().find("loop"), std::string::npos);
}

TEST(DamagedInput, RowOffsetsAndLengthsThatDoNotFit) {
    auto image = sampleImage();
    const Database database = Database::fromImage("damaged.mdb", image);
    RowCursor cursor = database.rows("Notes");
    std::vector<Value> row;
    ASSERT_TRUE(cursor.next(row));
    const std::uint32_t dataPage = cursor.position().page;
    auto rowCount = image;
    putU16(pageAt(rowCount, dataPage) + 12, 2000);   // more rows than the page can list
    EXPECT_EQ(damageOf(rowCount).kind(), ErrorKind::Damaged);
    auto offsets = image;
    putU16(pageAt(offsets, dataPage) + 14, 0x0FFF);   // row 0 starting almost at the page end
    EXPECT_EQ(damageOf(offsets).kind(), ErrorKind::Damaged);
}

// Random corruption of a real structure: every outcome is either data or a jet::Error.
TEST(DamagedInput, RandomCorruptionNeverEscapesAsAnythingButError) {
    const auto original = sampleImage();
    std::mt19937 random(20240611);
    int errors = 0;
    for (int round = 0; round < 400; ++round) {
        auto image = original;
        const int flips = 1 + static_cast<int>(random() % 8);
        for (int i = 0; i < flips; ++i) {
            // Bias towards the structured first pages (header, maps, definitions).
            const std::size_t limit = (random() % 2) ? std::min<std::size_t>(image.size(), 10 * kPageSize) : image.size();
            image[random() % limit] = static_cast<std::uint8_t>(random());
        }
        try {
            const Database database = Database::fromImage("fuzz.mdb", image);
            testing::readEverything(database);
        } catch (const Error&) {
            ++errors;
        }
    }
    EXPECT_GT(errors, 0);
}

}  // namespace
}  // namespace jet
