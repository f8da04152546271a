#include "jet/write/resolved_statement.h"

#include "jet/write/table_errors.h"

namespace jet {

namespace {

std::vector<std::size_t> conditionColumns(TableDirectory& tables, const TableState& table, const std::vector<SqlCondition>& where) {
    std::vector<std::size_t> columns;
    columns.reserve(where.size());
    for (const auto& condition : where) columns.push_back(tables.column(table, condition.column));
    return columns;
}

ResolvedInsert resolveInsert(TableDirectory& tables, const std::string& file, const InsertStatement& statement) {
    ResolvedInsert resolved;
    resolved.statement = &statement;
    resolved.table = &tables.table(statement.table);
    const TableState& t = *resolved.table;
    if (!t.refusal.empty()) failOnTable(ErrorKind::Unsupported, file, t.definition, t.refusal);
    const auto& columns = t.definition.columns;
    if (statement.columns.empty() && statement.values.size() != columns.size())
        failOnTable(ErrorKind::SqlSyntax, file, t.definition,
                    std::to_string(statement.values.size()) + " values given for " + std::to_string(columns.size()) + " columns");
    resolved.positions.resize(statement.values.size());
    std::vector<bool> named(columns.size(), false);
    for (std::size_t i = 0; i < resolved.positions.size(); ++i) {
        const std::size_t c = statement.columns.empty() ? i : tables.column(t, statement.columns[i]);
        if (named[c])
            throw Error(ErrorKind::SqlSyntax, tableErrorContext(file, t.definition, columns[c].name), "column " + columns[c].name + " is named twice");
        named[c] = true;
        resolved.positions[i] = c;
    }
    return resolved;
}

ResolvedUpdate resolveUpdate(TableDirectory& tables, const std::string& file, const UpdateStatement& statement) {
    ResolvedUpdate resolved;
    resolved.statement = &statement;
    resolved.table = &tables.table(statement.table);
    const TableState& t = *resolved.table;
    const auto& columns = t.definition.columns;
    for (const auto& assignment : statement.assignments) {
        const std::size_t c = tables.column(t, assignment.column);
        if (columns[c].isAutoNumber())
            throw Error(ErrorKind::Constraint, tableErrorContext(file, t.definition, columns[c].name), "AutoNumber column " + columns[c].name + " cannot be changed");
        if (!resolved.assignedNumbers.insert(columns[c].number).second)
            throw Error(ErrorKind::SqlSyntax, tableErrorContext(file, t.definition, columns[c].name), "column " + columns[c].name + " is set twice");
        resolved.assigned.push_back(c);
    }
    resolved.touchedIndexes.assign(t.definition.physicalIndexes.size(), false);
    for (std::size_t i = 0; i < resolved.touchedIndexes.size(); ++i)
        for (const auto& keyColumn : t.definition.physicalIndexes[i].columns)
            if (resolved.assignedNumbers.count(keyColumn.columnNumber)) resolved.touchedIndexes[i] = true;
    resolved.conditionColumns = conditionColumns(tables, t, statement.where);
    return resolved;
}

ResolvedDelete resolveDelete(TableDirectory& tables, const DeleteStatement& statement) {
    ResolvedDelete resolved;
    resolved.statement = &statement;
    resolved.table = &tables.table(statement.table);
    resolved.conditionColumns = conditionColumns(tables, *resolved.table, statement.where);
    return resolved;
}

}  // namespace

ResolvedStatement resolveStatement(TableDirectory& tables, const ParsedStatement& parsed) {
    const std::string& file = tables.path();
    ResolvedStatement resolved;
    resolved.parameterCount = parsed.parameterCount;
    std::visit(
        [&](const auto& statement) {
            using T = std::decay_t<decltype(statement)>;
            if constexpr (std::is_same_v<T, InsertStatement>) resolved.statement = resolveInsert(tables, file, statement);
            else if constexpr (std::is_same_v<T, UpdateStatement>) resolved.statement = resolveUpdate(tables, file, statement);
            else resolved.statement = resolveDelete(tables, statement);
        },
        parsed.statement);
    return resolved;
}

}  // namespace jet
