// SPDX-License-Identifier: GPL-3.0-or-later
// One detection on a port as the settings dialog runs it: the punches heard,
// the proposal for the receive half, and the ways it ends without one.
#include <gtest/gtest.h>

#include <cerrno>
#include <string>

#include "core/transfer/link/DetectionRun.h"
#include "support/FakeSerialPort.h"
#include "support/VirtualClock.h"

namespace quelvo {
namespace {

std::string Tape(TapeCode code, int lines) {
  std::string text = "%\n";
  for (int i = 0; i < lines; ++i) text += "N" + std::to_string(i) + "G01X10.Y-5.F200\n";
  text += "M30\n%\n";
  std::string wire;
  for (const char c : text) {
    if (const auto b = EncodeChar(code, static_cast<uint8_t>(c))) wire += static_cast<char>(*b);
  }
  return wire;
}

TEST(DetectionRun, APunchAtTheFirstSpeedIsFoundAndProposedForTheReceiveHalf) {
  struct Case {
    TapeCode code;
    int Code_R;
  };
  for (const Case c : {Case{TapeCode::ISO, 3}, Case{TapeCode::EIA, 2}}) {
    SCOPED_TRACE(TapeCodeName(c.code));
    VirtualClock clock;
    FakeSerialPort port(clock);
    port.QueueIncoming(Tape(c.code, 40), 10);
    std::vector<std::string> heard;
    DetectionCallbacks callbacks;
    callbacks.listening = [&](int punch, int speed, int bits) {
      heard.push_back(std::to_string(punch) + ":" + std::to_string(speed) + "/" + std::to_string(bits));
    };
    std::string error;
    const auto found = RunLineDetection(port, "/dev/ttyS0", 2, callbacks, &error);
    ASSERT_TRUE(found.has_value()) << error;
    EXPECT_EQ(heard, std::vector<std::string>{"1:19200/8"});
    EXPECT_FALSE(port.IsOpen());
    ASSERT_TRUE(found->speedFound) << found->reason;
    EXPECT_EQ(found->speed, 19200);
    ASSERT_EQ(found->codes.size(), 1u);
    EXPECT_EQ(found->codes[0], c.code);

    CommSetting before;
    before.Speed_R = 0, before.STbit_R = 0, before.Code_R = 0, before.Speed_S = 3, before.Port_R = "COM2";
    const CommSetting proposed = ProposedReceiveHalf(before, *found, false);
    EXPECT_EQ(proposed.Speed_R, 4);
    EXPECT_EQ(proposed.Code_R, c.Code_R);
    EXPECT_EQ(proposed.STbit_R, 1);
    EXPECT_EQ(proposed.Speed_S, 3) << "the send half is left alone";
    EXPECT_EQ(proposed.Port_R, "COM2");
    EXPECT_EQ(ProposedReceiveHalf(before, *found, true).Speed_R, 0) << "a fixed speed is kept";
    const std::string text = DetectionProposalText(*found, false);
    EXPECT_NE(text.find("通信速度: 19200"), std::string::npos) << text;
    EXPECT_NE(text.find(std::string("コード: ") + TapeCodeName(c.code)), std::string::npos) << text;
  }
}

TEST(DetectionRun, AStopOrAFailedPortEndsWithoutAProposal) {
  VirtualClock clock;
  FakeSerialPort port(clock);
  std::string error;
  DetectionCallbacks stopped;
  stopped.keepGoing = [] { return false; };
  EXPECT_FALSE(RunLineDetection(port, "/dev/ttyS0", 2, stopped, &error).has_value());
  EXPECT_FALSE(port.IsOpen());

  port.openErrno = EBUSY;
  EXPECT_FALSE(RunLineDetection(port, "/dev/ttyS0", 2, DetectionCallbacks{}, &error).has_value());
  EXPECT_NE(error.find("/dev/ttyS0"), std::string::npos) << error;
}

}  // namespace
}  // namespace quelvo
