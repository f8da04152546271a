#include "jet_product_database.h"

#include "backup_copy.h"
#include "failure_cause.h"
#include "jet/connection.h"
#include "jet/database.h"
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

// The text of an engine message after `marker`, up to `end` (or to its end);
// empty when the marker is absent. The engine names columns and indexes there.
std::string nameAfter(const std::string& text, std::string_view marker, std::string_view end = {}) {
    const std::size_t at = text.find(marker);
    if (at == std::string::npos) return {};
    const std::size_t start = at + marker.size();
    const std::size_t stop = end.empty() ? std::string::npos : text.find(end, start);
    return text.substr(start, stop == std::string::npos ? std::string::npos : stop - start);
}

// The columns of a table's index, "gn" or "gn、nn", read from the file as it
// is on disk; the index name itself when they cannot be read.
std::string indexColumns(const fs::path& file, const std::string& table, const std::string& index) {
    try {
        const jet::TableDefinition definition = jet::Database::open(text::utf8FromPath(file)).table(table);
        for (const jet::LogicalIndex& logical : definition.logicalIndexes) {
            if (logical.name != index || logical.physicalIndex >= definition.physicalIndexes.size()) continue;
            std::string names;
            for (const jet::IndexColumn& key : definition.physicalIndexes[logical.physicalIndex].columns)
                for (const jet::ColumnDefinition& column : definition.columns)
                    if (column.number == key.columnNumber) names += (names.empty() ? "" : "、") + column.name;
            if (!names.empty()) return names;
        }
    } catch (const std::exception&) {
        // The index name still tells support which rule it was.
    }
    return index;
}

// An engine error as the upgrade reports it: a failure kind the user can act
// on, the table and column it concerns, and the engine's own words as detail.
ProductDatabaseFailure failureOf(const jet::Error& error, const fs::path& file) {
    const std::string& table = error.table();
    const std::string& cause = error.cause();
    std::string detail = table.empty() ? cause : "table " + table + ": " + cause;
    auto failure = [&](FailureKind kind, std::string column = {}) {
        return ProductDatabaseFailure(kind, std::move(detail), table, std::move(column));
    };
    switch (error.kind()) {
    case jet::ErrorKind::Io: return failure(FailureKind::ReadWrite);
    case jet::ErrorKind::DiskFull: return failure(FailureKind::DiskFull);
    case jet::ErrorKind::NotAccess: return failure(FailureKind::NotAccess);
    case jet::ErrorKind::Jet3: return failure(FailureKind::OldFormat);
    case jet::ErrorKind::Ace: return failure(FailureKind::NewFormat);
    case jet::ErrorKind::EncryptedPages: return failure(FailureKind::Encrypted);
    case jet::ErrorKind::DatabasePassword: return failure(FailureKind::Password);
    case jet::ErrorKind::BadFileSize:
    case jet::ErrorKind::Damaged: return failure(FailureKind::Damaged);
    case jet::ErrorKind::Unsupported: return failure(FailureKind::Unsupported);
    case jet::ErrorKind::NotFound: {
        std::string column = nameAfter(cause, "no such column: ");
        if (column.empty()) return failure(FailureKind::TableMissing);
        return failure(FailureKind::ColumnMissing, std::move(column));
    }
    case jet::ErrorKind::Constraint: {
        if (std::string column = nameAfter(cause, "longer than column ", " allows"); !column.empty())
            return failure(FailureKind::ValueTooLong, std::move(column));
        if (const std::string index = nameAfter(cause, "duplicate key in unique index "); !index.empty())
            return failure(FailureKind::DuplicateKey, indexColumns(file, table, index));
        return failure(FailureKind::RuleBroken);
    }
    case jet::ErrorKind::InUse: return failure(FailureKind::InUse);
    case jet::ErrorKind::ReadOnly: return failure(FailureKind::ReadOnly);
    case jet::ErrorKind::ForeignFile: return failure(FailureKind::ForeignFile);
    case jet::ErrorKind::InvalidArgument:
    case jet::ErrorKind::SqlSyntax: break;
    }
    return failure(FailureKind::Unexpected);
}

// Runs an engine call on `file`; its errors leave as ProductDatabaseFailure.
template <typename Call>
decltype(auto) translatedErrors(const fs::path& file, Call&& call) {
    try {
        return call();
    } catch (const jet::Error& error) {
        throw failureOf(error, file);
    }
}

class JetProductDatabase : public ProductDatabase {
public:
    explicit JetProductDatabase(const fs::path& file) : file_(file), connection_(text::utf8FromPath(file)) {}

    void beginWork() override {
        translatedErrors(file_, [&] { connection_.beginWork(); });
    }

    std::size_t execute(std::string_view sql, const SqlParameters& parameters) override {
        values_.resize(parameters.size());
        for (std::size_t i = 0; i < parameters.size(); ++i) assignJetValue(values_[i], parameters[i]);
        return translatedErrors(file_, [&] { return connection_.execute(sql, values_); });
    }

    void commitWork() override {
        const bool madeBackup = translatedErrors(file_, [&] { return keepBackup(file_); });
        try {
            translatedErrors(file_, [&] { connection_.commitWork(); });
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
        translatedErrors(file_, [&] { connection_.rollbackWork(); });
    }

private:
    fs::path file_;
    jet::Connection connection_;
    std::vector<jet::Value> values_;   // the last statement's parameters, storage kept for the next
};

}  // namespace

std::unique_ptr<ProductDatabase> JetDatabaseOpener::open(const fs::path& file) {
    return translatedErrors(file, [&] { return std::make_unique<JetProductDatabase>(file); });
}

}  // namespace upgrade
