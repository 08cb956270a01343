// SPDX-License-Identifier: GPL-3.0-or-later
// The send engine through the real serial port code to the simulated NC
// control on a pseudo-terminal: a long program paced by the control's DC3 and
// DC1 must arrive complete and in order, in ISO and in EIA.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <thread>

#include "NcsimProcess.h"
#include "core/port/PosixSerialPort.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/TapeCode.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/send/SendEngine.h"
#include "core/transfer/send/SendSequences.h"
#include "support/HandshakeWatch.h"
#include "support/GeneratedProgram.h"
#include "support/HeadlessWindow.h"
#include "support/SendWireText.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

namespace fs = std::filesystem;
using ncsim::test::NcsimProcess;
using ncsim::test::ReportValue;

std::string ReadWhole(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

class SendPtyTest : public ::testing::TestWithParam<TapeCode> {
 protected:
  test::TempFolder folder;
};

TEST_P(SendPtyTest, AMegabyteArrivesCompleteThroughPauses) {
  const TapeCode code = GetParam();
  const std::string link = folder.Path() + "/ncport";
  const std::string out = folder.Path() + "/received.nc";
  NcsimProcess sim({"--link", link, "--code", code == TapeCode::ISO ? "iso" : "eia", "--buffer",
                    "256", "--pause", "0x93", "--baud", "0", "--process-ms", "0", "--invite-ms",
                    "50", "--out", out, "--once"});
  ASSERT_FALSE(sim.WaitFor("ready", 5000).empty());

  setenv("QUELVO_HOME", folder.Path().c_str(), 1);  // the log file goes there
  HeadlessWindow window;
  window.SetDocument(test::GeneratedProgram(1000 * 1000));
  CommLog log;
  ProgramOptions options;  // DC3(0X93) "Y": the control pauses with 0x93
  PosixSerialPort posixPort;
  test::HandshakeWatch port(posixPort);
  SerialLink serial(port, window, log, options);
  SendEngine engine(serial, window, log, options);
  SendJob job;
  job.setting.Port_S = link;
  job.setting.Code_S = code == TapeCode::ISO ? 0 : 1;
  // The writer reads the line once every Chk Count characters and that read
  // waits 10 ms when nothing came, so the check interval bounds the speed
  // (about 100 times the interval a second): 1000 keeps a megabyte short.
  job.setting.ChkCount = 29;
  job.CurrentFileName = folder.Path() + "/generated.nc";
  const std::vector<std::string> document = window.lines;

  // The engine runs in a thread of its own so that this one can read the
  // control's report as it is written; a send that hangs is stopped.
  std::thread sender([&] { engine.RunSend(job, window.lines); });
  const std::string end = sim.WaitFor("end", 90000);
  if (end.empty()) serial.Stops().Request(StopKind::kEsc);
  sender.join();
  ASSERT_FALSE(end.empty()) << log.Text();

  EXPECT_TRUE(engine.Outcome().SendCompleted) << log.Text();
  EXPECT_EQ(window.status[TransferStatusField::Phase], "送信完了");
  EXPECT_EQ(ReportValue(end, "parity_errors"), 0) << end;
  EXPECT_EQ(ReportValue(end, "undecoded"), 0) << end;
  const std::string received = ReadWhole(out);
  const std::string expected = test::SendWireText(document, job.setting, code);
  EXPECT_EQ(received.size(), expected.size());
  EXPECT_TRUE(received == expected) << "the first difference is at byte "
                                    << std::mismatch(received.begin(), received.end(),
                                                     expected.begin(), expected.end())
                                               .first -
                                           received.begin();

  // The control pauses after every full buffer it takes while the line is
  // open; what the sender had queued when it hung up is taken without pauses.
  // How much that is depends on how far the sender ran ahead of a busy
  // control, so the count of pauses is checked against the paced bytes.
  const long paced = ReportValue(end, "received") - ReportValue(end, "unpaced");
  const long pauses = static_cast<long>(sim.LinesStartingWith("dc3 n=").size());
  EXPECT_EQ(pauses, paced / 256) << end;
  const long resumes = static_cast<long>(sim.LinesStartingWith("dc1 n=").size());
  // (The last pause may end with the transfer, before its resume.)
  EXPECT_TRUE(resumes == pauses || resumes == pauses - 1) << resumes << " resumes, " << pauses << " pauses";

  // What the sender guarantees: it looks at the line at least every Chk Count
  // characters and writes nothing between a pause code and the next DC1. The
  // sender reads one code per look while the control sends two per buffer, so
  // how far behind the pause it answers depends on scheduling: the control's
  // count of bytes after each pause is reported, not bounded.
  EXPECT_GT(port.pausesRead, 0);
  EXPECT_EQ(port.writtenWhilePaused, 0);
  EXPECT_LE(port.mostWrittenBetweenReads, 1000);
  long mostAfter = 0;
  for (const std::string& line : sim.LinesStartingWith("dc1 n=")) mostAfter = std::max(mostAfter, ReportValue(line, "after"));
  std::printf("%s: %ld pauses, %ld obeyed, %ld bytes unpaced, at most %ld bytes after a pause code\n",
              code == TapeCode::ISO ? "ISO" : "EIA", pauses, port.pausesRead,
              ReportValue(end, "unpaced"), mostAfter);
  unsetenv("QUELVO_HOME");
}

INSTANTIATE_TEST_SUITE_P(Codes, SendPtyTest, ::testing::Values(TapeCode::ISO, TapeCode::EIA),
                         [](const auto& info) { return info.param == TapeCode::ISO ? "Iso" : "Eia"; });

}  // namespace
}  // namespace quelvo
