// The line tools of quelvo-cli against the simulated control: detect hears a
// control whose line differs from what is tried (the control garbles as a real
// line does), monitor shows both directions, test-line checks a loopback.
#include <gtest/gtest.h>

#include <dirent.h>

#include "CliProcess.h"
#include "NcsimProcess.h"
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

}  // namespace
}  // namespace quelvo::cli::test
