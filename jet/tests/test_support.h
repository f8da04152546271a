#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "jet/database.h"
#include "jet/new_table.h"

namespace jet::testing {

// Folder of the Access-made samples, or empty when absent.
std::string samplesDir();
std::string samplePath(const std::string& name);

// Skips the current test, saying why, when the samples are absent.
#define JET_REQUIRE_SAMPLES()                                                                              \
    do {                                                                                                   \
        if (::jet::testing::samplesDir().empty()) GTEST_SKIP() << "Access sample files not found at " JET_SAMPLES_DIR; \
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
