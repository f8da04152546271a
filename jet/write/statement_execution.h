#pragma once

#include <cstddef>
#include <vector>

#include "jet/file/page_file.h"
#include "jet/value.h"
#include "jet/write/file_editor.h"
#include "jet/write/resolved_statement.h"
#include "jet/write/statement_undo.h"
#include "jet/write/table_directory.h"

namespace jet {

// What a statement writes through: the page image, its editor, the session's tables, and the undo
// of the statement under way (each table is remembered there before the statement changes it).
struct WriteTarget {
    PageFile& file;
    FileEditor& editor;
    TableDirectory& tables;
    StatementUndo& undo;
};

// Each runs one resolved statement on the image and returns the rows it inserted, changed or
// deleted. Every value, key and rule is checked before the first page changes. Index entries
// change in memory, as do an insert's row count and AutoNumber counter; the session's flush
// writes them. A failure may leave pages changed: the session's journal and the undo put them
// back. Errors are jet::Error naming the file and table.
std::size_t executeInsert(WriteTarget& target, ResolvedInsert& insert, const std::vector<Value>& parameters);
std::size_t executeUpdate(WriteTarget& target, const ResolvedUpdate& update, const std::vector<Value>& parameters);
std::size_t executeDelete(WriteTarget& target, const ResolvedDelete& remove, const std::vector<Value>& parameters);

}  // namespace jet
