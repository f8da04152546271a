#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/create/new_table.h"

namespace jet {

// The four system tables every Jet 4 database holds, in the order Access creates them; their
// definitions take pages 2 to 5.
std::vector<NewTable> systemTableDefinitions();

struct CatalogueObject {
    std::string name;
    std::uint32_t definitionPage = 0;
    bool system = false;
};

// Rows of MSysObjects and MSysACEs for the given tables (system tables first), with the
// containers and the database object Access always lists.
std::vector<std::vector<Value>> catalogueRows(const std::vector<CatalogueObject>& tables, double creationDate);
std::vector<std::vector<Value>> accessControlRows(const std::vector<CatalogueObject>& tables);

}  // namespace jet
