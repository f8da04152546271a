// libFuzzer entry point: any byte string, opened as a database and read completely, must give
// data or a jet::Error. The index self-check and a delete of every row through the write path
// then read the same structures more deeply and must end the same way. When the input passes the
// structure check, so must the image the delete leaves. A crash, hang, leak, sanitizer report,
// any other exception or an accepted write that fails the structure check is a finding.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "jet/read/database.h"
#include "jet/error.h"
#include "jet/check/index_check.h"
#include "jet/file/page_file.h"
#include "jet/sql/sql_statement.h"
#include "jet/check/structure_check.h"
#include "jet/write/write_session.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::vector<std::uint8_t> image(data, data + size);
    std::vector<std::string> tables;
    try {
        const jet::Database database = jet::Database::fromImage("fuzz.mdb", image);
        tables = database.tableNames();
        for (const auto& name : database.tableNames(true)) {
            jet::RowCursor cursor = database.rows(name);
            std::vector<jet::Value> row;
            while (cursor.next(row)) {
            }
        }
    } catch (const jet::Error&) {
        // Refusing damaged input with an Error is the expected outcome.
        return 0;
    }
    try {
        jet::checkAllIndexes(jet::PageFile::fromImage("fuzz.mdb", image), false);
    } catch (const jet::Error&) {
    } catch (const jet::Damage&) {
    }
    if (tables.empty()) return 0;
    bool sound = true;
    try {
        jet::checkStructure(jet::PageFile::fromImage("fuzz.mdb", image));
    } catch (const jet::Error&) {
        sound = false;   // the write path would refuse it; the delete below must still fail cleanly
    }
    std::vector<std::uint8_t> written;
    try {
        jet::WriteSession session("fuzz.mdb", image);
        jet::ParsedStatement statement{jet::DeleteStatement{tables.front(), {}}, 0};
        std::vector<jet::Value> noParameters;
        session.execute(statement, noParameters);
        session.flush();
        written = session.releaseImage();
    } catch (const jet::Error&) {
        return 0;
    }
    if (!sound) return 0;
    try {
        jet::checkStructure(jet::PageFile::fromImage("fuzz.mdb", std::move(written)));
    } catch (const jet::Error& error) {
        std::fprintf(stderr, "finding: a delete accepted on a sound image left it damaged: %s\n", error.what());
        std::abort();
    }
    return 0;
}
