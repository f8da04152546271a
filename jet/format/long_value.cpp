#include "jet/format/long_value.h"

#include <set>
#include <string>

#include "jet/format/data_page.h"

namespace jet {

std::vector<std::uint8_t> readLongValue(const PageFile& file, Bytes field) {
    const ByteView header(field);
    const std::uint32_t word = header.u32(0, "long value header");
    const std::uint32_t length = word & kLongValueLengthMask;
    std::vector<std::uint8_t> out;

    if (word & kLongValueInline) {
        const Bytes data = header.slice(kLongValueHeaderSize, length, "inline long value");
        out.assign(data.begin(), data.end());
        return out;
    }
    const RowPointer first = RowPointer::fromRaw(header.u32(4, "long value pointer"));
    if (word & kLongValueSingleRow) {
        const Bytes row = readPointedRow(file, first, "long value row");
        if (length > row.size())
            throw Damage("long value claims " + std::to_string(length) + " bytes but its row holds " + std::to_string(row.size()));
        out.assign(row.begin(), row.begin() + length);
        return out;
    }
    if (word & ~(kLongValueLengthMask | kLongValueInline | kLongValueSingleRow)) throw Damage("unknown long value type");
    // A chain: each row starts with a pointer to the next one (0 at the end), then data.
    if (length > file.sizeInBytes()) throw Damage("long value claims " + std::to_string(length) + " bytes, more than the file");
    out.reserve(length);
    std::set<std::uint32_t> seen;
    RowPointer pointer = first;
    while (out.size() < length) {
        if (!seen.insert(pointer.raw()).second) throw Damage("long value chain loops at page " + std::to_string(pointer.page));
        const Bytes row = readPointedRow(file, pointer, "long value chain row");
        const ByteView rowView(row);
        const std::uint32_t next = rowView.u32(0, "long value chain pointer");
        const std::size_t take = std::min<std::size_t>(row.size() - 4, length - out.size());
        out.insert(out.end(), row.begin() + 4, row.begin() + 4 + take);
        if (out.size() < length && next == 0)
            throw Damage("long value chain ends after " + std::to_string(out.size()) + " of " + std::to_string(length) + " bytes");
        pointer = RowPointer::fromRaw(next);
    }
    return out;
}

}  // namespace jet
