// A statement refused at any point, also after it has begun writing, leaves the unit of work as
// it was before the statement: later statements and the commit see nothing of it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "jet/read/catalogue.h"
#include "jet/write/connection.h"
#include "jet/format/data_page.h"
#include "jet/error.h"
#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using fixtures::column;

// Ends the long-value map list of a table's definition before the entry of `memoColumn`, as
// files of older writers have it: that column's memos can then only be stored inline.
void dropLongValueMapsFrom(const std::string& path, const std::string& table, std::size_t memoEntry) {
    std::vector<std::uint8_t> bytes = readBytes(path);
    const PageFile file = PageFile::fromImage(path, bytes);
    std::uint32_t page = 0;
    for (const auto& entry : readCatalogue(file))
        if (entry.name == table) page = entry.definitionPage();
    const TableDefinition definition = readTableDefinition(file, page);
    const LongValueMaps& maps = definition.longValueMaps.at(memoEntry);
    std::uint8_t pattern[10];
    putU16(pattern, maps.columnNumber);
    putU32(pattern + 2, maps.ownedPages.raw());
    putU32(pattern + 6, maps.freePages.raw());
    const auto begin = bytes.begin() + static_cast<std::ptrdiff_t>(std::size_t(page) * kPageSize);
    const auto at = std::search(begin, begin + kPageSize, pattern, pattern + sizeof pattern);
    ASSERT_NE(at, begin + kPageSize) << "long-value map entry not found";
    at[0] = at[1] = 0xFF;
    writeBytes(path, bytes);
}

class StatementAtomicity : public ::testing::Test {
protected:
    // notes: k, sixteen texts and two memos. Row "a" is short; row "b" fills its texts, so a
    // memo of 60 bytes still fits row "a" inline but no longer row "b".
    void SetUp() override {
        NewTable table;
        table.name = "notes";
        table.columns = {column("k", ColumnType::Text, 10)};
        for (int c = 0; c < 16; ++c) table.columns.push_back(column("t" + std::to_string(c), ColumnType::Text));
        table.columns.push_back(column("first", ColumnType::Memo));
        table.columns.push_back(column("second", ColumnType::Memo));
        table.indexes.push_back({"k", {"k"}, true, false});
        table.indexes.push_back({"t15", {"t15"}, false, false});
        std::vector<Value> shortRow{Value(std::string("a"))}, fullRow{Value(std::string("b"))};
        for (int c = 0; c < 16; ++c) {
            shortRow.emplace_back(std::string("x"));
            fullRow.emplace_back(std::string(c < 15 ? 255 : 100, 'y'));
        }
        shortRow.resize(19);
        fullRow.resize(19);
        table.rows = {shortRow, fullRow};
        makeDatabase(path, {table});
        dropLongValueMapsFrom(path, "notes", 1);   // "second" keeps its memos inline
        before = readBytes(path);
    }

    TempDir dir;
    std::string path = dir.file("notes.mdb");
    std::vector<std::uint8_t> before;
};

TEST_F(StatementAtomicity, AnUpdateRefusedOnItsSecondRowLeavesTheFirstUnchanged) {
    const Value memo(std::string(60, 'm')), text(std::string(100, 'y'));
    Connection connection(path);
    connection.beginWork();
    // Row "a" takes the memo inline and a new key in index t15 (row "b" has that text already);
    // row "b" would need a long-value page the column lacks.
    EXPECT_EQ(kindOf([&] { connection.execute("update notes set t15 = ?, second = ?", {text, memo}); }), ErrorKind::Unsupported);
    connection.commitWork();
    EXPECT_EQ(readBytes(path), before) << "the commit wrote part of the refused statement";

    // The unit goes on after a refused statement, and commits what came after it.
    connection.beginWork();
    EXPECT_EQ(kindOf([&] { connection.execute("update notes set second = ?", {memo}); }), ErrorKind::Unsupported);
    EXPECT_EQ(connection.execute("update notes set second = ? where k = 'a'", {memo}), 1u);
    connection.commitWork();
    const auto rows = rowsOf(path, "notes");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_TRUE(rows[0][18] == memo);
    EXPECT_TRUE(isNull(rows[1][18]));
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(StatementAtomicity, AnInsertRefusedAfterStoringAMemoTakesNoPageAndNoKey) {
    const Value longMemo(std::string(9000, 'L')), tooLongForInline(std::string(100, 's'));
    Connection connection(path);
    connection.beginWork();
    // "first" goes into long-value pages before "second" turns out to have none.
    EXPECT_EQ(kindOf([&] { connection.execute("insert into notes (k, first, second) values ('c', ?, ?)", {longMemo, tooLongForInline}); }),
              ErrorKind::Unsupported);
    connection.commitWork();
    EXPECT_EQ(readBytes(path), before);

    // Its key did not stay behind either.
    EXPECT_EQ(connection.execute("insert into notes (k, first) values ('c', ?)", {longMemo}), 1u);
    const auto rows = rowsOf(path, "notes");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_TRUE(rows[1][0] == Value(std::string("c")) && rows[1][17] == longMemo) << "the row goes beside row a";
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

}  // namespace
}  // namespace jet
