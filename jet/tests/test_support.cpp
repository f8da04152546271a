#include "jet/tests/test_support.h"

#include <atomic>
#include <fstream>
#include <random>

namespace jet::testing {

std::string samplesDir() {
    const std::filesystem::path dir(JET_SAMPLES_DIR);
    return std::filesystem::is_directory(dir) ? dir.string() : std::string();
}

std::string samplePath(const std::string& name) { return (std::filesystem::path(samplesDir()) / name).string(); }

TempDir::TempDir() {
    static std::atomic<int> counter{0};
    std::random_device random;
    path_ = std::filesystem::temp_directory_path() /
            ("jet-test-" + std::to_string(random()) + "-" + std::to_string(counter++));
    std::filesystem::create_directories(path_);
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

NewColumn makeColumn(const std::string& name, ColumnType type, std::uint16_t textLength, bool autoNumber) {
    NewColumn column;
    column.name = name;
    column.type = type;
    column.textLength = textLength;
    column.autoNumber = autoNumber;
    return column;
}

std::vector<std::uint8_t> readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

void writeBytes(const std::string& path, const std::vector<std::uint8_t>& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

std::size_t readEverything(const Database& database) {
    std::size_t rows = 0;
    for (const auto& name : database.tableNames(true)) {
        RowCursor cursor = database.rows(name);
        std::vector<Value> row;
        while (cursor.next(row)) ++rows;
    }
    return rows;
}

}  // namespace jet::testing
