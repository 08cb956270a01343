// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-cli's commands run in this process on a program folder of their own:
// the pre-send check on programs with known faults, and bad usage and bad
// input, each with its message and exit status and nothing written.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>

#include <atomic>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "cli/CliCommand.h"
#include "cli/ProgressView.h"
#include "core/common/TerminalCells.h"
#include "support/TempFolder.h"

namespace quelvo::cli {
namespace {

void WriteFile(const std::string& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

struct CliResult {
  int status;
  std::string out;
  std::string err;
};

class CliCommandTest : public ::testing::Test {
 protected:
  void SetUp() override { setenv("QUELVO_HOME", home_.Path().c_str(), 1); }
  void TearDown() override { unsetenv("QUELVO_HOME"); }

  // Setting 1's send half: its [Setting_S] lines.
  void SendSetting(const std::string& lines) {
    WriteFile(home_.File("SetData1.ini"), "[Setting_S]\r\n" + lines);
  }

  CliResult Run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int status = RunCli(args, {out, err});
    return {status, out.str(), err.str()};
  }

  test::TempFolder home_;
};

struct CheckCase {
  const char* name;
  const char* setting;  // [Setting_S] lines of setting 1
  const char* program;
  const char* expected;  // the finding lines, FILE standing for the file
  int status;
};

// Each program carries faults whose exact place the check must name.
const CheckCase kCheckCases[] = {
    {"clean ISO program", "Code=0\r\n", "O1000\r\nG00X1.\r\nM30\r\n",
     "FILE:1:1: 情報: プログラム番号 O1000\n", 0},
    {"EIA lacks lower case and the colon", "Code=1\r\n", ":1000\r\nG00x1.\r\nM30\r\n",
     "FILE:1:1: 変更: \":\" は EIA コードでは \"O\" として送信されます\n"
     "FILE:1:1: 情報: プログラム番号 O1000\n"
     "FILE:2:4: 変更: \"x\" は EIA コードに無く送信されません\n",
     1},
    {"percent lines, tabs and comments are left out", "Code=0\r\n", "%\r\nO1\r\nG00\tX1.;note\r\nM30\r\n%\r\n",
     "FILE:1:1: 変更: \"%\" だけの行は送信されません\n"
     "FILE:2:1: 情報: プログラム番号 O1\n"
     "FILE:3:4: 変更: タブは送信されません\n"
     "FILE:3:8: 変更: \";\" 以降はコメントとして送信されません\n"
     "FILE:5:1: 変更: \"%\" だけの行は送信されません\n",
     1},
    {"what a control rejects is a warning only", "Code=0\r\n",
     "G00X1.(START\r\nM30\r\nO5\r\nm30\r\nO5\r\nM30\r\n",
     "FILE:1:1: 注意: プログラム番号がありません\n"
     "FILE:1:7: 注意: \"(\" が閉じていません\n"
     "FILE:3:1: 情報: プログラム番号 O5\n"
     "FILE:4:1: 注意: 小文字は NC 機が受け付けないことがあります\n"
     "FILE:5:1: 注意: プログラム番号 O5 が重複しています (最初は 3 行)\n",
     0},
    {"sequence numbers, feed points and SendMsg", "Code=0\r\nN_non=Y\r\nF_non=Y\r\nSendMsg=SECRET\r\n",
     "O2\r\nN10G01X1.F200.\r\nM30 SECRET\r\n",
     "FILE:1:1: 情報: プログラム番号 O2\n"
     "FILE:2:1: 変更: シーケンス番号は送信されません (N_non)\n"
     "FILE:2:14: 変更: F の小数点は送信されません (F_non)\n"
     "FILE:3:5: 変更: SendMsg \"SECRET\" は空白に置き換えられます\n",
     1},
    {"multi-byte text cannot go in ISO", "Code=0\r\n", "O3\r\n(\x93\xfa\x96\x7b)\r\nM30\r\n",
     "FILE:1:1: 情報: プログラム番号 O3\n"
     "FILE:2:2: 変更: 全角文字は ISO コードでは送れません\n"
     "FILE:2:4: 変更: 全角文字は ISO コードでは送れません\n",
     1},
    {"multi-byte text goes in ASCII", "Code=2\r\n", "O3\r\n(\x93\xfa\x96\x7b)\r\nM30\r\n",
     "FILE:1:1: 情報: プログラム番号 O3\n", 0},
    // Read as CP932 the comment's ")" would be swallowed: one finding says what the file is.
    {"a UTF-8 file is no Shift-JIS file", "Code=2\r\n", "O4\r\nG00X1.(工具)\r\nM30\r\n",
     "FILE:2:8: 変更: このファイルは Shift-JIS ではなく UTF-8 で書かれています。"
     "このまま送ると文字が化けます。Shift-JIS で保存し直してください\n",
     1},
};

TEST_F(CliCommandTest, CheckNamesEveryFaultAtItsLineAndColumn) {
  for (const CheckCase& c : kCheckCases) {
    SCOPED_TRACE(c.name);
    SendSetting(c.setting);
    const std::string file = home_.File("p.nc");
    WriteFile(file, c.program);
    const CliResult result = Run({"check", file});
    std::string expected = c.expected;
    for (size_t at; (at = expected.find("FILE")) != std::string::npos;) expected.replace(at, 4, file);
    // The findings, then the one summary line.
    const size_t summary = result.out.rfind(file + ": プログラム");
    ASSERT_NE(summary, std::string::npos) << result.out;
    EXPECT_EQ(result.out.substr(0, summary), expected);
    EXPECT_EQ(result.status, c.status);
  }
}

TEST_F(CliCommandTest, CheckEstimatesTheTimeAtTheSettingsSpeed) {
  SendSetting("Speed=2\r\nSTbit=1\r\n");  // 9600 bit/s, 2 stop bits: 873 characters a second
  std::string program = "O1\r\n";
  for (int i = 0; i < 872; ++i) program += "G01X1.\r\n";  // 8 characters each with CR LF
  WriteFile(home_.File("long.nc"), program);
  const CliResult result = Run({"check", home_.File("long.nc")});
  EXPECT_NE(result.out.find("6980 文字, 送信時間の目安 0:07 (9600 bps)"), std::string::npos) << result.out;
}

// A network port's far end on the loopback interface that accepts one client,
// sends `greeting` and then says nothing more until the client goes.
class SilentServer {
 public:
  explicit SilentServer(std::string greeting) {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t size = sizeof address;
    getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
    listen(listener_, 1);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, greeting] {
      int client = -1;
      while (client < 0 && !stop_) {
        pollfd p{listener_, POLLIN, 0};
        if (poll(&p, 1, 20) == 1) client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
      }
      if (client < 0) return;
      (void)!write(client, greeting.data(), greeting.size());
      char buffer[256];
      while (!stop_) {
        pollfd p{client, POLLIN, 0};
        if (poll(&p, 1, 20) == 1 && read(client, buffer, sizeof buffer) <= 0) break;
      }
      close(client);
    });
  }
  ~SilentServer() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }
  std::string Text(const char* scheme) const { return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_); }

 private:
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::thread thread_;
};

struct UsageCase {
  const char* name;
  std::vector<std::string> args;  // "HOME/" stands for the program folder
  int status;
  const char* message;  // part of stderr
};

TEST_F(CliCommandTest, BadUsageAndBadInputSayWhatIsWrongWithTheirStatus) {
  ASSERT_EQ(mkdir(home_.File("folder").c_str(), 0700), 0);
  WriteFile(home_.File("p.nc"), "O1\r\nM30\r\n");
  // A pseudo-terminal that another process holds open.
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);
  const pid_t holder = fork();
  if (holder == 0) {
    const int fd = open(slave.c_str(), O_RDWR | O_NOCTTY);
    pause();
    _exit(fd < 0);
  }
  usleep(200000);
  // Both halves on a port that does not exist: no case may reach a real port.
  const std::string noPort = "Port=" + home_.File("no-such-port") + "\r\n";
  WriteFile(home_.File("SetData1.ini"), "[Setting_R]\r\n" + noPort + "[Setting_S]\r\n" + noPort);

  // A raw server that never invites the send, and a telnet server that takes
  // up the COM port option (IAC DO COM-PORT) but never confirms a setting.
  SilentServer silent("");
  SilentServer unconfirming(std::string("\xFF\xFD\x2C", 3));
  const std::vector<UsageCase> cases = {
      {"no command", {}, 2, "使い方"},
      {"unknown command", {"sned", "HOME/p.nc"}, 2, "不明なコマンド sned"},
      {"unknown option", {"send", "HOME/p.nc", "--fast"}, 2, "不明なオプション --fast"},
      {"file missing from the command", {"send"}, 2, "引数が足りません"},
      {"setting 0", {"send", "HOME/p.nc", "--setting", "0"}, 2, "通信設定番号 0 は存在しません"},
      {"setting 13", {"receive", "HOME/out.nc", "--setting=13"}, 2, "通信設定番号 13 は存在しません"},
      {"setting 99, on one line", {"send", "HOME/p.nc", "--setting", "99"}, 2,
       "quelvo-cli: 通信設定番号 99 は存在しません。(1〜12)\n"},
      {"setting not a number", {"check", "HOME/p.nc", "--setting", "x"}, 2, "通信設定番号 x は存在しません"},
      {"timeout of no seconds", {"send", "HOME/p.nc", "--timeout", "0"}, 2, "--timeout には 1 以上の秒数"},
      {"timeout not a number", {"receive", "HOME/out.nc", "--timeout=soon"}, 2, "--timeout には"},
      {"a control that never starts, with --timeout", {"send", "HOME/p.nc", "--quiet", "--timeout", "1",
       "--port", silent.Text("tcp")}, 1, "NC 機が 1 秒以内に始めなかった"},
      {"a server that never confirms the line settings",
       {"send", "HOME/p.nc", "--quiet", "--port", unconfirming.Text("rfc2217")}, 3, "did not confirm"},
      {"missing file", {"send", "HOME/none.nc", "--quiet"}, 4, "none.nc を読み込めません"},
      {"a folder as FILE", {"send", "HOME/folder", "--quiet"}, 4, "folder を読み込めません"},
      {"a folder as OUT", {"receive", "HOME/folder", "--quiet"}, 4, "はフォルダです"},
      {"OUT below a file", {"receive", "HOME/p.nc/out.nc", "--quiet"}, 4, "p.nc/out.nc"},
      {"a port that does not exist", {"send", "HOME/p.nc", "--quiet"}, 3, "のポートが開きません"},
      {"a port another program holds", {"send", "HOME/p.nc", "--quiet", "--port", slave}, 3,
       "のポートが開きません"},
      {"a network port nobody listens on", {"send", "HOME/p.nc", "--quiet", "--port", "tcp://127.0.0.1:9"},
       3, "サーバーが接続を拒否しました（Connection refused）"},
  };
  for (const UsageCase& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<std::string> args = c.args;
    for (std::string& a : args) {
      if (a.rfind("HOME/", 0) == 0) a = home_.File(a.substr(5));
    }
    const CliResult result = Run(args);
    EXPECT_EQ(result.status, c.status) << result.err;
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  kill(holder, SIGKILL);
  waitpid(holder, nullptr, 0);
  close(master);
  // Nothing was written where it should not be: no reception file anywhere.
  EXPECT_FALSE(std::ifstream(home_.File("out.nc")).good());
  EXPECT_FALSE(std::ifstream(home_.File("folder/osp_data.tmp")).good());
}

// restart-plan prints the preamble on stdout and the warnings on stderr, or
// refuses with status 1; send --from refuses the same way before it opens
// any port (the setting's port does not exist: a send would end with 3).
TEST_F(CliCommandTest, RestartPlanAndSendFromRefuseBeforeSendingAnything) {
  WriteFile(home_.File("p.nc"), "%\r\nO1001\r\nG21 G90 T1 M06\r\nG00 X0 Y0 S900 M03\r\nG43 Z50. H1\r\n"
                                "N100 G01 Z-1. F150.\r\nN110 X40. F300.\r\nG41 D1 X50.\r\nN130 Y20.\r\n(NOTE)\r\n"
                                "G40 X60.\r\nM30\r\n%\r\n");
  WriteFile(home_.File("SetData1.ini"), "[Setting_S]\r\nPort=" + home_.File("no-such-port") + "\r\n");
  const std::string p = home_.File("p.nc");
  struct Case {
    std::vector<std::string> args;
    int status;
    const char* out;  // a piece of stdout ("" for none at all)
    const char* err;  // a piece of stderr
  } cases[] = {
      {{"restart-plan", p, "N110"}, 0, "G21 G90 F150.\nT1 M06\nS900 M03\nG00 G43 Z50. H1\nG00 X0. Y0.\nG01 Z-1.\n", ""},
      {{"restart-plan", p, "7", "--clearance", "80"}, 0, "G00 G43 Z80. H1\n", ""},
      {{"restart-plan", p, "L9"}, 1, "", "p.nc:9: 再開できません: 工具径補正 G41 D1 (8 行目から) が有効です (8 行目から再開できます)"},
      {{"restart-plan", p, "N120"}, 1, "", "シーケンス番号 N120 のブロックがありません"},
      {{"restart-plan", p, "10"}, 1, "", "10 行目には再開するブロックがありません"},
      {{"restart-plan", p, "99"}, 1, "", "99 行目はありません (最終行は 14 行目)"},
      {{"restart-plan", p, "X1"}, 2, "", "再開位置 X1 が読めません"},
      {{"restart-plan", p}, 2, "", "引数が足りません"},
      {{"restart-plan", p, "7", "--clearance", "1O"}, 2, "", "--clearance の値 1O が数値ではありません"},
      {{"restart-plan", home_.File("none.nc"), "7"}, 4, "", "none.nc を読み込めません"},
      {{"send", p, "--from", "N130", "--quiet"}, 1, "", "何も送信していません"},
      {{"send", p, "--from", "0", "--quiet"}, 2, "", "再開位置 0 が読めません"},
      {{"send", p, "--lathe", "--quiet"}, 2, "", "--lathe は --from と一緒に指定します"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.args.size() > 2 ? c.args[2] : c.args[0]);
    const CliResult r = Run(c.args);
    EXPECT_EQ(r.status, c.status) << r.err;
    if (*c.out == '\0') EXPECT_EQ(r.out, "");
    else EXPECT_NE(r.out.find(c.out), std::string::npos) << r.out;
    EXPECT_NE(r.err.find(c.err), std::string::npos) << r.err;
  }
}

// A long port name widens its column; the columns after it stay in line, and
// a receive port that is the send port is a ditto mark.
TEST_F(CliCommandTest, SettingsTableKeepsItsColumnsWithLongPortNames) {
  const std::string longPort = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10K1234-if00-port0";
  WriteFile(home_.File("SetData1.ini"),
            "[Setting_R]\r\nPort=" + longPort + "\r\n[Setting_S]\r\nPort=" + longPort + "\r\n");
  WriteFile(home_.File("SetData2.ini"), "[Setting_R]\r\nPort=COM2\r\n[Setting_S]\r\nPort=COM1\r\n");
  const CliResult r = Run({"settings"});
  ASSERT_EQ(r.status, 0) << r.err;
  std::istringstream lines(r.out);
  std::string header, one, two;
  std::getline(lines, header);
  std::getline(lines, one);
  std::getline(lines, two);
  // The speed column ("速度", then a speed) starts at the same cell on each line.
  const auto cell = [](const std::string& line, const std::string& word) {
    const size_t at = line.find(word);
    return at == std::string::npos ? std::string::npos : TerminalCells(line.substr(0, at));
  };
  const size_t speed = cell(header, "速度");
  ASSERT_NE(speed, std::string::npos) << r.out;
  EXPECT_EQ(cell(one, longPort) + TerminalCells(longPort) + 2, speed) << r.out;
  EXPECT_EQ(one.substr(one.size() - std::string("〃").size()), "〃") << one;
  EXPECT_EQ(two.substr(two.size() - 4), "COM2") << two;
  EXPECT_EQ(cell(two, "COM1") + TerminalCells(longPort) + 2, speed) << r.out;
}

// The commands whose work is in the core answer through the command table,
// each with its own listing and status.
TEST_F(CliCommandTest, ToolpathStatusPresetsAndQueueRunThroughTheTable) {
  WriteFile(home_.File("p.nc"), "O1\r\nG00X1.Y2.\r\nG01X3.F100.\r\nM30\r\n");
  WriteFile(home_.File("dnc.conf"), "[service]\nstate_dir = state\n"
                                    "[machine mc01]\nport=/dev/x\nsetting=s\nlibrary=l\ninbox=i\nspool=spool\n");
  ASSERT_EQ(mkdir(home_.File("state").c_str(), 0700), 0);
  ASSERT_EQ(mkdir(home_.File("spool").c_str(), 0700), 0);
  const std::string conf = home_.File("dnc.conf");

  CliResult r = Run({"toolpath", home_.File("p.nc")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("2 rapid 1.0000 2.0000 0.0000\n3 feed 3.0000 2.0000 0.0000\n"), std::string::npos) << r.out;
  EXPECT_EQ(Run({"toolpath"}).status, 2);

  r = Run({"status", "--config", conf});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("mc01"), std::string::npos) << r.out;
  EXPECT_EQ(Run({"status", "--config", home_.File("none.conf")}).status, 2);

  // The presets: one numbered line each, one preset key by key, a number
  // outside the list refused as a usage error.
  r = Run({"settings", "--presets"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_EQ(r.out.rfind("1   一般的なISO制御 (9600, 7E2, DC1/DC3)\n", 0), 0u) << r.out;
  r = Run({"settings", "--presets", "4"});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_NE(r.out.find("4: RTS/CTS手順の制御 (19200, 7E2, RTS/CTS)\n[Setting_R]\n  Speed         4  19200\n"),
            std::string::npos) << r.out;
  r = Run({"settings", "--presets", "99"});
  EXPECT_EQ(r.status, 2);
  EXPECT_NE(r.err.find("プリセット番号は 1〜6 です: 99"), std::string::npos) << r.err;

  r = Run({"queue", "--config", conf, "mc01", home_.File("p.nc")});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(std::ifstream(home_.File("spool/p.nc")).good());
  EXPECT_EQ(Run({"queue", "--config", conf, "mc09", home_.File("p.nc")}).status, 1);
}

// The driver's error counts in the summary and the JSON: figures when the
// port counts, nothing in the summary when all are zero, and the JSON says
// when the port counts nothing (but not for a port that never opened).
TEST(CliSummary, LineErrorCountsInTheSummaryAndTheJson) {
  struct Case {
    const char* name;
    bool portOpen, counted;
    uint64_t parity;
    const char* summaryLine;  // "" when none
    const char* json;
  };
  const Case cases[] = {
      {"garbled", true, true, 4, "回線ｴﾗｰ ﾌﾚｰﾐﾝｸﾞ 0 ﾊﾟﾘﾃｨ 4 ｵｰﾊﾞｰﾗﾝ 0 ﾊﾞｯﾌｧｵｰﾊﾞｰﾗﾝ 0",
       ",\"line_errors\":{\"framing\":0,\"parity\":4,\"overrun\":0,\"buffer_overrun\":0,\"breaks\":0}}"},
      {"clean", true, true, 0, "",
       ",\"line_errors\":{\"framing\":0,\"parity\":0,\"overrun\":0,\"buffer_overrun\":0,\"breaks\":0}}"},
      {"no counts", true, false, 0, "",
       ",\"line_errors\":null,\"line_errors_note\":\"このﾎﾟｰﾄは回線ｴﾗｰを数えません\"}"},
      {"never opened", false, false, 0, "", ",\"line_errors\":null}"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TransferSummary s;
    s.command = "receive";
    s.result = "受信完了";
    s.bytes = 10;
    s.seconds = 1;
    s.lineErrors.portOpen = c.portOpen;
    s.lineErrors.counted = c.counted;
    s.lineErrors.counts.parity = c.parity;
    const std::string text = SummaryText(s);
    const size_t lineBreak = text.find('\n');
    EXPECT_EQ(lineBreak == std::string::npos ? "" : text.substr(lineBreak + 1), c.summaryLine);
    const std::string json = SummaryJson(s);
    ASSERT_GE(json.size(), std::string(c.json).size());
    EXPECT_EQ(json.substr(json.size() - std::string(c.json).size()), c.json);
  }
}

}  // namespace
}  // namespace quelvo::cli
