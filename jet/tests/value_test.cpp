// Value formatting used by the dump output and date parsing used by creation.
#include <gtest/gtest.h>

#include "jet/value.h"

namespace jet {
namespace {

TEST(ValueFormat, DatesRoundTripAndHandleDaysBeforeTheEpoch) {
    EXPECT_EQ(formatDateTime(DateTime{0}), "1899-12-30T00:00:00");
    EXPECT_EQ(formatDateTime(DateTime{45000.75}), "2023-03-15T18:00:00");
    EXPECT_EQ(formatDateTime(DateTime{-1.25}), "1899-12-29T06:00:00");   // fraction counts forward
    DateTime parsed;
    ASSERT_TRUE(parseDateTime("2023-03-15 18:00:00", parsed));
    EXPECT_DOUBLE_EQ(parsed.days, 45000.75);
    ASSERT_TRUE(parseDateTime("2023-03-15", parsed));
    EXPECT_DOUBLE_EQ(parsed.days, 45000);
    EXPECT_FALSE(parseDateTime("2023-13-01", parsed));
    EXPECT_FALSE(parseDateTime("15.03.2023", parsed));
    EXPECT_FALSE(parseDateTime("2023-03-15 18:00:00x", parsed));
    EXPECT_EQ(formatDateTime(DateTime{1e300}), "invalid");
}

TEST(ValueFormat, JsonEscapesControlCharactersAndKeepsUtf8) {
    EXPECT_EQ(valueToJson(std::string("a\"b\\c\n\x01中")), "\"a\\\"b\\\\c\\n\\u0001中\"");
    EXPECT_EQ(valueToJson(Value{}), "null");
    EXPECT_EQ(valueToJson(true), "true");
    EXPECT_EQ(valueToJson(std::int64_t{-7}), "-7");
    EXPECT_EQ(valueToJson(Blob{0x00, 0xAB}), "\"00ab\"");
    EXPECT_EQ(valueToJson(Money{-12345}), "\"-1.2345\"");
    EXPECT_EQ(valueToJson(0.5), "0.5");
}

}  // namespace
}  // namespace jet
