#include "jet/write/table_errors.h"

#include "jet/format/row_index_key.h"

namespace jet {

ErrorContext tableErrorContext(const std::string& file, const TableDefinition& table, const std::string& column) {
    ErrorContext context;
    context.file = file;
    context.table = table.name;
    context.column = column;
    return context;
}

ErrorContext indexErrorContext(const std::string& file, const TableDefinition& table, std::size_t physicalIndex, const std::string& column) {
    ErrorContext context = tableErrorContext(file, table, column);
    context.index = physicalIndexName(table, physicalIndex);
    context.indexColumns = physicalIndexColumnNames(table, physicalIndex);
    return context;
}

void failOnTable(ErrorKind kind, const std::string& file, const TableDefinition& table, const std::string& cause) {
    throw Error(kind, file, table.name, cause);
}

void reportDamage(const std::string& file, const TableDefinition& table, const Damage& damage) {
    throw Error(ErrorKind::Damaged, file, table.name, std::string("damaged database: ") + damage.what());
}

void refuseValue(const std::string& file, const TableDefinition& table, const std::invalid_argument& error, std::size_t column) {
    const std::string known = column < table.columns.size() ? table.columns[column].name : std::string();
    if (const auto* refusal = dynamic_cast<const Refusal*>(&error))
        throw Error(refusal->kind(), tableErrorContext(file, table, refusal->column().empty() ? known : refusal->column()), error.what(), refusal->rule());
    throw Error(ErrorKind::Constraint, tableErrorContext(file, table, known), error.what(), known.empty() ? BrokenRule::None : BrokenRule::BadValue);
}

}  // namespace jet
