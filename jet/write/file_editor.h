#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "jet/format/data_page.h"
#include "jet/format/usage_map.h"
#include "jet/file/page_file.h"

namespace jet {

// Changes to the in-memory page image that many writers share: handing out and taking back
// pages, the global page map (page 1, row 0; a set bit means free) and the usage maps of tables,
// indexes and long-value columns. Throws Damage when a map cannot be read or changed.
//
// Pages are reused before the file grows. Which pages of the file are free to reuse is asked
// of `findFreePages` when first needed (it knows every object's maps); pages released later are
// added as they are released.
class FileEditor {
public:
    using FreePageFinder = std::function<std::vector<std::uint32_t>()>;

    explicit FileEditor(PageFile& file, FreePageFinder findFreePages = {}) : file_(file), findFreePages_(std::move(findFreePages)) {}

    PageFile& file() { return file_; }
    const PageFile& file() const { return file_; }
    Bytes page(std::uint32_t number) const { return file_.page(number).bytes(); }
    std::uint8_t* mutablePage(std::uint32_t number) { return file_.mutablePage(number); }

    // A zeroed page marked used in the global map: the lowest free page, else a new one at the
    // end. The caller lists it in its owner's maps.
    std::uint32_t allocatePage();
    // Marks a page free in the global map, zeroes it and offers it for reuse. The caller has
    // taken it out of its owner's maps.
    void releasePage(std::uint32_t page);
    // Forgets what is known of free pages, after the image was put back to an earlier state;
    // they are looked up again when next needed.
    void forgetFreePages() { free_.reset(); }
    // Drops free pages from the end of the file, so the file ends with a page in use.
    void trimFreeTail();

    // Sets or clears the bit of `page` in the usage map row at `map` (owned or free-space map).
    void setMapBit(RowPointer map, std::uint32_t page, bool value);

private:
    void setBit(RowPointer map, std::uint32_t page, bool value, bool unmappedIsSet);
    void convertToReference(RowPointer map, std::uint32_t page, bool unmappedIsSet);
    std::uint32_t appendBitmapPage(bool unmappedIsSet);
    // The bytes of a map row within the image; valid until the image next grows.
    std::span<std::uint8_t> mapRow(RowPointer map);

    std::vector<std::uint32_t>& freePages();

    PageFile& file_;
    FreePageFinder findFreePages_;
    std::optional<std::vector<std::uint32_t>> free_;   // descending, so the lowest is at the back
};

}  // namespace jet
