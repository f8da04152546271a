#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "jet/read/database.h"
#include "jet/error.h"
#include "jet/check/index_check.h"
#include "jet/create/new_table.h"

namespace jet::testing {

// Creates a database from tables at `path` (sort order 1033 unless given).
void makeDatabase(const std::string& path, const std::vector<NewTable>& tables, std::uint16_t sortOrder = 1033);

// The kind of the jet::Error `action` throws; a test failure when it throws none.
ErrorKind kindOf(const std::function<void()>& action);

// Every row of a table as our reader sees it.
std::vector<std::vector<Value>> rowsOf(const std::string& path, const std::string& table);

// How many steps the file replacement of a commit takes: `unit` (the kill tests' commit unit
// unless given) is run once on a copy of `oldBytes` at `probe`, counting the steps the
// replacement reports.
int replaceStepCount(const std::string& probe, const std::vector<std::uint8_t>& oldBytes,
                     const std::function<void(const std::string&)>& unit = {});

// Checks what an interrupted commit left at `path`: the old or the new file byte for byte, and a
// next writer that opens it and clears whatever the interrupted one left (its replacement file,
// its lock file). Returns true when the new file is there.
bool leftOldOrNew(const std::string& path, const std::vector<std::uint8_t>& oldBytes, const std::vector<std::uint8_t>& newBytes);

// The index self-check on a file; writes made by the engine must also keep the distinct-key
// counts exact.
#define JET_EXPECT_INDEXES_CONSISTENT(path, exact)                                                         \
    do {                                                                                                   \
        const auto jetProblems = ::jet::checkAllIndexes(::jet::PageFile::load(path), exact);               \
        EXPECT_TRUE(jetProblems.empty()) << "first problem: " << (jetProblems.empty() ? "" : jetProblems.front()); \
    } while (0)

}  // namespace jet::testing
