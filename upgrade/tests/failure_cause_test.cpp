#include "upgrade/failure_cause.h"

#include <gtest/gtest.h>

#include <set>

using namespace upgrade;

namespace {

constexpr FailureKind kAllKinds[] = {
    FailureKind::FileMissing, FailureKind::InUse,        FailureKind::ReadOnly,      FailureKind::NotAccess,
    FailureKind::OldFormat,   FailureKind::NewFormat,    FailureKind::Encrypted,     FailureKind::Password,
    FailureKind::Damaged,     FailureKind::Unsupported,  FailureKind::TableMissing,  FailureKind::ColumnMissing,
    FailureKind::ValueTooLong, FailureKind::DuplicateKey, FailureKind::RuleBroken,   FailureKind::DiskFull,
    FailureKind::ForeignFile, FailureKind::ReadWrite,    FailureKind::Unexpected,
};

}  // namespace

TEST(FailureCause, EveryKindHasItsOwnChineseSentenceEndingAFullStop) {
    std::set<std::string> sentences;
    for (const FailureKind kind : kAllKinds) {
        const std::string sentence = causeSentence(kind, "huangdao", "yi");
        EXPECT_TRUE(sentence.size() > 3 && sentence.ends_with("。")) << sentence;
        EXPECT_EQ(sentence.find("error"), std::string::npos) << "in the user's words, not the engine's: " << sentence;
        sentences.insert(sentence);
    }
    EXPECT_EQ(sentences.size(), std::size(kAllKinds));
}

TEST(FailureCause, SentencesNameTheTableAndColumnTheyConcern) {
    EXPECT_EQ(causeSentence(FailureKind::TableMissing, "huangdao").rfind("缺少数据表 huangdao，", 0), 0u);
    EXPECT_EQ(causeSentence(FailureKind::ColumnMissing, "huangdao", "ji").rfind("数据表 huangdao 缺少字段 ji，", 0), 0u);
    EXPECT_NE(causeSentence(FailureKind::ValueTooLong, "huangdao", "yi").find("数据表 huangdao 中字段 yi 的长度"),
              std::string::npos);
    EXPECT_NE(causeSentence(FailureKind::DuplicateKey, "huangdao", "suici").find("字段 suici 不允许重复"),
              std::string::npos);
    // A name the failure does not carry never leaves a gap in the sentence.
    EXPECT_EQ(causeSentence(FailureKind::ColumnMissing).find("字段 ，"), std::string::npos);
}

TEST(FailureCause, TheShownCauseKeepsTheTechnicalDetailInParentheses) {
    const ProductDatabaseFailure failure(FailureKind::InUse, "the database is in use (lock file QorBirth.ldb exists)");
    EXPECT_EQ(userCause(failure),
              "数据库正被其他程序使用，请先关闭该软件后再升级。（技术信息：the database is in use (lock file QorBirth.ldb exists)）");
    EXPECT_EQ(userCause(ProductDatabaseFailure(FailureKind::DiskFull, "")), causeSentence(FailureKind::DiskFull));
}

TEST(FailureCause, AnyOtherExceptionIsUnexpectedWithItsMessageAsDetail) {
    const ProductDatabaseFailure known(FailureKind::Damaged, "page 7 is past the end", "huangdao");
    const ProductDatabaseFailure same = asProductFailure(known);
    EXPECT_EQ(same.kind(), FailureKind::Damaged);
    EXPECT_EQ(same.table(), "huangdao");
    const ProductDatabaseFailure other = asProductFailure(std::runtime_error("bad_alloc"));
    EXPECT_EQ(other.kind(), FailureKind::Unexpected);
    EXPECT_EQ(other.detail(), "bad_alloc");
}
