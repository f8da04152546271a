#pragma once

#include <string>

#include "jet/create/new_table.h"
#include "jet/format/table_definition.h"

namespace jet {

// Turns a requested table into the stored definition: column numbers, variable slots, fixed
// offsets, flags and lengths, and physical/logical indexes (map pointers and root pages left
// zero). Throws std::invalid_argument explaining what is wrong with the request.
TableDefinition layoutTable(const NewTable& request, std::uint16_t sortOrder);

}  // namespace jet
