// SPDX-License-Identifier: GPL-3.0-or-later
#include <cerrno>

#include "LinkFixture.h"

namespace quelvo {
namespace {

using Lines = std::vector<std::string>;

// A send in progress: the port is open, the control has said go.
class ByteTransferTest : public LinkFixture {
 protected:
  void OpenForSend(TapeCode code = TapeCode::ISO) {
    ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send));
    log.Clear();
    ByteTransferState& s = link.State();
    s.codes.CurrentCode = code;
    s.codes.GoFlag = true;
    s.LineSeenFlag = true;
    s.CheckInterval = 10;
    s.SentSinceCheck = 0;
  }
  // True when the link took every character.
  bool Write(const std::string& text) {
    bool taken = true;
    for (char c : text) taken = link.WriteByte(static_cast<uint8_t>(c)) && taken;
    return taken;
  }
};

TEST_F(ByteTransferTest, APauseHoldsWritingUntilTheControlSaysGoAgain) {
  OpenForSend();
  link.State().CheckInterval = 2;
  std::vector<int64_t> writtenAt;
  port.onWrite = [&](uint8_t) {
    writtenAt.push_back(clock.nowMs);
    if (writtenAt.size() == 2) {
      port.QueueIncoming("\x93");
      port.QueueIncoming("\x11", clock.nowMs + 500);
    }
  };
  EXPECT_TRUE(Write("G01X"));
  EXPECT_EQ(port.written, "\x47\x30\xB1\xD8");
  ASSERT_EQ(writtenAt.size(), 4u);
  EXPECT_GE(writtenAt[2] - writtenAt[1], 500) << "the third character waits for DC1";
  EXPECT_LT(writtenAt[3] - writtenAt[2], 100);
  EXPECT_EQ(link.State().SentSinceCheck, 2);
  EXPECT_EQ(host.pauseHistory, (std::vector<bool>{true, false})) << "one pause, reported once, and its end";
}

TEST_F(ByteTransferTest, CheckIntervalOneReadsTheLineBeforeEveryCharacter) {
  OpenForSend();
  link.State().CheckInterval = 1;
  link.State().SentSinceCheck = 999;  // as the engine presets it after the start signal
  const int before = port.reads;
  Write("O1234");
  EXPECT_EQ(port.reads - before, 5);
  EXPECT_EQ(port.written, "\xCF\xB1\xB2\x33\xB4");
}

TEST_F(ByteTransferTest, EscHeldDuringThePauseStopsWithNineThousandNineHundredNinetyNine) {
  OpenForSend();
  link.State().CheckInterval = 1;
  port.QueueIncoming("\x93");
  link.State().SentSinceCheck = 1;
  host.HoldKeyFrom(StopKey::kEsc, clock.nowMs + 300);
  EXPECT_FALSE(link.WriteByte('A'));
  EXPECT_EQ(link.State().ErrorNumber, 9999);
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(link.Stops().LastTaken(), StopKind::kEsc);
  EXPECT_FALSE(link.UserStopRequested()) << "the link took the stop: it does not stop the next transfer";
}

TEST_F(ByteTransferTest, AKeyPressedBetweenCharactersIsLatched) {
  OpenForSend();
  host.PressKeyAt(StopKey::kF3, clock.nowMs);
  EXPECT_FALSE(link.WriteByte('A'));
  EXPECT_EQ(link.State().ErrorNumber, 9999);
  link.State().ErrorNumber = 1011;
  EXPECT_TRUE(link.WriteByte('A'));
  EXPECT_EQ(port.written, "\x41");
}

TEST_F(ByteTransferTest, SpacesAreNeverSentWithTheOption) {
  options.withholdSpaces = true;
  for (TapeCode code : {TapeCode::ISO, TapeCode::EIA, TapeCode::ASCII}) {
    port.written.clear();
    OpenForSend(code);
    EXPECT_TRUE(Write(" A B ")) << "a withheld space is no refusal";
    EXPECT_EQ(port.written.size(), 2u);
  }
  port.written.clear();
  link.State().RawWriteMode = true;
  Write("1 2");
  EXPECT_EQ(port.written, "12");
}

TEST_F(ByteTransferTest, DsrOffRefusesEachCharacterWithALogLineWhenDsrIsUsed) {
  OpenForSend();
  port.dsr = false;
  Write("AB");
  EXPECT_EQ(port.written, "\x41\x42") << "without op14 DSR only colours the indicator";
  EXPECT_FALSE(host.dsrHistory.back());

  options.watchDsr = true;
  EXPECT_FALSE(Write("CD"));
  EXPECT_EQ(port.written, "\x41\x42");
  EXPECT_EQ(LogLines(), (Lines{"  DSR信号OFFの為ため送信中止", "  DSR信号OFFの為ため送信中止"}));
}

TEST_F(ByteTransferTest, LostCarrierRefusesWritingUnlessTheLineCheckIsOff) {
  OpenForSend();
  port.dcd = false;
  EXPECT_FALSE(link.WriteByte('A'));
  EXPECT_EQ(port.written, "");
  EXPECT_TRUE(log.Empty());

  options.skipDcdCheckWhileSending = true;
  EXPECT_TRUE(link.WriteByte('A'));
  EXPECT_EQ(port.written, "\x41");

  options.skipDcdCheckWhileSending = false;
  setting.Signal_S = 1;  // sending without the control's signal
  OpenForSend();
  link.WriteByte('B');
  EXPECT_EQ(port.written, "\x41\x42");
}

TEST_F(ByteTransferTest, CarrierSeenDuringTheCheckLetsTheFirstCharacterGo) {
  OpenForSend();
  link.State().codes.GoFlag = false;
  link.State().LineSeenFlag = false;
  link.State().SentSinceCheck = 10;
  link.WriteByte('%');
  EXPECT_TRUE(link.State().LineSeenFlag);
  EXPECT_EQ(port.written, "\xA5");
}

TEST_F(ByteTransferTest, OldTypeLeavesPacingAndLineChecksToTheDriver) {
  setting.Control_S = 2;
  OpenForSend();
  const size_t dsrBefore = host.dsrHistory.size();
  options.watchDsr = true;
  port.dsr = false;
  port.dcd = false;
  link.State().SentSinceCheck = 50;
  Write("N10");
  EXPECT_EQ(port.written, "\x4E\xB1\x30");
  EXPECT_EQ(link.State().SentSinceCheck, 50);
  EXPECT_EQ(host.dsrHistory.size(), dsrBefore);
  EXPECT_TRUE(log.Empty());
}

TEST_F(ByteTransferTest, OutputQueueIsKeptBelowTwoHundredFiftyNine) {
  OpenForSend();
  link.State().CheckInterval = 100000;
  port.drainBytesPerSecond = 100;
  int most = 0;
  port.onWrite = [&](uint8_t) {
    int queued = 0;
    port.OutputQueueSize(&queued);
    most = std::max(most, queued);
  };
  Write(std::string(600, 'X'));
  EXPECT_EQ(port.written.size(), 600u);
  EXPECT_EQ(most, 259);
  EXPECT_GE(clock.nowMs, (600 - 259) * 1000 / 100);
}

TEST_F(ByteTransferTest, AStopKeyEndsTheWaitForAQueueThatDoesNotDrain) {
  OpenForSend();
  link.State().CheckInterval = 100000;
  port.outputHeld = true;
  Write(std::string(259, 'X'));
  EXPECT_EQ(port.written.size(), 259u);
  host.PressKeyAt(StopKey::kEsc, clock.nowMs + 5000);
  EXPECT_FALSE(Write("Y"));
  EXPECT_EQ(link.State().ErrorNumber, 9999);
  EXPECT_EQ(port.written.size(), 259u);
  EXPECT_GE(clock.nowMs, 5000);
}

TEST_F(ByteTransferTest, AFailedWriteAbortsAndIsLoggedOnceWithTheReason) {
  OpenForSend();
  port.writeErrno = EIO;
  EXPECT_FALSE(Write("AB"));
  EXPECT_TRUE(link.PortFailed());
  const Lines lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("  ポートに書き込めない為中止：", 0), 0u);
  EXPECT_NE(lines[0].find("Input/output error"), std::string::npos);

  port.writeErrno = 0;
  OpenForSend();
  EXPECT_FALSE(link.PortFailed()) << "a new opening starts with a sound port";
  EXPECT_TRUE(Write("C"));
}

TEST_F(ByteTransferTest, AVanishedPortOnReadAbortsTheWaitAndIsLogged) {
  OpenForSend();
  port.readErrno = ENXIO;
  link.State().codes.GoFlag = false;
  link.State().SentSinceCheck = 10;
  EXPECT_FALSE(link.WriteByte('A'));  // would otherwise wait for DC1 for ever
  EXPECT_TRUE(link.PortFailed());
  EXPECT_EQ(port.written, "");
  EXPECT_EQ(link.ReadByte(), 0);
  const Lines lines = LogLines();
  ASSERT_EQ(lines.size(), 1u);
  EXPECT_EQ(lines[0].rfind("  ポートから読み込めない為中止：", 0), 0u);
}

TEST_F(ByteTransferTest, ReadingDecodesAndAQuietSecondGivesZero) {
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Receive));
  link.State().codes.CurrentCode = TapeCode::Undecided;
  port.QueueIncoming("\xA5\xCF", clock.nowMs + 1);
  EXPECT_EQ(link.ReadByte(), '%');
  EXPECT_EQ(link.State().codes.CurrentCode, TapeCode::ISO);
  EXPECT_EQ(link.ReadByte(), 'O');
  const int64_t before = clock.nowMs;
  EXPECT_EQ(link.ReadByte(), 0);
  EXPECT_EQ(clock.nowMs - before, 1000);
}

TEST_F(ByteTransferTest, NothingHappensOnAPortThatNeverOpened) {
  port.openErrno = ENOENT;
  EXPECT_FALSE(link.OpenPort(setting, TransferDirection::Send));
  log.Clear();
  link.State().codes.CurrentCode = TapeCode::ISO;
  link.WriteByte(0x14);  // the abort path's DC4
  EXPECT_EQ(port.written, "");
  EXPECT_TRUE(log.Empty());
}

}  // namespace
}  // namespace quelvo
