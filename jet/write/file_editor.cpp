#include "jet/write/file_editor.h"

#include <algorithm>
#include <functional>
#include <cstring>
#include <span>
#include <string>
#include <vector>

#include "jet/format/usage_map.h"

namespace jet {

std::span<std::uint8_t> FileEditor::mapRow(RowPointer map) {
    const DataPage page(file_.page(map.page));
    const RowSlot slot = page.row(map.row);
    std::uint8_t* base = file_.mutablePage(map.page);
    return {base + (slot.bytes.data() - file_.page(map.page).bytes().data()), slot.bytes.size()};
}

std::vector<std::uint32_t>& FileEditor::freePages() {
    if (!free_) {
        std::vector<std::uint32_t> found = findFreePages_ ? findFreePages_() : std::vector<std::uint32_t>{};
        std::sort(found.begin(), found.end(), std::greater<>());
        found.erase(std::unique(found.begin(), found.end()), found.end());
        free_ = std::move(found);
    }
    return *free_;
}

std::uint32_t FileEditor::allocatePage() {
    std::vector<std::uint32_t>& free = freePages();
    while (!free.empty() && free.back() >= file_.pageCount()) free.pop_back();   // trimmed away meanwhile
    if (free.empty()) {
        const std::uint32_t page = file_.appendPage();
        setBit(kGlobalUsageMap, page, false, true);
        return page;
    }
    const std::uint32_t page = free.back();
    std::memset(file_.mutablePage(page), 0, kPageSize);
    setBit(kGlobalUsageMap, page, false, true);
    free.pop_back();   // only once the page is taken: a failure above leaves it on offer
    return page;
}

void FileEditor::releasePage(std::uint32_t page) {
    setBit(kGlobalUsageMap, page, true, true);
    std::memset(file_.mutablePage(page), 0, kPageSize);
    std::vector<std::uint32_t>& free = freePages();
    const auto at = std::lower_bound(free.begin(), free.end(), page, std::greater<>());
    if (at == free.end() || *at != page) free.insert(at, page);
}

void FileEditor::trimFreeTail() {
    std::vector<std::uint32_t>& free = freePages();
    std::uint32_t count = file_.pageCount();
    std::sort(free.begin(), free.end(), std::greater<>());
    for (std::uint32_t page : free) {
        if (page + 1 < count) break;
        if (page + 1 == count) --count;
    }
    file_.truncatePages(count);
    while (!free.empty() && free.front() >= count) free.erase(free.begin());
}

void FileEditor::setMapBit(RowPointer map, std::uint32_t page, bool value) { setBit(map, page, value, false); }

// A new bitmap page at the end of the file whose bits all read as "not covered".
std::uint32_t FileEditor::appendBitmapPage(bool unmappedIsSet) {
    const std::uint32_t page = file_.appendPage();
    initBitmapPage(file_.mutablePage(page), unmappedIsSet);
    return page;
}

// `unmappedIsSet`: pages the map does not cover count as set (the global map, where set means
// free); for the other maps they count as clear.
void FileEditor::setBit(RowPointer map, std::uint32_t page, bool value, bool unmappedIsSet) {
    UsageMapRow row(mapRow(map));
    if (row.form() == UsageMapForm::Inline) {
        if (row.inlineCovers(page)) {
            row.setInlineBit(page, value);
            return;
        }
        if (value == unmappedIsSet) return;
        if (!unmappedIsSet) {
            // Move the window when every listed page and the new one fit in it.
            const std::vector<std::uint32_t> listed = readUsageMap(file_, mapRow(map));
            const std::uint32_t low = std::min(page, listed.empty() ? page : listed.front()) & ~7u;
            const std::uint32_t high = std::max(page, listed.empty() ? page : listed.back());
            if (high - low < row.inlineCapacity()) {
                std::vector<std::uint32_t> pages = listed;
                pages.push_back(page);
                row.rewriteInline(low, pages);
                return;
            }
        }
        convertToReference(map, page, unmappedIsSet);
        setBit(map, page, value, unmappedIsSet);
        return;
    }
    const std::size_t slot = bitmapSlotOf(page);
    if (slot >= row.slotCount()) throw Damage("page " + std::to_string(page) + " lies beyond what its usage map can record");
    std::uint32_t bitmapPage = row.slotPage(slot);
    if (bitmapPage == 0) {
        if (value == unmappedIsSet) return;
        bitmapPage = appendBitmapPage(unmappedIsSet);
        UsageMapRow(mapRow(map)).setSlotPage(slot, bitmapPage);
        setBit(kGlobalUsageMap, bitmapPage, false, true);
    } else if (!isBitmapPage(file_.page(bitmapPage))) {
        throw Damage("usage map refers to page " + std::to_string(bitmapPage) + ", which is not a bitmap page");
    }
    setBitmapPageBit(file_.mutablePage(bitmapPage), page, value);
}

// Turns an inline map into a reference map of the same row size, carrying its bits over onto
// new bitmap pages: one per slot that holds a set bit, and for the global map one per slot up to
// the end of the file, the window and `page`.
void FileEditor::convertToReference(RowPointer map, std::uint32_t page, bool unmappedIsSet) {
    const std::span<std::uint8_t> current = mapRow(map);
    std::vector<std::uint8_t> copy(current.begin(), current.end());
    const UsageMapRow old(copy);
    const std::uint32_t lastNeeded = std::max({page, file_.pageCount(), old.inlineStart() + old.inlineCapacity()});
    std::vector<std::uint32_t> bitmapPages(old.slotCount(), 0);
    for (std::size_t slot = 0; slot < bitmapPages.size(); ++slot) {
        if (std::uint64_t(slot) * UsageMapLayout::kPagesPerBitmapPage > lastNeeded) break;
        if (!unmappedIsSet && !old.copyInlineBitsTo(slot, nullptr)) continue;
        bitmapPages[slot] = appendBitmapPage(unmappedIsSet);
        old.copyInlineBitsTo(slot, file_.mutablePage(bitmapPages[slot]));
    }
    UsageMapRow(mapRow(map)).becomeReference(bitmapPages);
    // The bitmap pages themselves are in use.
    for (std::uint32_t bitmapPage : bitmapPages)
        if (bitmapPage != 0) setBit(kGlobalUsageMap, bitmapPage, false, true);
}

}  // namespace jet
