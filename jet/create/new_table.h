#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "jet/format/column_type.h"
#include "jet/value.h"

namespace jet {

// What a caller asks for when creating a table.
struct NewColumn {
    std::string name;
    ColumnType type = ColumnType::Text;
    std::uint16_t textLength = 255;   // Text: maximum characters (1..255)
    bool autoNumber = false;          // Long only: values assigned 1, 2, 3... when NULL is given
    bool compressedUnicode = true;    // Text and Memo: allow the one-byte-per-character form
};

struct NewIndex {
    std::string name;
    std::vector<std::string> columns;
    bool primaryKey = false;
    bool unique = false;
};

// Values per row in column order: std::monostate (NULL), bool (Yes/No), std::int64_t (Byte,
// Integer, Long, AutoNumber), double (Single, Double), std::string (Text, Memo), DateTime, Blob.
struct NewTable {
    std::string name;
    std::vector<NewColumn> columns;
    std::vector<NewIndex> indexes;
    std::vector<std::vector<Value>> rows;
    bool system = false;
};

struct DatabaseOptions {
    std::uint16_t sortOrder = 1033;   // General; 2052 for Chinese PRC
    std::uint16_t codePage = 1252;
    std::optional<double> creationDate;   // days since 1899-12-30; now when unset
};

}  // namespace jet
