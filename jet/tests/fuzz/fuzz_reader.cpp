// libFuzzer entry point: any byte string, opened as a database and read completely, must give
// data or a jet::Error. The index self-check and a delete of every row through the write path
// then read the same structures more deeply and must end the same way. A crash, hang, leak,
// sanitizer report or any other exception is a finding.
#include <cstdint>
#include <vector>

#include "jet/database.h"
#include "jet/error.h"
#include "jet/index_check.h"
#include "jet/page_file.h"
#include "jet/sql_statement.h"
#include "jet/write_session.h"

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
    try {
        jet::WriteSession session("fuzz.mdb", image);
        jet::ParsedStatement statement{jet::DeleteStatement{tables.front(), {}}, 0};
        std::vector<jet::Value> noParameters;
        session.execute(statement, noParameters);
        session.flush();
    } catch (const jet::Error&) {
    }
    return 0;
}
