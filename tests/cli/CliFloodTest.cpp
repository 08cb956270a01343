// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli against device servers on the loopback that flood their
// connection, raw TCP and RFC 2217: a DC1 in front of a flood starts the send
// and the rest is dropped; a flood without one leaves the send waiting until
// the first Ctrl+C stops it; a negotiation that never ends fails the opening
// in its time. Memory stays bounded throughout.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <chrono>
#include <string>
#include <thread>

#include "CliProcess.h"
#include "core/common/Cp932.h"
#include "support/HostilePeer.h"
#include "support/TempFolder.h"

namespace quelvo::cli::test {
namespace {

using quelvo::test::Flood;
using quelvo::test::HostilePeer;
using Clock = std::chrono::steady_clock;

// What quelvo-cli may grow to however long a peer floods it (its read buffer
// is bounded, the rest waits in the kernel); a growing buffer passes it
// within a second.
constexpr long kPeakKb = 32 * 1024;

struct FloodCase {
  const char* name;
  bool telnet;
  Flood flood;
  bool ctrlC;        // Ctrl+C (SIGINT, once) after the send has waited a while
  int status;        // expected exit status
  int withinMs;      // how long the run may take (from the Ctrl+C when there is one)
  const char* logHas;
};

const FloodCase kCases[] = {
    {"raw flood, DC1 in front", false, Flood::kDataAfterDc1, false, 0, 60000, "送信完了"},
    {"telnet flood, DC1 in front", true, Flood::kDataAfterDc1, false, 0, 60000, "送信完了"},
    {"raw flood, Ctrl+C", false, Flood::kData, true, 1, 15000, "送信待機中に手動操作にて中止"},
    {"telnet flood, Ctrl+C", true, Flood::kData, true, 1, 15000, "送信待機中に手動操作にて中止"},
    // The negotiation waits 3 s; a busy machine's slack on top.
    {"telnet NOPs without end", true, Flood::kNop, false, 3, 15000, "ポートが開かず中止"},
    {"telnet subnegotiation of doubled IACs", true, Flood::kIacSubnegotiation, false, 3, 15000, "ポートが開かず中止"},
};

bool WaitForText(const std::string& path, const std::string& text, int timeoutMs) {
  const auto end = Clock::now() + std::chrono::milliseconds(timeoutMs);
  while (ReadFile(path).find(text) == std::string::npos) {
    if (Clock::now() > end) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  return true;
}

TEST(CliFlood, AFloodingDeviceServerCostsBoundedMemoryAndTime) {
  for (const FloodCase& c : kCases) {
    SCOPED_TRACE(c.name);
    HostilePeer peer(c.telnet, c.flood);
    quelvo::test::TempFolder home;
    WriteFile(home.File("SetData1.ini"), "[Setting_S]\r\nPort=" + peer.Text() + "\r\nCode=0\r\n");
    WriteFile(home.File("O1234.nc"), "%\r\nO1234\r\nG01X10.F100\r\nM30\r\n%");
    auto started = Clock::now();
    ChildProcess run(CliProgram(), {"send", home.File("O1234.nc")}, {{"QUELVO_HOME", home.Path()}},
                     home.File("run"));
    if (c.ctrlC) {
      EXPECT_TRUE(WaitForText(home.File("run.err"), "送信待機中", 60000)) << ReadFile(home.File("run.err"));
      std::this_thread::sleep_for(std::chrono::seconds(2));  // the flood goes on meanwhile
      run.Signal(SIGINT);
      started = Clock::now();
    }
    rusage usage{};
    EXPECT_EQ(run.WaitExit(c.withinMs + 30000, &usage), c.status) << ReadFile(home.File("run.err"));
    const auto tookMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count();
    EXPECT_LT(tookMs, c.withinMs);
    EXPECT_LT(usage.ru_maxrss, kPeakKb);
    RecordProperty(std::string(c.name) + " peak_kb", std::to_string(usage.ru_maxrss));
    RecordProperty(std::string(c.name) + " ms", std::to_string(tookMs));
    const std::string log = Cp932ToUtf8(ReadFile(home.File("quelvo_S.log")));
    EXPECT_NE(log.find(c.logHas), std::string::npos) << log;
    if (c.status == 0) {
      // ISO on the wire: LF ends each block.
      EXPECT_NE(peer.Received().find("O1234\nG01X10.F100\nM30\n"), std::string::npos) << peer.Received();
    }
  }
}

}  // namespace
}  // namespace quelvo::cli::test
