// The codecs of pages whose layout the engine both reads and writes: data pages, usage maps and
// the header page. Each case writes through one side and reads back through the other.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/format/header_page.h"
#include "jet/format/usage_map.h"
#include "jet/write/file_editor.h"

namespace jet {
namespace {

std::vector<std::uint8_t> bytesOf(std::size_t size, std::uint8_t fill) { return std::vector<std::uint8_t>(size, fill); }

// ---- Data pages ----

TEST(DataPageCodec, RowsWrittenAreReadBackWithTheirFlagsByBothReaders) {
    std::vector<std::uint8_t> page(kPageSize);
    initDataPage(page.data(), 42);
    const std::vector<PageRow> rows{{0, bytesOf(100, 0xA1)},
                                    {kRowDeletedFlag | kRowOverflowFlag, {}},   // a deleted row keeps its number
                                    {kRowOverflowFlag, bytesOf(4, 0xB2)},
                                    {kRowDeletedFlag, bytesOf(3000, 0xC3)}};
    writePageRows(page.data(), rows);

    const std::vector<PageRow> copied = readPageRows(page);
    const DataPage view{ByteView(page)};
    ASSERT_EQ(copied.size(), rows.size());
    ASSERT_EQ(view.rowCount(), rows.size());
    EXPECT_EQ(view.owner(), 42u);
    for (std::uint16_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(copied[i].flags, rows[i].flags) << "row " << i;
        EXPECT_EQ(copied[i].bytes, rows[i].bytes) << "row " << i;
        EXPECT_EQ(view.rowFlags(i), rows[i].flags) << "row " << i;
        const RowSlot slot = view.row(i);
        EXPECT_EQ(std::vector<std::uint8_t>(slot.bytes.begin(), slot.bytes.end()), rows[i].bytes) << "row " << i;
    }
    // The free-space field agrees with the room the row table leaves.
    const std::size_t freeSpace = page[2] | (page[3] << 8);
    EXPECT_EQ(freeSpace, kPageSize - pageBytesNeeded(rows));
    EXPECT_EQ(pageRoomForRow(page), freeSpace - 2);
}

TEST(DataPageCodec, AppendingFillsThePageExactlyAndRefusesWithoutChangingIt) {
    std::vector<std::uint8_t> page(kPageSize);
    initDataPage(page.data(), kLongValuePageOwner);
    EXPECT_TRUE(DataPage(ByteView(page)).isLongValuePage());
    appendPageRow(page.data(), bytesOf(1000, 1), 0);
    const std::size_t room = pageRoomForRow(page);
    EXPECT_EQ(appendPageRow(page.data(), bytesOf(room, 2), 0), 1);
    EXPECT_EQ(pageRoomForRow(page), 0u);
    EXPECT_EQ(page[2] | (page[3] << 8), 0);

    const std::vector<std::uint8_t> full = page;
    EXPECT_THROW(appendPageRow(page.data(), bytesOf(1, 3), 0), Damage);
    EXPECT_EQ(page, full);
    // Rewriting the same rows reproduces the page byte for byte.
    writePageRows(page.data(), readPageRows(page));
    EXPECT_EQ(page, full);
}

TEST(DataPageCodec, RowCountCapsAt255EvenWithRoomLeft) {
    std::vector<std::uint8_t> page(kPageSize);
    initDataPage(page.data(), 7);
    for (int i = 0; i < 255; ++i) appendPageRow(page.data(), bytesOf(2, static_cast<std::uint8_t>(i)), 0);
    EXPECT_EQ(pageRoomForRow(page), 0u);
    EXPECT_THROW(appendPageRow(page.data(), bytesOf(2, 0), 0), Damage);
    std::vector<PageRow> rows = readPageRows(page);
    rows.push_back({0, {}});
    EXPECT_THROW(writePageRows(page.data(), rows), Damage);
}

TEST(DataPageCodec, ImpossibleRowTablesAreDamageForEveryReader) {
    std::vector<std::uint8_t> page(kPageSize);
    initDataPage(page.data(), 7);
    appendPageRow(page.data(), bytesOf(10, 1), 0);
    appendPageRow(page.data(), bytesOf(10, 2), 0);

    std::vector<std::uint8_t> overlapping = page;
    putU16(&overlapping[DataPageLayout::kRowTable + 2], 16);   // row 1 starting inside the row table
    EXPECT_THROW(DataPage(ByteView(overlapping)).row(1), Damage);
    EXPECT_THROW(readPageRows(overlapping), Damage);
    EXPECT_THROW(lowestRowStart(overlapping), Damage);

    std::vector<std::uint8_t> crossed = page;
    putU16(&crossed[DataPageLayout::kRowTable + 2], kPageSize - 5);   // row 1 above the start of row 0
    EXPECT_THROW(DataPage(ByteView(crossed)).row(1), Damage);
    EXPECT_THROW(readPageRows(crossed), Damage);

    std::vector<std::uint8_t> tooMany = page;
    putU16(&tooMany[DataPageLayout::kRowCount], 3000);
    EXPECT_THROW(DataPage{ByteView(tooMany)}, Damage);
    EXPECT_THROW(readPageRows(tooMany), Damage);

    std::vector<std::uint8_t> notData = page;
    notData[0] = static_cast<std::uint8_t>(PageType::IndexLeaf);
    EXPECT_THROW(DataPage{ByteView(notData)}, Damage);
}

// ---- Usage maps ----

// An image of `pageCount` pages whose page 1 holds an inline global map (row 0: pages below
// `used` in use, the rest of its 512-page window free) and an empty owned-pages map (row 1).
PageFile imageWithMaps(std::uint32_t pageCount, std::uint32_t used) {
    std::vector<std::uint8_t> image(std::size_t(pageCount) * kPageSize, 0);
    std::uint8_t* mapPage = &image[kPageSize];
    initDataPage(mapPage, 0);
    std::vector<std::uint32_t> free;
    for (std::uint32_t page = used; page < kMapBitmapBytes * 8; ++page) free.push_back(page);
    appendPageRow(mapPage, encodeInlineUsageMap(0, free), 0);
    appendPageRow(mapPage, encodeInlineUsageMap(0, {}), 0);
    for (std::uint32_t page = 2; page < used; ++page) initDataPage(&image[std::size_t(page) * kPageSize], 0);
    return PageFile::fromImage("maps.mdb", std::move(image));
}

constexpr RowPointer kOwnedMap{1, 1};

std::vector<std::uint32_t> listed(const PageFile& file, RowPointer map) { return readMapContent(file, map).pages; }

TEST(UsageMapCodec, InlineMapMovesItsWindowThenTurnsIntoReferencesKeepingEveryPage) {
    PageFile file = imageWithMaps(1200, 512);
    FileEditor editor(file);
    editor.setMapBit(kOwnedMap, 700, true);   // the window moves from 0 to 696
    editor.setMapBit(kOwnedMap, 705, true);
    EXPECT_EQ(listed(file, kOwnedMap), (std::vector<std::uint32_t>{700, 705}));
    EXPECT_EQ(readPointedRow(file, kOwnedMap, "map")[0], static_cast<std::uint8_t>(UsageMapForm::Inline));

    editor.setMapBit(kOwnedMap, 3, true);   // 3..705 spans more than 512 pages
    const MapContent converted = readMapContent(file, kOwnedMap);
    EXPECT_EQ(converted.pages, (std::vector<std::uint32_t>{3, 700, 705}));
    ASSERT_EQ(converted.bitmapPages.size(), 1u);
    EXPECT_EQ(converted.bitmapPages[0], 1200u);
    // Marking it in use turned the global map into references too, on a bitmap page of its own.
    EXPECT_EQ(file.pageCount(), 1202u);
    const MapContent global = readMapContent(file, kGlobalUsageMap);
    EXPECT_EQ(global.bitmapPages, std::vector<std::uint32_t>{1201});
    for (std::uint32_t bitmapPage : {1200u, 1201u})
        EXPECT_TRUE(std::find(global.pages.begin(), global.pages.end(), bitmapPage) == global.pages.end()) << bitmapPage;

    // Clearing and setting bits in the reference form gives back the same lists.
    editor.setMapBit(kOwnedMap, 3, false);
    EXPECT_EQ(listed(file, kOwnedMap), (std::vector<std::uint32_t>{700, 705}));
    editor.setMapBit(kOwnedMap, 3, true);
    editor.setMapBit(kOwnedMap, 1100, true);
    EXPECT_EQ(listed(file, kOwnedMap), (std::vector<std::uint32_t>{3, 700, 705, 1100}));
    editor.setMapBit(kOwnedMap, 1100, false);
    EXPECT_EQ(listed(file, kOwnedMap), (std::vector<std::uint32_t>{3, 700, 705}));
    EXPECT_EQ(file.pageCount(), 1202u);   // no bitmap page added for a page of the same slot
}

TEST(UsageMapCodec, GlobalMapGrowingPastItsWindowKeepsUncoveredPagesFree) {
    PageFile file = imageWithMaps(512, 40);   // pages 40..511 free, pages from 512 on uncovered
    FileEditor editor(file);
    const std::uint32_t page = editor.allocatePage();   // nothing free was offered: appends page 512
    EXPECT_EQ(page, 512u);

    const MapContent global = readMapContent(file, kGlobalUsageMap);
    ASSERT_EQ(global.bitmapPages.size(), 1u);
    const std::uint32_t bitmapPage = global.bitmapPages[0];
    std::vector<std::uint32_t> expectFree;
    for (std::uint32_t p = 40; p < 512; ++p) expectFree.push_back(p);
    EXPECT_EQ(global.pages, expectFree);   // the allocated page and the bitmap page are in use
    EXPECT_EQ(bitmapPage, 513u);
    // Pages past the file stay free: the bitmap page has their bits set.
    EXPECT_TRUE(global.anyPastEnd);
    EXPECT_EQ(global.firstPastEnd, file.pageCount());
}

TEST(UsageMapCodec, MalformedMapsAreDamage) {
    const PageFile file = imageWithMaps(20, 20);
    std::vector<std::uint8_t> unknownType = encodeInlineUsageMap(0, {});
    unknownType[0] = 2;
    EXPECT_THROW(decodeUsageMap(file, unknownType), Damage);
    EXPECT_THROW(UsageMapRow{std::span<std::uint8_t>(unknownType)}, Damage);
    EXPECT_THROW(decodeUsageMap(file, encodeReferenceUsageMap({5})), Damage);     // page 5 is no bitmap page
    EXPECT_THROW(decodeUsageMap(file, encodeReferenceUsageMap({999})), Damage);   // past the end
    EXPECT_THROW(encodeInlineUsageMap(8, {7}), Damage);                            // before the window
    EXPECT_THROW(encodeReferenceUsageMap(std::vector<std::uint32_t>(18, 0)), Damage);
    std::vector<std::uint8_t> stub(4, 0);
    EXPECT_THROW(UsageMapRow{std::span<std::uint8_t>(stub)}, Damage);

    // A set bit past the end of the file is reported, not listed.
    const MapContent pastEnd = decodeUsageMap(file, encodeInlineUsageMap(0, {3, 25, 30}));
    EXPECT_EQ(pastEnd.pages, std::vector<std::uint32_t>{3});
    EXPECT_TRUE(pastEnd.anyPastEnd);
    EXPECT_EQ(pastEnd.firstPastEnd, 25u);
}

// ---- Header page ----

TEST(HeaderPageCodec, FieldsRoundTripAndAnEmptyPasswordReadsAsNone) {
    for (double date : {45000.25, -12.5, 0.0, std::numeric_limits<double>::quiet_NaN(), 1e300}) {
        HeaderInfo info;
        info.codePage = 936;
        info.sortOrder = 2052;
        info.sortVersion = 1;
        info.creationDate = date;
        const std::vector<std::uint8_t> page = encodeHeaderPage(info);
        const HeaderInfo read = decodeHeaderPage(page);
        EXPECT_EQ(read.codePage, 936);
        EXPECT_EQ(read.sortOrder, 2052);
        EXPECT_EQ(read.sortVersion, 1);
        EXPECT_EQ(read.encryptionKey, 0u);
        EXPECT_FALSE(read.hasPassword) << date;
        if (std::isnan(date)) EXPECT_TRUE(std::isnan(read.creationDate));
        else EXPECT_EQ(read.creationDate, date);
    }
    EXPECT_THROW(decodeHeaderPage(std::vector<std::uint8_t>(100, 0)), Damage);
}

}  // namespace
}  // namespace jet
