#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/read/database.h"
#include "jet/create/new_table.h"

namespace jet::testing {

// Folder of the Access-made samples kept with the tests, or empty when it is missing.
std::string samplesDir();
std::string samplePath(const std::string& name);

// Fails the current test when the samples folder is missing: they belong to the repository, so a
// missing folder is a broken checkout, never a reason to skip.
#define JET_REQUIRE_SAMPLES()                                                                              \
    do {                                                                                                   \
        ASSERT_FALSE(::jet::testing::samplesDir().empty()) << "Access sample files not found at " JET_SAMPLES_DIR; \
    } while (0)

// A fresh, empty temporary folder removed at the end of the test.
class TempDir {
public:
    TempDir();
    ~TempDir();
    std::string file(const std::string& name) const { return (path_ / name).string(); }

private:
    std::filesystem::path path_;
};

NewColumn makeColumn(const std::string& name, ColumnType type, std::uint16_t textLength = 255, bool autoNumber = false);

std::vector<std::uint8_t> readBytes(const std::string& path);
void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes);

// Reads every table (system tables too) completely; returns the number of rows read.
std::size_t readEverything(const Database& database);

}  // namespace jet::testing
