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

namespace jet {

namespace {

constexpr std::int16_t kObjectTypeLinkedTable = 4;
constexpr std::int16_t kObjectTypeQuery = 5;
constexpr std::int16_t kObjectTypeLinkedOdbcTable = 6;

bool sameNameIgnoringAsciiCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i], y = b[i];
        if (x >= 'A' && x <= 'Z') x = static_cast<char>(x - 'A' + 'a');
        if (y >= 'A' && y <= 'Z') y = static_cast<char>(y - 'A' + 'a');
        if (x != y) return false;
    }
    return true;
}

// Tables, linked tables and queries share one name space in Access.
void checkNameIsFree(const WriteSession& session, const std::string& name) {
    for (const auto& entry : session.catalogue()) {
        const bool namesData = entry.isTable() || entry.type == kObjectTypeLinkedTable || entry.type == kObjectTypeQuery ||
                               entry.type == kObjectTypeLinkedOdbcTable;
        if (namesData && sameNameIgnoringAsciiCase(entry.name, name))
            throw Error(ErrorKind::InvalidArgument, session.path(), name, "a table of this name already exists");
    }
}

// The catalogue's "Tables" container, parent of every table.
std::int64_t tablesContainerId(const WriteSession& session) {
    for (const auto& entry : session.catalogue())
        if (entry.name == "Tables" && static_cast<std::uint32_t>(entry.parentId) == 0x0F000000u) return entry.id;
    return kTablesContainerId;
}

bool hasTable(const WriteSession& session, const std::string& name) {
    for (const auto& entry : session.catalogue())
        if (entry.isTable() && entry.name == name) return true;
    return false;
}

// Lets statements write the system tables for as long as it lives.
class SystemTableWrites {
public:
    explicit SystemTableWrites(WriteSession& session) : session_(session) { session_.setSystemTablesWritable(true); }
    ~SystemTableWrites() { session_.setSystemTablesWritable(false); }
    SystemTableWrites(const SystemTableWrites&) = delete;
    SystemTableWrites& operator=(const SystemTableWrites&) = delete;

private:
    WriteSession& session_;
};

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
        definition.page = session.editor().allocatePage();
        placeTable(session.editor(), definition);
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
