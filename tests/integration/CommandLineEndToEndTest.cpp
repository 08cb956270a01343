// SPDX-License-Identifier: GPL-3.0-or-later
// The command line end to end: the built program on the offscreen platform, in
// a program folder of its own, talking to the simulated NC control over a
// pseudo-terminal. Each test starts Quelvo with transfer arguments and "END"
// and checks that it transfers and then closes by itself.
#include <gtest/gtest.h>
#include <signal.h>
#include <stdio.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "NcsimProcess.h"
#include "core/common/Cp932.h"
#include "core/document/DocumentTitle.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

using ncsim::test::NcsimProcess;

constexpr int kQuelvoTimeoutMs = 60000;

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// Quelvo started with its own program folder, lock folder and harmless mail and
// power-off commands (the power-off touches "powered-off" in the folder); the test waits for it to close by itself.
class QuelvoRun {
 public:
  QuelvoRun(const std::string& home, const std::vector<std::string>& args,
            const std::string& program = QUELVO_PATH) {
    pid_ = fork();
    if (pid_ == 0) {
      setenv("QUELVO_HOME", home.c_str(), 1);
      setenv("XDG_RUNTIME_DIR", home.c_str(), 1);  // its own single-instance lock
      setenv("QT_QPA_PLATFORM", "offscreen", 1);
      setenv("QUELVO_SENDMAIL", "/bin/true", 1);
      // Power-off only leaves a mark in the program folder.
      setenv("QUELVO_POWEROFF", ("touch '" + home + "/powered-off'").c_str(), 1);
      std::vector<char*> argv{const_cast<char*>(program.c_str())};
      for (const std::string& a : args) argv.push_back(const_cast<char*>(a.c_str()));
      argv.push_back(nullptr);
      execv(program.c_str(), argv.data());
      _exit(127);
    }
  }
  ~QuelvoRun() {
    if (pid_ > 0 && !reaped_) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }
  QuelvoRun(const QuelvoRun&) = delete;
  QuelvoRun& operator=(const QuelvoRun&) = delete;

  // The exit code, or -1 when it is still running after timeoutMs.
  int WaitExit(int timeoutMs) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (std::chrono::steady_clock::now() < deadline) {
      int status = 0;
      if (waitpid(pid_, &status, WNOHANG) == pid_) {
        reaped_ = true;
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      }
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return -1;
  }

  // Kills it as a crash or a power cut would.
  void Kill() {
    if (pid_ <= 0 || reaped_) return;
    kill(pid_, SIGKILL);
    waitpid(pid_, nullptr, 0);
    reaped_ = true;
  }

 private:
  pid_t pid_ = -1;
  bool reaped_ = false;
};

class CommandLineEndToEnd : public ::testing::Test {
 protected:
  void SetUp() override {
    link_ = home_.File("ncport");
    // Settings 1 and 6 (the first OSP setting) use the control's link.
    const std::string setting = "[Setting_R]\r\nPort=" + link_ + "\r\n[Setting_S]\r\nPort=" + link_ + "\r\n";
    WriteFile(home_.File("SetData1.ini"), setting);
    WriteFile(home_.File("SetDataO.ini"), setting);
  }

  // Starts the control and waits until its link is published.
  NcsimProcess& StartControl(std::vector<std::string> extra) {
    std::vector<std::string> args{"--link", link_, "--code", "auto", "--baud", "0", "--once",
                                  "--out", home_.File("at-control.nc")};
    args.insert(args.end(), extra.begin(), extra.end());
    control_ = std::make_unique<NcsimProcess>(args);
    EXPECT_FALSE(control_->WaitFor("ready", 10000).empty()) << "ncsim did not publish its link";
    return *control_;
  }

  test::TempFolder home_;
  std::string link_;
  std::unique_ptr<NcsimProcess> control_;
};

const char kProgram[] = "O1234\r\nG90G00X10.Y10.\r\nG01X20.F200\r\nM30\r\n";

// The installed package's start-and-exit check: "--version" prints and ends at
// once, also while another Quelvo holds the single-instance lock.
TEST_F(CommandLineEndToEnd, VersionAnswersWhileAnotherQuelvoRuns) {
  QuelvoRun first(home_.Path(), {});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kQuelvoTimeoutMs);
  while (!std::ifstream(home_.File("quelvo.lock")).good() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  }
  ASSERT_TRUE(std::ifstream(home_.File("quelvo.lock")).good()) << "the first Quelvo took no lock";

  const std::string command = "QUELVO_HOME='" + home_.Path() + "' XDG_RUNTIME_DIR='" + home_.Path() +
                              "' QT_QPA_PLATFORM=offscreen '" + QUELVO_PATH + "' --version 2>/dev/null";
  FILE* pipe = popen(command.c_str(), "r");
  ASSERT_NE(pipe, nullptr);
  std::string output;
  char buffer[256];
  for (std::size_t got; (got = fread(buffer, 1, sizeof buffer, pipe)) > 0;) output.append(buffer, got);
  const int status = pclose(pipe);
  EXPECT_EQ(output, std::string("Quelvo") + kVersionSuffix + "\n");
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
}

TEST_F(CommandLineEndToEnd, SendArgumentSendsTheFileAndEndClosesAfterwards) {
  const std::string file = home_.File("O1234.NC");
  WriteFile(file, kProgram);
  NcsimProcess& control = StartControl({});
  QuelvoRun quelvo(home_.Path(), {"S=" + file, "END"});
  EXPECT_EQ(quelvo.WaitExit(kQuelvoTimeoutMs), 0);
  EXPECT_FALSE(control.WaitFor("end", 10000).empty());
  const std::string received = ReadFile(home_.File("at-control.nc"));
  EXPECT_NE(received.find("O1234"), std::string::npos) << received;
  EXPECT_NE(received.find("G01X20.F200"), std::string::npos) << received;
  EXPECT_NE(received.find("M30"), std::string::npos) << received;
  EXPECT_NE(ReadFile(home_.File("quelvo_S.log")).find(Utf8ToCp932("送信完了")), std::string::npos);
  EXPECT_FALSE(std::ifstream(home_.File("powered-off")).good()) << "Power_Off is N";
}

TEST_F(CommandLineEndToEnd, ReceiveArgumentSavesWhatTheControlPunchesThenPowersOff) {
  const std::string tape = home_.File("punch.nc");
  WriteFile(tape, "O2000\nG90G00X10.Y10.\nG01X20.F200\nM30\n");
  WriteFile(home_.File("quelvo.INI"), "[Options]\r\nPower_Off=Y\r\n");
  StartControl({"--punch", tape, "--punch-after", "1"});
  const std::string target = home_.File("received.nc");
  QuelvoRun quelvo(home_.Path(), {"R=" + target, "/END"});
  EXPECT_EQ(quelvo.WaitExit(kQuelvoTimeoutMs), 0);
  const std::string saved = ReadFile(target);
  EXPECT_NE(saved.find("O2000\r\n"), std::string::npos) << saved;
  EXPECT_NE(saved.find("G01 X20. F200\r\n"), std::string::npos) << saved;  // word spacing on by default
  EXPECT_NE(saved.find("M30"), std::string::npos) << saved;
  EXPECT_TRUE(std::ifstream(home_.File("powered-off")).good()) << "Power_Off is Y";
  EXPECT_NE(ReadFile(home_.File("quelvo_R.log")).find(Utf8ToCp932("  自動で電源断\r\n")), std::string::npos);
}

// An upgrade replaces the program file while Quelvo runs. The reception's log
// and, at the close, the program settings keep the program's own names.
TEST_F(CommandLineEndToEnd, ProgramFileReplacedWhileRunningKeepsItsFileNames) {
  namespace fs = std::filesystem;
  const std::string program = home_.File("bin/quelvo");
  fs::create_directories(home_.File("bin"));
  fs::copy_file(QUELVO_PATH, program);
  const std::string tape = home_.File("punch.nc");
  WriteFile(tape, "O2100\nM30\n");
  StartControl({"--punch", tape, "--punch-after", "3"});
  const std::string target = home_.File("received.nc");
  QuelvoRun quelvo(home_.Path(), {"R=" + target, "/END"}, program);

  // Replaced as soon as it runs: the single-instance lock shows it started.
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(kQuelvoTimeoutMs);
  while (!fs::exists(home_.File("quelvo.lock")) && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  ASSERT_TRUE(fs::exists(home_.File("quelvo.lock"))) << "Quelvo did not start";
  fs::remove(program);
  fs::copy_file(QUELVO_PATH, program);

  EXPECT_EQ(quelvo.WaitExit(kQuelvoTimeoutMs), 0);
  EXPECT_NE(ReadFile(target).find("O2100"), std::string::npos);
  EXPECT_NE(ReadFile(home_.File("quelvo_R.log")).find(Utf8ToCp932("受信完了")), std::string::npos);
  EXPECT_TRUE(fs::exists(home_.File("quelvo.INI"))) << "settings not written at the close";
  for (const auto& entry : fs::directory_iterator(home_.Path())) {
    EXPECT_EQ(entry.path().filename().string().find("(deleted)"), std::string::npos) << entry.path();
  }
}

// A reception killed mid-way keeps the lines that came: they reach the file
// while the control is still punching, long before a block of 1000 lines fills.
TEST_F(CommandLineEndToEnd, ReceptionKilledMidWayKeepsTheLinesThatCame) {
  std::string program = "O3000\n";
  for (int i = 0; i < 900; ++i) program += "N" + std::to_string(10000 + i) + "X1.\n";
  WriteFile(home_.File("punch.nc"), program + "M30\n");
  // About 40 seconds of punching at 2400 baud.
  StartControl({"--punch", home_.File("punch.nc"), "--punch-after", "1", "--baud", "2400"});
  const std::string target = home_.File("received.nc");
  QuelvoRun quelvo(home_.Path(), {"R=" + target, "/END"});
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
  std::string seen;
  while (std::chrono::steady_clock::now() < deadline) {
    seen = ReadFile(target);
    if (std::count(seen.begin(), seen.end(), '\n') >= 3) break;
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
  }
  quelvo.Kill();
  const std::string kept = ReadFile(target);
  EXPECT_GE(std::count(kept.begin(), kept.end(), '\n'), 3) << "lines in hand were never written";
  EXPECT_EQ(kept.rfind("O3000\r\nN10000", 0), 0u) << kept.substr(0, 40);
  EXPECT_LT(kept.size(), program.size()) << "the kill came before the end of the tape";
}

TEST_F(CommandLineEndToEnd, SettingElevenSendsTheOspFileNameHeader) {
  const std::string file = home_.File("part1.nc");
  WriteFile(file, kProgram);
  NcsimProcess& control = StartControl({});
  QuelvoRun quelvo(home_.Path(), {"N=11", "S=" + file, "END"});
  EXPECT_EQ(quelvo.WaitExit(kQuelvoTimeoutMs), 0);
  EXPECT_FALSE(control.WaitFor("end", 10000).empty());
  const std::string received = ReadFile(home_.File("at-control.nc"));
  EXPECT_NE(received.find("PART1.MIN"), std::string::npos) << received;
  EXPECT_NE(received.find("G01X20.F200"), std::string::npos) << received;
  // The choice is stored as the active setting for later runs.
  EXPECT_NE(ReadFile(home_.File("quelvo.INI")).find("SetNo=6"), std::string::npos);
}

}  // namespace
}  // namespace quelvo
