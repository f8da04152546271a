#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/create/new_table.h"

namespace jet {

// The four system tables every Jet 4 database holds, in the order Access creates them; their
// definitions take pages 2 to 5.
std::vector<NewTable> systemTableDefinitions();

// The Id of the "Tables" container, parent of every table in the catalogue.
inline constexpr std::int64_t kTablesContainerId = 0x0F000001;

// The MSysObjects and MSysACEs columns the rows below fill, in their order; the others stay NULL.
const std::vector<std::string>& catalogueColumns();
const std::vector<std::string>& accessControlColumns();

// MSysObjects rows of a new file: the containers and the database object Access always lists,
// then the system tables (definition pages in systemTableDefinitions() order).
std::vector<std::vector<Value>> systemCatalogueRows(const std::vector<std::uint32_t>& systemTablePages, double creationDate);
// MSysACEs rows of a new file for its containers, database object and system tables.
std::vector<std::vector<Value>> systemAccessControlRows(const std::vector<std::uint32_t>& systemTablePages);

// The MSysObjects row of a user table and its MSysACEs rows (full rights for Admins and Admin).
std::vector<Value> tableCatalogueRow(std::uint32_t definitionPage, std::int64_t parentId, const std::string& name, double created);
std::vector<std::vector<Value>> tableAccessControlRows(std::uint32_t definitionPage);

}  // namespace jet
