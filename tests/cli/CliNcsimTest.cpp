// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli and the window's command-line path, one table of transfers
// through the simulated NC control: each transfer runs once with
// "quelvo S=... END" / "R=... END" and once with "quelvo-cli send/receive",
// each in a program folder of its own with the same setting, and both must
// leave the same bytes at the control (or the same saved file) and the same
// log texts.
#include <gtest/gtest.h>

#include <unistd.h>

#include <memory>
#include <regex>

#include "CliProcess.h"
#include "core/common/Cp932.h"
#include "NcsimProcess.h"
#include "core/common/Cp932.h"
#include "support/TempFolder.h"

namespace quelvo::cli::test {
namespace {

using ncsim::test::NcsimProcess;

constexpr int kRunTimeoutMs = 60000;

struct TransferCase {
  const char* name;
  bool send;
  const char* settingKeys;  // further keys of the direction's section
  const char* controlCode;  // ncsim --code
};

const TransferCase kCases[] = {
    {"send ISO", true, "Code=0\r\n", "auto"},
    {"send EIA", true, "Code=1\r\n", "auto"},
    {"send ASCII", true, "Code=2\r\n", "ascii"},
    {"receive ISO", false, "Code=0\r\n", "iso"},
    {"receive EIA", false, "Code=0\r\n", "eia"},
    {"receive ASCII", false, "Code=1\r\n", "ascii"},
};

void PrintTo(const TransferCase& c, std::ostream* os) { *os << c.name; }

const char kProgram[] = "%\r\nO1234 (FACE)\r\nN10G90G00X10.Y10.\r\nG01X20.F200;fast\r\nM30\r\n%\r\n";
const char kTape[] = "O2000\nG90G00X10.Y10.\nG01X20.F200\nM30\n";

// What one program left behind.
struct Trace {
  int status = -1;
  std::string atControl;  // what the control decoded, or the saved file
  std::string endLine;    // the control's "end" report: bytes and characters
  std::string log;        // the log without its times, the folder as HOME
  std::string mail;       // the mail notice handed to the mail command, if any
};

std::string Normalised(std::string log, const std::string& home) {
  log = std::regex_replace(log, std::regex("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d"), "TIME");
  for (size_t at; (at = log.find(home)) != std::string::npos;) log.replace(at, home.size(), "HOME");
  return log;
}

Trace RunOne(const TransferCase& c, bool cli) {
  quelvo::test::TempFolder home;
  const std::string link = home.File("ncport");
  const std::string section = c.send ? "[Setting_S]\r\n" : "[Setting_R]\r\n";
  WriteFile(home.File("SetData1.ini"), section + "Port=" + link + "\r\n" + c.settingKeys);
  WriteFile(home.File("O1234.nc"), kProgram);
  WriteFile(home.File("tape.nc"), kTape);
  std::vector<std::string> control{"--link", link, "--code", c.controlCode, "--baud", "0", "--once",
                                   "--out", home.File("at-control.nc")};
  if (!c.send) {
    control.insert(control.end(), {"--punch", home.File("tape.nc"), "--punch-after", "1"});
  }
  NcsimProcess ncsim(control);
  EXPECT_FALSE(ncsim.WaitFor("ready", 10000).empty());

  const std::string target = home.File("received.nc");
  std::vector<std::string> args;
  std::string program;
  std::vector<std::pair<std::string, std::string>> env{{"QUELVO_HOME", home.Path()},
                                                       {"QUELVO_SENDMAIL", "cat > '" + home.File("mail.txt") + "'"}};
  if (cli) {
    program = QUELVO_CLI_PATH;
    args = c.send ? std::vector<std::string>{"send", home.File("O1234.nc"), "--quiet"}
                  : std::vector<std::string>{"receive", target, "--quiet"};
  } else {
    program = QUELVO_PATH;
    args = {c.send ? "S=" + home.File("O1234.nc") : "R=" + target, "END"};
    env.insert(env.end(), {{"XDG_RUNTIME_DIR", home.Path()},
                           {"QT_QPA_PLATFORM", "offscreen"},
                           {"QUELVO_POWEROFF", "/bin/true"},
                           {"QUELVO_NO_PORT_PROBE", "1"}});
  }
  ChildProcess run(program, args, env, home.File("run"));
  Trace trace;
  trace.status = run.WaitExit(kRunTimeoutMs);
  trace.endLine = ncsim.WaitFor("end", 10000);
  ncsim.WaitExit(10000);
  trace.atControl = ReadFile(c.send ? home.File("at-control.nc") : target);
  trace.log = Normalised(ReadFile(home.File(c.send ? "quelvo_S.log" : "quelvo_R.log")), home.Path());
  trace.mail = ReadFile(home.File("mail.txt"));
  return trace;
}

// The body of a mail notice (base64 after the headers), its times as TIME.
std::string MailBody(const std::string& mail) {
  const size_t start = mail.find("\n\n");
  if (start == std::string::npos) return "";
  static const std::string kAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
  std::string body;
  unsigned bits = 0;
  int count = 0;
  for (size_t i = start + 2; i < mail.size(); ++i) {
    const size_t value = kAlphabet.find(mail[i]);
    if (value == std::string::npos) continue;
    bits = (bits << 6) | static_cast<unsigned>(value);
    count += 6;
    if (count >= 8) {
      count -= 8;
      body += static_cast<char>((bits >> count) & 0xFF);
    }
  }
  return std::regex_replace(body, std::regex("\\d{4}/\\d\\d/\\d\\d \\d\\d:\\d\\d:\\d\\d"), "TIME");
}

class CliAgainstWindow : public ::testing::TestWithParam<TransferCase> {};

TEST_P(CliAgainstWindow, SameWireBytesSavedFilesAndLogTexts) {
  {
    const TransferCase& c = GetParam();
    const Trace window = RunOne(c, false);
    const Trace cli = RunOne(c, true);
    EXPECT_EQ(window.status, 0);
    EXPECT_EQ(cli.status, 0);
    EXPECT_FALSE(cli.atControl.empty());
    EXPECT_EQ(cli.atControl, window.atControl);
    EXPECT_FALSE(cli.log.empty());
    EXPECT_EQ(cli.log, window.log);
    if (c.send) {
      EXPECT_NE(cli.endLine.find("parity_errors=0 undecoded=0"), std::string::npos) << cli.endLine;
      EXPECT_EQ(cli.endLine, window.endLine);
    }
  }
}

// send --from: the control gets the preamble and the rest of the program,
// framed and coded as a whole send is, and the log names the restart line.
TEST(CliRestartSend, TheControlGetsThePreambleAndTheRestOfTheProgram) {
  quelvo::test::TempFolder home;
  const std::string link = home.File("ncport");
  WriteFile(home.File("SetData1.ini"), "[Setting_S]\r\nPort=" + link + "\r\nCode=0\r\n");
  WriteFile(home.File("O1001.nc"), "%\r\nO1001 (POCKET)\r\nG21 G17 G90 G54\r\nT1 M06\r\nG00 X0 Y0 S1200 M03\r\n"
                                   "G43 Z50. H1 M08\r\nG01 Z-1. F150.\r\nN110 X40. F300.\r\nN120 Y20.\r\n"
                                   "G00 Z50. M09\r\nM30\r\n%\r\n");
  NcsimProcess ncsim({"--link", link, "--code", "auto", "--baud", "0", "--once", "--out", home.File("at-control.nc")});
  ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
  ChildProcess run(QUELVO_CLI_PATH, {"send", home.File("O1001.nc"), "--from", "N120", "--quiet"},
                   {{"QUELVO_HOME", home.Path()}}, home.File("run"));
  EXPECT_EQ(run.WaitExit(kRunTimeoutMs), 0);
  const std::string end = ncsim.WaitFor("end", 10000);
  ncsim.WaitExit(10000);
  EXPECT_NE(end.find("parity_errors=0 undecoded=0"), std::string::npos) << end;
  EXPECT_EQ(ReadFile(home.File("at-control.nc")),
            "O1001 (POCKET)\n(RESTART L9)\nG21 G17 G90 G54 F300.\nT1 M06\nS1200 M03\nM08\nG00 G43 Z50. H1\n"
            "G00 X40. Y0.\nG01 Z-1.\nN120 Y20.\nG00 Z50. M09\nM30\n\n%");
  const std::string log = Cp932ToUtf8(ReadFile(home.File("quelvo_S.log")));
  EXPECT_NE(log.find("  途中から送信 再開行は9行目: N120 Y20."), std::string::npos) << log;
}

// The mail notice the setting asks for: quelvo-cli sends the window's.
TEST(CliAgainstWindowMail, SameMailNoticeAfterASend) {
  const TransferCase c{"send with mail", true,
                       "Code=0\r\nMail_Flg=Y\r\nMail_Address=shop@example.com\r\nMail_Subject=NC\r\n", "auto"};
  const Trace window = RunOne(c, false);
  const Trace cli = RunOne(c, true);
  EXPECT_EQ(window.status, 0);
  EXPECT_EQ(cli.status, 0);
  for (const Trace* t : {&window, &cli}) {
    EXPECT_NE(t->mail.find("To: shop@example.com\n"), std::string::npos) << t->mail;
    EXPECT_EQ(MailBody(t->mail), "開始 TIME\n終了 TIME\n送信無事完了しました。");
  }
  EXPECT_EQ(MailBody(cli.mail), MailBody(window.mail));
}

INSTANTIATE_TEST_SUITE_P(Codes, CliAgainstWindow, ::testing::ValuesIn(kCases),
                         [](const ::testing::TestParamInfo<TransferCase>& info) {
                           std::string name = info.param.name;
                           for (char& ch : name) {
                             if (ch == ' ') ch = '_';
                           }
                           return name;
                         });

// What a reception says about its log: a log that cannot be saved is said on
// stderr (the reception itself is kept), and Power_Off "Y" alone names no
// power-off, as quelvo-cli never switches the PC off.
TEST(CliReceiveLog, SaysWhatHappenedToTheLog) {
  const struct {
    const char* name;
    bool linkAtLog;
    bool powerOff;
  } cases[] = {{"a link at quelvo_R.log", true, false}, {"Power_Off Y", false, true}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    quelvo::test::TempFolder home;
    const std::string link = home.File("ncport");
    WriteFile(home.File("SetData1.ini"), "[Setting_R]\r\nPort=" + link + "\r\nCode=0\r\n");
    WriteFile(home.File("tape.nc"), kTape);
    if (c.powerOff) WriteFile(home.File("quelvo.INI"), "[Options]\r\nPower_Off=Y\r\n");
    if (c.linkAtLog) {
      ASSERT_EQ(symlink(home.File("elsewhere").c_str(), home.File("quelvo_R.log").c_str()), 0);
    }
    NcsimProcess ncsim({"--link", link, "--code", "iso", "--baud", "0", "--once", "--punch",
                        home.File("tape.nc"), "--punch-after", "1"});
    ASSERT_FALSE(ncsim.WaitFor("ready", 10000).empty());
    const std::string target = home.File("received.nc");
    ChildProcess run(QUELVO_CLI_PATH, {"receive", target, "--quiet"}, {{"QUELVO_HOME", home.Path()}},
                     home.File("run"));
    EXPECT_EQ(run.WaitExit(kRunTimeoutMs), 0);
    EXPECT_NE(ReadFile(target).find("O2000"), std::string::npos);
    const std::string err = ReadFile(home.File("run.err"));
    EXPECT_EQ(err.find("受信ログファイルが保存できません。") != std::string::npos, c.linkAtLog) << err;
    if (c.linkAtLog) {
      EXPECT_FALSE(access(home.File("elsewhere").c_str(), F_OK) == 0) << "the link was followed";
    } else {
      const std::string log = ReadFile(home.File("quelvo_R.log"));
      EXPECT_NE(log.find(Utf8ToCp932("  受信完了")), std::string::npos) << log;
      EXPECT_EQ(log.find(Utf8ToCp932("電源断")), std::string::npos) << log;
    }
  }
}

}  // namespace
}  // namespace quelvo::cli::test
