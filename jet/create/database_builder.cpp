#include "jet/create/database_builder.h"
#include "jet/file/native_path.h"

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <set>
#include <stdexcept>

#include "jet/create/data_page_builder.h"
#include "jet/format/header_page.h"
#include "jet/create/new_row_values.h"
#include "jet/create/page_allocator.h"
#include "jet/create/row_writer.h"
#include "jet/create/system_catalogue.h"
#include "jet/format/table_definition.h"
#include "jet/create/table_index_writer.h"
#include "jet/create/table_layout.h"
#include "jet/format/usage_map_writer.h"

namespace jet {

namespace {

constexpr std::size_t kMapRowsPerPage = (kPageSize - kDataPageHeaderSize) / (kMapRowSize + 2);
constexpr std::uint32_t kGlobalMapPage = 1;

// One table on its way into the file.
struct PendingTable {
    const NewTable* request = nullptr;
    TableDefinition definition;
    std::vector<std::vector<Value>> rows;   // checked and completed
    std::vector<std::uint32_t> definitionPages;
};

// Where each usage map row goes, and which pages it lists.
struct MapSlot {
    RowPointer where;
    std::vector<std::uint32_t> pages;
};

std::string lowerAscii(std::string text) {
    for (char& c : text)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return text;
}

}  // namespace

double currentJetDate() {
    return static_cast<double>(std::time(nullptr)) / 86400.0 + 25569.0;
}

std::vector<std::uint8_t> buildDatabaseImage(const std::string& path, const std::vector<NewTable>& userTables,
                                             const DatabaseOptions& options) {
    const double creationDate = options.creationDate.value_or(currentJetDate());
    const std::vector<NewTable> systemTables = systemTableDefinitions();
    std::vector<const NewTable*> requests;
    for (const auto& table : systemTables) requests.push_back(&table);
    std::set<std::string> names;
    for (const auto& table : systemTables) names.insert(lowerAscii(table.name));
    for (const auto& table : userTables) {
        if (!names.insert(lowerAscii(table.name)).second)
            throw Error(ErrorKind::InvalidArgument, path, table.name, "a table of this name already exists");
        requests.push_back(&table);
    }

    std::vector<PendingTable> tables(requests.size());
    for (std::size_t i = 0; i < requests.size(); ++i) {
        tables[i].request = requests[i];
        try {
            tables[i].definition = layoutTable(*requests[i], requests[i]->system ? 1033 : options.sortOrder);
        } catch (const std::invalid_argument& bad) {
            throw Error(ErrorKind::InvalidArgument, path, requests[i]->name, bad.what());
        }
    }

    PageAllocator pages;
    pages.allocate();   // 0: header
    pages.allocate();   // 1: global usage map
    for (auto& table : tables) {
        table.definition.page = pages.allocate();
        table.definitionPages.push_back(table.definition.page);
    }

    // Usage map rows: table owned/free, one per index, owned/free per memo or OLE column.
    std::size_t mapCount = 0;
    for (const auto& table : tables)
        mapCount += 2 + table.definition.physicalIndexes.size() + 2 * table.definition.longValueMaps.size();
    std::vector<std::uint32_t> mapPages;
    for (std::size_t i = 0; i < (mapCount + kMapRowsPerPage - 1) / kMapRowsPerPage; ++i) mapPages.push_back(pages.allocate());
    std::vector<MapSlot> maps(mapCount);
    for (std::size_t i = 0; i < mapCount; ++i)
        maps[i].where = {mapPages[i / kMapRowsPerPage], static_cast<std::uint8_t>(i % kMapRowsPerPage)};

    // Catalogue contents now that every table's definition page is known.
    std::vector<CatalogueObject> objects;
    for (const auto& table : tables) objects.push_back({table.definition.name, table.definition.page, table.request->system});
    NewTable catalogue = systemTables[0];
    catalogue.rows = catalogueRows(objects, creationDate);
    NewTable acl = systemTables[1];
    acl.rows = accessControlRows(objects);
    tables[0].request = &catalogue;
    tables[1].request = &acl;

    std::size_t nextMap = 0;
    for (auto& table : tables) {
        TableDefinition& definition = table.definition;
        table.rows = prepareNewRows(path, definition, table.request->rows);
        RowWriter writer(pages, definition);
        std::vector<RowPointer> positions;
        positions.reserve(table.rows.size());
        for (std::size_t r = 0; r < table.rows.size(); ++r) {
            try {
                positions.push_back(writer.write(table.rows[r]));
            } catch (const std::invalid_argument& bad) {
                const auto* refusal = dynamic_cast<const Refusal*>(&bad);
                throw Error(ErrorKind::InvalidArgument, ErrorContext{path, definition.name, refusal ? refusal->column() : std::string(), {}, {}},
                            "row " + std::to_string(r + 1) + ": " + bad.what());
            }
        }
        writer.finish();
        const std::vector<std::vector<std::uint32_t>> indexPages = buildTableIndexes(pages, definition, table.rows, positions, path);

        definition.ownedPagesMap = maps[nextMap].where;
        maps[nextMap++].pages = writer.dataPages();
        definition.freePagesMap = maps[nextMap].where;
        maps[nextMap++].pages = writer.dataPages();
        for (std::size_t i = 0; i < definition.physicalIndexes.size(); ++i) {
            definition.physicalIndexes[i].ownedPagesMap = maps[nextMap].where;
            maps[nextMap++].pages = indexPages[i];
        }
        for (std::size_t i = 0; i < definition.longValueMaps.size(); ++i) {
            definition.longValueMaps[i].ownedPages = maps[nextMap].where;
            maps[nextMap++].pages = writer.longValuePages()[i];
            definition.longValueMaps[i].freePages = maps[nextMap].where;
            maps[nextMap++].pages = writer.longValuePages()[i];
        }

        const std::vector<std::uint8_t> block = serializeTableDefinition(definition);
        while (table.definitionPages.size() < pagesNeededForDefinition(block.size())) table.definitionPages.push_back(pages.allocate());
        const auto contents = paginateTableDefinition(block, table.definitionPages);
        for (std::size_t i = 0; i < contents.size(); ++i) pages.set(table.definitionPages[i], contents[i]);
    }

    // Usage maps last: they list pages allocated above (and may add bitmap pages).
    std::vector<DataPageBuilder> mapBuilders(mapPages.size(), DataPageBuilder(0));
    for (const auto& map : maps) {
        std::vector<std::uint8_t> row;
        try {
            row = usageMapRow(pages, map.pages);
        } catch (const std::invalid_argument& bad) {
            throw Error(ErrorKind::Unsupported, path, "", bad.what());
        }
        const std::size_t index = static_cast<std::size_t>(std::find(mapPages.begin(), mapPages.end(), map.where.page) - mapPages.begin());
        mapBuilders[index].add(std::move(row));
    }
    for (std::size_t i = 0; i < mapPages.size(); ++i) pages.set(mapPages[i], mapBuilders[i].build());

    DataPageBuilder global(1);
    try {
        global.add(globalUsageMapRow(pages));
    } catch (const std::invalid_argument& bad) {
        throw Error(ErrorKind::Unsupported, path, "", bad.what());
    }
    global.add(std::vector<std::uint8_t>(kMapRowSize, 0));
    pages.set(kGlobalMapPage, global.build());

    HeaderInfo header;
    header.codePage = options.codePage;
    header.sortOrder = options.sortOrder;
    header.creationDate = creationDate;
    pages.set(0, encodeHeaderPage(header));
    return pages.image();
}

void createDatabase(const std::string& path, const std::vector<NewTable>& tables, const DatabaseOptions& options, bool replace) {
    if (!replace && std::filesystem::exists(nativePath(path))) throw Error(ErrorKind::InvalidArgument, path, "", "the file already exists");
    std::vector<std::uint8_t> image = buildDatabaseImage(path, tables, options);
    PageFile::fromImage(path, std::move(image)).saveAs(path);
}

}  // namespace jet
