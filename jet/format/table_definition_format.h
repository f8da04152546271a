#pragma once

#include <cstddef>

// Fixed sizes and offsets of a Jet 4 table definition (TDEF), shared by the code that reads,
// writes and edits definitions.
namespace jet::tdef {

inline constexpr std::size_t kContinuationHeader = 8;       // bytes skipped on continuation pages
inline constexpr std::size_t kIndexSlotsOffset = 0x3F;      // first per-index slot (distinct-key counts)
inline constexpr std::size_t kIndexSlotSize = 12;
inline constexpr std::size_t kColumnDescriptorSize = 25;
inline constexpr std::size_t kIndexDefinitionSize = 52;     // physical index definition
inline constexpr std::size_t kLogicalDefinitionSize = 28;   // logical index definition

}  // namespace jet::tdef
