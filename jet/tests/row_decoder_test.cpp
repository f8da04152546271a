// Field decoding for the types no sample file holds (Currency, Decimal, GUID, Single), and the
// row structure rules: null mask, columns added after a row was written.
#include <gtest/gtest.h>

#include "jet/format/row_decoder.h"

namespace jet {
namespace {

ColumnDefinition fixedColumn(const char* name, ColumnType type, std::uint16_t number, std::uint16_t offset) {
    ColumnDefinition column;
    column.name = name;
    column.type = static_cast<std::uint8_t>(type);
    column.number = number;
    column.flags = kColumnFixedFlag;
    column.fixedOffset = offset;
    column.length = static_cast<std::uint16_t>(fixedSizeOf(type));
    return column;
}

class RowDecoderTest : public ::testing::Test {
protected:
    RowDecoderTest() : file_(PageFile::fromImage("rows.mdb", std::vector<std::uint8_t>(3 * kPageSize))) {
        table_.columns = {fixedColumn("money", ColumnType::Money, 0, 0), fixedColumn("guid", ColumnType::Guid, 1, 8),
                          fixedColumn("decimal", ColumnType::Numeric, 2, 24), fixedColumn("single", ColumnType::Float, 3, 41),
                          fixedColumn("added", ColumnType::Long, 5, 45)};
        table_.columns[2].scale = 2;
        ColumnDefinition text;
        text.name = "text";
        text.type = static_cast<std::uint8_t>(ColumnType::Text);
        text.number = 4;
        text.variableIndex = 0;
        table_.columns.push_back(text);
        table_.variableColumnCount = 1;
    }

    // A row of 5 columns (the sixth, "added", came later): fixed area, "hi" as UCS-2, offsets, mask.
    std::vector<std::uint8_t> row(std::uint8_t nullMask) {
        std::vector<std::uint8_t> bytes{5, 0};
        const std::uint8_t money[] = {0x39, 0x30, 0, 0, 0, 0, 0, 0};   // 12345 -> 1.2345
        bytes.insert(bytes.end(), money, money + 8);
        for (int i = 0; i < 16; ++i) bytes.push_back(static_cast<std::uint8_t>(i + 1));
        std::vector<std::uint8_t> decimal(17, 0);
        decimal[0] = 0x80;   // negative
        decimal[13] = 0x39;  // least significant word (last) = 12345
        decimal[14] = 0x30;
        bytes.insert(bytes.end(), decimal.begin(), decimal.end());
        const std::uint8_t single[] = {0x00, 0x00, 0xC0, 0x3F};   // 1.5f
        bytes.insert(bytes.end(), single, single + 4);
        const std::size_t textStart = bytes.size();
        bytes.insert(bytes.end(), {'h', 0, 'i', 0});
        const std::size_t end = bytes.size();
        bytes.insert(bytes.end(), {static_cast<std::uint8_t>(end), 0, static_cast<std::uint8_t>(textStart), 0, 1, 0, nullMask});
        return bytes;
    }

    PageFile file_;
    TableDefinition table_;
};

TEST_F(RowDecoderTest, DecodesCurrencyDecimalGuidAndSingle) {
    const auto bytes = row(0x1F);
    std::vector<Value> values;
    RowDecoder(file_, table_).decode(Bytes(bytes.data(), bytes.size()), values);
    EXPECT_EQ(formatMoney(std::get<Money>(values[0])), "1.2345");
    EXPECT_EQ(std::get<GuidText>(values[1]).text, "{04030201-0605-0807-090A-0B0C0D0E0F10}");
    EXPECT_EQ(std::get<DecimalText>(values[2]).text, "-123.45");
    EXPECT_DOUBLE_EQ(std::get<double>(values[3]), 1.5);
    EXPECT_TRUE(isNull(values[4]));   // column 5 is beyond the row's 5 columns
    EXPECT_EQ(std::get<std::string>(values[5]), "hi");
}

TEST_F(RowDecoderTest, NullMaskDecidesNullWhateverTheBytes) {
    const auto bytes = row(0x0A);   // only guid (1) and single (3) present
    std::vector<Value> values;
    RowDecoder(file_, table_).decode(Bytes(bytes.data(), bytes.size()), values);
    EXPECT_TRUE(isNull(values[0]));
    EXPECT_FALSE(isNull(values[1]));
    EXPECT_TRUE(isNull(values[2]));
    EXPECT_FALSE(isNull(values[3]));
    EXPECT_TRUE(isNull(values[5]));
}

TEST_F(RowDecoderTest, RowsTooShortForTheirColumnsAreDamage) {
    auto bytes = row(0x1F);
    bytes.erase(bytes.begin() + 10, bytes.begin() + 30);   // fixed area no longer fits
    std::vector<Value> values;
    EXPECT_THROW(RowDecoder(file_, table_).decode(Bytes(bytes.data(), bytes.size()), values), Damage);
    const std::vector<std::uint8_t> tiny{0xFF, 0xFF};
    EXPECT_THROW(RowDecoder(file_, table_).decode(Bytes(tiny.data(), tiny.size()), values), Damage);
}

}  // namespace
}  // namespace jet
