// SPDX-License-Identifier: GPL-3.0-or-later
// The line tools of quelvo-cli against the simulated control: detect hears a
// control whose line differs from what is tried (the control garbles as a real
// line does), monitor shows both directions, test-line checks a loopback.
#include <gtest/gtest.h>

#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>

#include <atomic>
#include <thread>

#include "CliProcess.h"
#include "core/common/Cp932.h"
#include "NcsimProcess.h"
#include "Ser2netProcess.h"
#include "support/TempFolder.h"

namespace quelvo::cli::test {
namespace {

using ncsim::test::NcsimProcess;

const char kTape[] = "O2000 (DETECT)\nG90G00X10.Y10.\nG01X20.F200\nS1000M03\nM30\n";

struct DetectCase {
  const char* code;  // ncsim --code
  const char* baud;
  const char* stop;
  const char* expectSpeed;
  const char* expectCode;
};

const DetectCase kDetectCases[] = {
    {"iso", "9600", "2", "通信速度: 9600", "コード: ISO"},
    {"eia", "2400", "1", "通信速度: 2400", "コード: EIA"},
    {"ascii", "19200", "2", "通信速度: 19200", "コード: ASCII (データ長 7"},
    {"iso", "14400", "1", "通信速度: 14400", "コード: ISO"},
};

struct CliRun {
  int status = -1;
  std::string out, err;
};

CliRun RunCli(const quelvo::test::TempFolder& home, const std::vector<std::string>& args) {
  ChildProcess run(QUELVO_CLI_PATH, args, {{"QUELVO_HOME", home.Path()}}, home.File("run"));
  CliRun r;
  r.status = run.WaitExit(120000);
  r.out = ReadFile(home.File("run.out"));
  r.err = ReadFile(home.File("run.err"));
  return r;
}

std::string SettingFiles(const std::string& folder) {
  std::string all;
  if (DIR* dir = opendir(folder.c_str())) {
    while (dirent* e = readdir(dir)) {
      if (std::string(e->d_name).rfind("SetData", 0) == 0) all += ReadFile(folder + "/" + e->d_name);
    }
    closedir(dir);
  }
  return all;
}

TEST(CliDetect, FindsSpeedAndCodeOfAGarblingControl) {
  for (const DetectCase& c : kDetectCases) {
    quelvo::test::TempFolder home;
    const std::string link = home.File("ncport");
    WriteFile(home.File("tape.nc"), kTape);
    NcsimProcess ncsim({"--link", link, "--code", c.code, "--baud", c.baud, "--stop", c.stop, "--garble",
                        "--punch", home.File("tape.nc"), "--punch-after", "1"});
    ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
    const CliRun r = RunCli(home, {"detect", "--port", link, "--wait", "20"});
    EXPECT_EQ(r.status, 0) << c.code << ' ' << c.baud << '\n' << r.out << r.err;
    EXPECT_NE(r.out.find(c.expectSpeed), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(c.expectCode), std::string::npos) << r.out;
    EXPECT_EQ(SettingFiles(home.Path()), "") << "nothing is saved without --save";
  }
}

TEST(CliDetect, SavesOnlyWithAYes) {
  quelvo::test::TempFolder home;
  const std::string link = home.File("ncport");
  WriteFile(home.File("tape.nc"), kTape);
  NcsimProcess ncsim({"--link", link, "--code", "eia", "--baud", "4800", "--garble", "--punch",
                      home.File("tape.nc"), "--punch-after", "1"});
  ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
  // No terminal and no --yes: the answer is no.
  CliRun r = RunCli(home, {"detect", "--port", link, "--save", "2", "--wait", "20"});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_EQ(SettingFiles(home.Path()), "");

  r = RunCli(home, {"detect", "--port", link, "--save", "2", "--yes", "--wait", "20"});
  EXPECT_EQ(r.status, 0) << r.out << r.err;
  const std::string saved = SettingFiles(home.Path());
  EXPECT_NE(saved.find("Speed=1"), std::string::npos) << saved;  // 4800
  EXPECT_NE(saved.find("Code=2"), std::string::npos) << saved;   // receive: EIA
  EXPECT_NE(saved.find("STbit=1"), std::string::npos) << saved;  // 2 stop bits
}

TEST(CliMonitor, ShowsTheControlsTapeInItsCodeAndSavesIt) {
  quelvo::test::TempFolder home;
  const std::string link = home.File("ncport");
  WriteFile(home.File("tape.nc"), kTape);
  // The setting says 2 stop bits, EIA/ISO decided from the data.
  WriteFile(home.File("SetData1.ini"), "[Setting_R]\r\nSpeed=2\r\nCode=0\r\n");
  NcsimProcess ncsim({"--link", link, "--code", "eia", "--baud", "9600", "--punch", home.File("tape.nc"),
                      "--punch-after", "1", "--once"});
  ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
  const CliRun r = RunCli(home, {"monitor", "--port", link, "--seconds", "4", "--save", home.File("seen.txt")});
  EXPECT_EQ(r.status, 0) << r.err;
  const std::string saved = ReadFile(home.File("seen.txt"));
  EXPECT_EQ(saved, r.out);
  for (const char* expected : {"NC→PC  <DC1>", "NC→PC  %<LF>", "NC→PC  O2000 (DETECT)<LF>",
                               "NC→PC  G01X20.F200<LF>", "9600 bps", "読めません", "パリティ誤り 0"}) {
    EXPECT_NE(saved.find(expected), std::string::npos) << expected << '\n' << saved;
  }
}

// The driver's error counts in --json: a pseudo-terminal keeps none, and the
// JSON says so whether the line was clean or garbled (a control at 4800
// heard at 9600); the log gets no count line, as with a driver whose counts
// are all zero.
TEST(CliReceive, JsonSaysWhenThePortKeepsNoErrorCounts) {
  for (const char* baud : {"9600", "4800"}) {
    SCOPED_TRACE(baud);
    quelvo::test::TempFolder home;
    const std::string link = home.File("ncport");
    WriteFile(home.File("tape.nc"), kTape);
    WriteFile(home.File("SetData1.ini"), "[Setting_R]\r\nPort=" + link + "\r\nSpeed=2\r\nSTbit=0\r\nCode=3\r\n");
    NcsimProcess ncsim({"--link", link, "--code", "iso", "--baud", baud, "--stop", "1", "--garble", "--punch",
                        home.File("tape.nc"), "--punch-after", "1", "--once"});
    ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
    const CliRun r = RunCli(home, {"receive", home.File("got.nc"), "--json", "--yes", "--timeout", "6"});
    EXPECT_NE(r.out.find("\"line_errors\":null,\"line_errors_note\":\"このﾎﾟｰﾄは回線ｴﾗｰを数えません\""),
              std::string::npos)
        << r.out << r.err;
    if (std::string(baud) == "9600") {
      EXPECT_EQ(r.status, 0) << r.out << r.err;
    }
    const std::string log = ReadFile(home.File("quelvo_R.log"));
    EXPECT_FALSE(log.empty());
    EXPECT_EQ(log.find(Utf8ToCp932("回線ｴﾗｰ")), std::string::npos);
  }
}

// Through a device server: RFC 2217 sets the line's speed from here, so the
// control garbles as over a cable and detect finds it; a raw TCP port has the
// server's speed, so only the code is found and the speed is said to be
// unknowable. The monitor watches over raw TCP.
TEST(CliNetworkPort, DetectAndMonitorThroughADeviceServer) {
  if (quelvo::test::Ser2netProcess::Program().empty()) GTEST_SKIP() << "ser2net is not installed";
  quelvo::test::TempFolder home;
  const std::string link = home.File("ncport");
  WriteFile(home.File("tape.nc"), kTape);
  NcsimProcess ncsim({"--link", link, "--code", "iso", "--baud", "4800", "--garble", "--punch",
                      home.File("tape.nc"), "--punch-after", "1"});
  ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
  quelvo::test::Ser2netProcess server(home.Path(), link);
  ASSERT_TRUE(server.Ready());

  // Each run only after the control has moved to a fresh line behind the
  // server's last connection.
  const auto settle = [] { std::this_thread::sleep_for(std::chrono::milliseconds(1500)); };
  // The monitor first, on the control's first opening.
  settle();
  CliRun r = RunCli(home, {"monitor", "--port", server.RawPortText(), "--seconds", "5"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("デバイスサーバーの設定"), std::string::npos) << r.out;
  // ser2net keeps its own speed, not the control's: the tape arrives garbled.
  EXPECT_NE(r.out.find("NC→PC  "), std::string::npos) << r.out;

  settle();
  r = RunCli(home, {"detect", "--port", server.TelnetPortText(), "--wait", "20"});
  EXPECT_EQ(r.status, 0) << r.out << r.err << ::testing::PrintToString(ncsim.Lines());
  EXPECT_NE(r.out.find("通信速度: 4800"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("コード: ISO"), std::string::npos) << r.out;

  settle();
  r = RunCli(home, {"detect", "--port", server.RawPortText(), "--wait", "2"});
  EXPECT_NE(r.err.find("ここからは判別できません"), std::string::npos) << r.err;
}

// A loopback plug on a pseudo-terminal: everything written to the port comes
// back. `lateDc3` plays an adapter that does not honour XOFF at once: a DC3
// comes back only after that many further characters have passed.
class PtyLoopback {
 public:
  PtyLoopback(const std::string& link, int lateDc3) : lateDc3_(lateDc3) {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    grantpt(master_);
    unlockpt(master_);
    if (symlink(ptsname(master_), link.c_str()) != 0) ADD_FAILURE() << "cannot link " << link;
    thread_ = std::thread([this] { Echo(); });
  }
  ~PtyLoopback() {
    stop_ = true;
    thread_.join();
    close(master_);
  }

 private:
  void Echo() {
    int held = -1;  // characters passed since a held DC3, -1 none held
    while (!stop_) {
      pollfd p{master_, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0 || (p.revents & POLLIN) == 0) continue;
      unsigned char buffer[256];
      const ssize_t n = read(master_, buffer, sizeof buffer);
      for (ssize_t i = 0; i < n; ++i) {
        const unsigned char b = buffer[i];
        if (b == 0x13 && lateDc3_ > 0) {
          held = 0;
          continue;
        }
        (void)!write(master_, &b, 1);
        if (held >= 0 && ++held >= lateDc3_) {
          const unsigned char dc3 = 0x13;
          (void)!write(master_, &dc3, 1);
          held = -1;
        }
      }
    }
  }

  int master_ = -1;
  int lateDc3_;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

TEST(CliTestLine, AHonouringPortPassesALateOneIsNamed) {
  struct Case {
    int lateDc3;
    int status;
    const char* xoffLine;
  };
  for (const Case& c : {Case{0, 0, "XOFF: OK"}, Case{60, 1, "XOFF: NG"}}) {
    quelvo::test::TempFolder home;
    const std::string link = home.File("loop");
    PtyLoopback plug(link, c.lateDc3);
    WriteFile(home.File("SetData1.ini"), "[Setting_S]\r\nSpeed=2\r\n");
    const CliRun r = RunCli(home, {"test-line", "--port", link});
    EXPECT_EQ(r.status, c.status) << r.out << r.err;
    EXPECT_NE(r.out.find("折り返し: OK"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find(c.xoffLine), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("モデム信号線: 読めません"), std::string::npos) << r.out;
    if (c.status != 0) {
      EXPECT_NE(r.out.find(link + " は XOFF をすぐには守りません"), std::string::npos) << r.out;
    }
  }
}

TEST(CliTestLine, NothingComesBackWithoutAPlug) {
  quelvo::test::TempFolder home;
  const std::string link = home.File("ncport");
  // The control only listens: nothing is echoed.
  NcsimProcess ncsim({"--link", link, "--baud", "0", "--invite-ms", "600000"});
  ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
  const CliRun r = RunCli(home, {"test-line", "--port", link});
  EXPECT_EQ(r.status, 1) << r.out << r.err;
  EXPECT_NE(r.out.find("折り返し: NG  何も戻りません"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("XOFF: 調べられません"), std::string::npos) << r.out;
}

}  // namespace
}  // namespace quelvo::cli::test
