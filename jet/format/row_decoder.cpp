#include "jet/format/row_decoder.h"

namespace jet {

RowDecoder::RowDecoder(const PageFile& file, const TableDefinition& table)
    : file_(file), table_(table), hasVariableArea_(hasVariableArea(table)) {}

void RowDecoder::decode(Bytes row, std::vector<Value>& out) const {
    const RowView view(table_, hasVariableArea_, row);
    out.clear();
    out.resize(table_.columns.size());
    for (std::size_t i = 0; i < table_.columns.size(); ++i) {
        const FieldSlice field = view.field(i);
        if (field.present || table_.columns[i].columnType() == ColumnType::Boolean) out[i] = decodeField(file_, table_.columns[i], field);
    }
}

}  // namespace jet
