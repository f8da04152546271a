#include "jet/create/system_catalogue.h"

namespace jet {

namespace {

constexpr std::int64_t kTablesContainer = 0x0F000001;
constexpr std::int64_t kDatabasesContainer = 0x0F000002;
constexpr std::int64_t kRelationshipsContainer = 0x0F000003;
constexpr std::int64_t kContainerParent = 0x0F000000;
constexpr std::int64_t kDatabaseObject = 0x10000000;
constexpr std::int64_t kSystemObjectFlag = -2147483648LL;   // 0x80000000 as stored in a signed Long
constexpr std::int64_t kContainerType = 3;
constexpr std::int64_t kDatabaseType = 2;
constexpr std::int64_t kTableType = 1;

// Compact security identifiers of the default workgroup: the engine, the Admins and Users
// groups and the Admin user.
const Blob kEngineSid{0x65, 0x89};
const Blob kAdminsSid{0x64, 0x8B};
const Blob kUsersSid{0x65, 0x8E};
const Blob kAdminSid{0x65, 0x8B};

NewColumn column(const char* name, ColumnType type, std::uint16_t textLength = 255) {
    NewColumn c;
    c.name = name;
    c.type = type;
    c.textLength = textLength;
    c.compressedUnicode = false;
    return c;
}

}  // namespace

std::vector<NewTable> systemTableDefinitions() {
    NewTable objects;
    objects.name = "MSysObjects";
    objects.system = true;
    objects.columns = {column("Id", ColumnType::Long),          column("ParentId", ColumnType::Long),
                       column("Name", ColumnType::Text),        column("Type", ColumnType::Integer),
                       column("DateCreate", ColumnType::DateTime), column("DateUpdate", ColumnType::DateTime),
                       column("Owner", ColumnType::Binary),     column("Flags", ColumnType::Long),
                       column("Database", ColumnType::Memo),    column("Connect", ColumnType::Memo),
                       column("ForeignName", ColumnType::Text), column("RmtInfoShort", ColumnType::Binary),
                       column("RmtInfoLong", ColumnType::Ole),  column("Lv", ColumnType::Ole),
                       column("LvProp", ColumnType::Ole),       column("LvModule", ColumnType::Ole),
                       column("LvExtra", ColumnType::Ole)};
    objects.indexes = {{"Id", {"Id"}, true, true}, {"ParentIdName", {"ParentId", "Name"}, false, true}};

    NewTable aces;
    aces.name = "MSysACEs";
    aces.system = true;
    aces.columns = {column("ObjectId", ColumnType::Long), column("SID", ColumnType::Binary), column("ACM", ColumnType::Long),
                    column("FInheritable", ColumnType::Boolean)};
    aces.indexes = {{"ObjectId", {"ObjectId"}, false, false}};

    NewTable queries;
    queries.name = "MSysQueries";
    queries.system = true;
    queries.columns = {column("ObjectId", ColumnType::Long), column("Attribute", ColumnType::Byte),
                       column("Order", ColumnType::Binary),  column("Name1", ColumnType::Text),
                       column("Name2", ColumnType::Text),    column("Expression", ColumnType::Memo),
                       column("Flag", ColumnType::Integer),  column("LvExtra", ColumnType::Long)};
    queries.indexes = {{"ObjectIdAttribute", {"ObjectId", "Attribute", "Order"}, true, true}};

    NewTable relationships;
    relationships.name = "MSysRelationships";
    relationships.system = true;
    relationships.columns = {column("szRelationship", ColumnType::Text), column("grbit", ColumnType::Long),
                             column("ccolumn", ColumnType::Long),        column("icolumn", ColumnType::Long),
                             column("szObject", ColumnType::Text),       column("szColumn", ColumnType::Text),
                             column("szReferencedObject", ColumnType::Text), column("szReferencedColumn", ColumnType::Text)};
    relationships.indexes = {{"szObject", {"szObject"}, false, false},
                             {"szReferencedObject", {"szReferencedObject"}, false, false},
                             {"szRelationship", {"szRelationship"}, false, false}};
    return {objects, aces, queries, relationships};
}

std::vector<std::vector<Value>> catalogueRows(const std::vector<CatalogueObject>& tables, double creationDate) {
    auto row = [&](std::int64_t id, std::int64_t parent, const std::string& name, std::int64_t type, const Blob& owner,
                   std::int64_t flags) {
        std::vector<Value> values(17);
        values[0] = id;
        values[1] = parent;
        values[2] = name;
        values[3] = type;
        values[4] = DateTime{creationDate};
        values[5] = DateTime{creationDate};
        values[6] = owner;
        values[7] = flags;
        return values;
    };
    std::vector<std::vector<Value>> rows;
    rows.push_back(row(kTablesContainer, kContainerParent, "Tables", kContainerType, kEngineSid, kSystemObjectFlag));
    rows.push_back(row(kDatabasesContainer, kContainerParent, "Databases", kContainerType, kEngineSid, kSystemObjectFlag));
    rows.push_back(row(kRelationshipsContainer, kContainerParent, "Relationships", kContainerType, kEngineSid, kSystemObjectFlag));
    rows.push_back(row(kDatabaseObject, kDatabasesContainer, "MSysDb", kDatabaseType, kAdminsSid, kSystemObjectFlag));
    for (const auto& table : tables)
        rows.push_back(row(table.definitionPage, kTablesContainer, table.name, kTableType, table.system ? kEngineSid : kAdminsSid,
                           table.system ? kSystemObjectFlag : 0));
    return rows;
}

std::vector<std::vector<Value>> accessControlRows(const std::vector<CatalogueObject>& tables) {
    std::vector<std::vector<Value>> rows;
    auto ace = [&](std::int64_t object, const Blob& sid, std::int64_t rights, bool inheritable) {
        rows.push_back({object, sid, rights, inheritable});
    };
    // The system tables by creation order: MSysObjects, MSysACEs, MSysQueries, MSysRelationships.
    const std::int64_t objects = tables.at(0).definitionPage, acl = tables.at(1).definitionPage,
                       queries = tables.at(2).definitionPage, relationships = tables.at(3).definitionPage;
    ace(objects, kAdminsSid, 393216, false);
    ace(acl, kAdminsSid, 393216, false);
    ace(queries, kAdminsSid, 393216, false);
    ace(relationships, kAdminsSid, 917504, false);
    ace(kTablesContainer, kUsersSid, 983294, true);
    ace(kTablesContainer, kAdminsSid, 393217, false);
    ace(kRelationshipsContainer, kUsersSid, 983294, true);
    ace(kRelationshipsContainer, kAdminsSid, 393217, false);
    ace(kDatabasesContainer, kAdminsSid, 393216, false);
    ace(kDatabaseObject, kAdminsSid, 393230, false);
    ace(kDatabaseObject, kAdminSid, 14, false);
    ace(queries, kAdminSid, 20, false);
    ace(relationships, kAdminSid, 20, false);
    ace(objects, kAdminSid, 20, false);
    ace(kTablesContainer, kAdminSid, 1048319, true);
    ace(kRelationshipsContainer, kAdminSid, 1048575, true);
    for (std::size_t i = 4; i < tables.size(); ++i) {
        ace(tables[i].definitionPage, kAdminsSid, 1048319, false);
        ace(tables[i].definitionPage, kAdminSid, 1048319, false);
    }
    return rows;
}

}  // namespace jet
