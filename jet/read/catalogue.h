#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "jet/file/page_file.h"

namespace jet {

inline constexpr std::uint32_t kCatalogueTablePage = 2;   // MSysObjects' table definition
inline constexpr std::int16_t kObjectTypeTable = 1;
inline constexpr std::uint32_t kSystemObjectFlags = 0x80000002u;

struct CatalogueEntry {
    std::int32_t id = 0;
    std::int32_t parentId = 0;
    std::string name;
    std::int16_t type = 0;
    std::uint32_t flags = 0;

    bool isTable() const { return type == kObjectTypeTable; }
    bool isSystem() const { return (flags & kSystemObjectFlags) != 0; }
    std::uint32_t definitionPage() const { return static_cast<std::uint32_t>(id) & 0x00FFFFFFu; }
};

// Reads every object listed in the system catalogue, in physical row order. Throws Damage.
std::vector<CatalogueEntry> readCatalogue(const PageFile& file);

}  // namespace jet
