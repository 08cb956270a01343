// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/common/NumberFormat.h"

#include <gtest/gtest.h>

namespace quelvo {
namespace {

struct Case {
  const char* pattern;
  double value;
  const char* expected;
};

// Shown in the test's name list and in a failure: the pattern and the value.
void PrintTo(const Case& c, std::ostream* os) { *os << c.pattern << " " << c.value; }

// The patterns the program formats its texts with, one row each.
const Case kPatternsOfTheProgram[] = {
    {"####0.00ﾒｰﾄﾙ", 0, "0.00ﾒｰﾄﾙ"},
    {"####0.00ﾒｰﾄﾙ", 3 * 0.00254, "0.01ﾒｰﾄﾙ"},
    {"####0.00ﾒｰﾄﾙ", 123456.789, "123456.79ﾒｰﾄﾙ"},
    {"###,###,##0ﾊﾞｲﾄ", 0, "0ﾊﾞｲﾄ"},
    {"###,###,##0ﾊﾞｲﾄ", 999, "999ﾊﾞｲﾄ"},
    {"###,###,##0ﾊﾞｲﾄ", 1000, "1,000ﾊﾞｲﾄ"},
    {"###,###,##0ﾊﾞｲﾄ", 1234567, "1,234,567ﾊﾞｲﾄ"},
    {"###,###,##0ﾊﾞｲﾄ", 1234567890, "1,234,567,890ﾊﾞｲﾄ"},  // more digits than places
    {"###,###,###,##0ﾊﾞｲﾄ", 104857600, "104,857,600ﾊﾞｲﾄ"},
    {"###,###,###,##0ﾊﾞｲﾄ", 123456789012.0, "123,456,789,012ﾊﾞｲﾄ"},
    {"#0秒", 0, "0秒"},
    {"#0秒", 7, "7秒"},
    {"#0秒", 125, "125秒"},
    {"#0分", 59, "59分"},
    {"00秒", 5, "05秒"},
    {"00分", 0, "00分"},
    {"##0時", 0, "0時"},
    {"##0時", 12, "12時"},
    {"000", 7, "007"},
    {"000", 1234, "1234"},
    {"0", 0, "0"},
    {"0", 41.4, "41"},
    {"0.00", 1, "1.00"},
    {"0.000", 0.0005, "0.001"},
    {"0.000", 0.0004, "0.000"},
    {"_000", 5, "_005"},
    {"_000", 12345, "_12345"},
};

class NumberFormatPatternTest : public testing::TestWithParam<Case> {};

TEST_P(NumberFormatPatternTest, PatternsOfTheProgram) {
  const Case& c = GetParam();
  EXPECT_EQ(FormatFloat(c.pattern, c.value), c.expected) << c.pattern << " " << c.value;
}

INSTANTIATE_TEST_SUITE_P(NumberFormatTest, NumberFormatPatternTest, testing::ValuesIn(kPatternsOfTheProgram));

TEST(NumberFormatTest, RoundsHalfAwayFromZero) {
  EXPECT_EQ(FormatFloat("0", 2.5), "3");
  EXPECT_EQ(FormatFloat("0", -2.5), "-3");
  EXPECT_EQ(FormatFloat("0.00", 0.125), "0.13");
  EXPECT_EQ(FormatFloat("#0", 0.5), "1");
  // Stored as 9.99499999... and 2.67499999...: the decimal text decides.
  EXPECT_EQ(FormatFloat("0.00", 9.995), "10.00");
  EXPECT_EQ(FormatFloat("####0.00ﾒｰﾄﾙ", 2.675), "2.68ﾒｰﾄﾙ");
  EXPECT_EQ(FormatFloat("0.00", 0.1 * 3), "0.30");
  EXPECT_EQ(FormatFloat("#0秒", 59.5), "60秒");
  EXPECT_EQ(FormatFloat("###,##0", 999999.5), "1,000,000");
}

TEST(NumberFormatTest, SignsOptionalDigitsAndEmptyResults) {
  EXPECT_EQ(FormatFloat("0.00", -1.234), "-1.23");
  EXPECT_EQ(FormatFloat("0.00", -0.001), "0.00");  // no sign on a value shown as zero
  EXPECT_EQ(FormatFloat("#", 0), "");
  EXPECT_EQ(FormatFloat("0.##", 1.5), "1.5");
  EXPECT_EQ(FormatFloat("0.##", 1), "1");
}

}  // namespace
}  // namespace quelvo
