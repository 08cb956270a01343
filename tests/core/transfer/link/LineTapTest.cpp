// SPDX-License-Identifier: GPL-3.0-or-later
// The line monitor's tap: a transfer with the tap listening is the same
// transfer as one without it (wire, file, log), the tap sees exactly what
// passed, and its memory stays bounded without ever holding the transfer up.
// Also the driver's error counts in the log and the result.
#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "../receive/ReceiveFixture.h"
#include "../send/SendRig.h"
#include "core/transfer/link/IdleLineWatch.h"
#include "core/transfer/link/LineTap.h"
#include "core/transfer/link/TapMonitorFeed.h"
#include "core/transfer/session/TransferSession.h"

namespace quelvo {
namespace {

using test::SendRig;

// Both directions through the transfer session on the send rig's fakes.
struct TapRig : SendRig {
  TransferSession session{link, host, log, options};
  CommSetting receiveSetting;
  ReceiveJob receiveJob;

  TapRig() {
    job.logFilePath = folder.File("quelvo_S.log");
    receiveJob.TransferFileName = folder.File("recv.nc");
    receiveJob.DirPath = folder.Path();
    receiveJob.logFilePath = folder.File("quelvo_R.log");
    receiveJob.unattended = true;
    receiveSetting.SE_Char = 3;
  }
  TransferResult Run(bool send) {
    if (send) return session.RunSend(job, {"O1234", "G01X10.Y-5.", "M30", ""});
    return session.RunReceive(receiveSetting, receiveJob);
  }
};

struct Seen {
  std::string wire, file, log, fromControl, toControl;
  TransferResult result;
};

std::string Bytes(const std::vector<TapEvent>& events, TapEvent::Kind kind) {
  std::string bytes;
  for (const TapEvent& e : events) {
    if (e.kind == kind) bytes += static_cast<char>(e.byte);
  }
  return bytes;
}

// One transfer in `code` (0 ISO, 1 EIA, 2 ASCII as the send setting numbers
// them); `tap` listening when given.
Seen RunOnce(bool send, int code, LineTap* tap, std::vector<TapEvent>* events = nullptr) {
  TapRig rig;
  const TapeCode codes[] = {TapeCode::ISO, TapeCode::EIA, TapeCode::ASCII};
  const int receiveCodes[] = {3, 2, 1};
  if (tap) {
    tap->SetListening(true);
    rig.link.AttachTap(tap);
  }
  std::string incoming;
  if (send) {
    rig.job.setting.Code_S = code;
    rig.StartOnDc1();
    // A pause and a resume from the control mid-way.
    rig.port.QueueIncoming("\x13", 40);
    rig.port.QueueIncoming("\x11", 900);
    incoming = "\x11\x13\x11";
  } else {
    rig.receiveSetting.Code_R = receiveCodes[code];
    incoming = Tape(codes[code], "%\nO1234\nG01X10.\nM30\n%\n");
    rig.port.QueueIncoming(incoming, 1);
  }
  Seen seen;
  seen.result = rig.Run(send);
  seen.wire = rig.port.written;
  seen.file = FileBytes(send ? rig.job.logFilePath : rig.receiveJob.TransferFileName);
  seen.log = rig.log.Text();
  if (tap) {
    std::vector<TapEvent> drained;
    EXPECT_EQ(tap->Drain(&drained), 0u) << "nothing dropped";
    seen.fromControl = Bytes(drained, TapEvent::Kind::kFromControl);
    seen.toControl = Bytes(drained, TapEvent::Kind::kToControl);
    // What the engine read, in order (a send may end before the last reply is read).
    EXPECT_FALSE(seen.fromControl.empty());
    EXPECT_EQ(incoming.rfind(seen.fromControl, 0), 0u) << seen.fromControl;
    if (events) *events = drained;
  }
  return seen;
}

TEST(LineTap, ATransferWithTheTapIsByteForByteTheTransferWithout) {
  for (const bool send : {true, false}) {
    for (const int code : {0, 1, 2}) {
      SCOPED_TRACE(std::string(send ? "send" : "receive") + " code " + std::to_string(code));
      const Seen plain = RunOnce(send, code, nullptr);
      LineTap tap;
      std::vector<TapEvent> events;
      const Seen tapped = RunOnce(send, code, &tap, &events);
      EXPECT_TRUE(plain.result.completed) << plain.log;
      EXPECT_EQ(tapped.result.completed, plain.result.completed);
      EXPECT_EQ(tapped.wire, plain.wire);
      EXPECT_EQ(tapped.file, plain.file);
      EXPECT_EQ(tapped.log, plain.log);
      // The tap saw every byte on the line, each direction in order.
      EXPECT_EQ(tapped.toControl, tapped.wire);
      ASSERT_GE(events.size(), 2u);
      EXPECT_EQ(events.front().kind, TapEvent::Kind::kOpened);
      EXPECT_EQ(events.back().kind, TapEvent::Kind::kClosed);
    }
  }
}

TEST(LineTap, ModemLinesAreToldWhenTheyChangeAndOnEveryOpening) {
  LineTap tap;
  tap.SetListening(true);
  tap.Mark(TapEvent::Kind::kOpened);
  for (const uint32_t bits : {kModemCts, kModemCts, kModemCts | kModemDsr, kModemCts | kModemDsr}) {
    tap.ModemLines(true, bits);
  }
  tap.ModemLines(false, 0);
  tap.ModemLines(false, 0);
  tap.Mark(TapEvent::Kind::kOpened);
  tap.ModemLines(false, 0);
  std::vector<TapEvent> events;
  tap.Drain(&events);
  std::vector<std::pair<bool, uint32_t>> modem;
  for (const TapEvent& e : events) {
    if (e.kind == TapEvent::Kind::kModemLines) modem.emplace_back(e.readable, e.bits);
  }
  EXPECT_EQ(modem, (std::vector<std::pair<bool, uint32_t>>{
                       {true, kModemCts}, {true, kModemCts | kModemDsr}, {false, 0}, {false, 0}}));
}

// A reader that never comes: the ring keeps its first events, counts the
// rest as dropped, and the transfer runs as it would without a tap.
TEST(LineTap, AFullRingDropsAndCountsButNeverHoldsTheTransferUp) {
  LineTap small(8);
  const Seen plain = RunOnce(true, 0, nullptr);
  TapRig rig;
  small.SetListening(true);
  rig.link.AttachTap(&small);
  rig.StartOnDc1();
  rig.port.QueueIncoming("\x13", 40);
  rig.port.QueueIncoming("\x11", 900);
  const TransferResult result = rig.Run(true);
  EXPECT_TRUE(result.completed);
  EXPECT_EQ(rig.port.written, plain.wire);
  std::vector<TapEvent> events;
  const uint64_t dropped = small.Drain(&events);
  EXPECT_EQ(events.size(), 8u);
  EXPECT_GT(dropped, plain.wire.size() - 8);
  // Drained, it takes events again, and the dropped count starts anew.
  small.Byte(TapEvent::Kind::kToControl, 'X');
  events.clear();
  EXPECT_EQ(small.Drain(&events), 0u);
  ASSERT_EQ(events.size(), 1u);
  EXPECT_EQ(events[0].byte, 'X');
}

TEST(LineTap, NothingIsRecordedWhileNobodyListens) {
  LineTap tap;
  TapRig rig;
  rig.link.AttachTap(&tap);
  rig.StartOnDc1();
  rig.Run(true);
  std::vector<TapEvent> events;
  EXPECT_EQ(tap.Drain(&events), 0u);
  EXPECT_TRUE(events.empty());
}

// The driver's error counts: a line in the log before the closing line when
// any is not zero, never a line when all are zero or the driver keeps none;
// the result carries them either way.
TEST(LineErrorLog, CountsGoIntoTheLogOnlyWhenNotZero) {
  struct Case {
    const char* name;
    bool driverCounts;
    LineErrorCounts counts;
  };
  LineErrorCounts garbled;
  garbled.framing = 3;
  garbled.parity = 12;
  garbled.overrun = 1;
  const Case cases[] = {
      {"no counts", false, {}},
      {"all zero", true, {}},
      {"garbled", true, garbled},
  };
  for (const bool send : {true, false}) {
    const Seen plain = RunOnce(send, 0, nullptr);
    for (const Case& c : cases) {
      SCOPED_TRACE(std::string(send ? "send " : "receive ") + c.name);
      TapRig rig;
      rig.port.driverCounts = c.driverCounts;
      rig.port.lineErrors = c.counts;
      if (send) {
        rig.StartOnDc1();
        rig.port.QueueIncoming("\x13", 40);
        rig.port.QueueIncoming("\x11", 900);
      } else {
        rig.receiveSetting.Code_R = 3;
        rig.port.QueueIncoming(Tape(TapeCode::ISO, "%\nO1234\nG01X10.\nM30\n%\n"), 1);
      }
      const TransferResult result = rig.Run(send);
      EXPECT_TRUE(result.completed);
      EXPECT_TRUE(result.lineErrors.portOpen);
      EXPECT_EQ(result.lineErrors.counted, c.driverCounts);
      EXPECT_EQ(result.lineErrors.counts.parity, c.counts.parity);
      const std::vector<std::string> texts = rig.LogTexts();
      if (!c.counts.Any()) {
        EXPECT_EQ(rig.log.Text(), plain.log);
        continue;
      }
      const std::string closing = send ? "  送信完了" : "  受信完了";
      const auto at = std::find(texts.begin(), texts.end(), closing);
      ASSERT_NE(at, texts.end());
      ASSERT_NE(at, texts.begin());
      EXPECT_EQ(*(at - 1), "  回線ｴﾗｰ ﾌﾚｰﾐﾝｸﾞ 3 ﾊﾟﾘﾃｨ 12 ｵｰﾊﾞｰﾗﾝ 1 ﾊﾞｯﾌｧｵｰﾊﾞｰﾗﾝ 0");
      // And it is in the saved log file.
      const std::string saved = FileBytes(send ? rig.job.logFilePath : rig.receiveJob.logFilePath);
      EXPECT_NE(saved.find("\x89\xf1\x90\xfc"), std::string::npos) << "回線 in CP932";
    }
  }
}

TEST(LineErrorLog, AStoppedReceptionTellsItsCountsBeforeTheStopLine) {
  TapRig rig;
  rig.port.driverCounts = true;
  rig.port.lineErrors.framing = 7;
  rig.host.HoldKeyFrom(StopKey::kEsc, 2000);
  const TransferResult result = rig.Run(false);
  EXPECT_FALSE(result.completed);
  const std::vector<std::string> texts = rig.LogTexts();
  ASSERT_GE(texts.size(), 2u);
  EXPECT_EQ(texts[texts.size() - 2], "  回線ｴﾗｰ ﾌﾚｰﾐﾝｸﾞ 7 ﾊﾟﾘﾃｨ 0 ｵｰﾊﾞｰﾗﾝ 0 ﾊﾞｯﾌｧｵｰﾊﾞｰﾗﾝ 0");
  EXPECT_EQ(texts.back().rfind("  受信中止", 0), 0u);
}

TEST(LineErrorLog, APortThatNeverOpenedReportsNothing) {
  TapRig rig;
  rig.port.driverCounts = true;
  rig.port.lineErrors.parity = 1;
  rig.port.openErrno = ENOENT;
  const TransferResult result = rig.Run(true);
  EXPECT_FALSE(result.lineErrors.portOpen);
  EXPECT_FALSE(result.lineErrors.counted);
  EXPECT_EQ(rig.log.Text().find("回線ｴﾗｰ"), std::string::npos);
}

// An idle line watched through the link's port: what arrives reaches the tap
// as a transfer's bytes do, and Stop lets go of the port for a transfer.
TEST(IdleLineWatch, ReadsThroughTheTapAndLetsGoOfThePort) {
  TapRig rig;
  LineTap tap;
  tap.SetListening(true);
  rig.link.AttachTap(&tap);
  rig.port.QueueIncoming("O1\n", 0);
  IdleLineWatch watch;
  std::string error;
  ASSERT_TRUE(watch.Start(rig.link.RawPort(), "/dev/ttyS0", LineConfig{}, &error)) << error;
  std::vector<TapEvent> events;
  for (int i = 0; i < 500 && Bytes(events, TapEvent::Kind::kFromControl).size() < 3; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    tap.Drain(&events);
  }
  watch.Stop();
  tap.Drain(&events);
  EXPECT_FALSE(watch.Watching());
  EXPECT_FALSE(rig.port.IsOpen());
  EXPECT_EQ(Bytes(events, TapEvent::Kind::kFromControl), "O1\n");
  ASSERT_FALSE(events.empty());
  EXPECT_EQ(events.front().kind, TapEvent::Kind::kOpened);
  EXPECT_EQ(events.back().kind, TapEvent::Kind::kClosed);

  // The transfer that follows opens the same port object again (the watch's
  // reads moved the virtual clock on).
  rig.host.runawayMs = rig.clock.nowMs + 10 * 60 * 1000;
  rig.StartOnDc1(rig.clock.nowMs + 1);
  EXPECT_TRUE(rig.Run(true).completed) << rig.log.Text();
}

TEST(IdleLineWatch, APortThatFailsEndsTheWatchWithItsReason) {
  TapRig rig;
  IdleLineWatch watch;
  std::string error;
  rig.port.openErrno = EACCES;
  EXPECT_FALSE(watch.Start(rig.port, "/dev/ttyS0", LineConfig{}, &error));
  EXPECT_NE(error.find("/dev/ttyS0"), std::string::npos);
  EXPECT_FALSE(rig.port.IsOpen());

  rig.port.openErrno = 0;
  rig.port.readErrno = EIO;
  ASSERT_TRUE(watch.Start(rig.port, "/dev/ttyS0", LineConfig{}, &error));
  for (int i = 0; i < 500 && watch.Watching(); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_FALSE(watch.Watching());
  EXPECT_FALSE(watch.Failure().empty());
  watch.Stop();
  EXPECT_FALSE(rig.port.IsOpen());
}

// The monitor's reading of the tap: bytes in the code of the transfer, the
// lamps, and a gap in the record said out loud.
TEST(TapMonitorFeed, BytesInTheTransfersCodeLampsAndGaps) {
  LineTap tap;
  tap.SetListening(true);
  tap.Mark(TapEvent::Kind::kOpened);
  tap.OutputLines(kTapDtr | kTapRts);
  tap.ModemLines(true, kModemCts | kModemDcd);
  for (const char ch : Tape(TapeCode::EIA, "G1\n")) tap.Byte(TapEvent::Kind::kToControl, static_cast<uint8_t>(ch));
  tap.Byte(TapEvent::Kind::kFromControl, kDC3);
  std::vector<TapEvent> events;
  tap.Drain(&events);

  std::vector<std::string> lines;
  LineMonitor monitor(TapeCode::Undecided, [&](const std::string& line) { lines.push_back(line); });
  monitor.SetCode(TapeCode::EIA);
  LineLamps lamps;
  ShowTapEvents(events, 5, &monitor, &lamps);
  monitor.Flush();
  EXPECT_TRUE(lamps.open);
  EXPECT_EQ(lamps.outputBits, kTapDtr | kTapRts);
  EXPECT_EQ(lamps.modemBits, kModemCts | kModemDcd);
  std::string all;
  for (const std::string& line : lines) all += line.substr(13) + "|";  // without the time
  EXPECT_EQ(all,
            "---    表示が追いつかず 5 件を記録できませんでした (転送には影響ありません)|"
            "---    ポートを開きました|"
            "---    出力信号線  DTR ON   RTS ON |"
            "---    モデム信号線  CTS ON   DSR off  DCD ON   RI off|"
            "PC→NC  G1<LF>|"
            "NC→PC  <DC3>|");

  lamps.Apply(TapEvent{TapEvent::Kind::kClosed});
  EXPECT_FALSE(lamps.open);
  EXPECT_EQ(lamps.outputBits, 0u);
}

}  // namespace
}  // namespace quelvo
