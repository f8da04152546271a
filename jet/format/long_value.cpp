#include "jet/format/long_value.h"

#include <set>
#include <stdexcept>
#include <string>

namespace jet {

using namespace long_value_format;

LongValueField decodeLongValueField(Bytes bytes) {
    if (bytes.size() < kLongValueHeaderSize)
        throw Damage("long value header of " + std::to_string(bytes.size()) + " bytes is too short");
    const ByteView view(bytes);
    const std::uint32_t word = view.u32(kWordOffset, "long value header");
    LongValueField field;
    field.length = word & kLongValueLengthMask;
    if (word & kLongValueInline) {
        field.form = LongValueForm::Inline;
        if (field.length > bytes.size() - kLongValueHeaderSize)
            throw Damage("inline long value claims " + std::to_string(field.length) + " bytes but holds " +
                         std::to_string(bytes.size() - kLongValueHeaderSize));
        field.inlineData = bytes.subspan(kLongValueHeaderSize, field.length);
        return field;
    }
    if (word & kLongValueSingleRow)
        field.form = LongValueForm::SingleRow;
    else if (word & ~kLongValueLengthMask)
        throw Damage("unknown long value type");
    else
        field.form = LongValueForm::Chain;
    field.first = RowPointer::fromRaw(view.u32(kPointerOffset, "long value pointer"));
    return field;
}

void requireStorableLongValue(std::size_t length) {
    // A longer length would spill into the form byte and make the table unreadable.
    if (length > kLongValueMaxLength) throw std::length_error("long value of " + std::to_string(length) + " bytes cannot be stored");
}

std::vector<std::uint8_t> encodeLongValueField(LongValueForm form, std::size_t length, RowPointer first) {
    requireStorableLongValue(length);
    const std::uint32_t formBits = form == LongValueForm::Inline ? kLongValueInline : form == LongValueForm::SingleRow ? kLongValueSingleRow : 0;
    std::vector<std::uint8_t> field(kLongValueHeaderSize, 0);
    putU32(field.data() + kWordOffset, static_cast<std::uint32_t>(length) | formBits);
    if (form != LongValueForm::Inline) putU32(field.data() + kPointerOffset, first.raw());
    return field;
}

std::vector<std::uint8_t> encodeInlineLongValue(Bytes stored) {
    std::vector<std::uint8_t> field = encodeLongValueField(LongValueForm::Inline, stored.size(), {});
    field.insert(field.end(), stored.begin(), stored.end());
    return field;
}

LongValueChainRow decodeChainRow(Bytes row) {
    const ByteView view(row);
    LongValueChainRow chain;
    chain.next = RowPointer::fromRaw(view.u32(kChainNextOffset, "long value chain pointer"));
    chain.data = row.subspan(kChainDataOffset);
    return chain;
}

std::vector<std::uint8_t> encodeChainRow(RowPointer next, Bytes chunk) {
    std::vector<std::uint8_t> row(kChainDataOffset + chunk.size());
    putU32(row.data() + kChainNextOffset, next.raw());
    std::copy(chunk.begin(), chunk.end(), row.begin() + kChainDataOffset);
    return row;
}

std::vector<std::uint8_t> readLongValue(const PageFile& file, Bytes bytes) {
    const LongValueField field = decodeLongValueField(bytes);
    const std::uint32_t length = field.length;
    std::vector<std::uint8_t> out;
    switch (field.form) {
    case LongValueForm::Inline: out.assign(field.inlineData.begin(), field.inlineData.end()); return out;
    case LongValueForm::SingleRow: {
        const Bytes row = readPointedRow(file, field.first, "long value row");
        if (length > row.size())
            throw Damage("long value claims " + std::to_string(length) + " bytes but its row holds " + std::to_string(row.size()));
        out.assign(row.begin(), row.begin() + length);
        return out;
    }
    case LongValueForm::Chain: break;
    }
    if (length > file.sizeInBytes()) throw Damage("long value claims " + std::to_string(length) + " bytes, more than the file");
    out.reserve(length);
    std::set<std::uint32_t> seen;
    RowPointer pointer = field.first;
    while (out.size() < length) {
        if (!seen.insert(pointer.raw()).second) throw Damage("long value chain loops at page " + std::to_string(pointer.page));
        const LongValueChainRow row = decodeChainRow(readPointedRow(file, pointer, "long value chain row"));
        const std::size_t take = std::min<std::size_t>(row.data.size(), length - out.size());
        out.insert(out.end(), row.data.begin(), row.data.begin() + static_cast<std::ptrdiff_t>(take));
        if (out.size() < length && row.next.raw() == 0)
            throw Damage("long value chain ends after " + std::to_string(out.size()) + " of " + std::to_string(length) + " bytes");
        pointer = row.next;
    }
    return out;
}

}  // namespace jet
