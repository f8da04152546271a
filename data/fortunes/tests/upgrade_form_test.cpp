#include "data/fortunes/fortune_texts.h"
#include "text_mutation.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

using namespace content;
using namespace content::testing;

namespace {

// Every LF is preceded by CR, every CR followed by LF, and the text ends in CR LF.
void expectCrLfLines(const std::string& text, std::size_t lines, const std::string& name) {
    ASSERT_GE(text.size(), 2u) << name;
    EXPECT_EQ(text.substr(text.size() - 2), "\r\n") << name;
    EXPECT_NE(text.substr(text.size() - 4), "\r\n\r\n") << name << " ends in an empty line";
    std::size_t crlf = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            EXPECT_TRUE(i > 0 && text[i - 1] == '\r') << name << ": bare LF at byte " << i;
            ++crlf;
        }
        if (text[i] == '\r') {
            EXPECT_TRUE(i + 1 < text.size() && text[i + 1] == '\n') << name << ": bare CR at byte " << i;
        }
    }
    EXPECT_EQ(crlf, lines) << name;
}

// Back to the repository form: UTF-8 with LF line ends.
std::string asStored(const std::string& upgradeForm) {
    std::string utf8 = text::gbkToUtf8(upgradeForm);
    std::string lf;
    for (char c : utf8)
        if (c != '\r') lf += c;
    return lf;
}

}  // namespace

TEST(FortuneUpgradeForm, EveryTextIsGbkWithCrLfAfterEveryLineTheLastIncluded) {
    const auto& texts = embeddedFortuneTexts();
    for (std::size_t i = 0; i < animalFortunes().size(); ++i) {
        const auto& fortune = animalFortunes()[i];
        const auto& yearly = texts[i];
        const auto& monthly = texts[12 + i];
        expectCrLfLines(fortune.yearlyText, linesOf(yearly.utf8).size(), yearly.fileName);
        expectCrLfLines(fortune.monthlyText, linesOf(monthly.utf8).size(), monthly.fileName);
        EXPECT_EQ(asStored(fortune.yearlyText), yearly.utf8) << yearly.fileName;
        EXPECT_EQ(asStored(fortune.monthlyText), monthly.utf8) << monthly.fileName;
    }
    for (std::size_t i = 0; i < horoscopes().size(); ++i) {
        const auto& stored = texts[24 + i];
        expectCrLfLines(horoscopes()[i].text, linesOf(stored.utf8).size(), stored.fileName);
        EXPECT_EQ(asStored(horoscopes()[i].text), stored.utf8) << stored.fileName;
    }
}

TEST(FortuneUpgradeForm, TextsAreCodePage936Bytes) {
    // 出生年份： in code page 936, then the first year.
    const std::string dogStart = "\xB3\xF6\xC9\xFA\xC4\xEA\xB7\xDD\xA3\xBA" "1946\xC4\xEA";
    EXPECT_EQ(animalFortunes()[0].yearlyText.substr(0, dogStart.size()), dogStart);
    // 整体运势： then CR LF and the empty line.
    EXPECT_EQ(horoscopes()[0].text.substr(0, 14), "\xD5\xFB\xCC\xE5\xD4\xCB\xCA\xC6\xA3\xBA\r\n\r\n");
}

TEST(FortuneUpgradeForm, ConversionEndsEveryLineAndNamesTheTextThatFails) {
    EXPECT_EQ(toUpgradeForm("甲\n\n乙", "t"), "\xBC\xD7\r\n\r\n\xD2\xD2\r\n");
    EXPECT_EQ(toUpgradeForm("甲\n乙\n", "t"), "\xBC\xD7\r\n\xD2\xD2\r\n");
    try {
        toUpgradeForm("好\n\U0001F600\n", "yearly-dog.txt (Memo1)");
        FAIL() << "a character outside GBK was converted";
    } catch (const FortuneTextError& e) {
        EXPECT_NE(std::string(e.what()).find("yearly-dog.txt (Memo1)"), std::string::npos) << e.what();
    }
}
