// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/send/SendLineFilter.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace quelvo {
namespace {

struct FilterRow {
  std::string line;
  SendFilterOptions options;
  std::string sent;  // characters given to the writer
  bool dropped;
};

SendFilterOptions Options(std::string sendMsg = "", std::string fNon = "N",
                          std::string nNon = "N", bool cutComments = true) {
  return SendFilterOptions{sendMsg, fNon, nNon, cutComments};
}
SendFilterOptions FNon() { return Options("", "Y"); }
SendFilterOptions NNon() { return Options("", "N", "Y"); }
SendFilterOptions Op7() { return Options("", "N", "N", false); }

std::string Drain(SendLineFilter& filter) {
  std::string sent;
  char ch;
  while (filter.Next(ch)) sent.push_back(ch);
  return sent;
}

TEST(SendLineFilter, Lines) {
  const std::vector<FilterRow> rows = {
      {"N10G01X5.", NNon(), "G01X5.", false},
      {"N10 G01", NNon(), " G01", false},
      {"G01N10", NNon(), "G01N10", false},
      {"N10G01", Options(), "N10G01", false},
      {"F100.", FNon(), "F100", false},
      {"F1.5", FNon(), "F1.5", false},
      {"F100.;", FNon(), "F100.", false},
      {"F100X10.", FNon(), "F100X10", false},
      {"G01X10.F100.", FNon(), "G01X10.F100", false},
      {"F100.", Options(), "F100.", false},
      {"(F100.)", FNon(), "(F100.)", false},
      {"G00X0;ABC", Options(), "G00X0", false},
      {"G00X0'ABC", Options(), "G00X0", false},
      {"G00X0;ABC", Op7(), "G00X0;ABC", false},
      {"(A;B)", Options(), "(A;B)", false},
      {"(A)B;C", Options(), "(A)B", false},
      {"XABCY", Options("ABC"), "X   Y", false},
      {"XabcY", Options("ABC"), "XabcY", false},
      {"ABCABC", Options("ABC"), "      ", false},
      {"G01\tX5", Options(), "G01X5", false},
      {"X5%Y", Options(), "X5Y", false},
      {"(50%)", Options(), "(50%)", false},
      {"%", Options(), "", true},
      {"%%", Options(), "", false},
      {"", Options(), "", false},
      // Only the decimal point of a feed word is ever withheld: a comment closed
      // after a feed word and a corner word after a feed go out whole.
      {"G01F100(FEED)", FNon(), "G01F100(FEED)", false},
      {"G01X10.F100,R5", FNon(), "G01X10.F100,R5", false},
      {"F100 M3", FNon(), "F100 M3", false},
  };
  for (const FilterRow& row : rows) {
    SendLineFilter filter = FilterSendLine(row.line, row.options);
    EXPECT_EQ(filter.Dropped(), row.dropped) << row.line;
    EXPECT_EQ(Drain(filter), row.sent) << row.line;
  }
}

TEST(SendLineFilter, LongSendMsgBecomesTwentyNineBlanks) {
  const std::string msg(40, 'Q');
  SendLineFilter filter = FilterSendLine("G01" + msg + "X5", Options(msg));
  const std::string sent = Drain(filter);
  EXPECT_EQ(sent, "G01" + std::string(29, ' ') + "X5");
  EXPECT_EQ(sent.size(), 3 + 40 + 2 - 11u);
}

TEST(SendLineFilter, HandsOutOneCharacterAtATime) {
  SendLineFilter filter = FilterSendLine("G01X5", Options());
  char ch = 0;
  ASSERT_TRUE(filter.Next(ch));
  EXPECT_EQ(ch, 'G');
  ASSERT_TRUE(filter.Next(ch));
  EXPECT_EQ(ch, '0');
  // The engine may stop here; the filter holds no other resource.
}

}  // namespace
}  // namespace quelvo
