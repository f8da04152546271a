#pragma once

#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// Splits a stored row into its fields and decodes each column of `table` (in the order of
// table.columns). Memo and OLE values are fetched from their long-value rows. Throws Damage
// when the row's structure does not fit its bytes.
class RowDecoder {
public:
    RowDecoder(const PageFile& file, const TableDefinition& table);

    void decode(Bytes row, std::vector<Value>& out) const;

private:
    Value decodeFixed(const ColumnDefinition& column, Bytes data) const;
    Value decodeVariable(const ColumnDefinition& column, Bytes data) const;

    const PageFile& file_;
    const TableDefinition& table_;
    bool hasVariableArea_ = false;
};

}  // namespace jet
