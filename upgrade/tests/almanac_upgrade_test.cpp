#include "data/almanac/almanac_table.h"
#include "fake_product_database.h"
#include "recording_feedback.h"
#include "temporary_prefix.h"
#include "upgrade/almanac_upgrade.h"
#include "text/utf8.h"

#include <gtest/gtest.h>

using namespace upgrade;

namespace {

constexpr std::string_view kPlain = "D:\\Program Files\\Quelvor软件\\算命大师正式版";
constexpr std::string_view kFengShui = "D:\\Program Files\\Quelvor软件\\风水秘笈正式版";
constexpr std::string_view kOnDriveC = "C:\\Program Files\\Brannoc软件\\宝宝起名正式版";

class AlmanacUpgrade : public ::testing::Test {
protected:
    AlmanacUpgradeResult run(const CatalogueList& list) {
        return runAlmanacUpgrade(list, query, {succeeded, failed}, feedback);
    }
    TemporaryPrefix prefix;
    FakeOpener opener;
    ProductQuery query{opener, prefix.installation()};
    text::LineList succeeded, failed;
    RecordingFeedback feedback;
};

}  // namespace

TEST_F(AlmanacUpgrade, NothingInstalledSaysSoAndLogsNothing) {
    prefix.install(kPlain, "\\QorFile.dll");  // not the almanac probe file
    run(CatalogueList({std::string(kPlain), std::string(kOnDriveC)}));
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_EQ(feedback.messages[0], (UserMessage{"信息提示", "没有可更新的内容，请重新安装后在试！", MessageIcon::Information}));
    EXPECT_EQ(succeeded.count() + failed.count(), 0u);
    EXPECT_TRUE(opener.opened.empty());
    run(CatalogueList({}));
    EXPECT_EQ(feedback.messages[1].text, "没有可更新的内容，请重新安装后在试！");
}

TEST_F(AlmanacUpgrade, RebuildsTheTableWithEveryCarriedDayInOneUnit) {
    const auto file = prefix.install(kPlain, "\\QorBirth.dll");
    run(CatalogueList({"  " + std::string(kPlain) + " \t"}));
    const FakeFileState& state = opener.state(file);
    ASSERT_EQ(state.committed.size(), 1 + content::almanacDayCount());
    EXPECT_EQ(state.commits, 1);
    EXPECT_EQ(state.prepared, 1) << "the insert is prepared once for all the days";
    EXPECT_EQ(state.committed[0].sql, "DELETE FROM huangdao");
    for (std::size_t i = 0; i < content::almanacDayCount(); i += 97) {
        const RecordedStatement& insert = state.committed[1 + i];
        EXPECT_EQ(insert.sql, kInsertAlmanacDay);
        // As UTF-16 that reads back as the carried UTF-8 text (the table is all BMP characters).
        const auto day = content::almanacDay(i);
        ASSERT_EQ(insert.parameters.size(), 11u);
        for (std::size_t c = 0; c < 11; ++c) {
            std::string back;
            for (const char16_t unit : std::get<std::u16string>(insert.parameters[c])) text::appendUtf8(back, unit);
            EXPECT_EQ(back, day[c]) << "day " << i << ", column " << c;
        }
    }
    EXPECT_EQ(std::get<std::u16string>(state.committed[1].parameters[0]), u"2021-01-01");
    EXPECT_EQ(std::get<std::u16string>(state.committed[1].parameters[2]).substr(0, 2), u"庚子");
    EXPECT_EQ(std::get<std::u16string>(state.committed.back().parameters[0]), u"2026-02-04");
    EXPECT_EQ(succeeded.lines(), std::vector<std::string>{std::string(kPlain)});
    EXPECT_EQ(feedback.messages.back(), (UserMessage{"信息提示", "更新成功！", MessageIcon::Information}));
}

TEST_F(AlmanacUpgrade, FengShuiProductsGetTheirRowsInQorFile) {
    const auto probe = prefix.install(kFengShui, "\\QorBirth.dll");
    const auto target = prefix.install(kFengShui, "\\QorFile.dll");
    const auto onlyFile = prefix.install("D:\\Program Files\\Quelvor软件\\家居风水正式版", "\\QorFile.dll");
    run(CatalogueList({std::string(kFengShui), "D:\\Program Files\\Quelvor软件\\家居风水正式版"}));
    EXPECT_EQ(opener.state(target).commits, 1);
    EXPECT_EQ(opener.state(probe).opens, 0);
    EXPECT_EQ(opener.state(onlyFile).opens, 0) << "a feng-shui product without QorBirth.dll is skipped";
    EXPECT_EQ(succeeded.count(), 1u);
}

TEST_F(AlmanacUpgrade, ADirectoryListedTwiceIsRebuiltAndLoggedTwiceAndLogsKeepGrowing) {
    const auto file = prefix.install(kPlain, "\\QorBirth.dll");
    const CatalogueList list({std::string(kPlain), std::string(kOnDriveC), std::string(kPlain)});
    run(list);
    EXPECT_EQ(opener.state(file).commits, 2);
    EXPECT_EQ(succeeded.count(), 2u);
    run(list);
    EXPECT_EQ(succeeded.count(), 4u);
    EXPECT_EQ(failed.count(), 0u);
}

TEST_F(AlmanacUpgrade, AFailureLeavesThatFileUntouchedListsItAndGoesOn) {
    const auto broken = prefix.install(kPlain, "\\QorBirth.dll");
    const auto fine = prefix.install(kOnDriveC, "\\QorBirth.dll");
    opener.state(broken).failAtStatement = 500;  // midway through the inserts
    const AlmanacUpgradeResult result = run(CatalogueList({std::string(kPlain), std::string(kOnDriveC)}));

    EXPECT_TRUE(opener.state(broken).committed.empty()) << "nothing of the failed rebuild is kept";
    EXPECT_EQ(opener.state(broken).rollbacks, 1);
    EXPECT_EQ(opener.state(fine).commits, 1);
    EXPECT_EQ(failed.lines(), std::vector<std::string>{std::string(kPlain)});
    EXPECT_EQ(succeeded.lines(), std::vector<std::string>{std::string(kOnDriveC)});
    ASSERT_EQ(result.failures.size(), 1u);

    const UserMessage& message = feedback.messages.back();
    EXPECT_EQ(message.caption, "信息提示");
    EXPECT_EQ(message.icon, MessageIcon::Warning) << "a failure is never reported as success";
    EXPECT_EQ(message.text, "以下目录更新失败，原有数据未改动：\n" + std::string(kPlain) +
                                "：QorBirth.dll，缺少数据表 huangdao，该软件的版本与本补丁不匹配，请重新安装该软件后再升级。"
                                "（技术信息：no such table: huangdao）\n其余产品已更新成功。");
}

TEST_F(AlmanacUpgrade, WhenEveryDirectoryFailsTheMessageSaysNoneWasUpgraded) {
    const auto broken = prefix.install(kPlain, "\\QorBirth.dll");
    opener.state(broken).failAtStatement = 1;
    run(CatalogueList({std::string(kPlain)}));
    EXPECT_NE(feedback.messages.back().text.find("没有产品更新成功。"), std::string::npos);
    EXPECT_EQ(feedback.messages.back().text.find("更新成功！"), std::string::npos);
}

TEST_F(AlmanacUpgrade, EveryFolderOfAProductIsItsOwnUnitNamedInLogsAndMessage) {
    const std::string x86 = "C:\\Program Files (x86)\\Brannoc软件\\宝宝起名正式版";
    const std::string store = std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files (x86)\\Brannoc软件\\宝宝起名正式版";
    const auto installedFile = prefix.install(kOnDriveC, "\\QorBirth.dll");
    const auto x86File = prefix.install(x86, "\\QorBirth.dll");
    const auto storeFile = prefix.install(store, "\\QorBirth.dll");
    opener.state(storeFile).failAtStatement = 3;
    std::vector<std::string> progress;
    const AlmanacUpgradeResult result =
        runAlmanacUpgrade(CatalogueList({std::string(kOnDriveC)}), query, {succeeded, failed}, feedback,
                          [&](std::size_t row, std::size_t, std::string_view directory) {
                              EXPECT_EQ(row, 0u);
                              progress.emplace_back(directory);
                          });

    EXPECT_EQ(progress, (std::vector<std::string>{std::string(kOnDriveC), x86, store}));
    EXPECT_EQ(opener.state(installedFile).commits, 1);
    EXPECT_EQ(opener.state(x86File).commits, 1);
    EXPECT_TRUE(opener.state(storeFile).committed.empty()) << "the failed copy is left as it was";
    EXPECT_EQ(succeeded.lines(), (std::vector<std::string>{std::string(kOnDriveC), x86}));
    EXPECT_EQ(failed.lines(), std::vector<std::string>{store});
    ASSERT_EQ(result.failures.size(), 1u);
    EXPECT_EQ(result.succeeded, 2u);
    EXPECT_NE(feedback.messages.back().text.find(store + "：QorBirth.dll，"), std::string::npos) << feedback.messages.back().text;
    EXPECT_NE(feedback.messages.back().text.find("其余产品已更新成功。"), std::string::npos);
}

TEST_F(AlmanacUpgrade, AVirtualStoreCopyIsRebuiltWhenItHoldsTheFileThatTakesTheRows) {
    // A feng-shui product that wrote only QorFile.dll: its copy is what it reads.
    const std::string fengShui = "C:\\Program Files\\Quelvor软件\\风水秘笈正式版";
    const std::string fengShuiStore = std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files\\Quelvor软件\\风水秘笈正式版";
    prefix.install(fengShui, "\\QorBirth.dll");
    const auto fengShuiFile = prefix.install(fengShui, "\\QorFile.dll");
    const auto fengShuiCopy = prefix.install(fengShuiStore, "\\QorFile.dll");
    // A product whose copies hold another file only: nothing of the almanac to rebuild there.
    const std::string plainStore = std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files\\Brannoc软件\\宝宝起名正式版";
    const auto plainFile = prefix.install(kOnDriveC, "\\QorBirth.dll");
    prefix.install(plainStore, "\\Tgcode.dll");
    // A copy left behind by a product that is no longer installed.
    const std::string goneStore = std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files\\Quelvor软件\\择吉正式版";
    const auto goneCopy = prefix.install(goneStore, "\\QorBirth.dll");

    run(CatalogueList({fengShui, std::string(kOnDriveC), "C:\\Program Files\\Quelvor软件\\择吉正式版"}));
    EXPECT_EQ(opener.state(fengShuiFile).commits, 1);
    EXPECT_EQ(opener.state(fengShuiCopy).commits, 1);
    EXPECT_EQ(opener.state(plainFile).commits, 1);
    EXPECT_EQ(opener.state(goneCopy).opens, 0);
    EXPECT_EQ(succeeded.lines(), (std::vector<std::string>{fengShui, fengShuiStore, std::string(kOnDriveC)}));
    EXPECT_EQ(feedback.messages.back().text, "更新成功！");
}
