#include "text/utf8.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <random>

using namespace text;

namespace {

// Code points at the edges of each UTF-8 sequence length and around the surrogates.
const char32_t kEdges[] = {0x01, 0x7F, 0x80, 0x7FF, 0x800, 0xD7FF, 0xE000, 0xFFFD, 0xFFFF, 0x10000, 0x10FFFF};

TEST(Utf16FromUtf8, PairsCharactersBeyondTheBasicPlaneAndReplacesMalformedBytes) {
    std::u16string units = u"x";
    appendUtf16(units, "a\xC3\xA9\xE9\xBB\x84\xF0\x9F\x98\x80");   // a, é, 黄, 😀
    EXPECT_EQ(units, u"xaé黄😀");
    units.clear();
    appendUtf16(units, "a\xE9\xBB" "b\xFF");   // a cut-off sequence and a byte no sequence starts with
    EXPECT_EQ(units, u"a\uFFFD\uFFFDb\uFFFD");
}

TEST(Utf8Conversion, EdgeCodePointsSurviveBothWays) {
    for (const char32_t c : kEdges) {
        std::string utf8;
        appendUtf8(utf8, c);
        EXPECT_EQ(utf8.size(), c < 0x80 ? 1u : c < 0x800 ? 2u : c < 0x10000 ? 3u : 4u) << std::hex << std::uint32_t(c);
        EXPECT_EQ(std::uint32_t(decodeUtf8At(utf8, 0)), std::uint32_t(c));
        std::u16string units;
        ASSERT_FALSE(appendUtf16Strict(units, utf8)) << std::hex << std::uint32_t(c);
        EXPECT_EQ(units.size(), c >= 0x10000 ? 2u : 1u);
        EXPECT_EQ(utf16LengthOfUtf8(utf8), units.size());
        std::string back;
        ASSERT_FALSE(appendUtf8Strict(back, units));
        EXPECT_EQ(back, utf8);
    }
}

TEST(Utf8Conversion, StrictDecoderNamesTheFirstMalformedByte) {
    const struct {
        const char* utf8;
        std::size_t bad;
    } cases[] = {
        {"ab\xC3", 2},              // cut off
        {"a\xC0\xAF", 1},           // overlong '/'
        {"\xE0\x80\xAF", 0},        // overlong, three bytes
        {"\xF0\x80\x80\xAF", 0},    // overlong, four bytes
        {"x\xED\xA0\x80", 1},       // surrogate half
        {"\xF4\x90\x80\x80", 0},    // past U+10FFFF
        {"\xE9\xBB\x84\x84", 3},    // stray continuation byte
        {"\xE9\x41\x84", 0},        // lead byte without its continuations
        {"\xFF", 0},
    };
    for (const auto& c : cases) {
        std::u16string units;
        EXPECT_EQ(appendUtf16Strict(units, c.utf8), c.bad) << c.utf8;
        EXPECT_EQ(findInvalidUtf8(c.utf8), c.bad);
        EXPECT_FALSE(utf16LengthOfUtf8(c.utf8));
        EXPECT_EQ(std::uint32_t(decodeUtf8At(c.utf8, c.bad)), 0xFFFDu);
    }
}

TEST(Utf8Conversion, StrictEncoderNamesTheFirstUnpairedSurrogate) {
    std::string out;
    EXPECT_EQ(appendUtf8Strict(out, u"ab\xD800"), 2u);           // high half at the end
    EXPECT_EQ(appendUtf8Strict(out, std::u16string{u'a', 0xDC00}), 1u);   // low half alone
    EXPECT_EQ(appendUtf8Strict(out, std::u16string{0xD83D, u'x'}), 0u);   // high half before a non-surrogate
    out.clear();
    EXPECT_FALSE(appendUtf8Strict(out, u"黄😀"));
    EXPECT_EQ(out, "\xE9\xBB\x84\xF0\x9F\x98\x80");
}

// The lenient writer the Access readers use: valid text as the strict encoder gives it, unpaired
// halves as U+FFFD, and never more than the room it reserved.
TEST(Utf16ToUtf8Writer, AgreesWithTheStrictEncoderAndRepairsUnpairedHalves) {
    auto written = [](std::u16string_view units) {
        std::string out;
        Utf16ToUtf8Writer writer(out, units.size());
        const std::size_t room = out.size();
        for (char16_t unit : units) writer.put(unit);
        writer.finish();
        EXPECT_LE(out.size(), room);
        return out;
    };
    const std::u16string valid = u"a é 黄\uFFFF😀\U0010FFFF";
    std::string strict;
    ASSERT_FALSE(appendUtf8Strict(strict, valid));
    EXPECT_EQ(written(valid), strict);
    EXPECT_EQ(written(std::u16string{0xD800, u'a', 0xDC00, 0xD800}), "\uFFFD" "a" "\uFFFD" "\uFFFD");
    EXPECT_EQ(written(std::u16string(40, u'黄')).size(), 120u);   // the worst case fills the room
    EXPECT_EQ(written(u""), "");
}

// Random bytes weighted towards sequence bytes: the validator, the unit count and both decoders
// agree on every input.
TEST(Utf8Conversion, ValidatorCounterAndDecodersAgreeOnRandomBytes) {
    std::mt19937 random(17);
    const unsigned char pool[] = {'a', 0x7F, 0x80, 0xBF, 0xC2, 0xDF, 0xE0, 0xED, 0xEF, 0xA0, 0x9F, 0xF0, 0xF4, 0x90, 0x8F, 0xF5, 0xC0, 0xFF};
    for (int round = 0; round < 4000; ++round) {
        std::string bytes;
        const int length = static_cast<int>(random() % 9);
        for (int i = 0; i < length; ++i) bytes.push_back(static_cast<char>(pool[random() % sizeof pool]));
        std::u16string strict, lenient;
        const auto bad = appendUtf16Strict(strict, bytes);
        appendUtf16(lenient, bytes);
        EXPECT_EQ(findInvalidUtf8(bytes), bad) << "round " << round;
        if (bad) {
            EXPECT_FALSE(utf16LengthOfUtf8(bytes));
            EXPECT_EQ(lenient.substr(0, strict.size()), strict);
            EXPECT_EQ(lenient[strict.size()], u'\uFFFD');
        } else {
            EXPECT_EQ(utf16LengthOfUtf8(bytes), strict.size());
            EXPECT_EQ(lenient, strict);
            std::string back;
            ASSERT_FALSE(appendUtf8Strict(back, strict));
            EXPECT_EQ(back, bytes);
        }
    }
}

}  // namespace
