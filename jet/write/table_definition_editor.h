#pragma once

#include <cstdint>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"

namespace jet {

// Changes the few table-definition fields that writing rows touches, in place: the row count,
// the last AutoNumber value, and per physical index its distinct-key count and root page. The
// definition is never laid out again. Throws Damage when a field lies outside the chain.
class TableDefinitionEditor {
public:
    TableDefinitionEditor(PageFile& file, const TableDefinition& table);

    void setRowCount(std::uint32_t count) { putU32At(0x10, count); }
    void setLastAutoNumber(std::uint32_t value) { putU32At(0x14, value); }
    void setDistinctKeyCount(std::size_t physicalIndex, std::uint32_t count);
    void setRootPage(std::size_t physicalIndex, std::uint32_t page);

private:
    void putU32At(std::size_t offset, std::uint32_t value);
    std::size_t indexDefinitionsOffset();
    std::uint8_t* byteAt(std::size_t offset);

    PageFile& file_;
    std::vector<std::uint32_t> pages_;   // the chain, first page first
    std::size_t physicalCount_ = 0;
    std::size_t indexDefinitionsOffset_ = 0;
};

}  // namespace jet
