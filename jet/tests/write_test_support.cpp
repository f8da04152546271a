#include "jet/tests/write_test_support.h"

#include <filesystem>

#include "jet/file/atomic_replace.h"
#include "jet/write/connection.h"
#include "jet/create/database_builder.h"
#include "jet/file/file_lock.h"
#include "jet/file/native_path.h"
#include "jet/tests/commit_unit.h"
#include "jet/tests/test_support.h"

namespace jet::testing {

ErrorKind kindOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const Error& error) {
        return error.kind();
    }
    ADD_FAILURE() << "no error";
    return ErrorKind::Io;
}

void makeDatabase(const std::string& path, const std::vector<NewTable>& tables, std::uint16_t sortOrder) {
    DatabaseOptions options;
    options.sortOrder = sortOrder;
    options.codePage = sortOrder == 2052 ? 936 : 1252;
    createDatabase(path, tables, options, true);
}

std::vector<std::vector<Value>> rowsOf(const std::string& path, const std::string& table) {
    return Database::open(path).readAllRows(table);
}

bool leftOldOrNew(const std::string& path, const std::vector<std::uint8_t>& oldBytes, const std::vector<std::uint8_t>& newBytes) {
    const auto left = readBytes(path);
    EXPECT_TRUE(left == oldBytes || left == newBytes) << "file is neither the old nor the new one (" << left.size() << " bytes)";
    { Connection next(path); }
    EXPECT_FALSE(std::filesystem::exists(nativePath(replacementPath(path))));
    EXPECT_FALSE(std::filesystem::exists(nativePath(writerLockPath(path))));
    if (left == newBytes) {
        JET_EXPECT_INDEXES_CONSISTENT(path, true);
    }
    return left == newBytes;
}

int replaceStepCount(const std::string& probe, const std::vector<std::uint8_t>& oldBytes, const std::function<void(const std::string&)>& unit) {
    int steps = 0;
    writeBytes(probe, oldBytes);
    setReplaceProbe([&](const char*) { ++steps; });
    if (unit) unit(probe);
    else runCommitUnit(probe);
    setReplaceProbe(nullptr);
    return steps;
}

}  // namespace jet::testing
