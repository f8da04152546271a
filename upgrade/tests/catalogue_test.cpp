#include "upgrade/catalogue.h"

#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

using upgrade::CatalogueList;

namespace {

bool contains(const std::string& text, std::string_view word) {
    return text.find(word) != std::string::npos;
}

// "D:\Program Files\Quelvor软件\Product" → {"D", "Quelvor软件", "Product"}.
struct LongRow {
    char drive;
    std::string vendor;
    std::string product;
};

LongRow splitLongRow(const std::string& row) {
    const std::string prefix = ":\\Program Files\\";
    EXPECT_EQ(row.substr(1, prefix.size()), prefix) << row;
    const std::string rest = row.substr(1 + prefix.size());
    const auto slash = rest.find('\\');
    EXPECT_NE(slash, std::string::npos) << row;
    EXPECT_EQ(rest.find('\\', slash + 1), std::string::npos) << "one product folder only: " << row;
    return {row[0], rest.substr(0, slash), rest.substr(slash + 1)};
}

// Checks rows [first, first + drives.size()) are one product on the drives in order.
void expectProductBlock(const CatalogueList& list, std::size_t first, std::string_view drives,
                        std::string_view vendor, std::string_view word) {
    const LongRow head = splitLongRow(list.entry(first));
    for (std::size_t k = 0; k < drives.size(); ++k) {
        const std::string row = list.entry(first + k);
        const LongRow r = splitLongRow(row);
        EXPECT_EQ(r.drive, drives[k]) << "row " << first + k;
        EXPECT_EQ(r.vendor, vendor) << "row " << first + k;
        EXPECT_EQ(r.product, head.product) << "row " << first + k;
        for (std::string_view category : {upgrade::kMarriageWord, upgrade::kFengShuiWord})
            EXPECT_EQ(contains(row, category), category == word) << "row " << first + k << ": " << row;
    }
}

constexpr std::string_view Q = "Quelvor软件";
constexpr std::string_view B = "Brannoc软件";
constexpr std::string_view None = "";

}  // namespace

TEST(Catalogue, FortuneListHasTheProductsInDriveOrder) {
    const CatalogueList& list = upgrade::fortuneList();
    ASSERT_EQ(list.count(), 36u);
    const std::vector<std::string_view> vendors = {Q, Q, Q, Q, B, B, B, B};
    for (std::size_t block = 0; block < 8; ++block) expectProductBlock(list, block * 4, "DCEF", vendors[block], None);
    expectProductBlock(list, 32, "DC", Q, upgrade::kMarriageWord);
    expectProductBlock(list, 34, "DC", Q, upgrade::kMarriageWord);
    EXPECT_NE(list.entry(32), list.entry(34)) << "two different marriage-matching products";
}

TEST(Catalogue, AlmanacListSharesTheFortuneRowsAndFollowsItsTable) {
    const CatalogueList& list = upgrade::almanacList();
    ASSERT_EQ(list.count(), 119u);
    for (std::size_t i = 0; i < 32; ++i) EXPECT_EQ(list.entry(i), upgrade::fortuneList().entry(i)) << "row " << i;

    struct Block {
        std::size_t first;
        std::string_view drives;
        std::string_view vendor;
        std::string_view word;
    };
    const std::string_view FS = upgrade::kFengShuiWord;
    const std::string_view HH = upgrade::kMarriageWord;
    const Block blocks[] = {
        {32, "DCEF", B, FS},   {36, "DCEF", B, None}, {40, "DCEF", B, None}, {44, "DCEF", B, None},
        {48, "DCEF", Q, None}, {52, "DCEF", Q, None}, {56, "DCEF", Q, FS},   {60, "DCEF", Q, None},
        {64, "D", Q, FS},      {65, "D", Q, None},    {66, "D", Q, FS},      {67, "D", Q, FS},
        {68, "D", Q, None},    {69, "D", Q, None},    {70, "D", Q, FS},      {71, "D", Q, FS},
        {72, "D", B, None},    {73, "DC", B, None},   {75, "DCEF", B, None}, {79, "DCEF", B, None},
        {83, "DCEF", B, None}, {87, "DCEF", B, None}, {91, "DCEF", Q, HH},   {95, "DCEF", Q, HH},
        {99, "DCEF", Q, None}, {103, "DCEF", Q, None}, {107, "DCEF", Q, None}, {111, "DCEF", Q, FS},
        {115, "DCEF", B, FS},
    };
    std::size_t covered = 32;
    for (const Block& b : blocks) {
        ASSERT_EQ(b.first, covered) << "blocks cover every row once";
        expectProductBlock(list, b.first, b.drives, b.vendor, b.word);
        covered += b.drives.size();
    }
    EXPECT_EQ(covered, 119u);
}

TEST(Catalogue, OnlyTheMarkedAlmanacRowsRepeatAPath) {
    const CatalogueList& list = upgrade::almanacList();
    EXPECT_EQ(list.entry(66), list.entry(56));
    EXPECT_EQ(list.entry(68), list.entry(48));
    std::map<std::string, std::vector<std::size_t>> seen;
    for (std::size_t i = 0; i < list.count(); ++i) seen[list.entry(i)].push_back(i);
    for (const auto& [path, rows] : seen) {
        if (rows.size() == 1) continue;
        const bool expected = rows == std::vector<std::size_t>{56, 66} || rows == std::vector<std::size_t>{48, 68};
        EXPECT_TRUE(expected) << path << " is listed " << rows.size() << " times";
    }
    EXPECT_EQ(seen.size(), 117u);
}

TEST(Catalogue, SecondAlmanacListIsShortShapeOnDriveD) {
    const CatalogueList& list = upgrade::secondAlmanacList();
    ASSERT_EQ(list.count(), 18u);
    std::set<std::string> distinct;
    for (std::size_t i = 0; i < list.count(); ++i) {
        const std::string row = list.entry(i);
        const std::string root = i < 9 ? "D:\\brannocsoft\\" : "D:\\quelvorsoft\\";
        EXPECT_EQ(row.substr(0, root.size()), root) << row;
        EXPECT_EQ(row.find('\\', root.size()), std::string::npos) << row;
        EXPECT_EQ(contains(row, upgrade::kFengShuiWord), i == 2 || i == 13) << row;
        EXPECT_EQ(contains(row, upgrade::kMarriageWord), i == 11) << row;
        distinct.insert(row);
    }
    EXPECT_EQ(distinct.size(), 18u);
}

TEST(Catalogue, EntriesAreTrimmedAndNeverEndInABackslash) {
    const CatalogueList padded({" \tD:\\Program Files\\Quelvor软件\\算命大师正式版 \r\n", "\x01" "C:\\x\x1f"});
    EXPECT_EQ(padded.entry(0), "D:\\Program Files\\Quelvor软件\\算命大师正式版");
    EXPECT_EQ(padded.entry(1), "C:\\x");
    EXPECT_THROW(padded.entry(2), std::out_of_range);

    for (const CatalogueList* list : {&upgrade::fortuneList(), &upgrade::almanacList(), &upgrade::secondAlmanacList()})
        for (std::size_t i = 0; i < list->count(); ++i) {
            EXPECT_EQ(list->entry(i), list->rawRow(i));
            EXPECT_NE(list->entry(i).back(), '\\');
        }
}
