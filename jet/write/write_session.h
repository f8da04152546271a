#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

#include "jet/read/catalogue.h"
#include "jet/write/file_editor.h"
#include "jet/format/header_page.h"
#include "jet/file/page_file.h"
#include "jet/format/row_fields.h"
#include "jet/sql/sql_statement.h"
#include "jet/write/statement_undo.h"
#include "jet/write/table_writer.h"
#include "jet/value.h"

namespace jet {

// Runs parsed statements against an in-memory page image. Every statement checks everything it
// can before it changes a byte: names, values, text lengths, required columns, index keys it
// would need and unique keys. Index changes, and the row counts inserts change, are collected
// per table and written out by flush(), which the unit of work calls before the image is saved.
// A statement that fails, at whatever point, leaves the image and the session as they were before
// it. Pages freed by deletes and replaced long values are reused before the file grows.
// Errors are jet::Error naming the file and table.
class WriteSession {
public:
    // Takes over the image; checks the header and reads the catalogue.
    WriteSession(std::string path, std::vector<std::uint8_t> image);

    const std::string& path() const { return file_.path(); }
    const PageFile& file() const { return file_; }

    // Returns the number of rows inserted, changed or deleted.
    std::size_t execute(const ParsedStatement& statement, const std::vector<Value>& parameters);

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
    const std::vector<CatalogueEntry>& catalogue() const { return catalogue_; }
    // Reads the catalogue again once a table's row is in MSysObjects. `pending` lists tables whose
    // rows are still to be written (a new file's system tables), so that statements can name them.
    void reloadCatalogue(const std::vector<CatalogueEntry>& pending = {});
    // Statements refuse to write system tables unless this is set (only while a table is added).
    void setSystemTablesWritable(bool writable) { systemTablesWritable_ = writable; }

private:
    std::size_t run(const ParsedStatement& statement, const std::vector<Value>& parameters);
    std::size_t runUpdate(const UpdateStatement& statement, const std::vector<Value>& parameters);
    std::size_t runDelete(const DeleteStatement& statement, const std::vector<Value>& parameters);
    std::size_t runInsert(const InsertStatement& statement, const std::vector<Value>& parameters);

    TableState& table(const std::string& name);
    std::size_t column(const TableState& table, const std::string& name) const;
    const Value& operandValue(const SqlOperand& operand, const std::vector<Value>& parameters) const;
    Value convert(const TableState& table, std::size_t column, Value value) const;
    // A value the column cannot take: the refusal's own kind, rule and column when it is a
    // Refusal, else a constraint error naming column `column` (when known, npos otherwise).
    [[noreturn]] void refuseValue(const TableState& table, const std::invalid_argument& error, std::size_t column = std::size_t(-1)) const;
    // Column positions of an INSERT's column list (all columns in order when it has none).
    const std::vector<std::size_t>& insertPositions(TableState& table, const InsertStatement& statement) const;

    std::vector<LiveRow> matchingRows(TableState& table, const std::vector<SqlCondition>& where, const std::vector<Value>& parameters);
    // Key bytes of a physical index for a row's values (a pointer per column, table.columns
    // order); false when an ignore-nulls index leaves the row out.
    bool indexKey(const TableState& table, std::size_t index, const std::vector<const Value*>& values, std::vector<std::uint8_t>& key, bool& allNull) const;
    void loadIndex(TableState& table, std::size_t index);
    bool keyTaken(const TableState& table, std::size_t index, const std::vector<std::uint8_t>& key, RowPointer except) const;
    void checkRequired(const TableState& table, const std::vector<const Value*>& values) const;
    // Field bytes for a converted value of a column other than Memo (a memo's value NULL).
    void makeField(const TableState& table, std::size_t column, const Value& value, RowField& field) const;
    // The stored form of a converted memo value; malformed text is refused (before any write).
    std::vector<std::uint8_t> encodeMemo(const TableState& table, std::size_t column, const Value& value) const;
    // The field of a memo whose stored form is `stored`: inline when allowed and short, else in
    // long-value pages written now.
    void makeMemoField(TableWriter& writer, TableState& table, std::size_t column, const std::vector<std::uint8_t>& stored, bool allowInline,
                       RowField& field);

    TableState& tableAt(std::uint32_t definitionPage);
    // Physical index used by the logical index numbered `number`.
    std::size_t physicalOf(const TableState& table, std::uint32_t number) const;
    // Refuses keys of the referencing side whose referenced row does not exist. `keys` holds a
    // key per physical index (empty: not changed or all NULL).
    void checkReferencedRowsExist(TableState& table, const std::vector<std::vector<std::uint8_t>>& keys);
    // Refuses deleting or re-keying rows that rows of another table refer to.
    void checkNotReferenced(TableState& table, const std::vector<LiveRow>& rows, const std::set<std::uint16_t>* changedColumns);

    [[noreturn]] void fail(ErrorKind kind, const TableState& table, const std::string& cause) const;
    [[noreturn]] void fail(ErrorKind kind, BrokenRule rule, ErrorContext context, const std::string& cause) const;
    // The file and table, plus the column and index when given, as an error names them.
    ErrorContext errorContext(const TableState& table, const std::string& column = {}) const;
    ErrorContext indexErrorContext(const TableState& table, std::size_t physicalIndex, const std::string& column = {}) const;
    // A relationship's name as the index, with the key columns of this table's side.
    ErrorContext relationshipErrorContext(const TableState& table, std::size_t physicalIndex, const std::string& relationship) const;

    PageFile file_;
    FileEditor editor_;
    HeaderInfo header_;
    std::vector<CatalogueEntry> catalogue_;
    StatementUndo undo_;
    std::map<std::uint32_t, std::unique_ptr<TableState>> tables_;   // by TDEF page
    bool systemTablesWritable_ = false;
    struct {
        std::uint64_t serial = 0;
        TableState* table = nullptr;
    } lastInsert_;   // the table the last INSERT (by statement serial) named
};

}  // namespace jet
