// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli as a shell runs it when its readers or its terminal go away:
// progress and summary into a pipe nobody reads any more (`2>&1 | head -1`,
// `--json | true`), and a hang-up in the middle of a transfer (the terminal or
// the ssh session closed). The transfer must run to its own end: the control
// gets the whole program (or the file is saved), the log is written, the lock
// of the line is gone, and the exit status is the transfer's.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <string>

#include "CliProcess.h"
#include "NcsimProcess.h"
#include "core/common/Cp932.h"
#include "support/GeneratedProgram.h"
#include "support/TempFolder.h"

namespace quelvo::cli::test {
namespace {

using ncsim::test::NcsimProcess;
using ncsim::test::ReportValue;

constexpr int kRunTimeoutMs = 120000;

enum class Reader {
  kGoneFromStart,  // stdout and stderr into a pipe already closed: `2>&1 | head -1`
  kJsonGone,       // --json into a pipe already closed, stderr to a file: `--json | true`
  kHangUp,         // stderr to a file; SIGHUP (twice) once the data flows
};

struct StopCase {
  const char* name;
  bool send;
  Reader reader;
  int status;  // expected exit status
};

const StopCase kCases[] = {
    {"send into a closed pipe", true, Reader::kGoneFromStart, 0},
    {"receive into a closed pipe", false, Reader::kGoneFromStart, 0},
    {"send with JSON into a closed pipe", true, Reader::kJsonGone, 0},
    {"send under a hang-up", true, Reader::kHangUp, 1},
    {"receive under a hang-up", false, Reader::kHangUp, 1},
};

size_t LineCount(const std::string& text) { return static_cast<size_t>(std::count(text.begin(), text.end(), '\n')); }

// The lock file of the pseudo-terminal the control published ("slave=/dev/pts/3").
std::string LockFileOf(const std::string& readyLine) {
  const size_t at = readyLine.find("slave=/dev/");
  if (at == std::string::npos) return "";
  std::string name = readyLine.substr(at + 11);
  name = name.substr(0, name.find(' '));
  std::replace(name.begin(), name.end(), '/', '_');
  return "/run/lock/LCK.." + name;
}

TEST(CliStop, ATransferOutlivesItsReadersAndEndsThroughItsStopPathOnAHangUp) {
  for (const StopCase& c : kCases) {
    SCOPED_TRACE(c.name);
    quelvo::test::TempFolder home;
    const std::string link = home.File("ncport");
    const bool hangUp = c.reader == Reader::kHangUp;
    // A hang-up needs a transfer that lasts; the others run at full speed.
    const std::string baud = hangUp ? "1200" : "0";
    WriteFile(home.File("SetData1.ini"), std::string(c.send ? "[Setting_S]\r\n" : "[Setting_R]\r\n") +
                                             "Port=" + link + "\r\nCode=0\r\n");
    const std::string program = quelvo::test::GeneratedProgram(hangUp ? 8000 : 3000);
    WriteFile(home.File("O1234.nc"), program);
    std::string tape = program;
    tape.erase(std::remove(tape.begin(), tape.end(), '\r'), tape.end());
    tape = tape.substr(2, tape.size() - 3);  // the lines between the "%" the control adds itself
    WriteFile(home.File("tape.nc"), tape);
    std::vector<std::string> control{"--link", link, "--code", "iso", "--baud", baud, "--process-ms", "20", "--once",
                                     "--out", home.File("at-control.nc")};
    if (!c.send) control.insert(control.end(), {"--punch", home.File("tape.nc"), "--punch-after", "1"});
    NcsimProcess ncsim(control);
    const std::string ready = ncsim.WaitFor("ready", 10000);
    ASSERT_FALSE(ready.empty());

    const std::string target = home.File("received.nc");
    std::vector<std::string> args = c.send ? std::vector<std::string>{"send", home.File("O1234.nc")}
                                           : std::vector<std::string>{"receive", target};
    if (c.reader == Reader::kJsonGone) args.push_back("--json");
    int pipeFds[2];
    ASSERT_EQ(pipe(pipeFds), 0);
    close(pipeFds[0]);  // the reader is gone before the first line
    const int out = c.reader == Reader::kHangUp ? -1 : pipeFds[1];
    const int err = c.reader == Reader::kGoneFromStart ? pipeFds[1] : -1;
    ChildProcess run(CliProgram(), args, {{"QUELVO_HOME", home.Path()}}, home.File("run"), out, err);
    close(pipeFds[1]);
    if (hangUp) {
      EXPECT_FALSE(ncsim.WaitFor(c.send ? "data" : "punch start", 30000).empty());
      run.Signal(SIGHUP);
      run.Signal(SIGHUP);  // a hang-up often comes twice
    }
    EXPECT_EQ(run.WaitExit(kRunTimeoutMs), c.status);
    ncsim.WaitExit(10000);

    const std::string log = Cp932ToUtf8(ReadFile(home.File(c.send ? "quelvo_S.log" : "quelvo_R.log")));
    EXPECT_FALSE(log.empty()) << "no log written";
    // The lock folder is the machine's: another program may hold the same name since.
    const std::string lockFile = LockFileOf(ready);
    EXPECT_FALSE(lockFile.empty()) << ready;
    EXPECT_NE(std::atol(ReadFile(lockFile).c_str()), static_cast<long>(run.Pid())) << lockFile << " left behind";
    if (hangUp) {
      EXPECT_NE(log.find("中止"), std::string::npos) << log;
      continue;
    }
    // The whole program went through.
    const std::string arrived = ReadFile(c.send ? home.File("at-control.nc") : target);
    EXPECT_NE(arrived.find("M30"), std::string::npos) << arrived.size() << " bytes arrived";
    EXPECT_GE(LineCount(arrived), LineCount(tape)) << arrived.size() << " bytes arrived";
  }
}

}  // namespace
}  // namespace quelvo::cli::test
