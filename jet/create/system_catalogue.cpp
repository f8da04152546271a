#include "jet/create/system_catalogue.h"

namespace jet {

namespace {

constexpr std::int64_t kTablesContainer = kTablesContainerId;
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

const std::vector<std::string>& catalogueColumns() {
    static const std::vector<std::string> columns{"Id", "ParentId", "Name", "Type", "DateCreate", "DateUpdate", "Owner", "Flags"};
    return columns;
}

const std::vector<std::string>& accessControlColumns() {
    static const std::vector<std::string> columns{"ObjectId", "SID", "ACM", "FInheritable"};
    return columns;
}

namespace {

std::vector<Value> objectRow(std::int64_t id, std::int64_t parent, const std::string& name, std::int64_t type, const Blob& owner,
                             std::int64_t flags, double date) {
    return {id, parent, name, type, DateTime{date}, DateTime{date}, owner, flags};
}

}  // namespace

std::vector<std::vector<Value>> systemCatalogueRows(const std::vector<std::uint32_t>& pages, double date) {
    std::vector<std::vector<Value>> rows;
    rows.push_back(objectRow(kTablesContainer, kContainerParent, "Tables", kContainerType, kEngineSid, kSystemObjectFlag, date));
    rows.push_back(objectRow(kDatabasesContainer, kContainerParent, "Databases", kContainerType, kEngineSid, kSystemObjectFlag, date));
    rows.push_back(objectRow(kRelationshipsContainer, kContainerParent, "Relationships", kContainerType, kEngineSid, kSystemObjectFlag, date));
    rows.push_back(objectRow(kDatabaseObject, kDatabasesContainer, "MSysDb", kDatabaseType, kAdminsSid, kSystemObjectFlag, date));
    const std::vector<NewTable> tables = systemTableDefinitions();
    for (std::size_t i = 0; i < tables.size(); ++i)
        rows.push_back(objectRow(pages.at(i), kTablesContainer, tables[i].name, kTableType, kEngineSid, kSystemObjectFlag, date));
    return rows;
}

std::vector<std::vector<Value>> systemAccessControlRows(const std::vector<std::uint32_t>& pages) {
    std::vector<std::vector<Value>> rows;
    auto ace = [&](std::int64_t object, const Blob& sid, std::int64_t rights, bool inheritable) {
        rows.push_back({object, sid, rights, inheritable});
    };
    // The system tables by creation order: MSysObjects, MSysACEs, MSysQueries, MSysRelationships.
    const std::int64_t objects = pages.at(0), acl = pages.at(1), queries = pages.at(2), relationships = pages.at(3);
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
    return rows;
}

std::vector<Value> tableCatalogueRow(std::uint32_t definitionPage, std::int64_t parentId, const std::string& name, double created) {
    return objectRow(definitionPage, parentId, name, kTableType, kAdminsSid, 0, created);
}

std::vector<std::vector<Value>> tableAccessControlRows(std::uint32_t definitionPage) {
    return {{std::int64_t{definitionPage}, kAdminsSid, std::int64_t{1048319}, false},
            {std::int64_t{definitionPage}, kAdminSid, std::int64_t{1048319}, false}};
}

}  // namespace jet
