#include "jet/create/row_writer.h"

#include <stdexcept>
#include <string>

#include "jet/write/column_value.h"
#include "jet/format/long_value.h"
#include "jet/format/text_codec.h"

namespace jet {

namespace {

constexpr std::size_t kInlineLongValueLimit = 64;
constexpr std::size_t kSingleRowLongValueLimit = 4076;
constexpr std::size_t kChainChunkSize = 4072;

void appendLittleEndian(std::vector<std::uint8_t>& out, std::uint64_t value, int bytes) {
    for (int i = 0; i < bytes; ++i) out.push_back(static_cast<std::uint8_t>(value >> (8 * i)));
}

std::vector<std::uint8_t> longValueHeader(std::size_t length, std::uint32_t typeBits, RowPointer pointer) {
    std::vector<std::uint8_t> header;
    appendLittleEndian(header, static_cast<std::uint32_t>(length) | typeBits, 4);
    appendLittleEndian(header, pointer.raw(), 4);
    appendLittleEndian(header, 0, 4);
    return header;
}

}  // namespace

RowWriter::RowWriter(PageAllocator& pages, const TableDefinition& table)
    : pages_(pages), table_(table), longValue_(table.longValueMaps.size()), longValuePages_(table.longValueMaps.size()) {}

RowPointer RowWriter::store(OpenPage& page, std::vector<std::uint32_t>& used, std::uint32_t owner, std::vector<std::uint8_t> row) {
    if (page.open && !page.builder.fits(row.size())) {
        pages_.set(page.number, page.builder.build());
        page.open = false;
    }
    if (!page.open) {
        page.number = pages_.allocate();
        page.builder = DataPageBuilder(owner);
        page.open = true;
        used.push_back(page.number);
    }
    const std::uint8_t rowNumber = page.builder.add(std::move(row));
    return {page.number, rowNumber};
}

std::vector<std::uint8_t> RowWriter::encodeLongValue(std::size_t lvIndex, const std::vector<std::uint8_t>& stored) {
    if (stored.size() <= kInlineLongValueLimit) {
        std::vector<std::uint8_t> field = longValueHeader(stored.size(), kLongValueInline, {});
        field.insert(field.end(), stored.begin(), stored.end());
        return field;
    }
    OpenPage& page = longValue_[lvIndex];
    std::vector<std::uint32_t>& used = longValuePages_[lvIndex];
    if (stored.size() <= kSingleRowLongValueLimit) {
        const RowPointer where = store(page, used, kLongValuePageOwner, stored);
        return longValueHeader(stored.size(), kLongValueSingleRow, where);
    }
    // A chain, written from its last chunk so that each row can point at the next one.
    std::vector<std::size_t> starts;
    for (std::size_t start = 0; start < stored.size(); start += kChainChunkSize) starts.push_back(start);
    RowPointer next{};
    bool haveNext = false;
    for (auto it = starts.rbegin(); it != starts.rend(); ++it) {
        const std::size_t end = std::min(stored.size(), *it + kChainChunkSize);
        std::vector<std::uint8_t> row;
        appendLittleEndian(row, haveNext ? next.raw() : 0, 4);
        row.insert(row.end(), stored.begin() + static_cast<std::ptrdiff_t>(*it), stored.begin() + static_cast<std::ptrdiff_t>(end));
        next = store(page, used, kLongValuePageOwner, std::move(row));
        haveNext = true;
    }
    return longValueHeader(stored.size(), 0, next);
}

std::vector<std::uint8_t> RowWriter::encodeRow(const std::vector<Value>& values) {
    const std::size_t columnCount = table_.maxColumnCount;
    std::vector<std::uint8_t> nullMask((columnCount + 7) / 8, 0);
    std::size_t fixedSize = 0;
    for (const auto& column : table_.columns)
        if (column.isFixed() && column.columnType() != ColumnType::Boolean)
            fixedSize = std::max<std::size_t>(fixedSize, column.fixedOffset + fixedSizeOf(column.columnType()));
    std::vector<std::uint8_t> fixed(fixedSize, 0);
    std::vector<std::vector<std::uint8_t>> variable(table_.variableColumnCount);

    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        const ColumnDefinition& column = table_.columns[i];
        const Value& value = values[i];
        auto setBit = [&] { nullMask[column.number / 8] |= static_cast<std::uint8_t>(1u << (column.number % 8)); };
        if (column.columnType() == ColumnType::Boolean) {
            if (std::get_if<bool>(&value) && std::get<bool>(value)) setBit();
            continue;
        }
        if (isNull(value)) continue;
        setBit();
        std::vector<std::uint8_t> bytes;
        switch (column.columnType()) {
        case ColumnType::Byte: appendLittleEndian(bytes, static_cast<std::uint64_t>(std::get<std::int64_t>(value)), 1); break;
        case ColumnType::Integer: appendLittleEndian(bytes, static_cast<std::uint64_t>(std::get<std::int64_t>(value)), 2); break;
        case ColumnType::Long: appendLittleEndian(bytes, static_cast<std::uint64_t>(std::get<std::int64_t>(value)), 4); break;
        case ColumnType::Double: bytes.resize(8); putF64(bytes.data(), std::get<double>(value)); break;
        case ColumnType::DateTime: bytes.resize(8); putF64(bytes.data(), std::get<DateTime>(value).days); break;
        case ColumnType::Text: bytes = encodeStoredText(std::get<std::string>(value), column.extendedFlags & kColumnCompressedUnicodeFlag); break;
        case ColumnType::Binary: bytes = std::get<Blob>(value); break;
        case ColumnType::Memo:
        case ColumnType::Ole: {
            std::size_t lvIndex = 0;
            while (table_.longValueMaps[lvIndex].columnNumber != column.number) ++lvIndex;
            const std::vector<std::uint8_t> stored = column.columnType() == ColumnType::Memo
                ? encodeStoredText(std::get<std::string>(value), column.extendedFlags & kColumnCompressedUnicodeFlag)
                : std::get<Blob>(value);
            checkLongValueLength(column, stored.size());
            bytes = encodeLongValue(lvIndex, stored);
            break;
        }
        default: throw std::invalid_argument("column " + column.name + " has a type this engine cannot write");
        }
        if (column.isFixed())
            std::copy(bytes.begin(), bytes.end(), fixed.begin() + column.fixedOffset);
        else
            variable[column.variableIndex] = std::move(bytes);
    }

    std::vector<std::uint8_t> row;
    appendLittleEndian(row, columnCount, 2);
    row.insert(row.end(), fixed.begin(), fixed.end());
    std::vector<std::size_t> offsets;
    for (const auto& bytes : variable) {
        offsets.push_back(row.size());
        row.insert(row.end(), bytes.begin(), bytes.end());
    }
    if (!variable.empty()) {
        appendLittleEndian(row, row.size(), 2);   // end of variable data
        for (auto it = offsets.rbegin(); it != offsets.rend(); ++it) appendLittleEndian(row, *it, 2);
        appendLittleEndian(row, variable.size(), 2);
    }
    row.insert(row.end(), nullMask.begin(), nullMask.end());
    return row;
}

RowPointer RowWriter::write(const std::vector<Value>& values) {
    std::vector<std::uint8_t> row = encodeRow(values);
    if (row.size() > kMaxRowSize)
        throw std::invalid_argument("row of " + std::to_string(row.size()) + " bytes exceeds the " + std::to_string(kMaxRowSize) +
                                    "-byte row limit");
    return store(data_, dataPages_, table_.page, std::move(row));
}

void RowWriter::finish() {
    if (data_.open) pages_.set(data_.number, data_.builder.build());
    data_.open = false;
    for (auto& page : longValue_) {
        if (page.open) pages_.set(page.number, page.builder.build());
        page.open = false;
    }
}

}  // namespace jet
