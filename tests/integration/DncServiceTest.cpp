// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-dnc end to end: the built service with simulated controls on
// pseudo-terminals. Every file is compared byte for byte with what the
// window's engines make of the same transfer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "DncRig.h"
#include "core/toolpath/RestartPlan.h"
#include "NcsimProcess.h"

namespace quelvo::test {
namespace {

// Generous bounds: the tests run beside others on a busy two-core machine.
constexpr int kLongWaitMs = 240000;

bool HasNameEndingWith(const std::string& folder, const std::string& tail) {
  for (const std::string& name : FolderNames(folder)) {
    if (name.size() >= tail.size() && name.compare(name.size() - tail.size(), tail.size(), tail) == 0)
      return true;
  }
  return false;
}

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1)) ++n;
  return n;
}

// Eight controls at once, ISO and EIA, 4800 to 115200 baud on the line: each
// punches a program and a request, then takes the requested program and a
// queued one. A ninth control hangs up in the middle of every punch: only
// that machine goes offline, keeps what came as an incomplete file, and comes
// back when its line does.
TEST(DncService, ServesEightControlsAtOnceAndSurvivesALostLine) {
  DncRig rig;
  const int bauds[] = {4800, 9600, 19200, 38400, 57600, 115200, 4800, 19200};
  const int speeds[] = {1, 2, 4};
  for (int i = 0; i < 8; ++i) {
    const std::string n = std::to_string(i);
    RigMachine m;
    m.name = "mc" + n;
    m.code = i % 2 == 0 ? "iso" : "eia";
    m.speedIndex = speeds[i % 3];
    m.baud = bauds[i];
    m.punches = {"O1" + n + "01\nG00X" + n + ".Y0\nG01Z-1.F100\nM30\n", "O9" + n + "01(REQ O2" + n + "01)\n"};
    m.library["O2" + n + "01.nc"] = Crlf("O2" + n + "01\nG01X2.Y-" + n + ".\nM30\n");
    m.spool["O3" + n + "01.nc"] = Crlf("O3" + n + "01\nG02X1.Y1.R1.\nM30\n");
    rig.AddMachine(m);
  }
  RigMachine dropping;
  dropping.name = "mc-drop";
  for (int line = 0; line < 30; ++line) dropping.punches.push_back("");
  dropping.punches = {""};
  for (int line = 0; line < 30; ++line)
    dropping.punches[0] += "N" + std::to_string(line) + "G01X" + std::to_string(line) + ".\n";
  dropping.punches[0] = "O5001\n" + dropping.punches[0];
  dropping.dropAfter = 120;
  rig.AddMachine(dropping);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();

  for (int i = 0; i < 8; ++i) {
    const std::string n = std::to_string(i);
    const std::string folder = rig.Folder("mc" + n);
    // The queued program moves to sent/ once its send has completed.
    ASSERT_TRUE(WaitUntil([&] { return FolderNames(folder + "/spool") == std::vector<std::string>{"sent"}; },
                          kLongWaitMs))
        << "mc" << n << "\n"
        << rig.Journal();
    const std::string code = i % 2 == 0 ? "iso" : "eia";
    const CommSetting& setting = rig.Setting("mc" + n);
    EXPECT_EQ(
        FileText(folder + "/inbox/O1" + n + "01.nc"),
        DncRig::WindowReception("O1" + n + "01\nG00X" + n + ".Y0\nG01Z-1.F100\nM30\n", code, setting, false));
    EXPECT_EQ(FileText(folder + "/got.1"),
              DncRig::WindowSendText(Crlf("O2" + n + "01\nG01X2.Y-" + n + ".\nM30\n"), setting, code));
    EXPECT_EQ(FileText(folder + "/got.2"),
              DncRig::WindowSendText(Crlf("O3" + n + "01\nG02X1.Y1.R1.\nM30\n"), setting, code));
    // The request is no program of the inbox; the queued file went to sent/.
    EXPECT_EQ(FolderNames(folder + "/inbox"), (std::vector<std::string>{".receiving", "O1" + n + "01.nc"}));
    EXPECT_EQ(FolderNames(folder + "/spool/sent").size(), 1u);
  }
  const std::string dropFolder = rig.Folder("mc-drop");
  EXPECT_TRUE(WaitUntil(
      [&] { return Count(rig.Journal(), "mc-drop: line " + dropFolder + "/port open") >= 2; }, kLongWaitMs))
      << rig.Journal();
  EXPECT_TRUE(HasNameEndingWith(dropFolder + "/inbox", ".incomplete")) << rig.Journal();
  EXPECT_FALSE(HasNameEndingWith(dropFolder + "/inbox", ".nc"));
  EXPECT_NE(rig.Journal().find("mc-drop: line lost"), std::string::npos);

  EXPECT_EQ(rig.StopService(SIGTERM), 0);
  EXPECT_NE(FileText(rig.Folder("") + "state/mc0.state").find("state=stopped"), std::string::npos);
}

// Killed in the middle of a reception and started again: no half program
// under a final name, what came is kept as incomplete, the queue is intact
// and goes out after the restart.
TEST(DncService, KilledMidReceiveLosesNothingQueued) {
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  m.baud = 2400;
  std::string program = "O6001\n";
  for (int line = 0; line < 80; ++line)
    program += "N" + std::to_string(line) + "G01X" + std::to_string(line) + ".Y2.\n";
  m.punches = {program};
  m.spool["O7001.nc"] = Crlf("O7001\nG00X0\nM30\n");
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  const std::string folder = rig.Folder("mc1");
  const std::string staging = folder + "/inbox/.receiving/mc1";
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::vector<std::string> staged = FolderNames(staging);
        return staged.size() == 1 && FileText(staging + "/" + staged[0]).size() > 20;
      },
      kLongWaitMs))
      << rig.Journal();
  rig.StopService(SIGKILL);
  EXPECT_EQ(FolderNames(folder + "/inbox"), std::vector<std::string>{".receiving"});
  EXPECT_EQ(FolderNames(folder + "/spool"), std::vector<std::string>{"O7001.nc"});

  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return !FileText(folder + "/got.1").empty(); }, kLongWaitMs)) << rig.Journal();
  EXPECT_EQ(FolderNames(folder + "/inbox"),
            (std::vector<std::string>{".receiving", "O6001.nc", "O6001.nc.incomplete"}));
  EXPECT_EQ(FileText(folder + "/inbox/O6001.nc"),
            DncRig::WindowReception(program, "iso", rig.Setting("mc1"), false));
  EXPECT_EQ(FileText(folder + "/got.1"),
            DncRig::WindowSendText(Crlf("O7001\nG00X0\nM30\n"), rig.Setting("mc1"), "iso"));
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

// What the service cannot do it says once, not at every look: a state file it
// may not replace (a link stands at its name) during a reception of many
// progress reports, and spool entries it does not send (a link, a folder, a
// hidden file), each with its reason. A sent file keeps its extension last.
TEST(DncService, SaysOnceWhatItCannotDo) {
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  m.baud = 19200;
  std::string program = "O6101\n";
  for (int line = 0; line < 60; ++line) program += "N" + std::to_string(line) + "G01X" + std::to_string(line) + ".\n";
  m.punches = {program};
  m.spool["big.nc"] = Crlf("O7101\nM30\n");
  rig.AddMachine(m);
  const std::string folder = rig.Folder("mc1");
  const std::string state = rig.Folder("") + "state";
  ASSERT_EQ(mkdir(state.c_str(), 0755), 0);
  ASSERT_EQ(symlink("/dev/null", (state + "/mc1.state").c_str()), 0);
  ASSERT_EQ(symlink((folder + "/spool/big.nc").c_str(), (folder + "/spool/link.nc").c_str()), 0);
  ASSERT_EQ(mkdir((folder + "/spool/drafts").c_str(), 0755), 0);
  { std::ofstream(folder + "/spool/.hidden.nc") << "O1\n"; }
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return !FileText(folder + "/inbox/O6101.nc").empty(); }, kLongWaitMs))
      << rig.Journal();
  ASSERT_TRUE(WaitUntil([&] { return HasNameEndingWith(folder + "/spool/sent", ".nc"); }, kLongWaitMs))
      << rig.Journal();
  // Some spool scans later.
  ASSERT_TRUE(WaitUntil([&] { return Count(rig.Journal(), "sent big.nc") > 0; }, kLongWaitMs));
  usleep(5000000);
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
  const std::string journal = rig.Journal();
  EXPECT_EQ(Count(journal, "mc1: cannot publish the state"), 1u) << journal;
  for (const char* entry : {"link.nc is not sent: a symbolic link", "drafts is not sent: a folder",
                            ".hidden.nc is not sent: a hidden file"}) {
    EXPECT_EQ(Count(journal, std::string("mc1: spool: ") + entry), 1u) << entry << "\n" << journal;
  }
  const std::vector<std::string> sent = FolderNames(folder + "/spool/sent");
  ASSERT_EQ(sent.size(), 1u);
  EXPECT_EQ(sent[0].rfind("big-", 0), 0u) << sent[0];
}

// Names from a control stay in the inbox, requests stay in the library: a
// "$" name with a path lands in the inbox under its last part; a request
// with a path, an absolute one, and one for a link leading out of the library
// are each answered with the missing-program answer, never with the file.
TEST(DncService, HostileNamesStayInTheirFolders) {
  DncRig rig;
  RigMachine m;
  m.name = "osp1";
  m.osp = true;
  const std::string named = "$../../ESCAPE\nO4001\nG00X0\nM30\n";
  m.punches = {named, "O9001(REQ ../SECRET.NC)\n", "O9002(REQ /ETC/HOSTNAME)\n", "O9003(REQ LINK.NC)\n"};
  m.requestMissing = Crlf("O9999(NOT FOUND)\n");
  rig.AddMachine(m);
  const std::string folder = rig.Folder("osp1");
  { std::ofstream(folder + "/SECRET.NC") << "O8888(SECRET)\n"; }
  ASSERT_EQ(symlink((folder + "/SECRET.NC").c_str(), (folder + "/library/LINK.NC").c_str()), 0);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return !FileText(folder + "/got.3").empty(); }, kLongWaitMs)) << rig.Journal();
  EXPECT_EQ(FolderNames(folder + "/inbox"), (std::vector<std::string>{".receiving", "ESCAPE.MIN"}));
  EXPECT_EQ(FileText(folder + "/inbox/ESCAPE.MIN"),
            DncRig::WindowReception(named, "iso", rig.Setting("osp1"), true));
  for (const char* got : {"/got.1", "/got.2", "/got.3"}) {
    // The OSP header, the program, the end sequence of the window's send.
    EXPECT_EQ(FileText(folder + got), "$MISSING.MIN\nO9999(NOT FOUND)\n\n%") << got;
  }
  EXPECT_EQ(Count(rig.Journal(), "osp1: request refused"), 3u) << rig.Journal();
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

// A log_dir that can no longer take a file: the reception is kept, and the
// journal says that its log was not saved.
TEST(DncService, ReceptionLogThatCannotBeSavedIsJournalled) {
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  m.punches = {"O6101\nG00X0\nM30\n"};
  m.punchAfter = 3;
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return rig.Journal().find("serving") != std::string::npos; }, kLongWaitMs))
      << rig.Journal();
  // The folder gives way to a file before the control punches.
  const std::string logDir = rig.ConfigPath().substr(0, rig.ConfigPath().rfind('/')) + "/log";
  std::filesystem::remove_all(logDir);
  { std::ofstream(logDir) << "not a folder\n"; }

  const std::string folder = rig.Folder("mc1");
  ASSERT_TRUE(WaitUntil([&] { return HasNameEndingWith(folder + "/inbox", "O6101.nc"); }, kLongWaitMs))
      << rig.Journal();
  EXPECT_EQ(FileText(folder + "/inbox/O6101.nc"),
            DncRig::WindowReception(m.punches[0], "iso", rig.Setting("mc1"), false));
  EXPECT_EQ(Count(rig.Journal(), "mc1: 受信ログファイルが保存できません。 "), 1u) << rig.Journal();
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

// A control punching a request line of 60,000 characters: the line is no
// request (none is that long), the program is stored as any other, and the
// service goes on serving that machine and the others. A configuration with
// a 100 KB request rule is refused with a reason, not a crash.
TEST(DncService, LongRequestLineIsStoredAndTheServiceLives) {
  DncRig rig;
  RigMachine hostile;
  hostile.name = "mc1";
  hostile.baud = 115200;
  const std::string longRequest = "O9001(REQ " + std::string(60000, 'A') + ")\n";
  hostile.punches = {longRequest, "O9002(REQ O2001)\n"};
  hostile.library["O2001.nc"] = Crlf("O2001\nG00X1.\nM30\n");
  rig.AddMachine(hostile);
  RigMachine other;
  other.name = "mc2";
  other.punchAfter = 8;
  other.punches = {"O1001\nG01X5.F100\nM30\n"};
  other.spool["O3001.nc"] = Crlf("O3001\nG00X0\nM30\n");
  rig.AddMachine(other);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return !FileText(rig.Folder("mc1") + "/got.1").empty(); }, kLongWaitMs))
      << rig.Journal();
  ASSERT_TRUE(WaitUntil([&] { return !FileText(rig.Folder("mc2") + "/got.1").empty(); }, kLongWaitMs))
      << rig.Journal();
  EXPECT_EQ(FileText(rig.Folder("mc1") + "/inbox/O9001.nc"),
            DncRig::WindowReception(longRequest, "iso", rig.Setting("mc1"), false));
  EXPECT_EQ(FileText(rig.Folder("mc1") + "/got.1"),
            DncRig::WindowSendText(Crlf("O2001\nG00X1.\nM30\n"), rig.Setting("mc1"), "iso"));
  EXPECT_EQ(FileText(rig.Folder("mc2") + "/inbox/O1001.nc"),
            DncRig::WindowReception("O1001\nG01X5.F100\nM30\n", "iso", rig.Setting("mc2"), false));
  EXPECT_EQ(FileText(rig.Folder("mc2") + "/got.1"),
            DncRig::WindowSendText(Crlf("O3001\nG00X0\nM30\n"), rig.Setting("mc2"), "iso"));
  EXPECT_EQ(rig.StopService(SIGTERM), 0) << rig.Journal();

  std::string text = FileText(rig.ConfigPath());
  text += "request_rule = (" + std::string(100000, 'A') + ")\n";
  { std::ofstream(rig.ConfigPath(), std::ios::trunc) << text; }
  std::string output;
  EXPECT_EQ(DncRig::RunDnc({"--config", rig.ConfigPath(), "--check"}, &output), 2) << output;
  EXPECT_NE(output.find("machine mc2: request_rule is longer than 512 characters"), std::string::npos)
      << output.substr(0, 300);
}

// Two controls punching 0.3 s apart into machines that share an inbox: each
// program is kept whole under its own name, nothing incomplete.
TEST(DncService, MachinesSharingAnInboxKeepEveryProgram) {
  DncRig rig;
  std::string programs[2];
  for (int i = 0; i < 2; ++i) {
    RigMachine m;
    m.name = "mc" + std::to_string(i + 1);
    m.inbox = "shared";
    m.punchAfter = 0.5 + 0.3 * i;
    programs[i] = "O" + std::string(4, static_cast<char>('1' + i)) + "\n";
    for (int line = 0; line < 60; ++line)
      programs[i] += "N" + std::to_string(line) + "G01X" + std::to_string(i) + "." + std::to_string(line) + "\n";
    m.punches = {programs[i]};
    rig.AddMachine(m);
  }
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  const std::string inbox = rig.Folder("shared");
  ASSERT_TRUE(WaitUntil([&] { return FolderNames(inbox).size() >= 3; }, kLongWaitMs)) << rig.Journal();
  // Let a late third file (an incomplete one) show itself.
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_EQ(FolderNames(inbox), (std::vector<std::string>{".receiving", "O1111.nc", "O2222.nc"}))
      << rig.Journal();
  EXPECT_EQ(FileText(inbox + "/O1111.nc"), DncRig::WindowReception(programs[0], "iso", rig.Setting("mc1"), false));
  EXPECT_EQ(FileText(inbox + "/O2222.nc"), DncRig::WindowReception(programs[1], "iso", rig.Setting("mc2"), false));
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
  EXPECT_NE(rig.Journal().find("machines mc1 and mc2 share the inbox"), std::string::npos) << rig.Journal();
}

// Two machines on one line (one of them through a link to it), or on one
// spool, cannot be served: the check and the start refuse and say which.
TEST(DncService, RefusesMachinesSharingALineOrASpool) {
  DncRig rig;
  for (const char* name : {"mc1", "mc2"}) {
    RigMachine m;
    m.name = name;
    rig.AddMachine(m);
  }
  const std::string base = rig.Folder("");
  { std::ofstream(base + "line") << ""; }
  ASSERT_EQ(symlink((base + "line").c_str(), (base + "line-link").c_str()), 0);
  const std::string machine = "setting = mc1/SetData1.ini\nlibrary = mc1/library\ninbox = mc1/inbox\n";
  const struct {
    std::string mc2;
    std::string reason;
  } cases[] = {
      {"port = " + base + "line-link\nspool = mc2/spool\n",
       "machines mc1 and mc2 share the port " + base + "line: a line serves one machine"},
      {"port = " + base + "other\nspool = mc1/spool/\n", "machines mc1 and mc2 share the spool"},
  };
  for (const auto& c : cases) {
    { std::ofstream(rig.ConfigPath(), std::ios::trunc)
          << "[service]\nstate_dir = state\nlog_dir = log\n[machine mc1]\nport = " << base << "line\n"
          << machine << "spool = mc1/spool\n[machine mc2]\n" << machine << c.mc2; }
    for (const bool check : {true, false}) {
      std::vector<std::string> args{"--config", rig.ConfigPath()};
      if (check) args.push_back("--check");
      std::string output;
      EXPECT_EQ(DncRig::RunDnc(args, &output, 30000), 2) << output;
      EXPECT_NE(output.find(c.reason), std::string::npos) << output;
    }
  }
}

// A queued program whose send keeps failing (the control hangs up after a
// few bytes, every time) stays queued, and says so: each failure in the
// journal with its error number, and from the third on as the reason of the
// machine's published state, which `quelvo-cli status` shows.
TEST(DncService, AProgramThatKeepsFailingToSendIsShown) {
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  m.dropAfter = 8;
  m.spool["O3001.nc"] = Crlf("O3001\nG00X0\nG01X10.F100\nM30\n");
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  const std::string state = rig.Folder("") + "state/mc1.state";
  EXPECT_TRUE(WaitUntil([&] { return FileText(state).find("O3001.nc failed to send 3 times") != std::string::npos; },
                        kLongWaitMs))
      << rig.Journal() << FileText(state);
  EXPECT_NE(rig.Journal().find("mc1: send of O3001.nc did not complete (error "), std::string::npos);
  EXPECT_NE(rig.Journal().find("; it stays queued (3 failures)"), std::string::npos) << rig.Journal();
  EXPECT_EQ(FolderNames(rig.Folder("mc1") + "/spool"), std::vector<std::string>{"O3001.nc"});
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

// The held line changes between the receive and the send half whatever each
// half's character format: every receive code with every send code, each
// pair of stop bits among them. Every byte of both transfers is checked, and
// the control saw each half's stop bits on its line.
TEST(DncService, ServesEveryPairOfReceiveAndSendFormats) {
  struct Half {
    int code;
    const char* controlCode;
  };
  const Half receives[] = {{0, "iso"}, {1, "ascii"}, {2, "eia"}, {3, "iso"}};
  const Half sends[] = {{0, "iso"}, {1, "eia"}, {2, "ascii"}};
  const char* stopText[] = {"stop=1", "stop=2", "stop=2"};  // 1.5 is two on Linux
  DncRig rig;
  struct Row {
    std::string name;
    Half receive, send;
    int stopR, stopS;
    std::string punched, queued;
  };
  std::vector<Row> rows;
  for (int i = 0; i < 12; ++i) {
    Row row{"mc" + std::to_string(i), receives[i / 3], sends[i % 3], i % 3, (i / 3 + i) % 3, "", ""};
    const std::string n = std::to_string(10 + i);
    row.punched = "O10" + n + "\nG00X" + n + ".Y-1.\nG01Z-2.F150\nM30\n";
    row.queued = Crlf("O30" + n + "\nG02X1.Y1.R1.\n(COMMENT " + n + ")\nM30\n");
    RigMachine m;
    m.name = row.name;
    m.code = row.send.controlCode;
    m.punchCode = row.receive.controlCode;
    m.reportLine = true;
    m.punches = {row.punched};
    m.spool["O30" + n + ".nc"] = row.queued;
    const Row r = row;
    m.adjust = [r](CommSetting& s) {
      s.Code_R = r.receive.code;
      s.Code_S = r.send.code;
      s.STbit_R = r.stopR;
      s.STbit_S = r.stopS;
    };
    rig.AddMachine(m);
    rows.push_back(row);
  }
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  for (const Row& row : rows) {
    const std::string folder = rig.Folder(row.name);
    const std::string what = row.name + " receive code " + std::to_string(row.receive.code) + " send code " +
                             std::to_string(row.send.code);
    EXPECT_TRUE(WaitUntil([&] { return FolderNames(folder + "/spool") == std::vector<std::string>{"sent"}; },
                          kLongWaitMs))
        << what << "\n" << rig.Journal();
    const CommSetting& setting = rig.Setting(row.name);
    EXPECT_EQ(FileText(folder + "/inbox/" + row.punched.substr(0, 5) + ".nc"),
              DncRig::WindowReception(row.punched, row.receive.controlCode, setting, false))
        << what;
    EXPECT_EQ(FileText(folder + "/got.1"), DncRig::WindowSendText(row.queued, setting, row.send.controlCode))
        << what;
    rig.Control(row.name).WaitFor("program", 1000);
    const auto lines = rig.Control(row.name).LinesStartingWith("line ");
    // A pseudo-terminal keeps eight data bits whatever it is given; its stop
    // bits and parity show each half's setting.
    const auto seen = [&](const char* stop) {
      for (const std::string& line : lines) {
        if (line.find("parity=none " + std::string(stop)) != std::string::npos) return true;
      }
      return false;
    };
    EXPECT_TRUE(seen(stopText[row.stopR])) << what;
    EXPECT_TRUE(seen(stopText[row.stopS])) << what;
  }
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

// A control asks for a program from a block on: "(REQ name N..)" is answered
// with the preamble and the rest as the window would send them, a refused
// restart with the missing-program answer and the reason in the journal.
TEST(DncService, RestartRequestsAnsweredWithPreambleAndRestOrRefused) {
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  const std::string program = Crlf("O2001\nG21 G90 G54\nT1 M06\nG00 X0 Y0 S1000 M03\nG43 Z20. H1\n"
                                   "N30 G01 Z-1. F100.\nN40 G41 D1 X10.\nN50 Y10.\nG40 X0\nM30\n");
  m.library["O2001.nc"] = program;
  m.punches = {"O9001(REQ O2001 N30)\n", "O9002(REQ O2001 N50)\n"};
  m.requestMissing = Crlf("O9999(NOT FOUND)\n");
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  const std::string folder = rig.Folder("mc1");
  ASSERT_TRUE(WaitUntil([&] { return !FileText(folder + "/got.2").empty(); }, kLongWaitMs)) << rig.Journal();
  RestartPoint n30;
  ASSERT_TRUE(ParseRestartPoint("N30", n30));
  const RestartPlan plan = PlanRestart(program, RestartLineOf(program, n30), {});
  ASSERT_FALSE(plan.Refused());
  EXPECT_EQ(FileText(folder + "/got.1"),
            DncRig::WindowSendText(RestartProgramText(plan, program), rig.Setting("mc1"), "iso"));
  EXPECT_NE(FileText(folder + "/got.1").find("(RESTART L6)"), std::string::npos);
  EXPECT_EQ(FileText(folder + "/got.2"),
            DncRig::WindowSendText(Crlf("O9999(NOT FOUND)\n"), rig.Setting("mc1"), "iso"));
  EXPECT_NE(rig.Journal().find("mc1: restart request refused: O2001 N50: 8 行目: 工具径補正"), std::string::npos)
      << rig.Journal();
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

// A shop of a few hundred machines passes the usual soft limit of 1024 open
// files: the service, started with a low soft limit, raises its own to the
// hard limit at start and says so.
TEST(DncService, RaisesItsOpenFileLimitToTheHardLimit) {
  rlimit own{};
  ASSERT_EQ(getrlimit(RLIMIT_NOFILE, &own), 0);
  if (own.rlim_max != RLIM_INFINITY && own.rlim_max <= 256) GTEST_SKIP() << "hard limit too low to lower";
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  rlimit low = own;
  low.rlim_cur = 256;
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &low), 0);
  rig.StartService();  // inherits the low soft limit
  ASSERT_EQ(setrlimit(RLIMIT_NOFILE, &own), 0);
  ASSERT_TRUE(WaitUntil([&] { return rig.Journal().find("serving 1 machines") != std::string::npos; }, kLongWaitMs))
      << rig.Journal();
  const std::string hard = own.rlim_max == RLIM_INFINITY ? "unlimited" : std::to_string(own.rlim_max);
  EXPECT_NE(rig.Journal().find("open files: limit raised from 256 to " + hard), std::string::npos) << rig.Journal();
  // As the system sees the process: "Max open files  SOFT  HARD  files".
  const std::string limits = FileText("/proc/" + std::to_string(rig.ServicePid()) + "/limits");
  const size_t line = limits.find("Max open files");
  ASSERT_NE(line, std::string::npos);
  std::istringstream fields(limits.substr(line + 14, limits.find('\n', line) - line - 14));
  std::string soft, hardSeen;
  fields >> soft >> hardSeen;
  EXPECT_EQ(soft, hardSeen);
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

}  // namespace
}  // namespace quelvo::test
