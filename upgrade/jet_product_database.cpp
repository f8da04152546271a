#include "jet_product_database.h"

#include "jet/connection.h"
#include "utf8_path.h"

#include <system_error>

namespace fs = std::filesystem;

namespace upgrade {
namespace {

jet::Value toJetValue(const SqlParameter& parameter) {
    if (const auto* text = std::get_if<std::string>(&parameter)) return *text;
    if (const auto* number = std::get_if<std::int64_t>(&parameter)) return *number;
    return std::monostate{};
}

// Makes the backup copy through a temporary name, so a backup that exists is
// always complete. Returns false when a backup existed already.
bool keepBackup(const fs::path& file) {
    const fs::path backup = backupPathFor(file);
    std::error_code ec;
    if (fs::exists(backup, ec)) return false;
    fs::path partial = backup;
    partial += ".partial";
    fs::copy_file(file, partial, fs::copy_options::overwrite_existing);
    fs::rename(partial, backup);
    return true;
}

class JetProductDatabase : public ProductDatabase {
public:
    explicit JetProductDatabase(const fs::path& file) : file_(file), connection_(utf8FromPath(file)) {}

    void beginWork() override { connection_.beginWork(); }

    std::size_t execute(std::string_view sql, const SqlParameters& parameters) override {
        std::vector<jet::Value> values;
        values.reserve(parameters.size());
        for (const SqlParameter& parameter : parameters) values.push_back(toJetValue(parameter));
        return connection_.execute(sql, values);
    }

    void commitWork() override {
        const bool madeBackup = keepBackup(file_);
        try {
            connection_.commitWork();
        } catch (...) {
            // The file was left as it was; so is the product's folder.
            if (madeBackup) {
                std::error_code ignored;
                fs::remove(backupPathFor(file_), ignored);
            }
            throw;
        }
    }

    void rollbackWork() override { connection_.rollbackWork(); }

private:
    fs::path file_;
    jet::Connection connection_;
};

}  // namespace

fs::path backupPathFor(const fs::path& file) {
    fs::path backup = file;
    backup += ".bak";
    return backup;
}

std::unique_ptr<ProductDatabase> JetDatabaseOpener::open(const fs::path& file) {
    return std::make_unique<JetProductDatabase>(file);
}

}  // namespace upgrade
