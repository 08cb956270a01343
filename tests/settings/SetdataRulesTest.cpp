#include <gtest/gtest.h>

#include "settings/TapeDeviceRule.h"
#include "settings/WaitTimeText.h"

namespace quelvo {
namespace {

TEST(WaitTimeText, AcceptsWholeMillisecondsThatFitInt32) {
  EXPECT_EQ(ParseWaitTime("").status, WaitTimeStatus::Empty);
  EXPECT_EQ(ParseWaitTime("0").milliseconds, 0);
  EXPECT_EQ(ParseWaitTime("0025").milliseconds, 25);
  const WaitTimeParse max = ParseWaitTime("2147483647");
  EXPECT_EQ(max.status, WaitTimeStatus::Ok);
  EXPECT_EQ(max.milliseconds, 2147483647);
  EXPECT_EQ(ParseWaitTime("2147483648").status, WaitTimeStatus::TooLarge);
  EXPECT_EQ(ParseWaitTime("99999999999999999999999").status, WaitTimeStatus::TooLarge);
  EXPECT_EQ(ParseWaitTime("12a").status, WaitTimeStatus::NotDigits);
  EXPECT_EQ(ParseWaitTime("-1").status, WaitTimeStatus::NotDigits);
  EXPECT_FALSE(WaitTimeRefusal(WaitTimeStatus::TooLarge).empty());
  EXPECT_TRUE(WaitTimeRefusal(WaitTimeStatus::Empty).empty());
}

TEST(TapeDeviceRule, TapeSpeedSwapsLineAndTapeLists) {
  for (int speed : {0, 4, 6, -1}) {
    EXPECT_EQ(TapeRuleEffect(TapeRole::LineParameter, speed), TapeEffect::Enable);
    EXPECT_EQ(TapeRuleEffect(TapeRole::TapeOnly, speed), TapeEffect::Disable);
    EXPECT_EQ(TapeRuleEffect(TapeRole::EnabledOffTape, speed), TapeEffect::Enable);
  }
  EXPECT_EQ(TapeRuleEffect(TapeRole::LineParameter, 5), TapeEffect::Disable);
  EXPECT_EQ(TapeRuleEffect(TapeRole::TapeOnly, 5), TapeEffect::Enable);
  EXPECT_EQ(TapeRuleEffect(TapeRole::EnabledOffTape, 5), TapeEffect::Leave);
  EXPECT_EQ(TapeRuleEffect(TapeRole::Unaffected, 5), TapeEffect::Leave);
}

}  // namespace
}  // namespace quelvo
