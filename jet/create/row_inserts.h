#pragma once

#include <string>
#include <vector>

#include "jet/value.h"
#include "jet/write/write_session.h"

namespace jet {

// Inserts rows through the session's INSERT path, naming `columns` (every column in table order
// when empty), so that usage maps, long values and index trees are kept as any statement keeps
// them. The error of a refused row names the row (counted from 1) in its cause; a value the table
// does not accept is the caller's invalid request, Error(InvalidArgument).
void insertRows(WriteSession& session, const std::string& table, const std::vector<std::string>& columns,
                const std::vector<std::vector<Value>>& rows);

// Lets statements write the system tables for as long as it lives.
class SystemTableWrites {
public:
    explicit SystemTableWrites(WriteSession& session) : session_(session) { session_.setSystemTablesWritable(true); }
    ~SystemTableWrites() { session_.setSystemTablesWritable(false); }
    SystemTableWrites(const SystemTableWrites&) = delete;
    SystemTableWrites& operator=(const SystemTableWrites&) = delete;

private:
    WriteSession& session_;
};

}  // namespace jet
