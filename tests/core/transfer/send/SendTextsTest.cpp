// SPDX-License-Identifier: GPL-3.0-or-later
// The pieces of a send that need no line: the remaining-time estimate, the OSP file name and the handshake interval.
#include <gtest/gtest.h>

#include "core/transfer/receive/OspFileName.h"
#include "core/transfer/send/SendSequences.h"
#include "core/transfer/send/SendTimeEstimate.h"

namespace quelvo {
namespace {

TEST(SendTimeEstimate, UsesTheThroughputOfTheLastIntervalOnly) {
  SendCounters c;
  c.TotalChars = 10000;
  c.SentChars = 10;
  EstimateRemainingTime(c);  // ten characters are no progress
  EXPECT_EQ(c.RemainingSeconds, 0);
  EXPECT_EQ(c.LastSampleChars, 0);

  c.SentChars = 1000;  // 100 characters a second
  EstimateRemainingTime(c);
  EXPECT_EQ(c.RemainingSeconds, 90);
  EXPECT_EQ(c.LastSampleChars, 1000);

  c.SentChars = 1500;  // slowed down to 50 a second
  EstimateRemainingTime(c);
  EXPECT_EQ(c.RemainingSeconds, 170);

  // A new pass starts the counters again: no negative time, no change.
  c.SentChars = 0;
  EstimateRemainingTime(c);
  EXPECT_EQ(c.RemainingSeconds, 170);
  EXPECT_EQ(c.LastSampleChars, 1500);
}

TEST(OspFileName, KnownExtensionsStayOthersBecomeMin) {
  EXPECT_EQ(OspFileName("/home/op/part1.nc"), "PART1.MIN");
  EXPECT_EQ(OspFileName("/home/op/sub1.ssb"), "SUB1.SSB");
  EXPECT_EQ(OspFileName("/home/op/main.Rpd"), "MAIN.RPD");
  EXPECT_EQ(OspFileName("/home/op.d/prog"), "PROG.MIN");
  EXPECT_EQ(OspFileName("a.b.sdf"), "A.B.SDF");
  EXPECT_EQ(OspFileName("a.sdf.txt"), "A.SDF.MIN");
}

TEST(SendSequences, CheckIntervalSteps) {
  const std::pair<int, int32_t> rows[] = {{0, 10},   {8, 50},   {9, 60},   {13, 100}, {14, 120},
                                          {18, 200}, {19, 250}, {24, 500}, {25, 600}, {29, 1000}};
  for (const auto& [index, interval] : rows) EXPECT_EQ(CheckIntervalFor(index, 7), interval) << index;
  EXPECT_EQ(CheckIntervalFor(30, 7), 7);
  EXPECT_EQ(CheckIntervalFor(-1, 7), 7);
}

}  // namespace
}  // namespace quelvo
