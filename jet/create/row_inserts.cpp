#include "jet/create/row_inserts.h"

#include "jet/error.h"
#include "jet/sql/sql_statement.h"

namespace jet {

void insertRows(WriteSession& session, const std::string& table, const std::vector<std::string>& columns,
                const std::vector<std::vector<Value>>& rows) {
    if (rows.empty()) return;
    InsertStatement insert;
    insert.table = table;
    insert.columns = columns;
    const std::size_t count = columns.empty() ? rows.front().size() : columns.size();
    for (std::size_t i = 0; i < count; ++i) insert.values.emplace_back(SqlParameter{i});
    ParsedStatement parsed;
    parsed.statement = std::move(insert);
    parsed.parameterCount = count;
    ResolvedStatement resolved = session.resolve(parsed);
    for (std::size_t r = 0; r < rows.size(); ++r) {
        try {
            session.execute(resolved, rows[r]);
        } catch (const Error& error) {
            const ErrorKind kind = error.kind() == ErrorKind::Constraint ? ErrorKind::InvalidArgument : error.kind();
            throw Error(kind, error.context(), "row " + std::to_string(r + 1) + ": " + error.cause(), error.rule());
        }
    }
}

}  // namespace jet
