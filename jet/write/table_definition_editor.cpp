#include "jet/write/table_definition_editor.h"
#include "jet/format/table_definition_format.h"

#include <string>

#include "jet/format/byte_view.h"

namespace jet {

using namespace tdef;

namespace {
constexpr std::size_t kRootPageInDefinition = 38;
constexpr std::size_t kMaxChain = 64;
}  // namespace

TableDefinitionEditor::TableDefinitionEditor(PageFile& file, const TableDefinition& table)
    : file_(file), physicalCount_(table.physicalIndexes.size()) {
    std::uint32_t page = table.page;
    while (page != 0) {
        if (pages_.size() > kMaxChain) throw Damage("table definition chain is too long");
        pages_.push_back(page);
        page = file_.page(page).u32(4, "next definition page");
    }
}

std::size_t TableDefinitionEditor::indexDefinitionsOffset() {
    // Column descriptors, then the column names, then the physical index definitions. Found
    // only when asked: row counts, written on every insert, lie in the fixed header.
    if (indexDefinitionsOffset_ != 0) return indexDefinitionsOffset_;
    const std::uint16_t columnCount = static_cast<std::uint16_t>(*byteAt(0x2D) | (*byteAt(0x2E) << 8));
    std::size_t offset = kIndexSlotsOffset + kIndexSlotSize * physicalCount_ + kColumnDescriptorSize * columnCount;
    for (std::uint16_t i = 0; i < columnCount; ++i) {
        const std::size_t length = *byteAt(offset) | (*byteAt(offset + 1) << 8);
        offset += 2 + length;
    }
    return indexDefinitionsOffset_ = offset;
}

std::uint8_t* TableDefinitionEditor::byteAt(std::size_t offset) {
    if (offset < kPageSize) return file_.mutablePage(pages_[0]) + offset;
    std::size_t rest = offset - kPageSize;
    for (std::size_t i = 1; i < pages_.size(); ++i) {
        const std::size_t span = kPageSize - kContinuationHeader;
        if (rest < span) return file_.mutablePage(pages_[i]) + kContinuationHeader + rest;
        rest -= span;
    }
    throw Damage("table definition field at " + std::to_string(offset) + " lies past its last page");
}

void TableDefinitionEditor::putU32At(std::size_t offset, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) *byteAt(offset + i) = static_cast<std::uint8_t>(value >> (8 * i));
}

void TableDefinitionEditor::setDistinctKeyCount(std::size_t physicalIndex, std::uint32_t count) {
    putU32At(kIndexSlotsOffset + kIndexSlotSize * physicalIndex + 4, count);
}

void TableDefinitionEditor::setRootPage(std::size_t physicalIndex, std::uint32_t page) {
    putU32At(indexDefinitionsOffset() + kIndexDefinitionSize * physicalIndex + kRootPageInDefinition, page);
}

}  // namespace jet
