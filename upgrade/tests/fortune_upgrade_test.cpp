#include "data/fortunes/fortune_texts.h"
#include "fake_product_database.h"
#include "recording_feedback.h"
#include "temporary_prefix.h"
#include "upgrade/fortune_upgrade.h"
#include "text/gbk_codec.h"
#include "upgrade/horoscope_scrambler.h"

#include <gtest/gtest.h>

using namespace upgrade;

namespace {

constexpr std::string_view kProduct = "D:\\Program Files\\Quelvor软件\\算命大师正式版";
constexpr std::string_view kMarriage = "D:\\Program Files\\Quelvor软件\\八字合婚软件正式版";
constexpr std::string_view kLater = "C:\\Program Files\\Brannoc软件\\天机算命软件正式版";

class FortuneUpgrade : public ::testing::Test {
protected:
    FortuneUpgradeResult run(const CatalogueList& list) { return runFortuneUpgrade(list, query, feedback); }
    TemporaryPrefix prefix;
    FakeOpener opener;
    ProductQuery query{opener, prefix.installation()};
    RecordingFeedback feedback;
};

const UserMessage kSuccess{"信息提示", "更新成功！", MessageIcon::Information};
const UserMessage kNothing{"信息提示", "没有可更新的内容，请重新安装后在试！", MessageIcon::Information};

}  // namespace

TEST_F(FortuneUpgrade, NothingInstalledSaysSo) {
    run(CatalogueList({}));
    run(CatalogueList({std::string(kProduct)}));
    EXPECT_EQ(feedback.messages, (std::vector<UserMessage>{kNothing, kNothing}));
}

TEST_F(FortuneUpgrade, AnimalRowsGetTheirYearlyAndMonthlyTextsInOrder) {
    const auto file = prefix.install(kProduct, "\\Tgcode.dll");
    run(CatalogueList({" " + std::string(kProduct) + "\r\n"}));
    const auto& statements = opener.state(file).committed;
    ASSERT_EQ(statements.size(), 12u);
    const char* keys[] = {"狗", "猴", "虎", "鸡", "龙", "马", "牛", "蛇", "鼠", "兔", "羊", "猪"};
    for (std::size_t i = 0; i < 12; ++i) {
        const content::AnimalFortune& animal = content::animalFortunes()[i];
        EXPECT_EQ(statements[i].sql, "update Bennian2011 set [Values] = ?,Liuyue = ? where shuxing = ?");
        EXPECT_EQ(std::get<std::string>(statements[i].parameters[0]), text::gbkToUtf8(animal.yearlyText)) << keys[i];
        EXPECT_EQ(std::get<std::string>(statements[i].parameters[1]), text::gbkToUtf8(animal.monthlyText)) << keys[i];
        EXPECT_EQ(std::get<std::string>(statements[i].parameters[2]), keys[i]);
    }
    EXPECT_EQ(opener.state(file).commits, 1) << "one unit for the file";
    EXPECT_EQ(opener.state(file).prepared, 1) << "the update is prepared once for the twelve animals";
    EXPECT_EQ(feedback.messages.back(), kSuccess);
}

TEST_F(FortuneUpgrade, HoroscopesAreStoredScrambledEvenInMarriageProducts) {
    const auto fortunes = prefix.install(kMarriage, "\\Tgcode.dll");
    const auto horoscopes = prefix.install(kMarriage, "\\QorFile.dll");
    const FortuneUpgradeResult result = run(CatalogueList({std::string(kMarriage)}));
    EXPECT_EQ(opener.state(fortunes).opens, 0) << "marriage-matching products keep their zodiac table";
    const auto& statements = opener.state(horoscopes).committed;
    ASSERT_EQ(statements.size(), 12u);
    for (std::size_t i = 0; i < 12; ++i) {
        const content::Horoscope& sign = content::horoscopes()[i];
        EXPECT_EQ(statements[i].sql, "update xingzuo2007 set content = ? where idxz = ?");
        const auto& stored = std::get<std::string>(statements[i].parameters[0]);
        EXPECT_EQ(stored, horoscopeScramble(sign.text));
        EXPECT_NE(stored, hexEncoding(sign.text)) << "never the plain text";
        EXPECT_EQ(std::get<std::string>(statements[i].parameters[1]), sign.key);
    }
    EXPECT_EQ(result.fortuneBlocks, 0u);
    EXPECT_EQ(result.horoscopeBlocks, 1u);
    EXPECT_EQ(feedback.messages.back(), kSuccess);
}

TEST_F(FortuneUpgrade, AFailureEndsTheActionLeavesTheFileAndShowsOneErrorBox) {
    const auto done = prefix.install(kProduct, "\\QorFile.dll");
    const auto broken = prefix.install(kLater, "\\Tgcode.dll");
    const auto never = prefix.install(kLater, "\\QorFile.dll");
    opener.state(broken).failAtStatement = 5;
    opener.state(broken).failure = "no such table: Bennian2011";
    opener.state(broken).failureTable = "Bennian2011";
    const FortuneUpgradeResult result = run(CatalogueList({std::string(kProduct), std::string(kLater)}));

    EXPECT_EQ(opener.state(done).commits, 1) << "files finished before stay upgraded";
    EXPECT_TRUE(opener.state(broken).committed.empty());
    EXPECT_EQ(opener.state(broken).rollbacks, 1);
    EXPECT_EQ(opener.state(never).opens, 0) << "nothing after the failure is visited";
    ASSERT_TRUE(result.failure.has_value());
    ASSERT_EQ(feedback.messages.size(), 1u) << "the error box instead of the final message";
    const UserMessage& box = feedback.messages[0];
    EXPECT_EQ(box.caption, "信息提示");
    EXPECT_EQ(box.icon, MessageIcon::Error);
    EXPECT_EQ(box.text, "升级中止。\n目录：" + std::string(kLater) +
                            "\n文件：Tgcode.dll\n原因：缺少数据表 Bennian2011，该软件的版本与本补丁不匹配，"
                            "请重新安装该软件后再升级。（技术信息：no such table: Bennian2011）\n"
                            "此文件保持原样，未作任何改动。");
}

TEST_F(FortuneUpgrade, AKeyThatMatchesNoRowChangesNothingAndIsNoError) {
    const auto keyless = prefix.install(kProduct, "\\Tgcode.dll");
    opener.state(keyless).changedRows = 0;
    const FortuneUpgradeResult result = run(CatalogueList({std::string(kProduct)}));

    EXPECT_FALSE(result.failure.has_value());
    EXPECT_FALSE(opener.state(keyless).committed.empty());
    ASSERT_EQ(feedback.messages.size(), 1u);
    EXPECT_EQ(feedback.messages[0].text, "更新成功！");
}

TEST_F(FortuneUpgrade, EachFolderOfAProductGetsItsOwnUnitsAndAFailingCopyIsNamed) {
    const std::string x86 = "C:\\Program Files (x86)\\Brannoc软件\\天机算命软件正式版";
    const std::string store = std::string(TemporaryPrefix::kVirtualStore) + "\\Program Files\\Brannoc软件\\天机算命软件正式版";
    const auto fortunes = prefix.install(kLater, "\\Tgcode.dll");
    const auto horoscopes = prefix.install(kLater, "\\QorFile.dll");
    const auto fortuneCopy = prefix.install(store, "\\Tgcode.dll");
    const auto x86Horoscopes = prefix.install(x86, "\\QorFile.dll");
    std::vector<std::pair<std::string, FortuneBlock>> visited;
    auto record = [&](std::size_t, std::size_t, std::string_view directory, FortuneBlock block) {
        visited.emplace_back(std::string(directory), block);
    };
    const FortuneUpgradeResult result =
        runFortuneUpgrade(CatalogueList({std::string(kLater)}), query, feedback, record);
    EXPECT_EQ(visited, (std::vector<std::pair<std::string, FortuneBlock>>{
                           {std::string(kLater), FortuneBlock::ZodiacFortunes},
                           {std::string(kLater), FortuneBlock::Horoscopes},
                           {store, FortuneBlock::ZodiacFortunes},
                           {x86, FortuneBlock::Horoscopes}}));
    for (const auto& file : {fortunes, horoscopes, fortuneCopy, x86Horoscopes}) EXPECT_EQ(opener.state(file).commits, 1) << file;
    EXPECT_EQ(result.fortuneBlocks, 2u);
    EXPECT_EQ(result.horoscopeBlocks, 2u);
    EXPECT_EQ(feedback.messages.back(), kSuccess);

    // A copy that fails ends the action like any file, and the box names the copy's folder.
    opener.state(fortuneCopy).failAtStatement = opener.state(fortuneCopy).statementsSeen + 1;
    runFortuneUpgrade(CatalogueList({std::string(kLater)}), query, feedback);
    EXPECT_EQ(feedback.messages.back().icon, MessageIcon::Error);
    EXPECT_NE(feedback.messages.back().text.find("目录：" + store + "\n文件：Tgcode.dll"), std::string::npos);
    EXPECT_EQ(opener.state(x86Horoscopes).commits, 1) << "nothing after the failure is visited";
}
