#include "jet/write/write_session.h"

#include "jet/write/free_pages.h"
#include "jet/write/index_maintenance.h"
#include "jet/write/statement_execution.h"
#include "jet/format/table_definition.h"
#include "jet/write/table_errors.h"

namespace jet {

namespace {

// Writes the row count and AutoNumber counter inserts changed into the table definition.
void writePendingCounts(PageFile& file, TableState& table) {
    if (!table.countsPending) return;
    try {
        TableDefinitionEditor tdef(file, table.definition);
        tdef.setRowCount(table.definition.rowCount);
        tdef.setLastAutoNumber(table.definition.lastAutoNumber);
    } catch (const Damage& damage) {
        reportDamage(file.path(), table.definition, damage);
    }
    table.countsPending = false;
}

}  // namespace

WriteSession::WriteSession(std::string path, std::vector<std::uint8_t> image)
    : file_(PageFile::fromImage(std::move(path), std::move(image))),
      header_(checkHeader(file_)),
      editor_(file_, [this] { return reusablePages(file_, tables_.catalogue()); }),
      tables_(file_, editor_) {}

ResolvedStatement WriteSession::resolve(const ParsedStatement& parsed) {
    return resolveStatement(tables_, parsed);
}

void WriteSession::checkParameterCount(std::size_t expected, std::size_t given) const {
    if (given != expected)
        throw Error(ErrorKind::InvalidArgument, file_.path(), "",
                    "the statement has " + std::to_string(expected) + " parameters but " + std::to_string(given) + " values were given");
}

std::size_t WriteSession::execute(const ParsedStatement& parsed, const std::vector<Value>& parameters) {
    checkParameterCount(parsed.parameterCount, parameters.size());
    ResolvedStatement resolved = resolve(parsed);
    return execute(resolved, parameters);
}

std::size_t WriteSession::execute(ResolvedStatement& resolved, const std::vector<Value>& parameters) {
    checkParameterCount(resolved.parameterCount, parameters.size());
    // The pages the statement changes are kept, and the tables it writes remembered, so that a
    // failure at any point puts everything back.
    undo_.clear();
    file_.beginJournal();
    WriteTarget target{file_, editor_, tables_, undo_};
    std::size_t changed = 0;
    try {
        changed = std::visit(
            [&](auto& statement) -> std::size_t {
                using T = std::decay_t<decltype(statement)>;
                if constexpr (std::is_same_v<T, ResolvedInsert>) return executeInsert(target, statement, parameters);
                else if constexpr (std::is_same_v<T, ResolvedUpdate>) return executeUpdate(target, statement, parameters);
                else return executeDelete(target, statement, parameters);
            },
            resolved.statement);
    } catch (...) {
        file_.restoreJournal();
        undo_.restore();
        editor_.forgetFreePages();
        throw;
    }
    file_.endJournal();
    undo_.clear();
    return changed;
}

void WriteSession::flush() {
    for (TableState* table : tables_.loaded()) {
        writePendingCounts(file_, *table);
        rewriteChangedIndexes(file_, editor_, *table);
    }
    try {
        editor_.trimFreeTail();
    } catch (const Damage& damage) {
        throw Error(ErrorKind::Damaged, file_.path(), "", std::string("damaged database: ") + damage.what());
    }
}

}  // namespace jet
