#pragma once

#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/row.h"
#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// The value of a column from its field (present: its null-mask bit; bytes: its slice of the
// row). Memo and OLE values are fetched from their long-value rows. Throws Damage when the bytes
// do not hold what the column's type needs.
Value decodeField(const PageFile& file, const ColumnDefinition& column, const FieldSlice& field);
Value decodeField(const PageFile& file, const ColumnDefinition& column, const RowField& field);

// Splits a stored row into its fields and decodes each column of `table` (in the order of
// table.columns). Throws Damage when the row's structure does not fit its bytes.
class RowDecoder {
public:
    RowDecoder(const PageFile& file, const TableDefinition& table);

    void decode(Bytes row, std::vector<Value>& out) const;

private:
    const PageFile& file_;
    const TableDefinition& table_;
    bool hasVariableArea_ = false;
};

}  // namespace jet
