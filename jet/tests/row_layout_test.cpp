// The row codec: a new row laid out straight from its values must be byte for byte the row the
// field-by-field path (field bytes, then encodeRow) gives, which the rest of the engine and other
// readers rely on; and every row it lays out must split and decode back to its values.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/row_decoder.h"
#include "jet/write/column_value.h"
#include "jet/format/row.h"
#include "jet/write/value_row.h"

namespace jet {
namespace {

// The row the field-by-field path gives for the same values.
std::vector<std::uint8_t> rowByFields(const TableDefinition& table, const std::vector<const Value*>& values) {
    std::vector<RowField> fields(table.columns.size());
    for (std::size_t c = 0; c < table.columns.size(); ++c) {
        const Value& value = *values[c];
        if (table.columns[c].columnType() == ColumnType::Boolean) {
            fields[c].present = std::get_if<bool>(&value) && std::get<bool>(value);
        } else if (!isNull(value)) {
            fields[c].present = true;
            appendFieldBytes(table.columns[c], value, fields[c].bytes);
        }
    }
    return encodeRow(table, fields);
}

std::vector<const Value*> pointers(const std::vector<Value>& values) {
    std::vector<const Value*> result;
    for (const Value& value : values) result.push_back(&value);
    return result;
}

std::string randomText(std::mt19937& random, int maxPieces = 12) {
    static const std::vector<std::string> pieces = {"a", "Z", " ", "é", "ÿ", "黄", "道", "、", "😀", "0", "\xC2\x80"};
    std::string text;
    const int count = static_cast<int>(random() % maxPieces);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    return text;
}

// A table of random shape: fixed and variable columns in random order, gaps left by dropped
// columns in the null-mask numbers and the variable slots, compressed and plain text.
TableDefinition randomTable(std::mt19937& random, std::uint16_t textLength = 2 * 60) {
    const std::vector<ColumnType> types = {ColumnType::Boolean, ColumnType::Byte,   ColumnType::Integer, ColumnType::Long,
                                           ColumnType::Double,  ColumnType::Float, ColumnType::DateTime, ColumnType::Text};
    TableDefinition table;
    table.name = "t";
    const std::size_t count = 1 + random() % 14;
    std::uint16_t number = 0, slot = 0, offset = 0;
    for (std::size_t i = 0; i < count; ++i) {
        ColumnDefinition column;
        column.name = "c" + std::to_string(i);
        const ColumnType type = types[random() % types.size()];
        column.type = static_cast<std::uint8_t>(type);
        number += 1 + (random() % 4 == 0);
        column.number = number - 1;
        if (type == ColumnType::Text) {
            slot += 1 + (random() % 5 == 0);
            column.variableIndex = slot - 1;
            column.length = textLength;
            if (random() % 2) column.extendedFlags = kColumnCompressedUnicodeFlag;
        } else {
            column.flags = kColumnFixedFlag;
            column.fixedOffset = offset;
            offset += static_cast<std::uint16_t>(fixedSizeOf(type));
        }
        table.columns.push_back(column);
    }
    table.maxColumnCount = static_cast<std::uint16_t>(number + random() % 3);
    table.variableColumnCount = static_cast<std::uint16_t>(slot + random() % 2);
    return table;
}

Value randomValue(const ColumnDefinition& column, std::mt19937& random, int maxTextPieces = 12) {
    if (random() % 4 == 0) return Value();
    switch (column.columnType()) {
    case ColumnType::Boolean: return random() % 2 == 0;
    case ColumnType::Byte: return std::int64_t(random() % 256);
    case ColumnType::Integer: return std::int64_t(random() % 65536) - 32768;
    case ColumnType::Long: return std::int64_t(random()) - 2147483648LL;
    case ColumnType::DateTime: return DateTime{45000.25 + random() % 1000};
    case ColumnType::Text: return randomText(random, maxTextPieces);
    case ColumnType::Float: return static_cast<double>(static_cast<float>(random() % 100000) / 8.0f);
    default: return static_cast<double>(random()) / 7.0;
    }
}

TEST(RowLayout, EqualsTheFieldByFieldRowForTablesOfEveryShape) {
    std::mt19937 random(20261208);
    std::vector<std::uint8_t> row;
    for (int round = 0; round < 3000; ++round) {
        const TableDefinition table = randomTable(random);
        std::vector<Value> values;
        for (const auto& column : table.columns) values.push_back(randomValue(column, random));
        encodeValueRowInto(table, pointers(values), row);   // reuses storage of the previous round
        ASSERT_EQ(row, rowByFields(table, pointers(values))) << "round " << round;
    }
}

TEST(RowLayout, RefusesWhatTheFieldPathRefusesAndDamagedDefinitions) {
    TableDefinition table;
    ColumnDefinition text;
    text.name = "title";
    text.type = static_cast<std::uint8_t>(ColumnType::Text);
    text.length = 2 * 3;
    table.columns = {text};
    table.maxColumnCount = 1;
    table.variableColumnCount = 1;
    std::vector<std::uint8_t> row;
    for (const std::string bad : {"abcd", "\xE9", "\xED\xA0\x80", "\xE0\x80\x80"}) {
        const std::vector<Value> values = {Value(bad)};
        EXPECT_THROW(encodeValueRowInto(table, pointers(values), row), std::invalid_argument) << bad;
        EXPECT_THROW(rowByFields(table, pointers(values)), std::invalid_argument) << bad;
    }
    const std::vector<Value> fits = {Value(std::string("黄道吉"))};
    encodeValueRowInto(table, pointers(fits), row);
    EXPECT_EQ(row, rowByFields(table, pointers(fits)));

    // A column numbered past the table's column count has no bit in the null mask.
    TableDefinition damaged = table;
    damaged.columns[0].number = 9;
    damaged.maxColumnCount = 4;
    EXPECT_THROW(encodeValueRowInto(damaged, pointers(fits), row), Damage);
    EXPECT_THROW(rowByFields(damaged, pointers(fits)), Damage);

    ColumnDefinition money;
    money.name = "price";
    money.type = static_cast<std::uint8_t>(ColumnType::Money);
    money.flags = kColumnFixedFlag;
    table.columns = {money};
    const std::vector<Value> price = {Value(std::int64_t(5))};
    EXPECT_THROW(encodeValueRowInto(table, pointers(price), row), std::invalid_argument);
}

// What the reader gives back for a value written to a column: a Yes/No column is never NULL.
Value expectedBack(const ColumnDefinition& column, const Value& written) {
    if (column.columnType() == ColumnType::Boolean) return std::get_if<bool>(&written) && std::get<bool>(written);
    return written;
}

// Rows of every shape, with text long enough that most rows hold far more than 256 bytes of
// variable data (offsets past one byte), decode back to their values through the reader's
// decoder and through the writer's split; and a split row lays out again to the same bytes, as
// an UPDATE that changes nothing must.
TEST(RowCodec, RowsOfEveryShapeDecodeToTheirValuesAndSplitAndJoinUnchanged) {
    const PageFile file = PageFile::fromImage("rows.mdb", std::vector<std::uint8_t>(3 * kPageSize));
    std::mt19937 random(20261209);
    std::vector<std::uint8_t> row;
    std::vector<Value> decoded;
    std::size_t rowsPastOneByteOffsets = 0;
    for (int round = 0; round < 1500; ++round) {
        const TableDefinition table = randomTable(random, 2 * 255);
        std::vector<Value> values;
        for (const auto& column : table.columns) values.push_back(randomValue(column, random, 120));
        encodeValueRowInto(table, pointers(values), row);
        if (row.size() > 300) ++rowsPastOneByteOffsets;
        const Bytes bytes(row.data(), row.size());

        RowDecoder(file, table).decode(bytes, decoded);
        const std::vector<RowField> fields = splitRow(table, bytes);
        for (std::size_t c = 0; c < table.columns.size(); ++c) {
            const Value expected = expectedBack(table.columns[c], values[c]);
            ASSERT_EQ(decoded[c], expected) << "round " << round << ", column " << table.columns[c].name;
            ASSERT_EQ(decodeField(file, table.columns[c], fields[c]), expected) << "round " << round;
        }
        ASSERT_EQ(encodeRow(table, fields), row) << "round " << round;
    }
    EXPECT_GT(rowsPastOneByteOffsets, 100u);   // 156 with this seed
}

// A row's frame is checked before any field is trusted: a variable slot reaching past the EOD,
// a fixed column running into the variable data, a slot count the row cannot hold.
TEST(RowCodec, FieldsOutsideTheirAreaAreDamage) {
    TableDefinition table;
    ColumnDefinition number;
    number.name = "n";
    number.type = static_cast<std::uint8_t>(ColumnType::Long);
    number.flags = kColumnFixedFlag;
    ColumnDefinition text;
    text.name = "t";
    text.type = static_cast<std::uint8_t>(ColumnType::Text);
    text.number = 1;
    text.length = 2 * 10;
    table.columns = {number, text};
    table.maxColumnCount = 2;
    table.variableColumnCount = 1;
    const std::vector<Value> values = {Value(std::int64_t(7)), Value(std::string("abc"))};
    std::vector<std::uint8_t> good;
    encodeValueRowInto(table, pointers(values), good);
    // [2 count][4 fixed][6 text "abc" as UCS-2 or 5 compressed][EOD][slot 0][slot count][mask]
    const std::size_t eod = good.size() - 1 - 2 - 2 - 2;
    ASSERT_NO_THROW(splitRow(table, Bytes(good.data(), good.size())));
    const PageFile file = PageFile::fromImage("rows.mdb", std::vector<std::uint8_t>(kPageSize));

    auto damaged = [&](auto change) {
        std::vector<std::uint8_t> bytes = good;
        change(bytes);
        return bytes;
    };
    const std::vector<std::vector<std::uint8_t>> rows = {
        damaged([&](auto& b) { putU16(b.data() + eod, static_cast<std::uint32_t>(eod + 3)); }),        // text past the EOD
        damaged([&](auto& b) { putU16(b.data() + eod + 2, 4); }),                                      // data inside the fixed area
        damaged([&](auto& b) { putU16(b.data() + eod + 4, 40); }),                                     // 40 slots
        damaged([&](auto& b) { b[0] = 200; }),                                                         // 200 columns' mask
    };
    for (std::size_t i = 0; i < rows.size(); ++i) {
        const Bytes bytes(rows[i].data(), rows[i].size());
        EXPECT_THROW(splitRow(table, bytes), Damage) << "case " << i;
        std::vector<Value> out;
        EXPECT_THROW(RowDecoder(file, table).decode(bytes, out), Damage) << "case " << i;
    }
}

}  // namespace
}  // namespace jet
