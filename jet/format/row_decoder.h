#pragma once

#include <vector>

#include "jet/file/page_file.h"
#include "jet/format/field_value.h"
#include "jet/format/row.h"
#include "jet/format/table_definition.h"
#include "jet/value.h"

namespace jet {

// Splits a stored row into its fields and decodes each column of `table` (in the order of
// table.columns), the table's frame worked out once. Throws Damage when the row's structure
// does not fit its bytes.
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
