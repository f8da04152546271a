#include "jet/write/foreign_keys.h"

namespace jet {

std::vector<ForeignKeySide> readForeignKeys(const TableDefinition& table) {
    std::vector<ForeignKeySide> sides;
    for (std::size_t i = 0; i < table.logicalIndexes.size(); ++i) {
        const LogicalIndex& logical = table.logicalIndexes[i];
        if (logical.type != kLogicalIndexForeignKey) continue;
        ForeignKeySide side;
        side.logicalIndex = i;
        side.referenced = logical.relationshipSide == kReferencedSide;
        side.otherLogicalIndex = logical.relatedIndex;
        side.otherTablePage = logical.relatedTablePage;
        side.cascadeUpdates = logical.cascadeUpdates != 0;
        side.cascadeDeletes = logical.cascadeDeletes != 0;
        sides.push_back(side);
    }
    return sides;
}

}  // namespace jet
