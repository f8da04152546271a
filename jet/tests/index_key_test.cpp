// Index keys must match what Access writes byte for byte, since Access trusts index order.
#include <gtest/gtest.h>

#include "jet/format/index_key.h"
#include "jet/format/index_tree.h"
#include "jet/tests/test_support.h"

namespace jet {
namespace {

std::vector<std::uint8_t> key(ColumnType type, const Value& value, std::uint16_t sortOrder = 1033) {
    std::vector<std::uint8_t> out;
    appendIndexKey(out, type, sortOrder, value);
    return out;
}

TEST(IndexKey, LongKeysAreBigEndianWithTheSignBitFlipped) {
    EXPECT_EQ(key(ColumnType::Long, std::int64_t{1}), (std::vector<std::uint8_t>{0x7F, 0x80, 0x00, 0x00, 0x01}));
    EXPECT_EQ(key(ColumnType::Long, std::int64_t{-1}), (std::vector<std::uint8_t>{0x7F, 0x7F, 0xFF, 0xFF, 0xFF}));
    EXPECT_LT(key(ColumnType::Long, std::int64_t{-5}), key(ColumnType::Long, std::int64_t{3}));
    EXPECT_EQ(key(ColumnType::Long, Value{}), (std::vector<std::uint8_t>{0x00}));
    EXPECT_EQ(key(ColumnType::Byte, std::int64_t{200}), (std::vector<std::uint8_t>{0x7F, 200}));
}

// A descending column inverts its bytes so that larger values sort first; NULL sorts last.
TEST(IndexKey, DescendingKeysInvertTheOrder) {
    const auto descending = [](const Value& value) {
        std::vector<std::uint8_t> out;
        appendIndexKey(out, ColumnType::Long, 1033, value, false);
        return out;
    };
    EXPECT_EQ(descending(std::int64_t{1}), (std::vector<std::uint8_t>{0x80, 0x7F, 0xFF, 0xFF, 0xFE}));
    EXPECT_EQ(descending(Value{}), (std::vector<std::uint8_t>{0xFF}));
    EXPECT_LT(descending(std::int64_t{3}), descending(std::int64_t{-5}));
    EXPECT_LT(descending(std::int64_t{-5}), descending(Value{}));
    std::vector<std::uint8_t> text;
    appendIndexKey(text, ColumnType::Text, 1033, std::string("ab"), false);
    EXPECT_EQ(text, (std::vector<std::uint8_t>{0x80, 0xB5, 0xB3, 0xFE, 0xFF}));

    // A key of NULLs only, in either direction, is one flag byte per column.
    std::vector<std::uint8_t> nulls;
    appendIndexKey(nulls, ColumnType::Long, 1033, Value{});
    appendIndexKey(nulls, ColumnType::Text, 1033, Value{}, false);
    EXPECT_TRUE(isAllNullKey(nulls, 2));
    EXPECT_FALSE(isAllNullKey(key(ColumnType::Byte, std::int64_t{0}), 1));   // 0x7F 0x00: a value, not two NULLs
    EXPECT_FALSE(isAllNullKey(key(ColumnType::Byte, std::int64_t{0}), 2));
}

TEST(IndexKey, GeneralTextKeysFoldCaseAndEndWithMarkers) {
    EXPECT_EQ(generalTextKey("About"), (std::vector<std::uint8_t>{0x4A, 0x4C, 0x64, 0x6F, 0x6D, 0x01, 0x00}));
    EXPECT_EQ(generalTextKey("ABOUT"), generalTextKey("about"));
    EXPECT_EQ(generalTextKey("a b"), (std::vector<std::uint8_t>{0x4A, 0x07, 0x4C, 0x01, 0x00}));
    // '-' has no inline code: it is listed after the text with its position.
    EXPECT_EQ(generalTextKey("a-b"), (std::vector<std::uint8_t>{0x4A, 0x4C, 0x01, 0x01, 0x01, 0x01, 0x80, 0x0B, 0x06, 0x82, 0x00}));
    EXPECT_LT(generalTextKey("abc"), generalTextKey("abd"));
    EXPECT_LT(generalTextKey("ab"), generalTextKey("abc"));
    EXPECT_EQ(key(ColumnType::Text, std::string("A"), 2052), key(ColumnType::Text, std::string("A"), 1033));
}

TEST(IndexKey, RefusesWhatItCannotEncode) {
    EXPECT_THROW(key(ColumnType::Text, std::string("中")), std::invalid_argument);
    EXPECT_THROW(key(ColumnType::Text, std::string("a"), 1041), std::invalid_argument);
    EXPECT_THROW(key(ColumnType::Memo, std::string("a")), std::invalid_argument);
}

// The keys of the catalogue's ParentIdName index in an Access-made file equal ours.
TEST(IndexKey, MatchesAccessMadeCatalogueIndex) {
    JET_REQUIRE_SAMPLES();
    const Database database = Database::open(testing::samplePath("jackcess-adox_jet4.mdb"));
    const TableDefinition objects = database.table("MSysObjects");
    std::uint32_t root = 0;
    for (const auto& index : objects.physicalIndexes)
        if (index.columns.size() == 2) root = index.rootPage;
    const ByteView page = database.file().page(root);
    ASSERT_EQ(page.u8(0, "type"), static_cast<std::uint8_t>(PageType::IndexLeaf));
    std::vector<std::uint8_t> expected;
    appendIndexKey(expected, ColumnType::Long, 1033, std::int64_t{0x0F000000});   // the containers' parent
    appendIndexKey(expected, ColumnType::Text, 1033, std::string("Databases"));
    // The first entry starts at 0x1E0 and is followed by its 4-byte row pointer.
    const Bytes stored = page.slice(0x1E0, expected.size(), "entry");
    EXPECT_EQ(std::vector<std::uint8_t>(stored.begin(), stored.end()), expected);
}

// Index trees as the writer lays them out, on a scratch file of one page.
std::vector<IndexEntryBytes> longEntries(std::int64_t count, std::uint32_t firstPage) {
    std::vector<IndexEntryBytes> entries;
    for (std::int64_t value = 0; value < count; ++value) {
        IndexEntryBytes entry;
        appendIndexKey(entry, ColumnType::Long, 1033, value);
        const std::uint32_t page = firstPage + static_cast<std::uint32_t>(value / 100);
        entry.insert(entry.end(), {static_cast<std::uint8_t>(page >> 16), static_cast<std::uint8_t>(page >> 8), static_cast<std::uint8_t>(page),
                                   static_cast<std::uint8_t>(value % 100)});
        entries.push_back(entry);
    }
    return entries;
}

TEST(IndexPages, SingleLeafHoldsSortedEntriesWithCorrectFreeSpace) {
    PageFile file = PageFile::fromImage("index.mdb", std::vector<std::uint8_t>(kPageSize, 0));
    const std::vector<IndexEntryBytes> entries = longEntries(3, 0x11);
    const std::vector<std::uint32_t> pages = writeIndexTree(file, 7, entries, {}, [&] { return file.appendPage(); });
    ASSERT_EQ(pages.size(), 1u);
    const Bytes page = file.page(pages[0]).bytes();
    EXPECT_EQ(page[0], 0x04);
    EXPECT_EQ(page[2] | (page[3] << 8), 4096 - 0x1E0 - 27);
    EXPECT_EQ(page[4], 7);
    const std::vector<std::uint8_t> first(page.begin() + 0x1E0, page.begin() + 0x1E0 + 9);
    EXPECT_EQ(first, (std::vector<std::uint8_t>{0x7F, 0x80, 0, 0, 0, 0, 0, 0x11, 0}));
    EXPECT_EQ(page[0x1B + 1], 0x02);   // the first entry ends at 9: bit 1 of byte 1
    EXPECT_EQ(readIndexTree(file, pages[0]).entries, entries);
}

TEST(IndexPages, ManyEntriesGetLinkedLeavesUnderANode) {
    PageFile file = PageFile::fromImage("index.mdb", std::vector<std::uint8_t>(kPageSize, 0));
    const std::vector<IndexEntryBytes> entries = longEntries(1000, 10);
    const std::vector<std::uint32_t> pages = writeIndexTree(file, 3, entries, {}, [&] { return file.appendPage(); });
    ASSERT_EQ(pages.size(), 4u);   // 3 leaves of at most 401 entries and their node
    const Bytes root = file.page(pages[0]).bytes();
    EXPECT_EQ(root[0], 0x03);
    const std::uint32_t tail = root[20] | (root[21] << 8) | (root[22] << 16);
    EXPECT_EQ(tail, pages[3]);
    const Bytes firstLeaf = file.page(pages[1]).bytes();
    EXPECT_EQ(firstLeaf[16] | (firstLeaf[17] << 8), static_cast<int>(pages[2]));   // next leaf
    EXPECT_EQ(readIndexTree(file, pages[0]).entries, entries);
}

}  // namespace
}  // namespace jet
