#include "jet_product_database.h"

#include "backup_copy.h"
#include "engine_failure.h"
#include "failure_cause.h"
#include "jet/write/connection.h"
#include "jet/error.h"
#include "text/utf8_path.h"

#include <system_error>

namespace fs = std::filesystem;

namespace upgrade {
namespace {

// Sets `value` to a statement parameter. Text goes into the string `value` may already hold, so
// that a long run of statements reuses its storage instead of allocating per value.
void assignJetValue(jet::Value& value, const SqlParameter& parameter) {
    if (const auto* text = std::get_if<std::string>(&parameter)) {
        if (auto* held = std::get_if<std::string>(&value)) held->assign(*text);
        else value = *text;
    } else if (const auto* units = std::get_if<std::u16string>(&parameter)) {
        if (auto* held = std::get_if<std::u16string>(&value)) held->assign(*units);
        else value = *units;
    } else if (const auto* number = std::get_if<std::int64_t>(&parameter)) {
        value = *number;
    } else {
        value = std::monostate{};
    }
}

// Runs an engine call; its errors leave as ProductDatabaseFailure.
template <typename Call>
decltype(auto) translatedErrors(Call&& call) {
    try {
        return call();
    } catch (const jet::Error& error) {
        throw productFailureOf(error);
    }
}

// Sets `values` to a statement's parameters, reusing the storage they hold.
void assignJetValues(std::vector<jet::Value>& values, const SqlParameters& parameters) {
    values.resize(parameters.size());
    for (std::size_t i = 0; i < parameters.size(); ++i) assignJetValue(values[i], parameters[i]);
}

class JetProductStatement : public ProductStatement {
public:
    explicit JetProductStatement(jet::PreparedStatement statement) : statement_(std::move(statement)) {}

    std::size_t execute(const SqlParameters& parameters) override {
        assignJetValues(values_, parameters);
        return translatedErrors([&] { return statement_.execute(values_); });
    }

private:
    jet::PreparedStatement statement_;
    std::vector<jet::Value> values_;   // the last execution's parameters, storage kept for the next
};

class JetProductDatabase : public ProductDatabase {
public:
    explicit JetProductDatabase(const fs::path& file) : file_(file), connection_(text::utf8FromPath(file)) {}

    void beginWork() override {
        translatedErrors([&] { connection_.beginWork(); });
    }

    std::size_t execute(std::string_view sql, const SqlParameters& parameters) override {
        assignJetValues(values_, parameters);
        return translatedErrors([&] { return connection_.execute(sql, values_); });
    }

    std::unique_ptr<ProductStatement> prepare(std::string_view sql) override {
        return translatedErrors([&] { return std::make_unique<JetProductStatement>(connection_.prepare(sql)); });
    }

    void commitWork() override {
        const bool madeBackup = translatedErrors([&] { return keepBackup(file_); });
        try {
            translatedErrors([&] { connection_.commitWork(); });
        } catch (...) {
            // The file was left as it was; so is the product's folder.
            if (madeBackup) {
                std::error_code ignored;
                fs::remove(backupPathFor(file_), ignored);
            }
            throw;
        }
    }

    void rollbackWork() override {
        translatedErrors([&] { connection_.rollbackWork(); });
    }

private:
    fs::path file_;
    jet::Connection connection_;
    std::vector<jet::Value> values_;   // the last statement's parameters, storage kept for the next
};

}  // namespace

std::unique_ptr<ProductDatabase> JetDatabaseOpener::open(const fs::path& file) {
    return translatedErrors([&] { return std::make_unique<JetProductDatabase>(file); });
}

}  // namespace upgrade
