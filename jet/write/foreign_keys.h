#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/table_definition.h"

namespace jet {

// One side of a relationship with enforced integrity, as a table's logical index records it.
struct ForeignKeySide {
    std::size_t logicalIndex = 0;           // in table.logicalIndexes
    bool referenced = false;                // this table holds the referenced ("one") side
    std::uint32_t otherTablePage = 0;       // TDEF page of the table on the other side
    std::uint32_t otherLogicalIndex = 0;    // number of the matching logical index there
    bool cascadeUpdates = false;
    bool cascadeDeletes = false;
};

// The relationship sides of a table (its logical indexes of type foreign key).
std::vector<ForeignKeySide> readForeignKeys(const TableDefinition& table);

}  // namespace jet
