#pragma once

#include <cstdint>
#include <vector>

#include "jet/format/table_definition.h"

namespace jet {

// Serialises a table definition in the Jet 4 layout (as one logical block, page header
// included). Long-value map pointers are taken from table.longValueMaps.
std::vector<std::uint8_t> serializeTableDefinition(const TableDefinition& table);

// Splits a serialised definition into pages: the first page carries the block's first 4096
// bytes; each continuation page an 8-byte header and the next 4088 bytes. `pages` are the page
// numbers to use (as many as pagesNeededForDefinition() says); returns their contents.
std::size_t pagesNeededForDefinition(std::size_t bytes);
std::vector<std::vector<std::uint8_t>> paginateTableDefinition(const std::vector<std::uint8_t>& block,
                                                               const std::vector<std::uint32_t>& pages);

}  // namespace jet
