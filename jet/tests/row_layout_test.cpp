// A new row laid out straight from its values must be byte for byte the row the field-by-field
// path (field bytes, then encodeRow) gives, which the rest of the engine and other readers rely on.

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

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

std::string randomText(std::mt19937& random) {
    static const std::vector<std::string> pieces = {"a", "Z", " ", "é", "ÿ", "黄", "道", "、", "😀", "0", "\xC2\x80"};
    std::string text;
    const int count = static_cast<int>(random() % 12);
    for (int i = 0; i < count; ++i) text += pieces[random() % pieces.size()];
    return text;
}

// A table of random shape: fixed and variable columns in random order, gaps left by dropped
// columns in the null-mask numbers and the variable slots, compressed and plain text.
TableDefinition randomTable(std::mt19937& random) {
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
            column.length = 2 * 60;
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

Value randomValue(const ColumnDefinition& column, std::mt19937& random) {
    if (random() % 4 == 0) return Value();
    switch (column.columnType()) {
    case ColumnType::Boolean: return random() % 2 == 0;
    case ColumnType::Byte: return std::int64_t(random() % 256);
    case ColumnType::Integer: return std::int64_t(random() % 65536) - 32768;
    case ColumnType::Long: return std::int64_t(random()) - 2147483648LL;
    case ColumnType::DateTime: return DateTime{45000.25 + random() % 1000};
    case ColumnType::Text: return randomText(random);
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

}  // namespace
}  // namespace jet
