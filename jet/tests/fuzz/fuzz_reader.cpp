// libFuzzer entry point: any byte string, opened as a database and read completely, must give
// data or a jet::Error; a crash, hang, leak or sanitizer report is a finding.
#include <cstdint>
#include <vector>

#include "jet/database.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const jet::Database database = jet::Database::fromImage("fuzz.mdb", std::vector<std::uint8_t>(data, data + size));
        for (const auto& name : database.tableNames(true)) {
            jet::RowCursor cursor = database.rows(name);
            std::vector<jet::Value> row;
            while (cursor.next(row)) {
            }
        }
    } catch (const jet::Error&) {
        // Refusing damaged input with an Error is the expected outcome.
    }
    return 0;
}
