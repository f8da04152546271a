// Writes databases through jet::Connection for the interoperability comparison: product-shaped
// databases after the upgrade's statements, and copies of the Access-made samples after updates,
// deletes and inserts. Every result passes the index self-check before it is kept.
//
// Usage: make_written_databases OUTPUT_FOLDER [SAMPLES_FOLDER]
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/write/connection.h"
#include "jet/create/add_table.h"
#include "jet/create/database_builder.h"
#include "jet/error.h"
#include "jet/check/index_check.h"
#include "jet/file/page_file.h"
#include "jet/tests/product_fixtures.h"

namespace fs = std::filesystem;
using namespace jet;
using namespace jet::fixtures;

namespace {

void makeProductDatabase(const std::string& path, const std::vector<NewTable>& tables) {
    DatabaseOptions options;
    options.sortOrder = 2052;
    options.codePage = 936;
    createDatabase(path, tables, options, true);
}

std::string copySample(const fs::path& samples, const std::string& name, const fs::path& out, const std::string& prefix = "written-") {
    const fs::path target = out / (prefix + name);
    fs::copy_file(samples / name, target, fs::copy_options::overwrite_existing);
    fs::permissions(target, fs::perms::owner_write, fs::perm_options::add);
    return target.string();
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2 || argc > 3) {
        std::fprintf(stderr, "usage: make_written_databases OUTPUT_FOLDER [SAMPLES_FOLDER]\n");
        return 2;
    }
    const fs::path out(argv[1]);
    fs::create_directories(out);
    std::vector<std::string> written;
    try {
        {   // The almanac upgrade: one unit emptying the table and inserting a year and more.
            const std::string path = (out / "QorBirth.dll").string();
            makeProductDatabase(path, {almanacTable(1861, 1)});
            Connection connection(path);
            connection.beginWork();
            connection.execute("DELETE FROM huangdao", {});
            PreparedStatement insert = connection.prepare(kAlmanacInsert);
            for (std::size_t day = 0; day < 1861; ++day) insert.execute(almanacRow(day, 2));
            connection.commitWork();
            written.push_back(path);
        }
        {   // The fortune upgrade: memos of 3-11 KB and 5 KB hexadecimal text, plus overflowing rows.
            const std::string path = (out / "Tgcode.dll").string();
            makeProductDatabase(path, {fortuneTable(), horoscopeTable()});
            Connection connection(path);
            connection.beginWork();
            for (std::size_t a = 0; a < 12; ++a)
                connection.execute(kFortuneUpdate, {Value(chineseText(1600 + 500 * a, static_cast<unsigned>(a))), Value(chineseText(1650, static_cast<unsigned>(a + 20))),
                                                    Value(zodiacAnimals()[a])});
            for (std::size_t s = 0; s < 12; ++s) connection.execute(kHoroscopeUpdate, {Value(hexText(5000 + s, static_cast<unsigned>(s))), Value(starSigns()[s])});
            connection.execute("update xingzuo2007 set content = 'short' where idxz = ?", {Value(starSigns()[3])});
            connection.commitWork();
            written.push_back(path);
        }
        {   // Both upgrades run ten times on one file: freed pages are handed out again, and the
            // file keeps the size the first round gave it.
            const std::string path = (out / "Repeated.dll").string();
            makeProductDatabase(path, {almanacTable(400, 1), fortuneTable(), horoscopeTable()});
            std::uintmax_t firstSize = 0;
            for (unsigned round = 1; round <= 10; ++round) {
                Connection connection(path);
                connection.beginWork();
                connection.execute("DELETE FROM huangdao", {});
                PreparedStatement insert = connection.prepare(kAlmanacInsert);
                for (std::size_t day = 0; day < 400; ++day) insert.execute(almanacRow(day, round));
                for (std::size_t a = 0; a < 12; ++a)
                    connection.execute(kFortuneUpdate, {Value(chineseText(1600 + 500 * a, round * 50 + a)), Value(chineseText(1650, round * 50 + 20 + a)),
                                                        Value(zodiacAnimals()[a])});
                connection.execute("DELETE FROM xingzuo2007 where idxz = ?", {Value(starSigns()[round % 12])});
                for (std::size_t s = 0; s < 12; ++s) connection.execute(kHoroscopeUpdate, {Value(hexText(5000 + s, round + s)), Value(starSigns()[s])});
                connection.commitWork();
                const std::uintmax_t size = fs::file_size(path);
                if (round == 1) firstSize = size;
                if (size > firstSize + 4096) {
                    std::fprintf(stderr, "make_written_databases: %s grew from %ju to %ju bytes in round %u\n", path.c_str(), firstSize, size, round);
                    return 1;
                }
            }
            written.push_back(path);
        }
        {   // Past the 512 pages of an inline usage map: reference maps for the table and the file.
            const std::string path = (out / "Large.dll").string();
            NewTable table;
            table.name = "big";
            table.columns = {column("id", ColumnType::Long, 0, true), column("k", ColumnType::Text, 20)};
            for (int c = 0; c < 7; ++c) table.columns.push_back(column("t" + std::to_string(c), ColumnType::Text));
            table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
            table.indexes.push_back({"k", {"k"}, false, false});
            makeProductDatabase(path, {table, horoscopeTable()});
            Connection connection(path);
            connection.beginWork();
            for (int r = 0; r < 700; ++r) {
                std::vector<Value> values{Value("key" + std::to_string(r))};
                for (int c = 0; c < 7; ++c) values.emplace_back(chineseText(255, static_cast<unsigned>(r * 7 + c)));
                connection.execute("insert into big (k, t0, t1, t2, t3, t4, t5, t6) values (?, ?, ?, ?, ?, ?, ?, ?)", values);
            }
            connection.execute("update big set t3 = 'short' where k = 'key5'", {});
            connection.commitWork();
            written.push_back(path);
        }
        {   // Rows that outgrow their page move and leave overflow stubs behind.
            const std::string path = (out / "Overflow.dll").string();
            NewTable table;
            table.name = "grow";
            table.columns = {column("id", ColumnType::Long, 0, true), column("k", ColumnType::Text, 10), column("t", ColumnType::Text)};
            table.indexes.push_back({"PrimaryKey", {"id"}, true, true});
            table.indexes.push_back({"k", {"k"}, false, true});
            for (int i = 0; i < 30; ++i) table.rows.push_back({Value(), Value("k" + std::to_string(i)), Value(std::string("short"))});
            makeProductDatabase(path, {table});
            Connection connection(path);
            for (int round = 0; round < 3; ++round)
                for (int i = 0; i < 30; ++i)
                    connection.execute("update grow set t = ? where k = ?", {Value(chineseText(100 + 60 * round + i, i)), Value("k" + std::to_string(i))});
            written.push_back(path);
        }
        {   // An index three levels deep, made with the file.
            const std::string path = (out / "DeepIndex.dll").string();
            makeProductDatabase(path, {deepIndexTable(600)});
            written.push_back(path);
        }
        if (argc == 3 && fs::is_directory(argv[2])) {
            const fs::path samples(argv[2]);
            // A table with rows added to each Access-made sample; the old tables stay as they were.
            for (const auto& sample : fs::directory_iterator(samples)) {
                if (sample.path().extension() != ".mdb") continue;
                const std::string path = copySample(samples, sample.path().filename().string(), out, "added-");
                NewTable table = deepIndexTable(40);
                table.name = "Added";
                table.columns.push_back(column("note", ColumnType::Memo));
                for (std::size_t r = 0; r < table.rows.size(); ++r) table.rows[r].emplace_back(chineseText(r * 90, static_cast<unsigned>(r)));
                addTableToDatabase(path, table);
                written.push_back(path);
            }
            {
                const std::string path = copySample(samples, "zblogasp-data-2013.mdb", out);
                Connection connection(path);
                connection.beginWork();
                connection.execute("update blog_Article set log_Content = ? where log_ID = 2", {Value(chineseText(6000, 7))});
                connection.execute("update blog_Config set conf_Value = ? where conf_Name = 'Blog'", {Value(chineseText(9000, 8))});
                connection.execute("DELETE FROM blog_Member", {});
                for (int i = 0; i < 300; ++i)
                    connection.execute("insert into blog_Tag (tag_Name, tag_Intro, tag_Order) values (?, ?, ?)",
                                       {Value(chineseText(12, i)), Value(chineseText(static_cast<std::size_t>(i) * 7, i)), Value(std::int64_t(i))});
                connection.commitWork();
                written.push_back(path);
            }
            {
                const std::string path = copySample(samples, "jackcess-delTestV2003.mdb", out);
                Connection connection(path);
                connection.execute("DELETE FROM [Table]", {});
                connection.execute("insert into [Table] (a, b) values ('after', 'delete')", {});
                written.push_back(path);
            }
            {
                const std::string path = copySample(samples, "jackcess-indexTestV2003.mdb", out);
                Connection connection(path);
                connection.beginWork();
                for (int id = 100; id < 1100; ++id)
                    connection.execute("insert into Table3 (id, data) values (?, ?)", {Value(std::int64_t(id)), Value("row " + std::to_string(id))});
                connection.commitWork();
                written.push_back(path);
            }
            {
                const std::string path = copySample(samples, "jackcess-overflowTestV2003.mdb", out);
                Connection connection(path);
                std::string sql = "update Table1 set data3 = ?";
                std::vector<Value> values{Value(chineseText(50, 3))};
                for (int c = 4; c <= 10; ++c) {
                    sql += ", data" + std::to_string(c) + " = ?";
                    values.emplace_back(chineseText(50, static_cast<unsigned>(c)));
                }
                connection.execute(sql, values);
                written.push_back(path);
            }
        }
    } catch (const Error& error) {
        std::fprintf(stderr, "make_written_databases: %s\n", error.what());
        return 1;
    }
    int failures = 0;
    for (const auto& path : written) {
        const auto problems = checkAllIndexes(PageFile::load(path), false);
        for (const auto& problem : problems) std::fprintf(stderr, "%s: %s\n", path.c_str(), problem.c_str());
        failures += problems.empty() ? 0 : 1;
    }
    std::printf("%zu databases written, %d with index problems\n", written.size(), failures);
    return failures == 0 ? 0 : 1;
}
