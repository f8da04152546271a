#include "jet/write/file_editor.h"

#include <algorithm>
#include <functional>
#include <cstring>
#include <string>
#include <vector>

#include "jet/format/usage_map.h"

namespace jet {

namespace {
constexpr std::uint8_t kInlineMap = 0x00;
constexpr std::uint8_t kReferenceMap = 0x01;
constexpr std::uint32_t kPagesPerBitmapPage = (kPageSize - 4) * 8;
constexpr std::size_t kBitmapPageHeader = 4;

void writeBit(std::uint8_t* bitmap, std::uint32_t bit, bool value) {
    if (value) bitmap[bit / 8] |= static_cast<std::uint8_t>(1u << (bit % 8));
    else bitmap[bit / 8] &= static_cast<std::uint8_t>(~(1u << (bit % 8)));
}
bool readBit(const std::uint8_t* bitmap, std::uint32_t bit) { return bitmap[bit / 8] & (1u << (bit % 8)); }
}  // namespace

std::uint8_t* FileEditor::mapRow(RowPointer map, std::size_t& length) {
    const DataPage page(file_.page(map.page));
    const RowSlot slot = page.row(map.row);
    if (slot.bytes.size() < 5) throw Damage("usage map row at page " + std::to_string(map.page) + " is too short");
    length = slot.bytes.size();
    std::uint8_t* base = file_.mutablePage(map.page);
    return base + (slot.bytes.data() - file_.page(map.page).bytes().data());
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

// `unmappedIsSet`: pages the map does not cover count as set (the global map, where set means
// free); for the other maps they count as clear.
void FileEditor::setBit(RowPointer map, std::uint32_t page, bool value, bool unmappedIsSet) {
    std::size_t length = 0;
    std::uint8_t* row = mapRow(map, length);
    if (row[0] == kInlineMap) {
        const std::uint32_t start = ByteView(Bytes(row, length)).u32(1, "map start");
        const std::uint32_t bits = static_cast<std::uint32_t>((length - 5) * 8);
        if (page >= start && page - start < bits) {
            writeBit(row + 5, page - start, value);
            return;
        }
        if (value == unmappedIsSet) return;
        if (!unmappedIsSet) {
            // Move the window when every listed page and the new one fit in it.
            std::vector<std::uint32_t> listed = readUsageMap(file_, Bytes(row, length));
            const std::uint32_t low = std::min(page, listed.empty() ? page : listed.front()) & ~7u;
            const std::uint32_t high = std::max(page, listed.empty() ? page : listed.back());
            if (high - low < bits) {
                std::memset(row + 5, 0, length - 5);
                putU32(row + 1, low);
                for (std::uint32_t p : listed) writeBit(row + 5, p - low, true);
                writeBit(row + 5, page - low, true);
                return;
            }
        }
        // Turn the inline map into a reference map of the same row size, carrying its bits over.
        const std::vector<std::uint8_t> old(row, row + length);
        const std::size_t slots = (length - 1) / 4;
        const std::uint32_t fileEnd = file_.pageCount();
        std::vector<std::uint32_t> bitmapPages(slots, 0);
        const std::uint32_t lastNeeded = std::max({page, fileEnd, start + bits});
        for (std::size_t slot = 0; slot < slots; ++slot) {
            const std::uint64_t first = std::uint64_t(slot) * kPagesPerBitmapPage;
            if (first > lastNeeded) break;
            bool needed = unmappedIsSet;
            for (std::uint32_t bit = 0; !needed && bit < bits; ++bit)
                needed = readBit(old.data() + 5, bit) && start + bit >= first && start + bit < first + kPagesPerBitmapPage;
            if (!needed) continue;
            const std::uint32_t bitmapPage = file_.appendPage();
            std::uint8_t* bytes = file_.mutablePage(bitmapPage);
            bytes[0] = static_cast<std::uint8_t>(PageType::UsageBitmap);
            bytes[1] = 0x01;
            std::memset(bytes + kBitmapPageHeader, unmappedIsSet ? 0xFF : 0x00, kPageSize - kBitmapPageHeader);
            for (std::uint32_t bit = 0; bit < kPagesPerBitmapPage; ++bit) {
                const std::uint64_t covered = first + bit;
                if (covered >= start && covered - start < bits) writeBit(bytes + kBitmapPageHeader, bit, readBit(old.data() + 5, static_cast<std::uint32_t>(covered - start)));
            }
            bitmapPages[slot] = bitmapPage;
        }
        row = mapRow(map, length);
        std::memset(row, 0, length);
        row[0] = kReferenceMap;
        for (std::size_t slot = 0; slot < slots; ++slot) putU32(row + 1 + 4 * slot, bitmapPages[slot]);
        // The bitmap pages themselves are in use.
        for (std::uint32_t bitmapPage : bitmapPages)
            if (bitmapPage != 0) setBit(kGlobalUsageMap, bitmapPage, false, true);
        setBit(map, page, value, unmappedIsSet);
        return;
    }
    if (row[0] != kReferenceMap) throw Damage("unknown usage map type " + std::to_string(row[0]));
    const std::size_t slot = page / kPagesPerBitmapPage;
    if (1 + 4 * (slot + 1) > length) throw Damage("page " + std::to_string(page) + " lies beyond what its usage map can record");
    std::uint32_t bitmapPage = ByteView(Bytes(row, length)).u32(1 + 4 * slot, "map reference");
    if (bitmapPage == 0) {
        if (value == unmappedIsSet) return;
        bitmapPage = file_.appendPage();
        std::uint8_t* bytes = file_.mutablePage(bitmapPage);
        bytes[0] = static_cast<std::uint8_t>(PageType::UsageBitmap);
        bytes[1] = 0x01;
        std::memset(bytes + kBitmapPageHeader, unmappedIsSet ? 0xFF : 0x00, kPageSize - kBitmapPageHeader);
        row = mapRow(map, length);
        putU32(row + 1 + 4 * slot, bitmapPage);
        setBit(kGlobalUsageMap, bitmapPage, false, true);
    } else if (file_.page(bitmapPage).u8(0, "page type") != static_cast<std::uint8_t>(PageType::UsageBitmap)) {
        throw Damage("usage map refers to page " + std::to_string(bitmapPage) + ", which is not a bitmap page");
    }
    writeBit(file_.mutablePage(bitmapPage) + kBitmapPageHeader, static_cast<std::uint32_t>(page % kPagesPerBitmapPage), value);
}

}  // namespace jet
