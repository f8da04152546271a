#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/header_page.h"
#include "jet/sql/sql_statement.h"
#include "jet/value.h"
#include "jet/write/file_editor.h"
#include "jet/write/resolved_statement.h"
#include "jet/write/statement_undo.h"
#include "jet/write/table_directory.h"

namespace jet {

// Runs statements against an in-memory page image. It coordinates the write path's parts: the
// table directory resolves names (resolved_statement.h), the executors check every value, key
// and rule before they change a byte and then write rows (statement_execution.h), and index
// changes and row counts collect in memory until flush() writes them (index_maintenance.h).
// Invariants:
//   1. A statement that fails, at whatever point, leaves the image and the session as they were
//      before it (the page journal and the statement undo put them back).
//   2. Statements resolved by this session stay valid for its whole life: its tables' shapes
//      never change, and the states resolution points at are never moved or dropped.
//   3. Pages freed by deletes and replaced long values are reused before the file grows.
// Errors are jet::Error naming the file and table.
class WriteSession {
public:
    // Takes over the image; checks the header and reads the catalogue.
    WriteSession(std::string path, std::vector<std::uint8_t> image);
    WriteSession(const WriteSession&) = delete;
    WriteSession& operator=(const WriteSession&) = delete;

    const std::string& path() const { return file_.path(); }
    const PageFile& file() const { return file_; }

    // Resolves a parsed statement's names against this session's tables (see resolveStatement);
    // `parsed` must outlive the result. The image does not change.
    ResolvedStatement resolve(const ParsedStatement& parsed);
    // Runs a statement this session resolved; returns the number of rows inserted, changed or
    // deleted. The parameter count must match (InvalidArgument).
    std::size_t execute(ResolvedStatement& statement, const std::vector<Value>& parameters);
    // Resolves and runs a statement once (the parameter count checked first).
    std::size_t execute(const ParsedStatement& statement, const std::vector<Value>& parameters);

    // Refuses `given` parameters for a statement that has `expected` (InvalidArgument).
    void checkParameterCount(std::size_t expected, std::size_t given) const;

    // Writes the collected index changes into index pages and the table definitions, and the
    // row counts and AutoNumber counters inserts changed into the table definitions; drops free
    // pages from the end of the file.
    void flush();

    // Hands the image over (after flush()).
    std::vector<std::uint8_t> releaseImage() { return file_.releaseImage(); }

    // For adding tables, which places definitions, maps and index roots itself and then writes
    // the catalogue rows and the table's rows through execute().
    FileEditor& editor() { return editor_; }
    const HeaderInfo& header() const { return header_; }
    const std::vector<CatalogueEntry>& catalogue() const { return tables_.catalogue(); }
    void reloadCatalogue(const std::vector<CatalogueEntry>& pending = {}) { tables_.reloadCatalogue(pending); }
    void setSystemTablesWritable(bool writable) { tables_.setSystemTablesWritable(writable); }

private:
    PageFile file_;
    HeaderInfo header_;   // checked before anything else is read
    FileEditor editor_;
    TableDirectory tables_;
    StatementUndo undo_;
};

}  // namespace jet
