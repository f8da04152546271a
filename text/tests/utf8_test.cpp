#include "text/utf8.h"

#include <gtest/gtest.h>

using namespace text;

namespace {

TEST(Utf16FromUtf8, PairsCharactersBeyondTheBasicPlaneAndReplacesMalformedBytes) {
    std::u16string units = u"x";
    appendUtf16(units, "a\xC3\xA9\xE9\xBB\x84\xF0\x9F\x98\x80");   // a, é, 黄, 😀
    EXPECT_EQ(units, u"xaé黄😀");
    units.clear();
    appendUtf16(units, "a\xE9\xBB" "b\xFF");   // a cut-off sequence and a byte no sequence starts with
    EXPECT_EQ(units, u"a\uFFFD\uFFFDb\uFFFD");
}

}  // namespace
