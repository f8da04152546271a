#include "jet/format/index_node.h"

#include <cstring>
#include <stdexcept>
#include <string>

namespace jet {

using namespace index_node;

IndexNodeHeader readIndexNodeHeader(const ByteView& page) {
    IndexNodeHeader header;
    header.type = page.u8(kPageType, "index page type");
    header.owner = page.u32(kOwner, "index page owner");
    header.previous = page.u32(kPrevious, "previous index page");
    header.next = page.u32(kNext, "next index page");
    header.tail = page.u32(kTail, "index tail page");
    return header;
}

std::vector<IndexEntryBytes> readIndexPageEntries(Bytes page) {
    if (page.size() != kPageSize) throw Damage("index page of " + std::to_string(page.size()) + " bytes");   // the bitmap is read unchecked
    const ByteView view(page);
    const std::size_t free = view.u16(kFreeSpace, "index free space");
    if (free > kEntrySpace) throw Damage("index page free space " + std::to_string(free) + " is larger than the page");
    const std::size_t used = kEntrySpace - free;
    const std::size_t prefix = view.u16(kPrefixLength, "index prefix length");
    std::vector<IndexEntryBytes> entries;
    std::size_t start = 0;
    for (std::size_t bit = 1; bit <= used; ++bit) {
        const std::uint8_t mask = page[kEntryEnds + bit / 8];
        if (!(mask & (1u << (bit % 8)))) {
            if (mask == 0 && bit % 8 == 0) bit += 7;   // skips a byte without entry ends
            continue;
        }
        const std::size_t end = bit;
        IndexEntryBytes entry;
        if (!entries.empty()) {
            if (prefix > entries.front().size()) throw Damage("index prefix longer than the first entry");
            entry.assign(entries.front().begin(), entries.front().begin() + static_cast<std::ptrdiff_t>(prefix));
        }
        entry.insert(entry.end(), page.begin() + static_cast<std::ptrdiff_t>(kEntries + start),
                     page.begin() + static_cast<std::ptrdiff_t>(kEntries + end));
        entries.push_back(std::move(entry));
        start = end;
    }
    if (start != used) throw Damage("index page bitmap does not account for every used byte");
    return entries;
}

RowPointer entryRow(const IndexEntryBytes& entry) {
    const std::size_t n = entry.size();
    return {(std::uint32_t(entry[n - 4]) << 16) | (std::uint32_t(entry[n - 3]) << 8) | entry[n - 2], entry[n - 1]};
}

void appendEntryRow(IndexEntryBytes& entry, RowPointer row) {
    entry.resize(entry.size() + index_node::kRowPointerSize);
    setEntryRow(entry, row);
}

void setEntryRow(IndexEntryBytes& entry, RowPointer row) {
    std::uint8_t* tail = entry.data() + entry.size() - index_node::kRowPointerSize;
    tail[0] = static_cast<std::uint8_t>(row.page >> 16);
    tail[1] = static_cast<std::uint8_t>(row.page >> 8);
    tail[2] = static_cast<std::uint8_t>(row.page);
    tail[3] = row.row;
}

std::uint32_t entryChild(const IndexEntryBytes& nodeEntry) {
    const std::size_t n = nodeEntry.size();
    if (n < kRowPointerSize + kChildPointerSize) throw Damage("index node entry is too short");   // a leaf entry and the child's page
    return (std::uint32_t(nodeEntry[n - 4]) << 24) | (std::uint32_t(nodeEntry[n - 3]) << 16) | (std::uint32_t(nodeEntry[n - 2]) << 8) |
           nodeEntry[n - 1];
}

void encodeIndexPage(std::uint8_t* page, const IndexNodeHeader& header, const std::vector<const IndexEntryBytes*>& entries,
                     const std::vector<std::uint32_t>& children) {
    std::memset(page, 0, kPageSize);
    page[kPageType] = header.type;
    page[kPageType + 1] = 0x01;
    putU32(page + kOwner, header.owner);
    putU32(page + kPrevious, header.previous);
    putU32(page + kNext, header.next);
    putU32(page + kTail, header.tail);
    std::size_t offset = 0;
    for (std::size_t i = 0; i < entries.size(); ++i) {
        const IndexEntryBytes& entry = *entries[i];
        if (offset + entry.size() + (children.empty() ? 0 : kChildPointerSize) > kEntrySpace)
            throw std::length_error("index page entries exceed the page's " + std::to_string(kEntrySpace) + " bytes");
        std::memcpy(page + kEntries + offset, entry.data(), entry.size());
        offset += entry.size();
        if (!children.empty()) {
            for (int b = 3; b >= 0; --b) page[kEntries + offset++] = static_cast<std::uint8_t>(children[i] >> (8 * b));
        }
        page[kEntryEnds + offset / 8] |= static_cast<std::uint8_t>(1u << (offset % 8));
    }
    putU16(page + kFreeSpace, static_cast<std::uint32_t>(kEntrySpace - offset));
}

}  // namespace jet
