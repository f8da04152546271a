// Reading real Access-made files: catalogue, definitions, deleted and overflow rows, memo
// storage forms and Chinese text. Skipped when the samples are absent.
#include <algorithm>

#include "jet/format/row_decoder.h"
#include "jet/tests/test_support.h"

namespace jet {
namespace {

using testing::samplePath;

std::string text(const Value& value) {
    const auto* s = std::get_if<std::string>(&value);
    return s ? *s : std::string("<not text>");
}

std::size_t utf8Length(const std::string& s) {
    std::size_t n = 0;
    for (unsigned char c : s) n += (c & 0xC0) != 0x80;
    return n;
}

TEST(SampleCatalogue, ListsUserTablesAndOptionallySystemTablesInCatalogueOrder) {
    JET_REQUIRE_SAMPLES();
    const Database adox = Database::open(samplePath("jackcess-adox_jet4.mdb"));
    EXPECT_TRUE(adox.tableNames().empty());
    EXPECT_EQ(adox.tableNames(true), (std::vector<std::string>{"MSysObjects", "MSysACEs", "MSysQueries", "MSysRelationships"}));
    const Database blog = Database::open(samplePath("zblogasp-data-2013.mdb"));
    const auto names = blog.tableNames();
    ASSERT_EQ(names.size(), 11u);
    EXPECT_EQ(names.front(), "blog_Article");
    EXPECT_EQ(names.back(), "blog_UpLoad");
}

TEST(SampleCatalogue, TableLookupIgnoresCaseAndReportsUnknownNames) {
    JET_REQUIRE_SAMPLES();
    const Database database = Database::open(samplePath("jackcess-delTestV2003.mdb"));
    EXPECT_EQ(database.table("TABLE").name, "Table");
    try {
        database.table("Missing");
        FAIL();
    } catch (const Error& error) {
        EXPECT_EQ(error.kind(), ErrorKind::NotFound);
        EXPECT_NE(std::string(error.what()).find("Missing"), std::string::npos);
        EXPECT_NE(std::string(error.what()).find("jackcess-delTestV2003.mdb"), std::string::npos);
    }
}

TEST(SampleDefinitions, ReadsColumnsIndexesAndKeys) {
    JET_REQUIRE_SAMPLES();
    const Database database = Database::open(samplePath("jackcess-indexTestV2003.mdb"));
    const TableDefinition table = database.table("Table1");
    ASSERT_EQ(table.columns.size(), 5u);
    EXPECT_EQ(table.columns[3].name, "data");
    EXPECT_EQ(table.columns[3].columnType(), ColumnType::Text);
    EXPECT_EQ(table.columns[3].length, 100);
    EXPECT_EQ(table.rowCount, 4u);
    int primaryKeys = 0, foreignKeys = 0;
    for (const auto& index : table.logicalIndexes) {
        ASSERT_LT(index.physicalIndex, table.physicalIndexes.size());
        if (index.type == kLogicalIndexPrimaryKey) {
            ++primaryKeys;
            EXPECT_EQ(index.name, "PrimaryKey");
            EXPECT_TRUE(table.physicalIndexes[index.physicalIndex].flags & kIndexUniqueFlag);
        }
        if (index.type == kLogicalIndexForeignKey) ++foreignKeys;
    }
    EXPECT_EQ(primaryKeys, 1);
    EXPECT_EQ(foreignKeys, 2);

    const TableDefinition chinese = Database::open(samplePath("zblogasp-data-2013.mdb")).table("blog_Config");
    EXPECT_EQ(chinese.columns[1].columnType(), ColumnType::Memo);
    EXPECT_EQ(chinese.columns[1].sortOrder, 2052);
    ASSERT_EQ(chinese.longValueMaps.size(), 1u);
}

TEST(SampleRows, SkipsDeletedRows) {
    JET_REQUIRE_SAMPLES();
    const auto rows = Database::open(samplePath("jackcess-delTestV2003.mdb")).readAllRows("Table");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(text(rows[0][0]), "z");
    EXPECT_EQ(text(rows[1][1]), "u");
}

TEST(SampleRows, ReadsRowsThatAccessMovedToOtherPages) {
    JET_REQUIRE_SAMPLES();
    const auto rows = Database::open(samplePath("jackcess-overflowTestV2003.mdb")).readAllRows("Table1");
    ASSERT_EQ(rows.size(), 7u);
    // Moved rows are reported where their data now lies, as other readers do.
    EXPECT_TRUE(isNull(rows[5][0]));
    EXPECT_EQ(text(rows[5][1]), "row3col3");
    EXPECT_EQ(text(rows[5][7]), "row3col9");
    EXPECT_EQ(text(rows[6][1]), "row5col2");
    std::size_t nonNull = 0;
    for (const auto& row : rows)
        for (const auto& value : row) nonNull += !isNull(value);
    EXPECT_EQ(nonNull, 12u);
}

// Looking a row up by its original pointer (as an index does) follows the stub Access left.
TEST(SampleRows, OverflowStubsLeadToTheMovedData) {
    JET_REQUIRE_SAMPLES();
    const Database database = Database::open(samplePath("jackcess-overflowTestV2003.mdb"));
    const TableDefinition table = database.table("Table1");
    const RowDecoder decoder(database.file(), table);
    std::vector<std::string> moved;
    for (std::uint32_t page = 0; page < database.file().pageCount(); ++page) {
        const ByteView view = database.file().page(page);
        if (view.u8(0, "type") != 0x01 || view.u32(4, "owner") != table.page) continue;
        const DataPage data(view);
        for (std::uint16_t row = 0; row < data.rowCount(); ++row) {
            if ((data.rowFlags(row) & (kRowOverflowFlag | kRowDeletedFlag)) != kRowOverflowFlag) continue;
            std::vector<Value> values;
            decoder.decode(followOverflowStub(database.file(), data.row(row).bytes), values);
            moved.push_back(text(values[1]));
        }
    }
    std::sort(moved.begin(), moved.end());
    EXPECT_EQ(moved, (std::vector<std::string>{"row3col3", "row5col2"}));
}

TEST(SampleRows, ReadsMemoChainsAndChineseText) {
    JET_REQUIRE_SAMPLES();
    const auto rows = Database::open(samplePath("zblogasp-data-2013.mdb")).readAllRows("blog_Config");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(utf8Length(text(rows[0][1])), 3131u);   // 6,262 stored bytes: a multi-page chain
    // Z-Blog separates its settings with U+0001.
    EXPECT_EQ(text(rows[0][1]).substr(0, 13), "\x01ZC_BLOG_HOST");
    EXPECT_EQ(text(rows[1][1]).substr(0, 7), "\x01版本");
}

TEST(SampleRows, DecodesEveryColumnTypeOfAWideTable) {
    JET_REQUIRE_SAMPLES();
    const Database database = Database::open(samplePath("jackcess-test2V2003.mdb"));
    RowCursor cursor = database.rows("MSP_PROJECTS");
    EXPECT_EQ(cursor.definition().columns.size(), 74u);
    std::vector<Value> row;
    ASSERT_TRUE(cursor.next(row));
    EXPECT_EQ(std::get<std::int64_t>(row[0]), 1);
    EXPECT_EQ(text(row[1]), "Project1");
    EXPECT_TRUE(std::get<bool>(row[3]));
    EXPECT_TRUE(isNull(row[4]));
    bool sawDate = false, sawDouble = false, sawOle = false;
    for (std::size_t i = 0; i < row.size(); ++i) {
        const ColumnType type = cursor.definition().columns[i].columnType();
        sawDate |= type == ColumnType::DateTime && std::holds_alternative<DateTime>(row[i]);
        sawDouble |= type == ColumnType::Double && std::holds_alternative<double>(row[i]);
        sawOle |= type == ColumnType::Ole && (isNull(row[i]) || std::holds_alternative<Blob>(row[i]));
    }
    EXPECT_TRUE(sawDate);
    EXPECT_TRUE(sawDouble);
    EXPECT_TRUE(sawOle);
    EXPECT_FALSE(cursor.next(row));
}

TEST(SampleRows, EveryTableOfEverySampleReadsWithoutError) {
    JET_REQUIRE_SAMPLES();
    for (const auto& entry : std::filesystem::directory_iterator(testing::samplesDir())) {
        if (entry.path().extension() != ".mdb") continue;
        SCOPED_TRACE(entry.path().string());
        const Database database = Database::open(entry.path().string());
        EXPECT_GT(testing::readEverything(database), 0u);
        for (const auto& name : database.tableNames())
            EXPECT_EQ(database.readAllRows(name).size(), database.table(name).rowCount) << name;
    }
}

}  // namespace
}  // namespace jet
