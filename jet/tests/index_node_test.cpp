// The index page codec: what the encoder lays out, the decoder reads back, and it reads the
// prefix compression Access uses though the encoder never writes it.
#include <gtest/gtest.h>

#include "jet/format/index_node.h"

namespace jet {
namespace {

using namespace index_node;

TEST(IndexNodeCodec, NodeEntriesKeepTheirChildPagesAndLinks) {
    const IndexEntryBytes first{0x7F, 0x80, 0, 0, 1, 0, 0, 0x11, 1}, second{0x7F, 0x80, 0, 0, 9, 0x01, 0x02, 0x03, 4};
    std::vector<std::uint8_t> page(kPageSize, 0xEE);   // the encoder clears what it does not write
    encodeIndexPage(page.data(), {static_cast<std::uint8_t>(PageType::IndexNode), 7, 40, 41, 42}, {&first, &second}, {0x01020304, 99});

    const IndexNodeHeader header = readIndexNodeHeader(ByteView(Bytes(page.data(), page.size())));
    EXPECT_TRUE(header.isNode());
    EXPECT_EQ(header.owner, 7u);
    EXPECT_EQ(header.previous, 40u);
    EXPECT_EQ(header.next, 41u);
    EXPECT_EQ(header.tail, 42u);
    const std::vector<IndexEntryBytes> entries = readIndexPageEntries(Bytes(page.data(), page.size()));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entryChild(entries[0]), 0x01020304u);
    EXPECT_EQ(entryChild(entries[1]), 99u);
    EXPECT_EQ(IndexEntryBytes(entries[1].begin(), entries[1].end() - kChildPointerSize), second);
    EXPECT_EQ(entryRow(second), (RowPointer{0x010203, 4}));
    EXPECT_EQ(page[kFreeSpace] | (page[kFreeSpace + 1] << 8), static_cast<int>(kEntrySpace - 2 * 13));
}

TEST(IndexNodeCodec, EntryRowsRoundTripThroughTheirStoredForm) {
    IndexEntryBytes entry{0x7F, 0x01};
    appendEntryRow(entry, {0xABCDEF, 0x42});
    EXPECT_EQ(entry, (IndexEntryBytes{0x7F, 0x01, 0xAB, 0xCD, 0xEF, 0x42}));
    EXPECT_EQ(entryRow(entry), (RowPointer{0xABCDEF, 0x42}));
    EXPECT_THROW(entryChild(IndexEntryBytes{1, 2, 3}), Damage);
}

// Later entries store only the bytes after the prefix they share with the first.
TEST(IndexNodeCodec, PrefixCompressedLeavesAreExpanded) {
    std::vector<std::uint8_t> page(kPageSize, 0);
    page[kPageType] = static_cast<std::uint8_t>(PageType::IndexLeaf);
    const std::vector<std::uint8_t> stored{0x7F, 0x4A, 0x4C, 0x01, 0x00, 0, 0, 5, 1,   // first entry, whole
                                           0x4D, 0x01, 0x00, 0, 0, 5, 2};               // "ac": after the 2-byte prefix
    std::copy(stored.begin(), stored.end(), page.begin() + kEntries);
    page[kEntryEnds + 9 / 8] |= 1u << (9 % 8);
    page[kEntryEnds + 16 / 8] |= 1u << (16 % 8);
    putU16(&page[kFreeSpace], static_cast<std::uint32_t>(kEntrySpace - stored.size()));
    putU16(&page[kPrefixLength], 2);
    const auto entries = readIndexPageEntries(Bytes(page.data(), page.size()));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[1], (IndexEntryBytes{0x7F, 0x4A, 0x4D, 0x01, 0x00, 0, 0, 5, 2}));

    putU16(&page[kFreeSpace], static_cast<std::uint32_t>(kEntrySpace - stored.size() - 1));   // a byte no entry ends after
    EXPECT_THROW(readIndexPageEntries(Bytes(page.data(), page.size())), Damage);
}

TEST(IndexNodeCodec, RefusesEntriesThatDoNotFitThePage) {
    const IndexEntryBytes big(kEntrySpace - 2, 0x11);
    std::vector<std::uint8_t> page(kPageSize, 0);
    EXPECT_THROW(encodeIndexPage(page.data(), {static_cast<std::uint8_t>(PageType::IndexNode)}, {&big}, {5}), std::length_error);
}

}  // namespace
}  // namespace jet
