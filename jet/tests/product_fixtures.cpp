#include "jet/tests/product_fixtures.h"

#include "jet/format/index_tree.h"

#include <random>

#include "text/utf8.h"

namespace jet::fixtures {

std::string chineseText(std::size_t characters, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> ideograph(0x4E00, 0x9FA5);
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) {
        if (i % 17 == 16) text::appendUtf8(text, U'，');
        else text::appendUtf8(text, static_cast<char32_t>(ideograph(random)));
    }
    return text;
}

std::string hexText(std::size_t characters, unsigned seed) {
    std::mt19937 random(seed);
    static const char digits[] = "0123456789ABCDEF";
    std::string text;
    for (std::size_t i = 0; i < characters; ++i) text += digits[random() % 16];
    return text;
}

NewColumn column(const std::string& name, ColumnType type, std::uint16_t length, bool autoNumber) {
    NewColumn c;
    c.name = name;
    c.type = type;
    c.textLength = length;
    c.autoNumber = autoNumber;
    return c;
}

std::vector<Value> almanacRow(std::size_t day, unsigned seed) {
    std::vector<Value> row;
    row.emplace_back(std::to_string(20270000 + day));
    const std::size_t lengths[] = {12, 8, 30, 10, 6, 20, 24, 40, 20, 60};
    for (std::size_t i = 0; i < 10; ++i) row.emplace_back(chineseText(lengths[i], static_cast<unsigned>(seed * 7919 + day * 31 + i)));
    return row;
}

NewTable almanacTable(std::size_t rows, unsigned seed) {
    NewTable table;
    table.name = "huangdao";
    table.columns.push_back(column("id", ColumnType::Long, 0, true));
    table.columns.push_back(column("gn", ColumnType::Text, 20));
    for (const char* name : {"nn", "suici", "tszf", "wuhang", "cong", "pzbj", "jsyq", "yi", "xsyq", "ji"})
        table.columns.push_back(column(name, ColumnType::Text, 255));
    table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
    table.indexes.push_back({"gn", {"gn"}, false, false});
    for (std::size_t day = 0; day < rows; ++day) {
        std::vector<Value> row{Value()};
        for (auto& value : almanacRow(day, seed)) row.push_back(std::move(value));
        table.rows.push_back(std::move(row));
    }
    return table;
}

std::vector<std::string> zodiacAnimals() { return {"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"}; }

std::vector<std::string> starSigns() {
    return {"白羊座", "金牛座", "双子座", "巨蟹座", "狮子座", "处女座", "天秤座", "天蝎座", "射手座", "摩羯座", "水瓶座", "双鱼座"};
}

NewTable fortuneTable() {
    NewTable table;
    table.name = "Bennian2011";
    table.columns.push_back(column("id", ColumnType::Long, 0, true));
    table.columns.push_back(column("shuxing", ColumnType::Text, 2));
    table.columns.push_back(column("Values", ColumnType::Memo));
    table.columns.push_back(column("Liuyue", ColumnType::Memo));
    table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
    unsigned seed = 100;
    for (const auto& animal : zodiacAnimals()) table.rows.push_back({Value(), Value(animal), Value(chineseText(20, seed++)), Value(chineseText(30, seed++))});
    return table;
}

NewTable horoscopeTable() {
    NewTable table;
    table.name = "xingzuo2007";
    table.columns.push_back(column("idxz", ColumnType::Text, 10));
    table.columns.push_back(column("content", ColumnType::Memo));
    unsigned seed = 300;
    for (const auto& sign : starSigns()) table.rows.push_back({Value(sign), Value(hexText(40, seed++))});
    return table;
}

NewTable deepIndexTable(std::size_t rows) {
    NewTable table;
    table.name = "Lookups";
    table.columns = {column("id", ColumnType::Long, 0, true), column("code", ColumnType::Text, 200)};
    table.indexes = {{"PrimaryKey", {"id"}, true, true}, {"ByCode", {"code"}, false, false}};
    for (std::size_t r = 0; r < rows; ++r) {
        std::string code = std::to_string((r * 7919) % 100000);
        code += std::string(190 - code.size(), static_cast<char>('a' + r % 26));
        table.rows.push_back({Value{}, code});
    }
    return table;
}

std::size_t indexDepth(const PageFile& file, std::uint32_t root) {
    std::size_t depth = 1;
    for (std::uint32_t page = root; file.page(page).u8(0, "index page type") == static_cast<std::uint8_t>(PageType::IndexNode); ++depth) {
        const std::vector<std::uint8_t> first = readIndexPageEntries(file.page(page).bytes()).at(0);
        const std::size_t n = first.size();
        page = (std::uint32_t(first[n - 4]) << 24) | (std::uint32_t(first[n - 3]) << 16) | (std::uint32_t(first[n - 2]) << 8) | first[n - 1];
    }
    return depth;
}

}  // namespace jet::fixtures
