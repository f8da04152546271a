// Binary and OLE values go through statements like text and memos: Binary in the row, OLE inline
// or in long-value pages, replaced values' pages freed; values too long are refused unwritten.
#include <gtest/gtest.h>

#include "jet/write/connection.h"
#include "jet/tests/test_support.h"
#include "jet/tests/write_test_support.h"

namespace jet {
namespace {

Blob bytes(std::size_t size, unsigned seed) {
    Blob blob(size);
    for (std::size_t i = 0; i < size; ++i) blob[i] = static_cast<std::uint8_t>((i * 31 + seed) & 0xFF);
    return blob;
}

TEST(BinaryValues, StatementsStoreReplaceAndRefuseBinaryAndOleValues) {
    testing::TempDir dir;
    const std::string path = dir.file("blobs.mdb");
    NewTable table;
    table.name = "Blobs";
    table.columns = {testing::makeColumn("id", ColumnType::Long, 0, true), testing::makeColumn("sid", ColumnType::Binary),
                     testing::makeColumn("picture", ColumnType::Ole)};
    table.indexes = {{"PrimaryKey", {"id"}, true, true}};
    table.rows = {{Value{}, bytes(16, 1), bytes(10, 2)}};
    testing::makeDatabase(path, {table});

    const std::string insert = "insert into Blobs (sid, picture) values (?, ?)";
    {
        Connection connection(path);
        connection.execute(insert, {bytes(0, 0), bytes(9000, 3)});   // an empty value, and a chain
        connection.execute(insert, {Value{}, bytes(3000, 4)});       // one long-value row
        connection.execute("update Blobs set picture = ? where id = 2", {bytes(40, 5)});   // the chain's pages go back
        const auto before = testing::readBytes(path);   // Binary holds at most 510 bytes
        EXPECT_EQ(testing::kindOf([&] { connection.execute(insert, {bytes(511, 6), Value{}}); }), ErrorKind::Constraint);
        EXPECT_EQ(testing::kindOf([&] { connection.execute(insert, {std::string("text"), Value{}}); }), ErrorKind::Constraint);
        EXPECT_EQ(testing::readBytes(path), before);
    }
    const auto rows = testing::rowsOf(path, "Blobs");
    ASSERT_EQ(rows.size(), 3u);
    EXPECT_EQ(rows[0][1], Value(bytes(16, 1)));
    EXPECT_EQ(rows[0][2], Value(bytes(10, 2)));
    EXPECT_EQ(rows[1][1], Value(Blob{}));
    EXPECT_EQ(rows[1][2], Value(bytes(40, 5)));
    EXPECT_TRUE(isNull(rows[2][1]));
    EXPECT_EQ(rows[2][2], Value(bytes(3000, 4)));
    JET_EXPECT_INDEXES_CONSISTENT(path, true);
}

}  // namespace
}  // namespace jet
