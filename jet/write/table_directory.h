#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/read/catalogue.h"
#include "jet/write/file_editor.h"
#include "jet/write/table_writer.h"

namespace jet {

// Table and column names to what the write path keeps about each table. A table is read (its
// definition, data pages and relationships) when a statement first names it, and kept for as long
// as the directory lives, so the states it hands out stay where they are. Names match exactly
// first, then ignoring ASCII case. Errors are jet::Error naming the file and table.
class TableDirectory {
public:
    // Reads the catalogue (Damaged when it cannot be read).
    TableDirectory(const PageFile& file, FileEditor& editor);

    const std::string& path() const { return file_.path(); }
    const std::vector<CatalogueEntry>& catalogue() const { return catalogue_; }

    // Reads the catalogue again once a table's row is in MSysObjects. `pending` lists tables whose
    // rows are still to be written (a new file's system tables), so that statements can name them.
    // Tables already read stay where they are.
    void reloadCatalogue(const std::vector<CatalogueEntry>& pending = {});
    // System tables are refused unless this is set (only while a table is added).
    void setSystemTablesWritable(bool writable) { systemTablesWritable_ = writable; }

    // A user table by name: NotFound when there is none, Unsupported for a system table.
    TableState& table(const std::string& name);
    // The table whose definition is on `definitionPage` (Damaged when no table has it).
    TableState& tableAt(std::uint32_t definitionPage);
    // A column's position in table.definition.columns (NotFound naming the column).
    std::size_t column(const TableState& table, const std::string& name) const;
    // The physical index the logical index numbered `number` uses (Damaged when there is none).
    std::size_t physicalOf(const TableState& table, std::uint32_t number) const;

    // Every table read so far, in definition page order.
    std::vector<TableState*> loaded() const;

private:
    TableState& load(const CatalogueEntry& entry);

    const PageFile& file_;
    FileEditor& editor_;
    std::vector<CatalogueEntry> catalogue_;
    std::map<std::uint32_t, std::unique_ptr<TableState>> tables_;   // by TDEF page
    bool systemTablesWritable_ = false;
};

}  // namespace jet
