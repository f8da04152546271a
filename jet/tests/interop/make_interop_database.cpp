// Writes a database through the jet engine for the interoperability tests: tables with Chinese
// text, multi-page Chinese memos, NULLs, empty strings, dates, Yes/No values and indexes.
// Usage: make_interop_database FILE [--sort-order 2052]
#include <cstdio>
#include <cstring>
#include <string>

#include "jet/create/database_builder.h"
#include "jet/error.h"
#include "jet/tests/product_fixtures.h"

namespace {

std::string repeatToBytes(const std::string& piece, std::size_t bytes) {
    std::string out;
    while (out.size() < bytes) out += piece;
    return out;
}

using jet::fixtures::column;

std::vector<jet::NewTable> interopTables() {
    using jet::ColumnType;
    using jet::Value;
    // Fortunes: AutoNumber key, a one-character Chinese key, two long memos per row.
    jet::NewTable fortunes;
    fortunes.name = "Bennian2011";
    fortunes.columns = {column("ID", ColumnType::Long, 0, true), column("shuxing", ColumnType::Text, 2),
                        column("Values", ColumnType::Memo), column("Liuyue", ColumnType::Memo)};
    fortunes.indexes = {{"PrimaryKey", {"ID"}, true, true}};
    const char* animals[] = {"鼠", "牛", "虎", "兔", "龙", "蛇", "马", "羊", "猴", "鸡", "狗", "猪"};
    for (int i = 0; i < 12; ++i) {
        const std::string year = repeatToBytes(std::string("属") + animals[i] + "的人今年运势平稳，事业有贵人相助。", 6 * 1024);
        const std::string month = repeatToBytes(std::string(animals[i]) + "：正月宜守成，二月利出行。", 3300);
        fortunes.rows.push_back({Value{}, Value{std::string(animals[i])}, Value{year}, Value{month}});
    }
    // A memo of exactly one long-value row, one inline, one empty, one NULL.
    fortunes.rows.push_back({Value{}, Value{std::string("")}, Value{std::string(1900, 'x')}, Value{std::string("短")}});
    fortunes.rows.push_back({Value{}, Value{}, Value{std::string("")}, Value{}});

    // Almanac: eleven text columns, NULLs and empty strings, plain indexes on a long and a text column.
    jet::NewTable almanac;
    almanac.name = "huangdao";
    const char* names[] = {"gn", "nn", "suici", "tszf", "wuhang", "cong", "pzbj", "jsyq", "yi", "xsyq", "ji"};
    almanac.columns.push_back(column("day", ColumnType::Long));
    almanac.columns.push_back(column("code", ColumnType::Text, 20));
    for (const char* name : names) almanac.columns.push_back(column(name, ColumnType::Text, 255));
    almanac.columns.push_back(column("checked", ColumnType::Boolean));
    almanac.columns.push_back(column("when", ColumnType::DateTime));
    almanac.indexes = {{"ByDay", {"day"}, false, false}, {"ByCode", {"code"}, false, false}};
    for (int day = 0; day < 400; ++day) {
        std::vector<Value> row;
        row.push_back(Value{std::int64_t{(day * 37) % 400 - 100}});
        row.push_back(day % 7 == 3 ? Value{} : Value{std::string("D-") + std::to_string(day % 50) + " x"});
        for (int c = 0; c < 11; ++c) {
            if ((day + c) % 13 == 0) row.push_back(Value{});
            else if ((day + c) % 17 == 0) row.push_back(Value{std::string("")});
            else row.push_back(Value{std::string("宜祭祀 忌动土 第") + std::to_string(day) + "日 " + names[c]});
        }
        row.push_back(Value{day % 2 == 0});
        row.push_back(day % 5 == 0 ? Value{} : Value{jet::DateTime{40000.0 + day + (day % 24) / 24.0}});
        almanac.rows.push_back(std::move(row));
    }

    // An empty table with every creatable type.
    jet::NewTable empty;
    empty.name = "Empty";
    empty.columns = {column("a", ColumnType::Long, 0, true), column("b", ColumnType::Text, 10), column("c", ColumnType::Memo),
                     column("d", ColumnType::DateTime), column("e", ColumnType::Boolean), column("f", ColumnType::Double),
                     column("g", ColumnType::Integer), column("h", ColumnType::Byte)};
    empty.indexes = {{"PrimaryKey", {"a"}, true, true}, {"ByB", {"b"}, false, true}};
    // Enough long values to pass 512 pages, where usage maps switch to bitmap pages.
    jet::NewTable big;
    big.name = "Big";
    big.columns = {column("id", ColumnType::Long, 0, true), column("body", ColumnType::Memo), column("title", ColumnType::Text, 100)};
    for (int i = 0; i < 600; ++i)
        big.rows.push_back({Value{}, Value{std::string(3000, static_cast<char>('a' + i % 26))}, Value{std::string("第") + std::to_string(i)}});
    // A definition too long for one page: continuation pages.
    jet::NewTable wide;
    wide.name = "Wide";
    for (int c = 0; c < 120; ++c) {
        const std::string name = "column_number_" + std::to_string(c);
        wide.columns.push_back(column(name.c_str(), c % 3 == 0 ? ColumnType::Long : ColumnType::Text, 20));
    }
    for (int r = 0; r < 5; ++r) {
        std::vector<Value> row;
        for (int c = 0; c < 120; ++c)
            row.push_back(c % 3 == 0 ? Value{std::int64_t{r * 1000 + c}} : (c + r) % 4 == 0 ? Value{} : Value{std::to_string(r) + "行" + std::to_string(c)});
        wide.rows.push_back(std::move(row));
    }
    // The other creatable types, with values.
    jet::NewTable others;
    others.name = "Others";
    others.columns = {column("i", ColumnType::Integer), column("b", ColumnType::Byte), column("d", ColumnType::Double),
                      column("bin", ColumnType::Binary), column("ole", ColumnType::Ole), column("yes", ColumnType::Boolean)};
    for (int r = 0; r < 40; ++r) {
        jet::Blob small(static_cast<std::size_t>(r * 6 % 250)), large(static_cast<std::size_t>(r * 331 % 9000));
        for (std::size_t k = 0; k < small.size(); ++k) small[k] = static_cast<std::uint8_t>(k * 7 + r);
        for (std::size_t k = 0; k < large.size(); ++k) large[k] = static_cast<std::uint8_t>(k * 13 + r);
        others.rows.push_back({r % 9 == 0 ? Value{} : Value{std::int64_t{r * 1601 % 65536 - 32768}}, Value{std::int64_t{r * 7 % 256}},
                               Value{r * 3.14159 - 50.0}, r % 5 == 0 ? Value{} : Value{small}, r % 4 == 0 ? Value{} : Value{large},
                               Value{r % 3 == 0}});
    }
    return {fortunes, almanac, empty, big, wide, others};
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 && !(argc == 4 && std::strcmp(argv[2], "--sort-order") == 0)) {
        std::fprintf(stderr, "usage: make_interop_database FILE [--sort-order 2052]\n");
        return 2;
    }
    jet::DatabaseOptions options;
    if (argc == 4) options.sortOrder = static_cast<std::uint16_t>(std::atoi(argv[3]));
    try {
        jet::createDatabase(argv[1], interopTables(), options, true);
    } catch (const jet::Error& error) {
        std::fprintf(stderr, "make_interop_database: %s\n", error.what());
        return 1;
    }
    return 0;
}
