#include "text/gbk_codec.h"

#include <gtest/gtest.h>

using text::gbkToUtf8;
using text::EncodingError;
using text::utf8ToGbk;

TEST(GbkCodec, PunctuationOfTheTextsMapsToCodePage936) {
    // Code page 936 places these at fixed bytes; "—" differs from GB2312's table.
    EXPECT_EQ(utf8ToGbk("★"), "\xA1\xEF");
    EXPECT_EQ(utf8ToGbk("☆"), "\xA1\xEE");
    EXPECT_EQ(utf8ToGbk("、"), "\xA1\xA2");
    EXPECT_EQ(utf8ToGbk("—"), "\xA1\xAA");
    EXPECT_EQ(utf8ToGbk("\u3000"), "\xA1\xA1");
    EXPECT_EQ(utf8ToGbk("狗"), "\xB9\xB7");
    EXPECT_EQ(utf8ToGbk("ab 1\r\n"), "ab 1\r\n");
    EXPECT_EQ(utf8ToGbk(""), "");
}

TEST(GbkCodec, RoundTripsChineseText) {
    const std::string text = "★☆、—\u3000出生年份：1946年、1958年\r\n农历（公历时间：2024年2月4日—2024年3月4日）";
    EXPECT_EQ(gbkToUtf8(utf8ToGbk(text)), text);
}

TEST(GbkCodec, RejectsCharactersOutsideGbkNamingThem) {
    try {
        utf8ToGbk("好\U0001F600");
        FAIL() << "an emoji is not in GBK";
    } catch (const EncodingError& e) {
        EXPECT_NE(std::string(e.what()).find("U+1F600"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("byte 3"), std::string::npos) << e.what();
    }
    EXPECT_THROW(utf8ToGbk("\xE2\x82"), EncodingError);        // truncated UTF-8
    EXPECT_THROW(utf8ToGbk("\xC0\xAF"), EncodingError);        // overlong form of '/'
    EXPECT_THROW(utf8ToGbk("\u20A9"), EncodingError);           // won sign
    EXPECT_THROW(gbkToUtf8("\xB9"), EncodingError);            // lead byte without trail
    EXPECT_FALSE(text::isGbkEncodable("\u00E9\u0E01"));
    EXPECT_TRUE(text::isGbkEncodable("白羊座"));
}
