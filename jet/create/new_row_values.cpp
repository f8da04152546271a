#include "jet/create/new_row_values.h"

#include <algorithm>
#include <stdexcept>

#include "jet/format/text_codec.h"

namespace jet {

namespace {

// Checks and converts one cell to the form the row writer expects.
Value convertValue(const ColumnDefinition& column, const Value& value) {
    if (std::holds_alternative<std::u16string>(value)) return convertValue(column, withUtf8Text(value));
    const ColumnType type = column.columnType();
    if (type == ColumnType::Boolean) {
        if (isNull(value)) return false;
        if (const auto* b = std::get_if<bool>(&value)) return *b;
        if (const auto* i = std::get_if<std::int64_t>(&value)) return *i != 0;
        throw std::invalid_argument("expects Yes/No (true or false)");
    }
    if (isNull(value)) return value;
    switch (type) {
    case ColumnType::Byte:
    case ColumnType::Integer:
    case ColumnType::Long: {
        const auto* i = std::get_if<std::int64_t>(&value);
        if (!i) throw std::invalid_argument("expects a whole number");
        const std::int64_t low = type == ColumnType::Byte ? 0 : type == ColumnType::Integer ? -32768 : -2147483648LL;
        const std::int64_t high = type == ColumnType::Byte ? 255 : type == ColumnType::Integer ? 32767 : 2147483647LL;
        if (*i < low || *i > high) throw std::invalid_argument("value " + std::to_string(*i) + " is out of range");
        return value;
    }
    case ColumnType::Double:
        if (const auto* i = std::get_if<std::int64_t>(&value)) return static_cast<double>(*i);
        if (!std::holds_alternative<double>(value)) throw std::invalid_argument("expects a number");
        return value;
    case ColumnType::DateTime:
        if (const auto* text = std::get_if<std::string>(&value)) {
            DateTime parsed;
            if (!parseDateTime(*text, parsed)) throw std::invalid_argument("\"" + *text + "\" is not a date (YYYY-MM-DD[ HH:MM:SS])");
            return parsed;
        }
        if (!std::holds_alternative<DateTime>(value)) throw std::invalid_argument("expects a date");
        return value;
    case ColumnType::Text:
    case ColumnType::Memo: {
        const auto* text = std::get_if<std::string>(&value);
        if (!text) throw std::invalid_argument("expects text");
        const std::u16string units = utf8ToUtf16(*text);   // validates UTF-8
        if (type == ColumnType::Text && units.size() > column.length / 2u)
            throw std::invalid_argument("text of " + std::to_string(units.size()) + " characters exceeds Text(" +
                                        std::to_string(column.length / 2) + ")");
        if (type == ColumnType::Memo && units.size() * 2 > 0xFFFFFF) throw std::invalid_argument("memo text is too long");
        return value;
    }
    case ColumnType::Binary:
    case ColumnType::Ole: {
        const auto* blob = std::get_if<Blob>(&value);
        if (!blob) throw std::invalid_argument("expects binary data");
        if (type == ColumnType::Binary && blob->size() > 255) throw std::invalid_argument("binary value exceeds 255 bytes");
        return value;
    }
    default: throw std::invalid_argument("cannot store values of this type");
    }
}

}  // namespace

std::vector<std::vector<Value>> prepareNewRows(const std::string& path, TableDefinition& definition,
                                               const std::vector<std::vector<Value>>& requestRows) {
    std::vector<std::vector<Value>> rows;
    std::int64_t autoNumber = 0;
    rows.reserve(requestRows.size());
    for (std::size_t r = 0; r < requestRows.size(); ++r) {
        const auto& given = requestRows[r];
        if (given.size() != definition.columns.size())
            throw Error(ErrorKind::InvalidArgument, path, definition.name,
                        "row " + std::to_string(r + 1) + " has " + std::to_string(given.size()) + " values for " +
                            std::to_string(definition.columns.size()) + " columns");
        std::vector<Value> row(given.size());
        for (std::size_t c = 0; c < given.size(); ++c) {
            const ColumnDefinition& column = definition.columns[c];
            try {
                row[c] = convertValue(column, given[c]);
            } catch (const std::invalid_argument& bad) {
                throw Error(ErrorKind::InvalidArgument, ErrorContext{path, definition.name, column.name, {}, {}},
                            "row " + std::to_string(r + 1) + ", column " + column.name + ": " + bad.what());
            }
            if (column.isAutoNumber()) {
                if (isNull(row[c])) row[c] = ++autoNumber;
                else autoNumber = std::max(autoNumber, std::get<std::int64_t>(row[c]));
            }
        }
        rows.push_back(std::move(row));
    }
    definition.rowCount = static_cast<std::uint32_t>(rows.size());
    definition.lastAutoNumber = static_cast<std::uint32_t>(autoNumber);
    return rows;
}

}  // namespace jet
