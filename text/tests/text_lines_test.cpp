#include "text/text_lines.h"

#include <gtest/gtest.h>

using text::LineList;
using text::trimBlanks;

TEST(TextLines, TrimRemovesBlanksAndControlsButKeepsWideSpaces) {
    EXPECT_EQ(trimBlanks(" \t\r\n a b \x01\x1f "), "a b");
    EXPECT_EQ(trimBlanks("\u3000\u3000段落"), "\u3000\u3000段落");
    EXPECT_EQ(trimBlanks("   "), "");
    EXPECT_EQ(trimBlanks("风水"), "风水");
}

TEST(TextLines, CountLeavesOutOneTrailingEmptyLineAndReadsPastTheEndAsEmpty) {
    const LineList list = LineList::fromText("a\r\n\r\n b \nlast\r\n");
    ASSERT_EQ(list.count(), 4u);
    EXPECT_EQ(list.line(1), "");
    EXPECT_EQ(list.line(2), " b ");
    EXPECT_EQ(list.trimmedLine(2), "b");
    EXPECT_EQ(list.line(4), "");
    EXPECT_EQ(list.line(1000), "");
    EXPECT_EQ(LineList::fromText("a\r\n\r\n").count(), 2u);
    EXPECT_EQ(LineList::fromText("").count(), 0u);
}

TEST(TextLines, TextEndsEveryLineWithCrLfTheLastIncluded) {
    LineList list = LineList::fromText("one\ntwo");
    EXPECT_EQ(list.text(), "one\r\ntwo\r\n");
    list.append("");
    EXPECT_EQ(list.text(), "one\r\ntwo\r\n\r\n");
    EXPECT_EQ(LineList().text(), "");
}
