// The table definition codec: what the encoder lays out, the decoder and the in-place editor read
// and change at the same places, also when the definition spans several pages.
#include <gtest/gtest.h>

#include "jet/format/table_definition.h"

namespace jet {
namespace {

constexpr std::uint32_t kFirstPage = 3;

// A table of `columnCount` Long columns with two indexes (one descending), a relationship side
// and a long-value map: long enough names make the block span several pages.
TableDefinition sampleDefinition(std::size_t columnCount) {
    TableDefinition table;
    table.page = kFirstPage;
    table.rowCount = 7;
    table.lastAutoNumber = 41;
    table.tableType = kTableTypeUser;
    table.ownedPagesMap = {20, 1};
    table.freePagesMap = {20, 2};
    for (std::size_t i = 0; i < columnCount; ++i) {
        ColumnDefinition column;
        column.name = "Column number " + std::to_string(i) + " with a long name to fill the definition";
        column.type = static_cast<std::uint8_t>(ColumnType::Long);
        column.number = column.rowIndex = static_cast<std::uint16_t>(i);
        column.flags = kColumnFixedFlag | kColumnUpdatableFlag;
        column.fixedOffset = static_cast<std::uint16_t>(4 * i);
        column.length = 4;
        column.sortOrder = 1033;
        table.columns.push_back(column);
    }
    table.maxColumnCount = static_cast<std::uint16_t>(columnCount);
    PhysicalIndex primary;
    primary.columns = {{0, true}};
    primary.rootPage = 30;
    primary.flags = kIndexUniqueFlag | kIndexRequiredFlag;
    primary.distinctKeyCount = 7;
    PhysicalIndex byTwo;
    byTwo.columns = {{1, false}, {2, true}};
    byTwo.ownedPagesMap = {20, 3};
    byTwo.rootPage = 31;
    byTwo.distinctKeyCount = 5;
    table.physicalIndexes = {primary, byTwo};
    LogicalIndex key;
    key.name = "PrimaryKey";
    key.type = kLogicalIndexPrimaryKey;
    LogicalIndex reference;
    reference.name = "Reference";
    reference.number = 1;
    reference.physicalIndex = 1;
    reference.type = kLogicalIndexForeignKey;
    reference.relationshipSide = kReferencedSide;
    reference.relatedIndex = 4;
    reference.relatedTablePage = 99;
    reference.cascadeUpdates = 1;
    reference.cascadeDeletes = 0;
    table.logicalIndexes = {key, reference};
    table.longValueMaps = {{2, {21, 0}, {21, 1}}};
    return table;
}

// An image of blank pages with the definition written into the chain kFirstPage, kFirstPage+1...
PageFile imageWith(const TableDefinition& table) {
    const std::vector<std::uint8_t> block = serializeTableDefinition(table);
    std::vector<std::uint32_t> pages;
    for (std::size_t i = 0; i < pagesNeededForDefinition(block.size()); ++i) pages.push_back(kFirstPage + static_cast<std::uint32_t>(i));
    std::vector<std::uint8_t> image((kFirstPage + pages.size()) * kPageSize, 0);
    const auto contents = paginateTableDefinition(block, pages);
    for (std::size_t i = 0; i < pages.size(); ++i) std::copy(contents[i].begin(), contents[i].end(), image.begin() + pages[i] * kPageSize);
    return PageFile::fromImage("definition.mdb", std::move(image));
}

void expectSameDefinition(const TableDefinition& read, const TableDefinition& written) {
    EXPECT_EQ(read.rowCount, written.rowCount);
    EXPECT_EQ(read.lastAutoNumber, written.lastAutoNumber);
    EXPECT_EQ(read.tableType, written.tableType);
    EXPECT_EQ(read.ownedPagesMap, written.ownedPagesMap);
    EXPECT_EQ(read.freePagesMap, written.freePagesMap);
    ASSERT_EQ(read.columns.size(), written.columns.size());
    for (std::size_t i = 0; i < read.columns.size(); ++i) {
        EXPECT_EQ(read.columns[i].name, written.columns[i].name);
        EXPECT_EQ(read.columns[i].number, written.columns[i].number);
        EXPECT_EQ(read.columns[i].fixedOffset, written.columns[i].fixedOffset);
        EXPECT_EQ(read.columns[i].sortOrder, written.columns[i].sortOrder);
        EXPECT_EQ(read.columns[i].flags, written.columns[i].flags);
    }
    ASSERT_EQ(read.physicalIndexes.size(), written.physicalIndexes.size());
    for (std::size_t i = 0; i < read.physicalIndexes.size(); ++i) {
        const PhysicalIndex &r = read.physicalIndexes[i], &w = written.physicalIndexes[i];
        ASSERT_EQ(r.columns.size(), w.columns.size());
        for (std::size_t c = 0; c < r.columns.size(); ++c) {
            EXPECT_EQ(r.columns[c].columnNumber, w.columns[c].columnNumber);
            EXPECT_EQ(r.columns[c].ascending, w.columns[c].ascending);
        }
        EXPECT_EQ(r.rootPage, w.rootPage);
        EXPECT_EQ(r.ownedPagesMap, w.ownedPagesMap);
        EXPECT_EQ(r.flags, w.flags);
        EXPECT_EQ(r.distinctKeyCount, w.distinctKeyCount);
    }
    ASSERT_EQ(read.logicalIndexes.size(), written.logicalIndexes.size());
    for (std::size_t i = 0; i < read.logicalIndexes.size(); ++i) {
        const LogicalIndex &r = read.logicalIndexes[i], &w = written.logicalIndexes[i];
        EXPECT_EQ(r.name, w.name);
        EXPECT_EQ(r.physicalIndex, w.physicalIndex);
        EXPECT_EQ(r.type, w.type);
        EXPECT_EQ(r.relationshipSide, w.relationshipSide);
        EXPECT_EQ(r.relatedIndex, w.relatedIndex);
        EXPECT_EQ(r.relatedTablePage, w.relatedTablePage);
        EXPECT_EQ(r.cascadeUpdates, w.cascadeUpdates);
        EXPECT_EQ(r.cascadeDeletes, w.cascadeDeletes);
    }
    ASSERT_EQ(read.longValueMaps.size(), written.longValueMaps.size());
    EXPECT_EQ(read.longValueMaps[0].ownedPages, written.longValueMaps[0].ownedPages);
    EXPECT_EQ(read.longValueMaps[0].freePages, written.longValueMaps[0].freePages);
}

TEST(TableDefinitionCodec, ReadsBackWhatItWritesOnOneOrSeveralPages) {
    for (std::size_t columns : {3u, 120u}) {
        SCOPED_TRACE(columns);
        const TableDefinition written = sampleDefinition(columns);
        const PageFile file = imageWith(written);
        EXPECT_EQ(definitionChain(file, kFirstPage).size() > 1, columns > 3);
        expectSameDefinition(readTableDefinition(file, kFirstPage), written);
    }
}

// Index definitions of a wide table lie on a continuation page: the editor must find the root
// page field there, past the column names, and leave everything else as it was.
TEST(TableDefinitionCodec, EditorChangesCountersAndRootsWhereTheDecoderReadsThem) {
    for (std::size_t columns : {3u, 120u}) {
        SCOPED_TRACE(columns);
        TableDefinition expected = sampleDefinition(columns);
        PageFile file = imageWith(expected);
        TableDefinitionEditor editor(file, readTableDefinition(file, kFirstPage));
        editor.setRowCount(1000);
        editor.setLastAutoNumber(0x01020304);
        editor.setDistinctKeyCount(1, 77);
        editor.setRootPage(1, 0x00ABCDEF);
        editor.setRootPage(0, 12);
        expected.rowCount = 1000;
        expected.lastAutoNumber = 0x01020304;
        expected.physicalIndexes[1].distinctKeyCount = 77;
        expected.physicalIndexes[1].rootPage = 0x00ABCDEF;
        expected.physicalIndexes[0].rootPage = 12;
        expectSameDefinition(readTableDefinition(file, kFirstPage), expected);
    }
}

TEST(TableDefinitionCodec, RefusesChainsThatLoopOrLeaveDefinitionPages) {
    PageFile file = imageWith(sampleDefinition(120));
    putU32(file.mutablePage(kFirstPage + 1) + tdef::kNextPage, kFirstPage);
    EXPECT_THROW(readTableDefinition(file, kFirstPage), Damage);
    EXPECT_THROW(TableDefinitionEditor(file, sampleDefinition(120)), Damage);
    putU32(file.mutablePage(kFirstPage + 1) + tdef::kNextPage, 1);   // a blank page
    EXPECT_THROW(definitionChain(file, kFirstPage), Damage);
}

}  // namespace
}  // namespace jet
