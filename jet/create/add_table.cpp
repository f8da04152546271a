#include "jet/create/add_table.h"

#include <stdexcept>

#include "jet/create/database_builder.h"
#include "jet/create/row_inserts.h"
#include "jet/create/system_catalogue.h"
#include "jet/create/table_layout.h"
#include "jet/create/table_placement.h"
#include "jet/error.h"
#include "jet/write/connection.h"
#include "jet/write/write_session.h"
#include "text/ascii_case.h"

namespace jet {

namespace {

constexpr std::int16_t kObjectTypeLinkedTable = 4;
constexpr std::int16_t kObjectTypeQuery = 5;
constexpr std::int16_t kObjectTypeLinkedOdbcTable = 6;

// Tables, linked tables and queries share one name space in Access.
void checkNameIsFree(const WriteSession& session, const std::string& name) {
    for (const auto& entry : session.catalogue()) {
        const bool namesData = entry.isTable() || entry.type == kObjectTypeLinkedTable || entry.type == kObjectTypeQuery ||
                               entry.type == kObjectTypeLinkedOdbcTable;
        if (namesData && text::equalsIgnoringAsciiCase(entry.name, name))
            throw Error(ErrorKind::InvalidArgument, session.path(), name, "a table of this name already exists");
    }
}

// The catalogue's "Tables" container, parent of every table.
std::int64_t tablesContainerId(const WriteSession& session) {
    for (const auto& entry : session.catalogue())
        if (entry.name == "Tables" && static_cast<std::uint32_t>(entry.parentId) == 0x0F000000u) return entry.id;
    return kTablesContainerId;
}

// The page of the last table's map rows: new map rows join it while it has room.
std::uint32_t lastMapPage(const WriteSession& session) {
    for (auto entry = session.catalogue().rbegin(); entry != session.catalogue().rend(); ++entry)
        if (entry->isTable()) return readTableDefinition(session.file(), entry->definitionPage()).ownedPagesMap.page;
    return 0;
}

bool hasTable(const WriteSession& session, const std::string& name) {
    for (const auto& entry : session.catalogue())
        if (entry.isTable() && entry.name == name) return true;
    return false;
}

}  // namespace

void addTable(WriteSession& session, const NewTable& request, double created) {
    const std::string& path = session.path();
    checkNameIsFree(session, request.name);
    TableDefinition definition;
    try {
        definition = layoutTable(request, request.system ? 1033 : session.header().sortOrder);
    } catch (const std::invalid_argument& bad) {
        throw Error(ErrorKind::InvalidArgument, path, request.name, bad.what());
    }
    // Values are converted, checked and numbered (AutoNumber) by the writer as the rows go in.
    for (std::size_t r = 0; r < request.rows.size(); ++r)
        if (request.rows[r].size() != definition.columns.size())
            throw Error(ErrorKind::InvalidArgument, path, request.name,
                        "row " + std::to_string(r + 1) + " has " + std::to_string(request.rows[r].size()) + " values for " +
                            std::to_string(definition.columns.size()) + " columns");

    try {
        const std::uint32_t sharedMapPage = lastMapPage(session);
        definition.page = session.editor().allocatePage();
        placeTable(session.editor(), definition, sharedMapPage);
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, path, request.name, std::string("damaged database: ") + damage.what());
    } catch (const std::invalid_argument& bad) {
        throw Error(ErrorKind::Unsupported, path, request.name, bad.what());
    }
    {
        SystemTableWrites systemWrites(session);
        insertRows(session, "MSysObjects", catalogueColumns(),
                   {tableCatalogueRow(definition.page, tablesContainerId(session), request.name, created)});
        if (hasTable(session, "MSysACEs")) insertRows(session, "MSysACEs", accessControlColumns(), tableAccessControlRows(definition.page));
    }
    session.reloadCatalogue();
    insertRows(session, request.name, {}, request.rows);
}

void addTable(Connection& connection, const NewTable& table) {
    const double created = currentJetDate();
    connection.applyChange([&](WriteSession& session) { addTable(session, table, created); });
}

void addTableToDatabase(const std::string& path, const NewTable& table) {
    Connection connection(path);
    addTable(connection, table);
}

}  // namespace jet
