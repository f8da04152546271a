// Databases made by the engine read back exactly, carry an Access-shaped catalogue, and bad
// requests are refused with errors naming the table and cause.
#include "jet/create/database_builder.h"
#include "jet/file/atomic_replace.h"
#include "jet/tests/test_support.h"

namespace jet {
namespace {

using testing::makeColumn;
using testing::TempDir;

std::string repeat(const std::string& piece, std::size_t bytes) {
    std::string out;
    while (out.size() < bytes) out += piece;
    return out;
}

NewTable fortuneTable() {
    NewTable table;
    table.name = "Bennian2011";
    table.columns = {makeColumn("ID", ColumnType::Long, 0, true), makeColumn("shuxing", ColumnType::Text, 2),
                     makeColumn("Values", ColumnType::Memo), makeColumn("Liuyue", ColumnType::Memo),
                     makeColumn("Updated", ColumnType::DateTime), makeColumn("Done", ColumnType::Boolean)};
    table.indexes = {{"PrimaryKey", {"ID"}, true, true}};
    return table;
}

Error buildError(const std::vector<NewTable>& tables) {
    try {
        buildDatabaseImage("bad.mdb", tables);
    } catch (const Error& error) {
        EXPECT_NE(std::string(error.what()).find("bad.mdb"), std::string::npos);
        return error;
    }
    ADD_FAILURE() << "request accepted";
    return Error(ErrorKind::Io, "", "", "");
}

TEST(DatabaseCreation, EmptyDatabaseHasTheAccessSystemCatalogue) {
    TempDir dir;
    createDatabase(dir.file("empty.mdb"), {});
    const Database database = Database::open(dir.file("empty.mdb"));
    EXPECT_EQ(database.tableNames(true), (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}));
    EXPECT_EQ(database.table("MSysObjects").page, 2u);
    const auto objects = database.readAllRows("MSysObjects");
    ASSERT_EQ(objects.size(), 8u);
    EXPECT_EQ(std::get<std::string>(objects[0][2]), "Tables");
    EXPECT_EQ(std::get<std::string>(objects[3][2]), "MSysDb");
    EXPECT_EQ(database.readAllRows("MSysACEs").size(), 16u);
    EXPECT_THROW(createDatabase(dir.file("empty.mdb"), {}), Error);   // never overwrites silently
}

// The name is checked when the file is about to appear, not only before it is built.
TEST(DatabaseCreation, NeverReplacesAFileThatAppearsWhileItIsWritten) {
    TempDir dir;
    const std::string path = dir.file("race.mdb");
    const std::vector<std::uint8_t> theirs{'t', 'h', 'e', 'i', 'r', 's'};
    setReplaceProbe([&](const char* step) {
        if (std::string(step) == "rename") testing::writeBytes(path, theirs);
    });
    try {
        createDatabase(path, {});
        ADD_FAILURE() << "replaced a file that appeared meanwhile";
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::InvalidArgument);
    }
    setReplaceProbe(nullptr);
    EXPECT_EQ(testing::readBytes(path), theirs);
    EXPECT_FALSE(std::filesystem::exists(replacementPath(path)));
    createDatabase(dir.file("free.mdb"), {});   // a free name still gets its file
    EXPECT_EQ(Database::open(dir.file("free.mdb")).tableNames(true).size(), 4u);
}

TEST(DatabaseCreation, RowsReadBackExactlyIncludingLongMemosNullsAndEmptyStrings) {
    NewTable table = fortuneTable();
    const std::string chain = repeat("属鼠的人今年运势平稳，", 6 * 1024);   // > 4 KB stored: a chain
    const std::string single = repeat("兔", 1500);                        // 3,000 bytes: one long-value row
    table.rows = {
        {Value{}, std::string("鼠"), chain, std::string("short"), DateTime{45000.5}, true},
        {Value{}, std::string(""), single, std::string(""), Value{}, false},
        {std::int64_t{40}, Value{}, Value{}, Value{}, std::string("2024-02-10 08:30:00"), Value{}},
        {Value{}, std::string("ab"), std::string(64, 'm'), std::string(65, 'n'), Value{}, true},
    };
    TempDir dir;
    createDatabase(dir.file("fortune.dll"), {table});
    const Database database = Database::open(dir.file("fortune.dll"));
    EXPECT_EQ(database.tableNames(), std::vector<std::string>{"Bennian2011"});
    const TableDefinition definition = database.table("Bennian2011");
    EXPECT_EQ(definition.rowCount, 4u);
    EXPECT_EQ(definition.lastAutoNumber, 41u);
    const auto rows = database.readAllRows("Bennian2011");
    ASSERT_EQ(rows.size(), 4u);
    EXPECT_EQ(std::get<std::int64_t>(rows[0][0]), 1);
    EXPECT_EQ(std::get<std::int64_t>(rows[1][0]), 2);
    EXPECT_EQ(std::get<std::int64_t>(rows[2][0]), 40);
    EXPECT_EQ(std::get<std::int64_t>(rows[3][0]), 41);
    EXPECT_EQ(std::get<std::string>(rows[0][2]), chain);
    EXPECT_EQ(std::get<std::string>(rows[1][2]), single);
    EXPECT_EQ(std::get<std::string>(rows[1][1]), "");
    EXPECT_EQ(std::get<std::string>(rows[1][3]), "");
    EXPECT_TRUE(isNull(rows[2][1]));
    EXPECT_TRUE(isNull(rows[2][2]));
    EXPECT_EQ(formatDateTime(std::get<DateTime>(rows[2][4])), "2024-02-10T08:30:00");
    EXPECT_DOUBLE_EQ(std::get<DateTime>(rows[0][4]).days, 45000.5);
    EXPECT_TRUE(std::get<bool>(rows[0][5]));
    EXPECT_FALSE(std::get<bool>(rows[2][5]));
    EXPECT_EQ(std::get<std::string>(rows[3][3]), std::string(65, 'n'));
}

TEST(DatabaseCreation, ManyRowsSpanPagesAndKeepTheirOrder) {
    NewTable table;
    table.name = "huangdao";
    table.columns = {makeColumn("n", ColumnType::Long), makeColumn("yi", ColumnType::Text, 255)};
    table.indexes = {{"ByN", {"n"}, false, false}, {"ByYi", {"yi"}, false, false}};
    for (int i = 0; i < 1500; ++i) table.rows.push_back({std::int64_t{1500 - i}, std::string("Row ") + std::to_string(i)});
    const auto image = buildDatabaseImage("many.mdb", {table});
    const Database database = Database::fromImage("many.mdb", image);
    const auto rows = database.readAllRows("huangdao");
    ASSERT_EQ(rows.size(), 1500u);
    for (int i = 0; i < 1500; ++i) ASSERT_EQ(std::get<std::int64_t>(rows[i][0]), 1500 - i);
    const TableDefinition definition = database.table("huangdao");
    EXPECT_EQ(definition.physicalIndexes[0].distinctKeyCount, 1500u);
    EXPECT_EQ(database.file().page(definition.physicalIndexes[0].rootPage).u8(0, "type"),
              static_cast<std::uint8_t>(PageType::IndexNode));
}

TEST(DatabaseCreation, ChineseSortOrderIsRecordedInHeaderAndColumns) {
    DatabaseOptions options;
    options.sortOrder = 2052;
    options.codePage = 936;
    NewTable table = fortuneTable();
    const Database database = Database::fromImage("zh.mdb", buildDatabaseImage("zh.mdb", {table}, options));
    EXPECT_EQ(database.header().sortOrder, 2052);
    EXPECT_EQ(database.table("Bennian2011").columns[1].sortOrder, 2052);
    EXPECT_EQ(database.table("MSysObjects").columns[2].sortOrder, 1033);
}

TEST(DatabaseCreation, RefusesBadDefinitionsAndValuesNamingTheTable) {
    NewTable table = fortuneTable();
    table.rows = {{Value{}, std::string("abc"), Value{}, Value{}, Value{}, Value{}}};
    Error tooLong = buildError({table});
    EXPECT_EQ(tooLong.kind(), ErrorKind::InvalidArgument);
    EXPECT_EQ(tooLong.table(), "Bennian2011");
    EXPECT_NE(tooLong.cause().find("shuxing"), std::string::npos);

    NewTable duplicate = fortuneTable();
    duplicate.rows = {{std::int64_t{1}, Value{}, Value{}, Value{}, Value{}, Value{}},
                      {std::int64_t{1}, Value{}, Value{}, Value{}, Value{}, Value{}}};
    EXPECT_NE(buildError({duplicate}).cause().find("unique"), std::string::npos);

    NewTable nullKeys;   // unique indexes accept repeated all-NULL keys, not repeated values
    nullKeys.name = "Codes";
    nullKeys.columns = {makeColumn("code", ColumnType::Text, 10)};
    nullKeys.indexes = {{"ByCode", {"code"}, false, true}};
    nullKeys.rows = {{Value{}}, {Value{}}, {std::string("A")}};
    EXPECT_NO_THROW(buildDatabaseImage("ok.mdb", {nullKeys}));
    nullKeys.rows.push_back({std::string("a")});   // same key: the General order ignores case
    EXPECT_NE(buildError({nullKeys}).cause().find("unique"), std::string::npos);

    NewTable unknownIndex = fortuneTable();
    unknownIndex.indexes.push_back({"ByMissing", {"Missing"}, false, false});
    EXPECT_NE(buildError({unknownIndex}).cause().find("Missing"), std::string::npos);

    NewTable wrongType = fortuneTable();
    wrongType.rows = {{std::string("x"), Value{}, Value{}, Value{}, Value{}, Value{}}};
    EXPECT_NE(buildError({wrongType}).cause().find("whole number"), std::string::npos);

    NewTable chineseKey;
    chineseKey.name = "Keys";
    chineseKey.columns = {makeColumn("k", ColumnType::Text, 10)};
    chineseKey.indexes = {{"ByK", {"k"}, false, false}};
    chineseKey.rows = {{std::string("鼠")}};
    const Error unsupported = buildError({chineseKey});
    EXPECT_EQ(unsupported.kind(), ErrorKind::Unsupported);

    EXPECT_EQ(buildError({fortuneTable(), fortuneTable()}).kind(), ErrorKind::InvalidArgument);
    NewTable system = fortuneTable();
    system.name = "msysobjects";
    EXPECT_EQ(buildError({system}).kind(), ErrorKind::InvalidArgument);
}

}  // namespace
}  // namespace jet

namespace jet {
namespace {

// Past 512 pages (2 MB) the usage maps switch to bitmap pages; everything must still read back.
TEST(DatabaseCreation, LargeDatabasesUseReferenceUsageMaps) {
    NewTable table;
    table.name = "Big";
    table.columns = {testing::makeColumn("id", ColumnType::Long, 0, true), testing::makeColumn("body", ColumnType::Memo),
                     testing::makeColumn("title", ColumnType::Text, 200)};
    for (int i = 0; i < 700; ++i)
        table.rows.push_back({Value{}, std::string(3000, static_cast<char>('a' + i % 26)), std::string(150, 'x')});
    const auto image = buildDatabaseImage("big.mdb", {table});
    ASSERT_GT(image.size(), 512 * kPageSize);
    const Database database = Database::fromImage("big.mdb", image);
    const auto rows = database.readAllRows("Big");
    ASSERT_EQ(rows.size(), 700u);
    EXPECT_EQ(std::get<std::string>(rows[699][1]), std::string(3000, static_cast<char>('a' + 699 % 26)));
    const ByteView global = database.file().page(1);
    EXPECT_EQ(global.u8(kPageSize - 69, "global map type"), 0x01);
}

}  // namespace
}  // namespace jet
