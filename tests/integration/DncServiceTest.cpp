// quelvo-dnc end to end: the built service with simulated controls on
// pseudo-terminals. Every file is compared byte for byte with what the
// window's engines make of the same transfer.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>

#include "DncRig.h"
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
  const std::string staged = folder + "/inbox/.receiving/receiving now.part";
  ASSERT_TRUE(WaitUntil([&] { return FileText(staged).size() > 20; }, kLongWaitMs)) << rig.Journal();
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

}  // namespace
}  // namespace quelvo::test
