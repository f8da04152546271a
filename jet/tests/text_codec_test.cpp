// Text as Jet stores it: UCS-2 and compressed Unicode, and UTF-8 at the API.
#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "jet/write/column_value.h"
#include "jet/format/text_codec.h"

namespace jet {
namespace {

std::string decode(std::vector<std::uint8_t> bytes) { return decodeStoredText(Bytes(bytes.data(), bytes.size())); }

TEST(TextCodec, DecodesCompressedTextWithModeSwitches) {
    EXPECT_EQ(decode({0xFF, 0xFE, 'a', 'b', 'c'}), "abc");
    // 'a', switch to two-byte mode, U+4E2D, switch back, 'b'.
    EXPECT_EQ(decode({0xFF, 0xFE, 'a', 0x00, 0x2D, 0x4E, 0x00, 'b'}), "a中b");
    // A dangling half character at the end is dropped, not read past the end.
    EXPECT_EQ(decode({0xFF, 0xFE, 0x00, 0x2D}), "");
}

TEST(TextCodec, DecodesUcs2IncludingSurrogatesAndRepairsBrokenOnes) {
    EXPECT_EQ(decode({0x2D, 0x4E, 0x87, 0x65}), "中文");
    EXPECT_EQ(decode({0x3D, 0xD8, 0x00, 0xDE}), "\xF0\x9F\x98\x80");   // U+1F600
    EXPECT_EQ(decode({0x3D, 0xD8, 'a', 0x00}), "\xEF\xBF\xBD" "a");
    EXPECT_EQ(decode({'a', 0x00, 'b'}), "a");
}

TEST(TextCodec, EncodesCompressedOnlyWhenAllowedAndPossible) {
    EXPECT_EQ(encodeStoredText("abc", true), (std::vector<std::uint8_t>{0xFF, 0xFE, 'a', 'b', 'c'}));
    EXPECT_EQ(encodeStoredText("abc", false), (std::vector<std::uint8_t>{'a', 0, 'b', 0, 'c', 0}));
    EXPECT_EQ(encodeStoredText("a中", true), (std::vector<std::uint8_t>{'a', 0, 0x2D, 0x4E}));
    EXPECT_TRUE(encodeStoredText("", true).empty());
    for (const std::string sample : {"plain", "中文 mixed", "\xF0\x9F\x98\x80"}) {
        const auto bytes = encodeStoredText(sample, true);
        EXPECT_EQ(decodeStoredText(Bytes(bytes.data(), bytes.size())), sample);
    }
}

TEST(TextCodec, RejectsMalformedUtf8) {
    EXPECT_THROW(utf8ToUtf16("\xC3"), std::invalid_argument);
    EXPECT_THROW(utf8ToUtf16("\xC0\x80"), std::invalid_argument);
    EXPECT_THROW(utf8ToUtf16("\xED\xA0\x80"), std::invalid_argument);
    EXPECT_THROW(utf8ToUtf16("\xFF"), std::invalid_argument);
}

// The writer's column encoder works in place (three-byte runs in a fast loop, compression done
// by shifting bytes down); it must store exactly what the plain encoder (encodeStoredText) stores.
TEST(TextCodec, ColumnEncoderMatchesTheBuilder) {
    const std::vector<std::string> samples = {"", "a", "ab", "abc", "abcdefgh", "\xC3\xA9", "a\xC3\xA9z", "中", "中文", "a中", "中a", "ab中cd",
                                              "\xF0\x9F\x98\x80", "x\xF0\x9F\x98\x80y", "\xC3\xA9\xC3\xA8\xC3\xA0", std::string("a\0b", 3)};
    for (const bool compressed : {false, true}) {
        ColumnDefinition column;
        column.name = "c";
        column.type = static_cast<std::uint8_t>(ColumnType::Text);
        column.length = 2 * 255;
        column.extendedFlags = compressed ? kColumnCompressedUnicodeFlag : 0;
        for (const std::string& sample : samples) {
            SCOPED_TRACE(sample);
            EXPECT_EQ(encodeTextValue(column, Value(sample)), encodeStoredText(sample, compressed));
            std::vector<std::uint8_t> appended{0x11, 0x22};
            appendFieldBytes(column, Value(sample), appended);
            EXPECT_EQ(std::vector<std::uint8_t>(appended.begin() + 2, appended.end()), encodeStoredText(sample, compressed));
        }
        for (const std::string bad : {"\xC3", "\xE4\xB8", "a\xE4" "b", "\xF0\x9F\x98", "\xFF", "\x80"})
            EXPECT_THROW(encodeTextValue(column, Value(bad)), std::invalid_argument);
    }
}

// Text handed over as UTF-16 must be stored exactly as the same text in UTF-8: lengths around the
// eight-unit blocks the check works in, compressible and wide characters and surrogate pairs in
// every position, and unpaired surrogates refused wherever they are.
TEST(ColumnTextEncoding, Utf16AndUtf8GiveTheSameStoredBytes) {
    const std::vector<std::pair<std::string, std::u16string>> pieces = {
        {"a", u"a"}, {"é", u"é"}, {"ÿ", u"ÿ"}, {"Ā", u"Ā"}, {"黄", u"黄"}, {"😀", u"😀"}, {std::string(1, '\0'), std::u16string(1, u'\0')}};
    std::mt19937 random(7);
    for (const std::uint8_t flags : {std::uint8_t{0}, kColumnCompressedUnicodeFlag}) {
        ColumnDefinition column;
        column.name = "t";
        column.type = static_cast<std::uint8_t>(ColumnType::Memo);
        column.extendedFlags = flags;
        for (int round = 0; round < 4000; ++round) {
            std::string utf8;
            std::u16string utf16;
            const std::size_t count = random() % 40;
            // Mostly one kind of character, so that whole blocks are compressible or not.
            const std::size_t usual = random() % pieces.size();
            for (std::size_t i = 0; i < count; ++i) {
                const auto& piece = pieces[random() % 8 == 0 ? random() % pieces.size() : usual];
                utf8 += piece.first;
                utf16 += piece.second;
            }
            ASSERT_EQ(encodeTextValue(column, Value(utf16)), encodeTextValue(column, Value(utf8))) << "round " << round;
            if (utf16.empty()) continue;
            std::u16string unpaired = utf16;
            unpaired.insert(unpaired.begin() + static_cast<std::ptrdiff_t>(random() % (unpaired.size() + 1)), char16_t(random() % 2 ? 0xD834 : 0xDD1E));
            // Inside a pair it leaves a surrogate of the pair alone, or pairs with one and leaves the other.
            EXPECT_THROW(encodeTextValue(column, Value(unpaired)), std::invalid_argument) << "round " << round;
        }
    }
}

}  // namespace
}  // namespace jet
