#include "jet/write/foreign_keys.h"
#include "jet/format/table_definition_format.h"

#include <string>

namespace jet {

using namespace tdef;

namespace {
constexpr std::uint8_t kReferencedSide = 1;
}  // namespace

std::vector<ForeignKeySide> readForeignKeys(const PageFile& file, const TableDefinition& table) {
    std::vector<ForeignKeySide> sides;
    bool any = false;
    for (const auto& logical : table.logicalIndexes) any = any || logical.type == kLogicalIndexForeignKey;
    if (!any) return sides;
    std::vector<std::uint8_t> definition;
    for (std::uint32_t page = table.page, hops = 0; page != 0; ++hops) {
        if (hops > 64) throw Damage("table definition chain is too long");
        const Bytes bytes = file.page(page).bytes();
        definition.insert(definition.end(), bytes.begin() + (page == table.page ? 0 : kContinuationHeader), bytes.end());
        page = file.page(page).u32(4, "next definition page");
    }
    const ByteView view(Bytes(definition.data(), definition.size()));
    std::size_t offset = kIndexSlotsOffset + kIndexSlotSize * table.physicalIndexes.size() + kColumnDescriptorSize * table.columns.size();
    for (std::size_t i = 0; i < table.columns.size(); ++i) offset += 2 + view.u16(offset, "column name length");
    offset += kIndexDefinitionSize * table.physicalIndexes.size();
    for (std::size_t i = 0; i < table.logicalIndexes.size(); ++i, offset += kLogicalDefinitionSize) {
        if (table.logicalIndexes[i].type != kLogicalIndexForeignKey) continue;
        ForeignKeySide side;
        side.logicalIndex = i;
        side.referenced = view.u8(offset + 12, "relationship side") == kReferencedSide;
        side.otherLogicalIndex = view.u32(offset + 13, "related index");
        side.otherTablePage = view.u32(offset + 17, "related table");
        side.cascadeUpdates = view.u8(offset + 21, "cascade updates") != 0;
        side.cascadeDeletes = view.u8(offset + 22, "cascade deletes") != 0;
        sides.push_back(side);
    }
    return sides;
}

}  // namespace jet
