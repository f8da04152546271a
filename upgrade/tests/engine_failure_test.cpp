// Engine errors become the user's failure kinds from the error's fields alone. Each error here
// carries a message that would mislead anyone reading it, so a mapping that parsed the text
// instead of the fields would fail.
#include "upgrade/engine_failure.h"

#include <gtest/gtest.h>

using jet::BrokenRule;
using jet::ErrorContext;
using jet::ErrorKind;
using upgrade::FailureKind;
using upgrade::productFailureOf;

namespace {

ErrorContext in(std::string table, std::string column = {}, std::string index = {}, std::vector<std::string> indexColumns = {}) {
    ErrorContext context;
    context.file = "/tmp/QorBirth.dll";
    context.table = std::move(table);
    context.column = std::move(column);
    context.index = std::move(index);
    context.indexColumns = std::move(indexColumns);
    return context;
}

jet::Error engineError(ErrorKind kind, ErrorContext context, BrokenRule rule = BrokenRule::None,
                       const std::string& cause = "no such column: wrong; longer than column wrong allows; duplicate key in unique index wrong") {
    return jet::Error(kind, std::move(context), cause, rule);
}

}  // namespace

TEST(EngineFailure, MissingNamesComeFromTheFields) {
    const auto column = productFailureOf(engineError(ErrorKind::NotFound, in("huangdao", "ji")));
    EXPECT_EQ(column.kind(), FailureKind::ColumnMissing);
    EXPECT_EQ(column.table(), "huangdao");
    EXPECT_EQ(column.column(), "ji");

    const auto table = productFailureOf(engineError(ErrorKind::NotFound, in("huangdao")));
    EXPECT_EQ(table.kind(), FailureKind::TableMissing);
    EXPECT_EQ(table.table(), "huangdao");
    EXPECT_TRUE(table.column().empty());
}

TEST(EngineFailure, BrokenRulesAreToldApartByTheirRule) {
    const auto tooLong = productFailureOf(engineError(ErrorKind::Constraint, in("huangdao", "yi"), BrokenRule::ValueTooLong));
    EXPECT_EQ(tooLong.kind(), FailureKind::ValueTooLong);
    EXPECT_EQ(tooLong.column(), "yi");

    const auto repeated = productFailureOf(
        engineError(ErrorKind::Constraint, in("huangdao", {}, "GnNn", {"gn", "nn"}), BrokenRule::DuplicateKey));
    EXPECT_EQ(repeated.kind(), FailureKind::DuplicateKey);
    EXPECT_EQ(repeated.column(), "gn、nn");

    // Without the key columns the index name still tells support which rule it was.
    const auto unnamed = productFailureOf(engineError(ErrorKind::Constraint, in("huangdao", {}, "GnNn"), BrokenRule::DuplicateKey));
    EXPECT_EQ(unnamed.column(), "GnNn");

    for (const BrokenRule rule : {BrokenRule::RequiredValue, BrokenRule::BadValue, BrokenRule::None}) {
        const auto other = productFailureOf(engineError(ErrorKind::Constraint, in("huangdao", "gn", "gn"), rule));
        EXPECT_EQ(other.kind(), FailureKind::RuleBroken);
        EXPECT_TRUE(other.column().empty());
    }
}

TEST(EngineFailure, TheDetailIsTheTableAndTheEnginesCause) {
    const auto failure = productFailureOf(engineError(ErrorKind::Damaged, in("huangdao"), BrokenRule::None, "damaged database: bad page"));
    EXPECT_EQ(failure.kind(), FailureKind::Damaged);
    EXPECT_EQ(failure.detail(), "table huangdao: damaged database: bad page");
    const auto fileOnly = productFailureOf(engineError(ErrorKind::InUse, in({}), BrokenRule::None, "in use"));
    EXPECT_EQ(fileOnly.kind(), FailureKind::InUse);
    EXPECT_EQ(fileOnly.detail(), "in use");
}
