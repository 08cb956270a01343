// SPDX-License-Identifier: GPL-3.0-or-later
// The line monitor's text: characters in the code in use, control characters
// named, parity errors marked, lines split where a reader expects them, modem
// lines only when they change.
#include <gtest/gtest.h>

#include "core/port/LineConfig.h"
#include "core/transfer/LineMonitor.h"

namespace quelvo {
namespace {

using Clock = LineMonitor::Clock;
using std::chrono::milliseconds;

// The lines without their time stamps ("HH:MM:SS.mmm ").
struct Recorder {
  std::vector<std::string> lines;
  LineMonitor::Sink Sink() {
    return [this](const std::string& line) { lines.push_back(line.substr(13)); };
  }
};

std::vector<std::uint8_t> Bytes(std::initializer_list<int> values) {
  std::vector<std::uint8_t> out;
  for (const int v : values) out.push_back(static_cast<std::uint8_t>(v));
  return out;
}

TEST(LineMonitor, ShowsEachCodeWithNamedControlsAndMarkedParity) {
  struct Case {
    const char* what;
    TapeCode code;
    std::vector<std::uint8_t> bytes;
    std::string line;
  };
  const Case cases[] = {
      // "%" LF "O1" in ISO: even parity in bit 8.
      {"ISO", TapeCode::ISO, Bytes({0xA5, 0x0A}), "NC→PC  %<LF>"},
      {"ISO handshake and feed", TapeCode::ISO, Bytes({0x11, 0x93, 0x00, 0x14, 0x8D}), "NC→PC  <DC1><DC3><NUL><DC4><CR>"},
      {"ISO parity error", TapeCode::ISO, Bytes({0x41, 0xC1}), "NC→PC  A<PE C1>"},
      {"EIA", TapeCode::EIA, Bytes({0x0B, 0x46, 0x01, 0x80}), "NC→PC  %O1<LF>"},
      {"EIA unknown byte and parity error", TapeCode::EIA, Bytes({0x7F, 0x03}), "NC→PC  <7F><PE 03>"},
      {"ASCII", TapeCode::ASCII, Bytes({'G', '1', 0xC7}), "NC→PC  G1<C7>"},
      {"undecided: the first odd byte makes it EIA", TapeCode::Undecided, Bytes({0x11, 0x0B, 0x80}),
       "NC→PC  <DC1>%<LF>"},
  };
  for (const Case& c : cases) {
    Recorder r;
    LineMonitor monitor(c.code, r.Sink());
    monitor.Bytes(MonitorDirection::kFromControl, Clock::now(), c.bytes.data(), c.bytes.size());
    monitor.Flush();
    ASSERT_EQ(r.lines.size(), 1u) << c.what;
    EXPECT_EQ(r.lines[0], c.line) << c.what;
  }
}

TEST(LineMonitor, NewLineAtLineEndDirectionChangeAndPause) {
  Recorder r;
  LineMonitor monitor(TapeCode::ASCII, r.Sink());
  const Clock::time_point t0 = Clock::now();
  const auto in = Bytes({'%', '\n', 'M', '3'});
  monitor.Bytes(MonitorDirection::kFromControl, t0, in.data(), in.size());
  const auto dc3 = Bytes({0x13});
  monitor.Bytes(MonitorDirection::kToControl, t0 + milliseconds(10), dc3.data(), 1);
  const auto more = Bytes({'0'});
  monitor.Bytes(MonitorDirection::kFromControl, t0 + milliseconds(20), more.data(), 1);
  monitor.Bytes(MonitorDirection::kFromControl, t0 + milliseconds(2000), more.data(), 1);
  monitor.Flush();
  EXPECT_EQ(r.lines, (std::vector<std::string>{"NC→PC  %<LF>", "NC→PC  M3", "PC→NC  <DC3>", "NC→PC  0",
                                               "NC→PC  0"}));
  EXPECT_EQ(monitor.ByteCount(MonitorDirection::kFromControl), 6);
  EXPECT_EQ(monitor.ByteCount(MonitorDirection::kToControl), 1);
}

TEST(LineMonitor, ModemLinesOnlyWhenTheyChangeOrOnceWhenUnreadable) {
  Recorder r;
  LineMonitor monitor(TapeCode::ISO, r.Sink());
  const Clock::time_point t = Clock::now();
  monitor.ModemLines(t, true, kModemCts | kModemDsr);
  monitor.ModemLines(t, true, kModemCts | kModemDsr);
  monitor.ModemLines(t, true, kModemDsr);
  ASSERT_EQ(r.lines.size(), 2u);
  EXPECT_EQ(r.lines[0], "---    モデム信号線  CTS ON   DSR ON   DCD off  RI off");
  EXPECT_EQ(r.lines[1], "---    モデム信号線  CTS off*  DSR ON   DCD off  RI off");

  Recorder pty;
  LineMonitor none(TapeCode::ISO, pty.Sink());
  none.ModemLines(t, false, 0);
  none.ModemLines(t, false, 0);
  ASSERT_EQ(pty.lines.size(), 1u);
  EXPECT_NE(pty.lines[0].find("読めません"), std::string::npos);
}

}  // namespace
}  // namespace quelvo
