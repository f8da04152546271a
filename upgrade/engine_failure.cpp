#include "engine_failure.h"

namespace upgrade {
namespace {

// The columns of the index a duplicate key repeats, "gn" or "gn、nn"; the
// index name itself when the engine could not name them.
std::string duplicateKeyColumns(const jet::Error& error) {
    std::string names;
    for (const std::string& column : error.indexColumns()) names += (names.empty() ? "" : "、") + column;
    return names.empty() ? error.index() : names;
}

}  // namespace

ProductDatabaseFailure productFailureOf(const jet::Error& error) {
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
    case jet::ErrorKind::NotFound:
        if (error.column().empty()) return failure(FailureKind::TableMissing);
        return failure(FailureKind::ColumnMissing, error.column());
    case jet::ErrorKind::Constraint:
        switch (error.rule()) {
        case jet::BrokenRule::ValueTooLong: return failure(FailureKind::ValueTooLong, error.column());
        case jet::BrokenRule::DuplicateKey: return failure(FailureKind::DuplicateKey, duplicateKeyColumns(error));
        case jet::BrokenRule::RequiredValue:
        case jet::BrokenRule::BadValue:
        case jet::BrokenRule::None: break;
        }
        return failure(FailureKind::RuleBroken);
    case jet::ErrorKind::InUse: return failure(FailureKind::InUse);
    case jet::ErrorKind::ReadOnly: return failure(FailureKind::ReadOnly);
    case jet::ErrorKind::ForeignFile: return failure(FailureKind::ForeignFile);
    case jet::ErrorKind::InvalidArgument:
    case jet::ErrorKind::SqlSyntax: break;
    }
    return failure(FailureKind::Unexpected);
}

}  // namespace upgrade
