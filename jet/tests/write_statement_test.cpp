// Statements through jet::Connection on databases shaped like the products': the rows read back
// by our reader, the index self-check after every write, and refusals that leave the file alone.
#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "jet/write/connection.h"
#include "jet/error.h"
#include "jet/format/data_page.h"
#include "jet/tests/product_fixtures.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

using namespace jet::testing;
using namespace jet::fixtures;

std::map<std::string, std::vector<Value>> byKey(const std::vector<std::vector<Value>>& rows, std::size_t keyColumn) {
    std::map<std::string, std::vector<Value>> out;
    for (const auto& row : rows) out[std::get<std::string>(row[keyColumn])] = row;
    return out;
}

class AlmanacTest : public ::testing::Test {
protected:
    void SetUp() override { makeDatabase(path, {almanacTable(40)}, 2052); }
    TempDir dir;
    std::string path = dir.file("QorBirth.dll");
};

TEST_F(AlmanacTest, DeleteAllThenInsertAYearInOneUnit) {
    const std::size_t days = 1861;
    {
        Connection connection(path);
        connection.beginWork();
        EXPECT_EQ(connection.execute("DELETE FROM huangdao", {}), 40u);
        for (std::size_t day = 0; day < days; ++day) EXPECT_EQ(connection.execute(kAlmanacInsert, almanacRow(day, 9)), 1u);
        connection.commitWork();
    }
    const Database database = Database::open(path);
    const TableDefinition table = database.table("huangdao");
    EXPECT_EQ(table.rowCount, days);
    EXPECT_EQ(table.lastAutoNumber, 40u + days);   // the counter continues after the deleted rows
    auto rows = database.readAllRows("huangdao");
    ASSERT_EQ(rows.size(), days);
    std::sort(rows.begin(), rows.end(), [](const auto& a, const auto& b) { return std::get<std::int64_t>(a[0]) < std::get<std::int64_t>(b[0]); });
    for (std::size_t day = 0; day < days; ++day) {
        EXPECT_EQ(std::get<std::int64_t>(rows[day][0]), static_cast<std::int64_t>(41 + day));
        const auto expected = almanacRow(day, 9);
        for (std::size_t c = 0; c < expected.size(); ++c) ASSERT_EQ(rows[day][c + 1], expected[c]) << "day " << day << " column " << c;
    }
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
    // Both indexes now span several leaves under a node page.
    EXPECT_GT(table.physicalIndexes.size(), 1u);
}

TEST_F(AlmanacTest, DeleteAllEmptiesTheIndexesAndKeepsTheCounter) {
    Connection connection(path);
    EXPECT_EQ(connection.execute("delete from huangdao", {}), 40u);
    EXPECT_EQ(connection.execute("delete from huangdao", {}), 0u);
    const Database database = Database::open(path);
    EXPECT_TRUE(database.readAllRows("huangdao").empty());
    EXPECT_EQ(database.table("huangdao").rowCount, 0u);
    EXPECT_EQ(database.table("huangdao").lastAutoNumber, 40u);
    for (const auto& index : database.table("huangdao").physicalIndexes) {
        const ByteView root = database.file().page(index.rootPage);
        EXPECT_EQ(root.u8(0, "type"), 0x04);          // one empty leaf
        EXPECT_EQ(root.u16(2, "free"), 4096 - 0x1E0);
        EXPECT_EQ(index.distinctKeyCount, 0u);
    }
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(AlmanacTest, DeleteWhereRemovesOneRowAndItsEntries) {
    Connection connection(path);
    EXPECT_EQ(connection.execute("delete from huangdao where gn = ?", {Value(std::string("20270005"))}), 1u);
    EXPECT_EQ(connection.execute("delete from huangdao where gn = '99999999'", {}), 0u);
    const auto rows = rowsOf(path, "huangdao");
    EXPECT_EQ(rows.size(), 39u);
    EXPECT_EQ(byKey(rows, 1).count("20270005"), 0u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(AlmanacTest, DuplicateKeyInAUniqueIndexIsRefusedAndNothingChanges) {
    const auto before = readBytes(path);
    Connection connection(path);
    EXPECT_EQ(kindOf([&] { connection.execute("insert into huangdao (id, gn) values (7, 'x')", {}); }), ErrorKind::Constraint);
    EXPECT_EQ(readBytes(path), before);
    // Inside a unit the refused statement changes nothing either; the unit goes on.
    connection.beginWork();
    connection.execute("insert into huangdao (id, gn) values (100, 'a')", {});
    EXPECT_EQ(kindOf([&] { connection.execute("insert into huangdao (id, gn) values (100, 'b')", {}); }), ErrorKind::Constraint);
    connection.execute("insert into huangdao (gn) values ('c')", {});
    connection.commitWork();
    const auto rows = byKey(rowsOf(path, "huangdao"), 1);
    EXPECT_EQ(rows.size(), 42u);
    EXPECT_EQ(std::get<std::int64_t>(rows.at("c")[0]), 101);   // an explicit number raises the counter
    EXPECT_EQ(rows.count("b"), 0u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(AlmanacTest, KeysTheEngineCannotEncodeAreRefusedBeforeWriting) {
    const auto before = readBytes(path);
    Connection connection(path);
    try {
        connection.execute("insert into huangdao (gn, nn) values (?, ?)", {Value(std::string("甲子")), Value(std::string("x"))});
        FAIL() << "accepted a Chinese key under sort order 2052";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Unsupported);
        EXPECT_EQ(error.table(), "huangdao");
        EXPECT_NE(error.cause().find("cannot encode the key of index gn for column gn (sort order 2052)"), std::string::npos) << error.what();
    }
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(AlmanacTest, ValueAndNameErrorsNameFileAndTable) {
    Connection connection(path);
    const auto before = readBytes(path);
    const std::string tooLong(21, '1');
    EXPECT_EQ(kindOf([&] { connection.execute("insert into huangdao (gn) values (?)", {Value(tooLong)}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { connection.execute("insert into nosuch (a) values ('x')", {}); }), ErrorKind::NotFound);
    EXPECT_EQ(kindOf([&] { connection.execute("insert into huangdao (nosuch) values ('x')", {}); }), ErrorKind::NotFound);
    EXPECT_EQ(kindOf([&] { connection.execute("insert into huangdao (id, gn) values ('seven', 'x')", {}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { connection.execute("update huangdao set gn = 'x' where nn = 'it's'", {}); }), ErrorKind::SqlSyntax);
    EXPECT_EQ(kindOf([&] { connection.execute("update huangdao set gn = ? where nn = ?", {Value(std::string("x"))}); }), ErrorKind::InvalidArgument);
    EXPECT_EQ(kindOf([&] { connection.execute("update huangdao set id = 5 where gn = '20270001'", {}); }), ErrorKind::Constraint);
    try {
        connection.execute("update huangdao set nn = ? where gn = ?", {Value(std::string(256, 'a')), Value(std::string("20270001"))});
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.file(), path);
        EXPECT_EQ(error.table(), "huangdao");
        EXPECT_NE(error.cause().find("256 characters is longer than column nn allows (255)"), std::string::npos) << error.what();
    }
    EXPECT_EQ(readBytes(path), before);
}

TEST_F(AlmanacTest, UpdateOfAnIndexedColumnMovesItsEntry) {
    Connection connection(path);
    EXPECT_EQ(connection.execute("update huangdao set gn = 'ABC', nn = ? where gn = '20270003'", {Value(std::string("新"))}), 1u);
    const auto rows = byKey(rowsOf(path, "huangdao"), 1);
    EXPECT_EQ(std::get<std::string>(rows.at("ABC")[2]), "新");
    EXPECT_EQ(rows.count("20270003"), 0u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST(RequiredColumns, NullIntoAPrimaryKeyIsRefused) {
    TempDir dir;
    const std::string path = dir.file("keys.mdb");
    NewTable table;
    table.name = "codes";
    table.columns = {makeColumn("code", ColumnType::Text, 10), makeColumn("n", ColumnType::Long)};
    table.indexes.push_back({"PrimaryKey", {"code"}, true, true});
    makeDatabase(path, {table});
    Connection connection(path);
    try {
        connection.execute("insert into codes (n) values (1)", {});
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::Constraint);
        EXPECT_NE(error.cause().find("column code is required"), std::string::npos) << error.what();
    }
    EXPECT_EQ(connection.execute("insert into codes values ('About', 1)", {}), 1u);
    EXPECT_EQ(kindOf([&] { connection.execute("insert into codes values ('ABOUT', 2)", {}); }), ErrorKind::Constraint);   // keys fold case
    EXPECT_EQ(connection.execute("insert into codes values ('a-b c', 3)", {}), 1u);
    EXPECT_EQ(connection.execute("insert into codes values ('x', 3)", {}), 1u);
    EXPECT_EQ(kindOf([&] { connection.execute("update codes set code = 'same' where n = 3", {}); }), ErrorKind::Constraint);   // two rows, one key
    EXPECT_EQ(rowsOf(path, "codes").size(), 3u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST(LargeWrites, UsageMapsGrowPastTheirInlineWindow) {
    // About one 3.5 KB row per page: 700 rows take the file past the 512 pages an inline usage
    // map covers, for the table's maps and the global one.
    TempDir dir;
    const std::string path = dir.file("big.dll");
    NewTable table;
    table.name = "big";
    table.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("k", ColumnType::Text, 20)};
    for (int c = 0; c < 7; ++c) table.columns.push_back(makeColumn("t" + std::to_string(c), ColumnType::Text, 255));
    table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
    table.indexes.push_back({"k", {"k"}, false, false});
    makeDatabase(path, {table, fixtures::horoscopeTable()}, 2052);
    const auto horoscopes = rowsOf(path, "xingzuo2007");
    {
        Connection connection(path);
        connection.beginWork();
        for (int r = 0; r < 700; ++r) {
            std::vector<Value> values{Value("key" + std::to_string(r))};
            for (int c = 0; c < 7; ++c) values.emplace_back(chineseText(255, static_cast<unsigned>(r * 7 + c)));
            connection.execute("insert into big (k, t0, t1, t2, t3, t4, t5, t6) values (?, ?, ?, ?, ?, ?, ?, ?)", values);
        }
        connection.commitWork();
    }
    const Database database = Database::open(path);
    EXPECT_GT(database.file().pageCount(), 700u);
    const auto rows = byKey(database.readAllRows("big"), 1);
    ASSERT_EQ(rows.size(), 700u);
    for (int r = 0; r < 700; r += 33) EXPECT_EQ(std::get<std::string>(rows.at("key" + std::to_string(r))[8]), chineseText(255, static_cast<unsigned>(r * 7 + 6)));
    // The table's page map had to become a reference map.
    EXPECT_EQ(readPointedRow(database.file(), database.table("big").ownedPagesMap, "map")[0], 0x01);
    EXPECT_EQ(database.readAllRows("xingzuo2007"), horoscopes);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST(LargeWrites, TextIndexesOfThreeLevels) {
    TempDir dir;
    const std::string path = dir.file("keys.dll");
    NewTable table;
    table.name = "keys";
    table.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("k", ColumnType::Text, 40)};
    table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
    table.indexes.push_back({"k", {"k"}, false, true});
    makeDatabase(path, {table});
    Connection connection(path);
    connection.beginWork();
    for (int r = 0; r < 20000; ++r) {
        // Keys arrive out of order so entries land all over the tree.
        const int n = (r * 7919) % 20000;
        connection.execute("insert into keys (k) values (?)", {Value("Key Number " + std::to_string(100000 + n) + " of many")});
    }
    EXPECT_THROW(connection.execute("insert into keys (k) values ('KEY NUMBER 100005 OF MANY')", {}), Error);
    EXPECT_EQ(connection.execute("delete from keys where k = 'key number 100007 of many'", {}), 1u);
    connection.commitWork();
    const Database database = Database::open(path);
    EXPECT_EQ(database.table("keys").rowCount, 19999u);
    const TableDefinition keys = database.table("keys");
    std::size_t depth = 0;
    for (std::uint32_t page = keys.physicalIndexes[1].rootPage; database.file().page(page).u8(0, "type") == 0x03; ++depth)
        page = database.file().page(page).u32(20, "tail");
    EXPECT_GE(depth, 2u);   // root node, inner nodes, leaves
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

class FortuneTest : public ::testing::Test {
protected:
    void SetUp() override { makeDatabase(path, {fortuneTable(), horoscopeTable()}, 2052); }
    TempDir dir;
    std::string path = dir.file("Tgcode.dll");
};

TEST_F(FortuneTest, MemosOfEverySizeReadBack) {
    // Inline, one long-value row, a two-row chain and a three-row chain, then shrinking again.
    const std::size_t sizes[] = {10, 1500, 3300, 5500, 11000, 20, 0};
    for (std::size_t round = 0; round < std::size(sizes); ++round) {
        Connection connection(path);
        connection.beginWork();
        for (std::size_t a = 0; a < 12; ++a) {
            const auto values = chineseText(sizes[round] + a, static_cast<unsigned>(round * 100 + a));
            const auto monthly = chineseText(sizes[(round + 1) % std::size(sizes)], static_cast<unsigned>(round * 100 + a + 50));
            EXPECT_EQ(connection.execute(kFortuneUpdate, {Value(values), Value(monthly), Value(zodiacAnimals()[a])}), 1u);
        }
        connection.commitWork();
        const auto rows = byKey(rowsOf(path, "Bennian2011"), 1);
        ASSERT_EQ(rows.size(), 12u);
        for (std::size_t a = 0; a < 12; ++a) {
            const auto& row = rows.at(zodiacAnimals()[a]);
            EXPECT_EQ(std::get<std::string>(row[2]), chineseText(sizes[round] + a, static_cast<unsigned>(round * 100 + a))) << "round " << round;
            EXPECT_EQ(std::get<std::string>(row[3]), chineseText(sizes[(round + 1) % std::size(sizes)], static_cast<unsigned>(round * 100 + a + 50)));
        }
    }
    // The last round stored every memo inline: every long-value row written before is released.
    const PageFile file = PageFile::load(path);
    std::size_t liveLongValueRows = 0;
    for (std::uint32_t page = 0; page < file.pageCount(); ++page) {
        const ByteView view = file.page(page);
        if (view.u8(0, "type") != 0x01 || !DataPage(view).isLongValuePage()) continue;
        for (std::uint16_t r = 0; r < DataPage(view).rowCount(); ++r) liveLongValueRows += (DataPage(view).rowFlags(r) & 0x8000) ? 0 : 1;
    }
    EXPECT_EQ(liveLongValueRows, 0u);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(FortuneTest, HexHoroscopeUpdateChangesNoIndexPage) {
    const auto before = readBytes(path);
    const Database original = Database::open(path);
    Connection connection(path);
    for (std::size_t s = 0; s < 12; ++s)
        EXPECT_EQ(connection.execute(kHoroscopeUpdate, {Value(hexText(5000 + s, static_cast<unsigned>(s))), Value(starSigns()[s])}), 1u);
    EXPECT_EQ(connection.execute(kHoroscopeUpdate, {Value(std::string("00")), Value(std::string("不存在"))}), 0u);
    const auto rows = byKey(rowsOf(path, "xingzuo2007"), 0);
    for (std::size_t s = 0; s < 12; ++s) EXPECT_EQ(std::get<std::string>(rows.at(starSigns()[s])[1]), hexText(5000 + s, static_cast<unsigned>(s)));
    // The Bennian2011 primary key pages are untouched.
    const auto after = readBytes(path);
    for (const auto& index : original.table("Bennian2011").physicalIndexes)
        EXPECT_TRUE(std::equal(before.begin() + index.rootPage * 4096, before.begin() + (index.rootPage + 1) * 4096, after.begin() + index.rootPage * 4096));
    EXPECT_EQ(rowsOf(path, "Bennian2011"), original.readAllRows("Bennian2011"));
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

// Malformed UTF-8 (here a lone GBK lead byte) is a value error found before anything is written:
// in short texts and in memos, also when an earlier memo of the same row would already have gone
// to long-value pages. Inside a unit of work the unit goes on and commits cleanly.
TEST_F(FortuneTest, MalformedUtf8IsRefusedBeforeWriting) {
    const auto before = readBytes(path);
    const Value bad(std::string("key\xA1" "0x"));
    const Value sign(starSigns()[0]), animal(zodiacAnimals()[0]);
    Connection connection(path);
    EXPECT_EQ(kindOf([&] { connection.execute(kHoroscopeUpdate, {bad, sign}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { connection.execute("update xingzuo2007 set idxz = ?", {bad}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { connection.execute("insert into xingzuo2007 (idxz, content) values (?, 'x')", {bad}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { connection.execute(kFortuneUpdate, {Value(std::string(5000, 'a')), bad, animal}); }), ErrorKind::Constraint);
    EXPECT_EQ(readBytes(path), before);

    connection.beginWork();
    EXPECT_EQ(kindOf([&] { connection.execute(kFortuneUpdate, {Value(std::string(5000, 'a')), bad, animal}); }), ErrorKind::Constraint);
    EXPECT_EQ(connection.execute(kFortuneUpdate, {Value(std::string(5000, 'b')), Value(std::string("ok")), animal}), 1u);
    connection.commitWork();
    const auto rows = byKey(rowsOf(path, "Bennian2011"), 1);
    EXPECT_EQ(std::get<std::string>(rows.at(zodiacAnimals()[0])[2]), std::string(5000, 'b'));
    JET_EXPECT_INDEXES_CONSISTENT(path, true);

    // Sequences of the right shape whose code point is a surrogate half, overlong or past U+10FFFF
    // are malformed too: refused as a value error, in short and long memos alike.
    for (const char* odd : {"\xED\xAE\x9C", "\xC0\x80", "\xE0\x80\x80", "\xF0\x80\x80\x80", "\xF4\x90\x80\x80", "\xF7\xBF\xBF\xBF"})
        for (const std::size_t padding : {std::size_t{0}, std::size_t{3000}}) {
            try {
                connection.execute(kHoroscopeUpdate, {Value(",k" + std::string(odd) + std::string(padding, '$')), sign});
                ADD_FAILURE() << "stored malformed UTF-8 with " << padding << " bytes of padding";
            } catch (const Error& error) {
                EXPECT_EQ(error.kind(), ErrorKind::Constraint) << error.what();
            }
        }
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST(MalformedUtf8, InATextAfterALongMemoIsRefusedBeforeTheMemoIsStored) {
    TempDir dir;
    const std::string path = dir.file("memo_first.mdb");
    NewTable table;
    table.name = "notes";
    table.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("body", ColumnType::Memo), makeColumn("title", ColumnType::Text, 50)};
    table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
    table.rows.push_back({Value(), Value(std::string("first")), Value(std::string("one"))});
    makeDatabase(path, {table});
    const auto before = readBytes(path);
    const Value memo(std::string(6000, 'm')), bad(std::string("\xC3("));
    Connection connection(path);
    EXPECT_EQ(kindOf([&] { connection.execute("insert into notes (body, title) values (?, ?)", {memo, bad}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { connection.execute("update notes set body = ?, title = ?", {memo, bad}); }), ErrorKind::Constraint);
    EXPECT_EQ(readBytes(path), before);

    // In a unit the refused statements leave no long-value pages behind: the image is the same
    // as after the good statement alone.
    connection.beginWork();
    EXPECT_EQ(kindOf([&] { connection.execute("insert into notes (body, title) values (?, ?)", {memo, bad}); }), ErrorKind::Constraint);
    EXPECT_EQ(kindOf([&] { connection.execute("update notes set body = ?, title = ?", {memo, bad}); }), ErrorKind::Constraint);
    EXPECT_EQ(connection.execute("insert into notes (body, title) values (?, 'two')", {memo}), 1u);
    connection.commitWork();
    const auto afterUnit = readBytes(path);

    const std::string clean = dir.file("clean.mdb");
    makeDatabase(clean, {table});
    Connection(clean).execute("insert into notes (body, title) values (?, 'two')", {memo});
    EXPECT_EQ(afterUnit.size(), readBytes(clean).size());
    EXPECT_EQ(rowsOf(path, "notes"), rowsOf(clean, "notes"));
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST_F(FortuneTest, RowsThatOutgrowTheirPageKeepTheirRowNumber) {
    // Inline memos fill each row; growing a text column then forces rows onto other pages.
    NewTable table;
    table.name = "grow";
    table.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("k", ColumnType::Text, 10), makeColumn("t", ColumnType::Text, 255)};
    table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
    table.indexes.push_back({"k", {"k"}, false, true});
    for (int i = 0; i < 30; ++i) table.rows.push_back({Value(), Value("k" + std::to_string(i)), Value(std::string("short"))});
    makeDatabase(path, {table});
    Connection connection(path);
    for (int round = 0; round < 3; ++round)
        for (int i = 0; i < 30; ++i)
            EXPECT_EQ(connection.execute("update grow set t = ? where k = ?", {Value(chineseText(100 + 60 * round + i, i)), Value("K" + std::to_string(i))}), 1u);
    const auto rows = byKey(rowsOf(path, "grow"), 1);
    ASSERT_EQ(rows.size(), 30u);
    for (int i = 0; i < 30; ++i) EXPECT_EQ(std::get<std::string>(rows.at("k" + std::to_string(i))[2]), chineseText(220 + i, i));
    // Some rows moved: their page holds overflow stubs now.
    bool sawStub = false;
    const Database database = Database::open(path);
    for (std::uint32_t page = 0; page < database.file().pageCount(); ++page) {
        const ByteView view = database.file().page(page);
        if (view.u8(0, "type") != 0x01 || view.u32(4, "owner") != database.table("grow").page) continue;
        for (std::uint16_t r = 0; r < view.u16(12, "rows"); ++r) sawStub |= (view.u16(14 + 2 * r, "offset") & 0xC000) == 0x4000;
    }
    EXPECT_TRUE(sawStub);
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

TEST(Utf16Text, IsStoredExactlyLikeTheSameTextInUtf8) {
    TempDir dir;
    NewTable table;
    table.name = "notes";
    table.columns = {makeColumn("id", ColumnType::Long, 0, true), makeColumn("code", ColumnType::Text, 10), makeColumn("title", ColumnType::Text, 20),
                     makeColumn("body", ColumnType::Memo), makeColumn("amount", ColumnType::Long)};
    table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
    table.indexes.push_back({"code", {"code"}, false, true});
    const std::string utf8Path = dir.file("utf8.mdb"), utf16Path = dir.file("utf16.mdb");
    makeDatabase(utf8Path, {table});
    std::filesystem::copy_file(utf8Path, utf16Path);

    // CJK, Latin-1 (stored compressed), a character beyond U+FFFF, long and short memos.
    const std::vector<std::pair<std::string, std::u16string>> texts = {
        {"黄道吉日", u"黄道吉日"}, {"Zürich", u"Zürich"}, {"😀 ok", u"😀 ok"}, {"", u""}};
    const std::string longMemo(3000 * 3, 'x');
    std::u16string longMemo16(3000 * 3, u'x');
    const auto insert = "insert into notes (code, title, body, amount) values (?, ?, ?, ?)";
    const auto update = "update notes set title = ?, body = ? where code = ?";
    {
        Connection utf8(utf8Path), utf16(utf16Path);
        for (std::size_t i = 0; i < texts.size(); ++i) {
            const std::string code = "c" + std::to_string(i);
            const std::u16string code16 = u"c" + std::u16string(1, static_cast<char16_t>(u'0' + i));
            utf8.execute(insert, {Value(code), Value(texts[i].first), Value(i % 2 ? longMemo : texts[i].first), Value(std::int64_t(42))});
            utf16.execute(insert, {Value(code16), Value(texts[i].second), Value(i % 2 ? longMemo16 : texts[i].second), Value(std::u16string(u"42"))});
        }
        utf8.execute(update, {Value(std::string("改")), Value(longMemo), Value(std::string("c2"))});
        EXPECT_EQ(utf16.execute(update, {Value(std::u16string(u"改")), Value(longMemo16), Value(std::u16string(u"c2"))}), 1u);

        // Refused like malformed or too long UTF-8: unpaired surrogates, 21 characters for Text(20).
        for (const std::u16string& bad : {std::u16string(1, char16_t(0xD83D)), std::u16string(1, char16_t(0xDE00)), std::u16string(21, u'长')})
            EXPECT_EQ(kindOf([&] { utf16.execute(insert, {Value(std::u16string(u"z")), Value(bad), Value(), Value()}); }), ErrorKind::Constraint);
        for (const std::u16string& bad : {std::u16string(1, char16_t(0xD83D)) + u"x", std::u16string(1, char16_t(0xDE00))})
            EXPECT_EQ(kindOf([&] { utf16.execute(insert, {Value(std::u16string(u"z")), Value(std::u16string(u"t")), Value(bad), Value()}); }),
                      ErrorKind::Constraint);
    }
    EXPECT_EQ(readBytes(utf16Path), readBytes(utf8Path));
    EXPECT_EQ(std::get<std::string>(rowsOf(utf16Path, "notes").at(2)[2]), "改");
    JET_EXPECT_INDEXES_CONSISTENT(utf16Path, true);
}

}  // namespace
}  // namespace jet
