// libFuzzer entry point for statements: the input is a script of statements separated by ';'.
// Every piece must parse or be refused with SqlSyntaxError. The pieces that parse run, one after
// the other as in a unit of work, against a fresh copy of a small database built here once;
// parameters come from a fixed list so a run depends on the input alone. A statement may be
// refused with a jet::Error; one refused for its content must leave the image as it was, so the
// script goes on. Afterwards the image must still read completely and its indexes must pass the
// self-check and the structure check. Anything else (an escaped exception, a crash, a sanitizer
// report, an index problem, a written image the reader or the structure check refuses) is a
// finding. Nothing touches the disk.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "jet/read/database.h"
#include "jet/create/database_builder.h"
#include "jet/error.h"
#include "jet/check/index_check.h"
#include "jet/sql/sql_parser.h"
#include "jet/check/structure_check.h"
#include "jet/tests/product_fixtures.h"
#include "jet/write/write_session.h"

namespace {

constexpr std::size_t kMaxStatements = 8;

using jet::fixtures::column;

// One table with every type the writer handles and a few it refuses, a unique text key, an index
// over two columns, memos both inline and on long-value pages and a text column after the memo;
// a second table shaped like the almanac; and the fortune table with its two memos.
std::vector<std::uint8_t> buildSeedImage() {
    using jet::ColumnType;
    jet::NewTable mixed;
    mixed.name = "t";
    mixed.columns = {column("id", ColumnType::Long, 0, true), column("k", ColumnType::Text, 20),
                     column("n", ColumnType::Integer),         column("b", ColumnType::Byte),
                     column("d", ColumnType::Double),          column("dt", ColumnType::DateTime),
                     column("y", ColumnType::Boolean),         column("m", ColumnType::Memo),
                     column("bin", ColumnType::Binary, 16),    column("o", ColumnType::Ole),
                     column("note", ColumnType::Text, 30)};
    mixed.indexes = {{"PrimaryKey", {"id"}, true, true}, {"k", {"k"}, false, true}, {"nb", {"n", "b"}, false, false}};
    for (std::int64_t i = 0; i < 12; ++i) {
        const std::string memo = i % 3 == 0 ? std::string(3000 + 700 * i, static_cast<char>('a' + i)) : "short " + std::to_string(i);
        mixed.rows.push_back({std::monostate{}, "key" + std::to_string(i), i * 100 - 300, i * 20, i / 4.0,
                              jet::DateTime{45000.0 + i}, i % 2 == 0, memo, jet::Blob{std::uint8_t(i), 0x00, 0xFF},
                              i % 4 == 0 ? jet::Value(jet::Blob(5000, std::uint8_t(i))) : jet::Value(std::monostate{}),
                              i % 2 == 0 ? jet::Value("note " + std::to_string(i)) : jet::Value(std::monostate{})});
    }
    jet::DatabaseOptions options;
    options.creationDate = 45000.0;   // fixed, so the image and every run are the same
    return jet::buildDatabaseImage("fuzz.mdb", {mixed, jet::fixtures::almanacTable(40, 3), jet::fixtures::fortuneTable()}, options);
}

const std::vector<std::uint8_t>& seedImage() {
    static const std::vector<std::uint8_t> image = buildSeedImage();
    return image;
}

// Parameter values by position: texts short, long for a Text column, over a page, a date and
// non-ASCII; integers at the column ranges' edges; NULL.
const std::vector<jet::Value>& parameterPool() {
    static const std::vector<jet::Value> pool = {
        std::string("key1"), std::int64_t{7}, std::monostate{}, std::string(300, 'x'),
        std::string("2024-02-29 12:30:00"), std::int64_t{-32768}, std::string(9000, 'L'), std::int64_t{255},
        std::string("\xE5\xAE\x9C\xE5\xBF\x8C"), std::int64_t{2147483647}, std::string(""), std::int64_t{-1},
    };
    return pool;
}

[[noreturn]] void finding(const std::string& what) {
    std::fprintf(stderr, "finding: %s\n", what.c_str());
    std::abort();
}

void checkImage(std::vector<std::uint8_t> image) {
    const jet::PageFile file = jet::PageFile::fromImage("fuzz.mdb", image);
    std::vector<std::string> problems;
    try {
        problems = jet::checkAllIndexes(file, true);
    } catch (const std::exception& error) {
        finding(std::string("index check failed on the written image: ") + error.what());
    }
    if (!problems.empty()) finding("index problem after writing: " + problems.front());
    try {
        jet::checkStructure(file);
    } catch (const jet::Error& error) {
        finding(std::string("the structure check refuses the written image: ") + error.what());
    }
    try {
        const jet::Database database = jet::Database::fromImage("fuzz.mdb", std::move(image));
        for (const auto& name : database.tableNames(true)) {
            jet::RowCursor cursor = database.rows(name);
            std::vector<jet::Value> row;
            while (cursor.next(row)) {
            }
        }
    } catch (const jet::Error& error) {
        finding(std::string("the reader refuses the written image: ") + error.what());
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view script(reinterpret_cast<const char*>(data), size);

    std::vector<jet::ParsedStatement> statements;
    for (const std::string& piece : jet::splitSqlScript(script)) {
        if (statements.size() == kMaxStatements) break;
        try {
            statements.push_back(jet::parseSql(piece));
        } catch (const jet::SqlSyntaxError& error) {
            if (error.position() > piece.size()) finding("syntax error position past the end of the statement");
        }
    }
    if (statements.empty()) return 0;

    jet::WriteSession session("fuzz.mdb", seedImage());
    const auto& pool = parameterPool();
    bool changed = false;
    for (std::size_t s = 0; s < statements.size(); ++s) {
        std::vector<jet::Value> parameters;
        for (std::size_t p = 0; p < statements[s].parameterCount; ++p) parameters.push_back(pool[(p + 5 * s) % pool.size()]);
        const std::vector<std::uint8_t> before = session.file().image();
        try {
            session.execute(statements[s], parameters);
            changed = true;
        } catch (const jet::Error& error) {
            if (error.kind() == jet::ErrorKind::Damaged || error.kind() == jet::ErrorKind::Io)
                finding(std::string("a statement on a sound image reported damage: ") + error.what());
            if (session.file().image() != before) finding(std::string("a refused statement changed the image: ") + error.what());
        }
    }
    if (!changed) return 0;
    session.flush();
    checkImage(session.releaseImage());
    return 0;
}
