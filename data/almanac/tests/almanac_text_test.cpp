// Reading the table text, and the accessor the almanac upgrade uses.

#include "data/almanac/almanac_table.h"
#include "data/almanac/almanac_text.h"
#include "text/gbk_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using content::AlmanacFormatError;
using content::parseAlmanacText;

const std::string kHeader = "gn\tnn\tsuici\ttszf\twuhang\tcong\tpzbj\tjsyq\tyi\txsyq\tji\n";
const std::string kRow = "2021-01-01\ta\tb\tc\td\te\tf\tg\th\ti\tj\n";

std::string formatErrorOf(const std::string& text) {
    try {
        parseAlmanacText(text, "test.tsv");
    } catch (const AlmanacFormatError& e) {
        return e.what();
    }
    return "";
}

TEST(AlmanacText, ReadsRowsAndAcceptsCrLf) {
    const std::string lf = kHeader + kRow + kRow;
    const auto rows = parseAlmanacText(lf, "test.tsv");
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[1][0], "2021-01-01");
    EXPECT_EQ(rows[1][10], "j");

    std::string crlf = kHeader + kRow;
    crlf.replace(crlf.find('\n'), 1, "\r\n");
    crlf.replace(crlf.rfind('\n'), 1, "\r\n");
    EXPECT_EQ(parseAlmanacText(crlf, "test.tsv")[0][10], "j");
}

TEST(AlmanacText, RejectsMalformedTextNamingFileLineAndCause) {
    std::string badHeader = kHeader;
    badHeader.replace(badHeader.find("suici"), 5, "sui");
    const std::string shortRow = kHeader + "2021-01-01\ta\tb\n";
    const std::string emptyField = kHeader + "2021-01-01\t\tb\tc\td\te\tf\tg\th\ti\tj\n";

    EXPECT_NE(formatErrorOf(badHeader).find("header column 3"), std::string::npos) << formatErrorOf(badHeader);
    EXPECT_NE(formatErrorOf(shortRow).find("line 2: 3 fields, expected 11"), std::string::npos);
    EXPECT_NE(formatErrorOf(emptyField).find("column nn is empty"), std::string::npos);
    EXPECT_NE(formatErrorOf("").find("test.tsv (almanac table huangdao)"), std::string::npos);
    EXPECT_NE(formatErrorOf(kHeader + "2021-01-01\ta").find("line break"), std::string::npos);
}

TEST(AlmanacAccessor, GivesUtf8AndGbkValuesAndRejectsDaysPastTheEnd) {
    const std::size_t count = content::almanacDayCount();
    ASSERT_GT(count, 0u);
    const auto utf8 = content::almanacDay(count - 1);
    const auto gbk = content::almanacDayGbk(count - 1);
    for (std::size_t c = 0; c < utf8.size(); ++c) EXPECT_EQ(text::gbkToUtf8(gbk[c]), utf8[c]);
    EXPECT_EQ(content::almanacDayGbk(0)[2].substr(0, 4), "\xB8\xFD\xD7\xD3");  // 庚子

    EXPECT_THROW(content::almanacDay(count), std::out_of_range);
    EXPECT_THROW(content::almanacDayGbk(count), std::out_of_range);
}

}  // namespace
