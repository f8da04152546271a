#include "jet/create/database_builder.h"
#include "jet/file/native_path.h"

#include <ctime>
#include <filesystem>
#include <stdexcept>

#include "jet/check/structure_check.h"
#include "jet/file/atomic_replace.h"
#include "jet/create/add_table.h"
#include "jet/create/row_inserts.h"
#include "jet/create/system_catalogue.h"
#include "jet/create/table_layout.h"
#include "jet/create/table_placement.h"
#include "jet/format/header_page.h"
#include "jet/format/data_page.h"
#include "jet/format/usage_map.h"
#include "jet/read/catalogue.h"
#include "jet/write/write_session.h"

namespace jet {

namespace {

constexpr std::uint32_t kGlobalMapPageOwner = 1;

// Room for the whole file, so that the image grows in place while the rows go in (growing it a
// page at a time would leave the process holding every smaller copy it outgrew).
std::size_t expectedImageBytes(const std::vector<NewTable>& tables) {
    std::size_t bytes = 64 * kPageSize;   // catalogue, maps, index roots
    for (const NewTable& table : tables)
        for (const auto& row : table.rows) {
            bytes += 32;
            for (const Value& value : row) {
                if (const auto* text = std::get_if<std::string>(&value)) bytes += 2 * text->size() + 4;
                else if (const auto* blob = std::get_if<Blob>(&value)) bytes += blob->size() + 4;
                else bytes += 8;
            }
        }
    return bytes + bytes / 4;   // index pages and partly filled pages
}

// The header page and the global page map (page 1: row 0 the map, where a set bit means free,
// and an empty second row as Access keeps it), every page past them free.
std::vector<std::uint8_t> headerAndGlobalMap(const DatabaseOptions& options, double creationDate, std::size_t expectedBytes) {
    HeaderInfo header;
    header.codePage = options.codePage;
    header.sortOrder = options.sortOrder;
    header.creationDate = creationDate;
    std::vector<std::uint8_t> image;
    image.reserve(expectedBytes);
    const std::vector<std::uint8_t> headerPage = encodeHeaderPage(header);
    image.assign(headerPage.begin(), headerPage.end());
    image.resize(2 * kPageSize, 0);
    std::uint8_t* const globalPage = image.data() + kPageSize;
    initDataPage(globalPage, kGlobalMapPageOwner);
    std::vector<std::uint32_t> free;
    for (std::uint32_t page = 2; page < kMapBitmapBytes * 8; ++page) free.push_back(page);
    const std::vector<std::uint8_t> map = encodeInlineUsageMap(0, free, kMapBitmapBytes);
    const std::vector<std::uint8_t> spare(kMapRowSize, 0);
    appendPageRow(globalPage, Bytes(map.data(), map.size()), 0);
    appendPageRow(globalPage, Bytes(spare.data(), spare.size()), 0);
    return image;
}

// A file holding the header, the global map and the four system tables, empty: definitions on
// pages 2 to 5, then their maps and index roots, with room reserved for `expectedBytes`. Returns
// the definition pages in `definitionPages`.
std::vector<std::uint8_t> emptyCatalogueImage(const std::string& path, const DatabaseOptions& options, double creationDate,
                                              std::size_t expectedBytes, std::vector<std::uint32_t>& definitionPages) {
    PageFile file = PageFile::fromImage(path, headerAndGlobalMap(options, creationDate, expectedBytes));
    FileEditor editor(file);
    std::vector<TableDefinition> definitions;
    for (const NewTable& table : systemTableDefinitions()) {
        definitions.push_back(layoutTable(table, 1033));
        definitions.back().page = editor.allocatePage();
        definitionPages.push_back(definitions.back().page);
    }
    std::uint32_t mapPage = 0;
    for (TableDefinition& definition : definitions) {
        placeTable(editor, definition, mapPage);
        mapPage = definition.ownedPagesMap.page;
    }
    return file.releaseImage();
}

// Writes the catalogue rows of the system tables, containers and database object.
void writeSystemCatalogue(WriteSession& session, const std::vector<std::uint32_t>& definitionPages, double creationDate) {
    const std::vector<NewTable> tables = systemTableDefinitions();
    std::vector<CatalogueEntry> pending;
    for (std::size_t i = 0; i < tables.size(); ++i) {
        CatalogueEntry entry;
        entry.id = static_cast<std::int32_t>(definitionPages[i]);
        entry.parentId = static_cast<std::int32_t>(kTablesContainerId);
        entry.name = tables[i].name;
        entry.type = kObjectTypeTable;
        entry.flags = kSystemObjectFlags;
        pending.push_back(entry);
    }
    session.reloadCatalogue(pending);
    {
        SystemTableWrites systemWrites(session);
        insertRows(session, "MSysObjects", catalogueColumns(), systemCatalogueRows(definitionPages, creationDate));
        insertRows(session, "MSysACEs", accessControlColumns(), systemAccessControlRows(definitionPages));
    }
    session.reloadCatalogue();
}

}  // namespace

double currentJetDate() {
    return static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
}

std::vector<std::uint8_t> buildDatabaseImage(const std::string& path, const std::vector<NewTable>& tables, const DatabaseOptions& options) {
    const double creationDate = options.creationDate.value_or(currentJetDate());
    std::vector<std::uint32_t> systemPages;
    WriteSession session(path, emptyCatalogueImage(path, options, creationDate, expectedImageBytes(tables), systemPages));
    writeSystemCatalogue(session, systemPages, creationDate);
    for (const NewTable& table : tables) addTable(session, table, creationDate);
    session.flush();
    return session.releaseImage();
}

void createDatabase(const std::string& path, const std::vector<NewTable>& tables, const DatabaseOptions& options, bool replace) {
    if (!replace && std::filesystem::exists(nativePath(path))) throw Error(ErrorKind::InvalidArgument, path, "", "the file already exists");
    const PageFile file = PageFile::fromImage(path, buildDatabaseImage(path, tables, options));
    checkStructure(file);   // as for every commit: no damage of ours reaches the disk
    if (replace) file.saveAs(path);
    else createFileAtomically(path, file.image());   // a file that appears meanwhile is left alone
}

}  // namespace jet
