// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli in a real terminal: tmux runs it against the simulated NC control
// at an emulated 2400 baud; capture-pane shows the bar moving, Ctrl+C (tmux
// send-keys C-c) stops a send and a reception with exit status 1 and the stop
// in the log as Esc in the window leaves it (9999, or while the data goes out
// the number of the step it interrupted), and the port is free for the next
// run, whose summary the pane shows.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <memory>
#include <regex>
#include <thread>

#include "CliProcess.h"
#include "NcsimProcess.h"
#include "core/common/Cp932.h"
#include "support/TempFolder.h"

namespace quelvo::cli::test {
namespace {

using ncsim::test::NcsimProcess;

bool HaveTmux() { return std::system("tmux -V >/dev/null 2>&1") == 0; }

// One tmux server and session of its own (its socket in the test's folder).
class TmuxSession {
 public:
  TmuxSession(const std::string& folder, const std::string& name) : socket_(folder + "/" + name + ".sock") {}
  ~TmuxSession() { Tmux("kill-server 2>/dev/null"); }

  // Runs `command` in a fresh window 160 columns wide; its exit status lands in `statusFile`.
  void Start(const std::string& command, const std::string& statusFile) {
    Tmux("new-session -d -x 160 -y 12 \"" + command + "; echo \\$? > '" + statusFile + "'; sleep 600\"");
  }
  std::string Capture() {
    const std::string file = socket_ + ".pane";
    Tmux("capture-pane -p > '" + file + "'");
    return ReadFile(file);
  }
  void CtrlC() { Tmux("send-keys C-c"); }

  // Waits until the pane matches `pattern`; the pane text, or "" on time-out.
  std::string WaitForPane(const std::string& pattern, int timeoutMs) {
    const std::regex re(pattern);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      const std::string pane = Capture();
      if (std::regex_search(pane, re)) return pane;
      std::this_thread::sleep_for(std::chrono::milliseconds(200));
    }
    return {};
  }

 private:
  void Tmux(const std::string& args) { (void)!std::system(("tmux -S '" + socket_ + "' " + args).c_str()); }
  std::string socket_;
};

// Waits for the status file a finished command leaves.
int WaitStatus(const std::string& file, int timeoutMs) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::string text = ReadFile(file);
    if (!text.empty() && text.back() == '\n') return std::atoi(text.c_str());
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  return -1;
}

std::string LongProgram(int lines) {
  std::string program = "O7000\r\n";
  for (int i = 0; i < lines; ++i) program += "N" + std::to_string(10000 + i) + "G01X1.Y2.\r\n";
  return program + "M30\r\n";
}

class CliTerminal : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!HaveTmux()) GTEST_SKIP() << "tmux is not installed";
    link_ = home_.File("ncport");
    const std::string port = "Port=" + link_ + "\r\n";
    WriteFile(home_.File("SetData1.ini"), "[Setting_R]\r\n" + port + "[Setting_S]\r\n" + port);
  }

  std::string Cli(const std::string& args) {
    return "QUELVO_HOME='" + home_.Path() + "' '" + QUELVO_CLI_PATH + "' " + args;
  }

  void StartControl(std::vector<std::string> extra) {
    std::vector<std::string> args{"--link", link_, "--code", "iso", "--baud", "2400"};
    args.insert(args.end(), extra.begin(), extra.end());
    control_ = std::make_unique<NcsimProcess>(args);
    ASSERT_FALSE(control_->WaitFor("ready", 10000).empty());
  }

  quelvo::test::TempFolder home_;
  std::string link_;
  std::unique_ptr<NcsimProcess> control_;
};

TEST_F(CliTerminal, BarMovesCtrlCStopsTheSendAndThePortIsFreeAfterwards) {
  WriteFile(home_.File("long.nc"), LongProgram(600));  // about 60 s at 2400 baud
  WriteFile(home_.File("short.nc"), "O1\r\nG00X1.\r\nM30\r\n");
  StartControl({});
  TmuxSession tmux(home_.Path(), "send");
  tmux.Start(Cli("send '" + home_.File("long.nc") + "'"), home_.File("status1"));

  // The bar, its percentage and the program number, redrawn with more bytes sent.
  const std::string first = tmux.WaitForPane("\\[#*-*\\] +\\d+%  [1-9]\\d*/\\d+ バイト.*O7000  送信中", 30000);
  ASSERT_FALSE(first.empty()) << tmux.Capture();
  const std::regex sent("(\\d+)/\\d+ バイト");
  std::smatch m;
  ASSERT_TRUE(std::regex_search(first, m, sent));
  const long before = std::stol(m[1]);
  std::string later;
  for (int i = 0; i < 100 && later.empty(); ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(200));
    const std::string pane = tmux.Capture();
    if (std::regex_search(pane, m, sent) && std::stol(m[1]) > before) later = pane;
  }
  EXPECT_FALSE(later.empty()) << "the bar did not move: " << tmux.Capture();
  EXPECT_EQ(std::count(later.begin(), later.end(), '%'), 1) << "the bar is redrawn in place:\n" << later;

  tmux.CtrlC();
  EXPECT_EQ(WaitStatus(home_.File("status1"), 30000), 1) << tmux.Capture();
  // As Esc in the window: a stop while the data goes out is logged with the
  // number of the step it interrupted (a data character).
  const std::string log = Cp932ToUtf8(ReadFile(home_.File("quelvo_S.log")));
  EXPECT_NE(log.find("送信中止　ｴﾗｰ番号 1011"), std::string::npos) << log;
  EXPECT_NE(tmux.Capture().find("送信中止:"), std::string::npos);

  // The port is free: the next send goes through and the pane shows its summary.
  TmuxSession next(home_.Path(), "next");
  next.Start(Cli("send '" + home_.File("short.nc") + "'"), home_.File("status2"));
  EXPECT_EQ(WaitStatus(home_.File("status2"), 60000), 0) << next.Capture();
  EXPECT_TRUE(std::regex_search(next.Capture(), std::regex("送信完了: \\d+ バイト  0:\\d\\d"))) << next.Capture();
}

TEST_F(CliTerminal, CtrlCWhileWaitingForTheControlIsTheUsersStop) {
  // A line on which no control ever answers.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  WriteFile(home_.File("short.nc"), "O1\r\nM30\r\n");
  TmuxSession tmux(home_.Path(), "wait");
  tmux.Start(Cli("send '" + home_.File("short.nc") + "' --port " + ptsname(master)), home_.File("status"));
  ASSERT_FALSE(tmux.WaitForPane("送信待機中", 30000).empty()) << tmux.Capture();
  tmux.CtrlC();
  EXPECT_EQ(WaitStatus(home_.File("status"), 30000), 1) << tmux.Capture();
  const std::string log = Cp932ToUtf8(ReadFile(home_.File("quelvo_S.log")));
  EXPECT_NE(log.find("送信待機中に手動操作にて中止"), std::string::npos) << log;
  EXPECT_NE(log.find("ｴﾗｰ番号 9999"), std::string::npos) << log;
  close(master);
}

TEST_F(CliTerminal, CtrlCStopsAReceptionWithTheStopNumberInTheLog) {
  std::string tape;
  for (int i = 0; i < 600; ++i) tape += "N" + std::to_string(10000 + i) + "X1.\n";
  WriteFile(home_.File("tape.nc"), "O3000\n" + tape + "M30\n");
  StartControl({"--punch", home_.File("tape.nc"), "--punch-after", "1"});
  TmuxSession tmux(home_.Path(), "receive");
  tmux.Start(Cli("receive '" + home_.File("in.nc") + "'"), home_.File("status"));
  ASSERT_FALSE(tmux.WaitForPane("[1-9]\\d* 行.*受信中", 30000).empty()) << tmux.Capture();
  tmux.CtrlC();
  EXPECT_EQ(WaitStatus(home_.File("status"), 30000), 1) << tmux.Capture();
  const std::string log = Cp932ToUtf8(ReadFile(home_.File("quelvo_R.log")));
  EXPECT_NE(log.find("ｴﾗｰ番号 9999"), std::string::npos) << log;
}

}  // namespace
}  // namespace quelvo::cli::test
