// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "core/settings/CommSettingFields.h"
#include "core/settings/SetdataFields.h"
#include "core/settings/TapeDeviceRule.h"
#include "core/settings/WaitTimeText.h"
#include "core/transfer/link/SystemPortProber.h"
#include "support/TempFolder.h"

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

TEST(SetdataFields, PagesListTheirControlsInOrderWithTheFieldsItems) {
  std::vector<std::string> receive, send;
  for (const SetdataRow& row : SetdataRows()) {
    (row.page == SetdataPage::Receive ? receive : send).push_back(row.component);
    if (row.kind == SetdataRowKind::List) {
      EXPECT_FALSE(ChoicesOf(row.intMember).empty()) << row.component;
    }
  }
  EXPECT_EQ(receive, (std::vector<std::string>{"receiveSpeed", "receiveCode", "receiveStopBits", "receivePort",
                                               "programNumber", "spaceHandling", "receiveStartSignal", "tapeReader",
                                               "receiveBuffer", "receiveLineEnd", "receiveFlowControl",
                                               "percentAdded"}));
  EXPECT_EQ(send.size(), 14u);
  EXPECT_EQ(send[9], "waitTime");
  EXPECT_EQ(send.back(), "dncRun");
  EXPECT_TRUE(SetdataRows().back().hidden);
  // Seven receive lists follow the line, one follows the tape reader.
  int line = 0, tape = 0;
  for (const SetdataRow& row : SetdataRows()) {
    if (row.page != SetdataPage::Receive) continue;
    line += row.tapeRole == TapeRole::LineParameter;
    tape += row.tapeRole == TapeRole::TapeOnly;
  }
  EXPECT_EQ(line, 7);
  EXPECT_EQ(tape, 1);
  ASSERT_EQ(SetdataTexts().size(), 6u);
  EXPECT_TRUE(SetdataTexts()[1].disabledWhenEmpty);
  EXPECT_FALSE(SetdataTexts()[3].disabledWhenEmpty);  // the mail flag is always editable
}

TEST(SetdataFields, ListPositionsAndStoredValues) {
  EXPECT_EQ(ListPositionFor(3, 4), 3);
  EXPECT_EQ(ListPositionFor(4, 4), -1);
  EXPECT_EQ(ListPositionFor(-1, 4), -1);
  EXPECT_EQ(ValueForListPosition(2, 9), 2);
  EXPECT_EQ(ValueForListPosition(-1, 9), 9);
  EXPECT_TRUE(SettingNameLocked(6));
  EXPECT_TRUE(SettingNameLocked(12));
  EXPECT_FALSE(SettingNameLocked(7));
  EXPECT_FALSE(TestMailAddressUsable(""));
  EXPECT_FALSE(TestMailAddressUsable("shop.example"));
  EXPECT_TRUE(TestMailAddressUsable("a@b"));
  EXPECT_EQ(TestMailBody("2026/12/07 10:00:00"), "2026/12/07 10:00:00\nテスト送信");
}

TEST(SystemPortProber, AdapterPathsUsbFirstThenAcmByNumber) {
  test::TempFolder dev;
  for (const char* name : {"ttyACM1", "ttyUSB10", "ttyS0", "ttyUSB2", "ttyACM0", "ttyUSBx"}) {
    std::ofstream(dev.Path() + "/" + name);
  }
  EXPECT_EQ(AdapterDevicePaths(dev.Path()),
            (std::vector<std::string>{dev.Path() + "/ttyUSB2", dev.Path() + "/ttyUSB10",
                                      dev.Path() + "/ttyACM0", dev.Path() + "/ttyACM1"}));
  EXPECT_TRUE(AdapterDevicePaths(dev.Path() + "/missing").empty());
}

TEST(SystemPortProber, ByIdNamesThatLeadToADevice) {
  test::TempFolder byId;
  std::ofstream(byId.Path() + "/plain-file");
  ASSERT_EQ(symlink("/dev/null", (byId.Path() + "/usb-B-if00-port0").c_str()), 0);
  ASSERT_EQ(symlink("/dev/null", (byId.Path() + "/usb-A-if00-port0").c_str()), 0);
  ASSERT_EQ(symlink("../gone", (byId.Path() + "/usb-C-if00-port0").c_str()), 0);
  EXPECT_EQ(SerialByIdPaths(byId.Path()),
            (std::vector<std::string>{byId.Path() + "/usb-A-if00-port0", byId.Path() + "/usb-B-if00-port0"}));
  EXPECT_TRUE(SerialByIdPaths(byId.Path() + "/missing").empty());
}

}  // namespace
}  // namespace quelvo
