#pragma once

#include <memory>
#include <string>
#include <vector>

#include "jet/read/catalogue.h"
#include "jet/format/header_page.h"
#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"
#include "jet/read/table_scan.h"
#include "jet/value.h"

namespace jet {

// Iterates the live rows of one table. Keeps the database image alive on its own.
class RowCursor {
public:
    // Next row into `out` (one Value per column of definition().columns); false at the end.
    // Throws Error(Damaged) naming the file and table.
    bool next(std::vector<Value>& out);
    const TableDefinition& definition() const { return *table_; }
    // Where the row last returned is stored.
    RowPointer position() const { return scan_->position(); }

private:
    friend class Database;
    RowCursor(std::shared_ptr<const PageFile> file, std::shared_ptr<const TableDefinition> table);

    std::shared_ptr<const PageFile> file_;
    std::shared_ptr<const TableDefinition> table_;
    std::unique_ptr<TableScan> scan_;
};

// A Jet 4 database opened for reading. All errors are jet::Error naming the file (and table).
class Database {
public:
    // Loads and checks the file; reads the catalogue.
    static Database open(const std::string& path);
    // Same checks on an image already in memory (`path` only names it in messages).
    static Database fromImage(const std::string& path, std::vector<std::uint8_t> image);

    const std::string& path() const { return file_->path(); }
    const HeaderInfo& header() const { return header_; }
    const PageFile& file() const { return *file_; }
    const std::vector<CatalogueEntry>& catalogue() const { return catalogue_; }

    // Names of local tables in catalogue order; system tables only when asked.
    std::vector<std::string> tableNames(bool includeSystem = false) const;

    // Reads a table's definition; the name is matched exactly, then ignoring ASCII case.
    // Throws Error(NotFound) for an unknown name.
    TableDefinition table(const std::string& name) const;

    RowCursor rows(const std::string& name) const;
    std::vector<std::vector<Value>> readAllRows(const std::string& name) const;

private:
    Database() = default;
    const CatalogueEntry& findTable(const std::string& name) const;

    std::shared_ptr<const PageFile> file_;
    HeaderInfo header_;
    std::vector<CatalogueEntry> catalogue_;
};

}  // namespace jet
