// SPDX-License-Identifier: GPL-3.0-or-later
// The dashboard in a real browser: Debian's Chromium headless, driven by
// browser/dashboard-check.mjs through chromedriver, against the built service
// with simulated controls. Skipped when node, chromium or chromedriver is
// missing (scripts/install-deps installs them).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "DncRig.h"
#include "HttpTestClient.h"
#include "NcsimProcess.h"

namespace quelvo::test {
namespace {

bool HasProgram(const char* name) {
  return std::system(("command -v " + std::string(name) + " >/dev/null 2>&1").c_str()) == 0;
}

TEST(DncBrowser, PageShowsMachinesLiveQueuesOrdersAndComparesAfterAskingTheToken) {
  for (const char* program : {"node", "chromedriver", "chromium"}) {
    if (!HasProgram(program)) GTEST_SKIP() << program << " is not installed";
  }
  DncRig rig;
  // mc1 punches a program long enough to be seen while it comes.
  RigMachine punching;
  punching.name = "mc1";
  std::string punch = "O7001\n";
  for (int i = 0; i < 150; ++i) punch += "N" + std::to_string(i) + "G01X" + std::to_string(i) + ".Y2.F200\n";
  punch += "M30\n";
  punching.punches = {punch};
  punching.punchAfter = 6.0;
  punching.baud = 4800;
  punching.speedIndex = 1;
  rig.AddMachine(punching);
  for (const char* name : {"mc2", "mc3"}) {
    RigMachine m;
    m.name = name;
    m.baud = 19200;
    m.speedIndex = 4;
    rig.AddMachine(m);
  }
  // mc4's control is off at first: what the page queues there waits in the
  // order the page gives it. Its inbox holds a program changed at the machine.
  RigMachine folders;
  folders.name = "mc4";
  folders.baud = 19200;
  folders.speedIndex = 4;
  folders.library["O8101.nc"] = Crlf("O8101\nG00X0Y0\nG01X10.F100\nM30\n");
  folders.library["O8102.nc"] = Crlf("O8102\nG00X5.Y5.\nM30\n");
  rig.AddMachine(folders);
  const std::string inboxFile = rig.Folder("mc4") + "/inbox/O8101.nc";
  std::ofstream(inboxFile, std::ios::binary) << Crlf("%\nO8101\nG00X0Y0\nG01X12.F100\nM30\n%\n");
  for (const char* name : {"mc1", "mc2", "mc3"}) ASSERT_TRUE(rig.StartControl(name));
  const std::string token = "browser-token-5d1e";
  std::ofstream(rig.Folder("token")) << token << "\n";
  const int port = FreeLocalPort();
  std::filesystem::create_directories(rig.Folder("downloads"));
  rig.AddConfigText("\n[http]\nlisten = 127.0.0.1:" + std::to_string(port) +
                    "\ntoken_file = token\npublic_read = yes\nweb_dir = " QUELVO_WEB_SOURCE_DIR "\n");
  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return Request(port, "GET", "/").status == 200; }, 60000)) << rig.Journal();

  const std::string upload = rig.Folder("O8001.nc");
  const std::string program = Crlf("O8001(FROM THE BROWSER)\nG90G54\nG00X10.Y-5.\nG01Z-1.F120\nM30\n");
  std::ofstream(upload, std::ios::binary) << program;
  const std::string shots = QUELVO_SCREENSHOT_DIR;
  std::filesystem::create_directories(shots);
  const std::string command = "node " QUELVO_BROWSER_CHECK " http://127.0.0.1:" + std::to_string(port) + "/ " +
                              token + " 4 mc1 mc2 " + upload + " " + shots + " mc4 " + inboxFile + " " +
                              rig.Folder("downloads") + " > " + rig.Folder("browser.log") +
                              " 2>&1";
  const int status = std::system(command.c_str());
  const std::string log = FileText(rig.Folder("browser.log"));
  ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << log << "\n" << rig.Journal();
  EXPECT_NE(log.find("ok"), std::string::npos) << log;

  // What the browser queued reached the control byte for byte; the punch the
  // page showed is in the inbox as the window would have stored it.
  EXPECT_EQ(FileText(rig.Folder("mc2") + "/got.1"), DncRig::WindowSendText(program, rig.Setting("mc2"), "iso"));
  EXPECT_TRUE(WaitUntil([&] { return !FileText(rig.Folder("mc1") + "/inbox/O7001.nc").empty(); }, 120000));
  EXPECT_EQ(FileText(rig.Folder("mc1") + "/inbox/O7001.nc"),
            DncRig::WindowReception(punch, "iso", rig.Setting("mc1"), false));

  // mc4 comes online: its worker sends the programs in the order the page set.
  ASSERT_TRUE(rig.StartControl("mc4"));
  ASSERT_TRUE(WaitUntil([&] { return !FileText(rig.Folder("mc4") + "/got.2").empty(); }, 120000)) << rig.Journal();
  EXPECT_EQ(FileText(rig.Folder("mc4") + "/got.1"),
            DncRig::WindowSendText(folders.library["O8102.nc"], rig.Setting("mc4"), "iso"));
  EXPECT_EQ(FileText(rig.Folder("mc4") + "/got.2"),
            DncRig::WindowSendText(folders.library["O8101.nc"], rig.Setting("mc4"), "iso"));
}

}  // namespace
}  // namespace quelvo::test
