// SPDX-License-Identifier: GPL-3.0-or-later
// The shop service's library of revisions end to end: the built service with
// simulated controls keeps what it sends and receives in a git repository,
// which is read back with git's command line and with quelvo-cli. A program
// the machine sends back changed is flagged with the number of blocks.
#include <gtest/gtest.h>
#include <signal.h>

#include <cstdio>
#include <fstream>
#include <memory>

#include "CliProcess.h"
#include "DncRig.h"
#include "HttpTestClient.h"

namespace quelvo::test {
namespace {

constexpr int kLongWaitMs = 240000;

std::string Git(const std::string& args) {
  std::string out;
  if (FILE* pipe = popen(("git " + args + " 2>&1").c_str(), "r")) {
    char buffer[4096];
    std::size_t n;
    while ((n = std::fread(buffer, 1, sizeof buffer, pipe)) > 0) out.append(buffer, n);
    pclose(pipe);
  }
  return out;
}

struct CliRun {
  int status;
  std::string out;
};

CliRun Cli(const std::vector<std::string>& args, const std::string& base) {
  cli::test::ChildProcess child(QUELVO_CLI_PATH, args, {}, base);
  const int status = child.WaitExit(60000);
  return {status, cli::test::ReadFile(base + ".out") + cli::test::ReadFile(base + ".err")};
}

// The library is a repository with the shop's own commit; mc1 requests O1234
// and is sent it; later (a second run of the service) the machine punches
// O1234 back with one block changed.
TEST(DncLibrary, SentAndReceivedRevisionsAndAChangeAtTheMachine) {
  TempFolder shared;
  const std::string lib = shared.File("library");
  Git("init -q '" + lib + "'");
  std::ofstream(lib + "/README") << "shop programs\n";
  Git("-C '" + lib + "' add README");
  Git("-C '" + lib + "' -c user.name=Shop -c user.email=shop@example.com commit -q -m 'Our own notes'");
  const std::string sentText = Crlf("O1234\nG00X0Y0\nG01X10.F100\nM30\n");
  {
    DncRig rig;
    rig.serviceKeys = "library = " + lib + "\n";
    RigMachine m;
    m.name = "mc1";
    m.punches = {"O9001(REQ O1234)\n"};
    m.library["O1234.nc"] = sentText;
    rig.AddMachine(m);
    ASSERT_TRUE(rig.StartControls());
    rig.StartService();
    ASSERT_TRUE(WaitUntil([&] { return Git("-C '" + lib + "' tag -l").find("sent/mc1/O1234") != std::string::npos; },
                          kLongWaitMs))
        << rig.Journal();
    EXPECT_EQ(rig.StopService(SIGTERM), 0);
  }
  DncRig rig;
  rig.serviceKeys = "library = " + lib + "\n";
  RigMachine m;
  m.name = "mc1";
  const std::string changed = "O1234\nG00X0Y0\nG01X12.F100\nM30\n";
  m.punches = {changed};
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  ASSERT_TRUE(WaitUntil([&] { return rig.Journal().find("library: O1234 committed") != std::string::npos; },
                        kLongWaitMs))
      << rig.Journal();
  EXPECT_NE(rig.Journal().find("mc1: O1234 changed at the machine: 1 block (1 changed, 0 added, 0 removed)"),
            std::string::npos)
      << rig.Journal();
  EXPECT_NE(FileText(rig.Folder("") + "state/mc1.state").find("notice=O1234 changed at the machine: 1 block"),
            std::string::npos);
  const std::string received = FileText(rig.Folder("mc1") + "/inbox/O1234.nc");
  EXPECT_EQ(rig.StopService(SIGTERM), 0);

  // What git sees: the shop's commit kept, the send and the reception by the machine.
  EXPECT_EQ(Git("-C '" + lib + "' log --format='%an|%s'"),
            "mc1|O1234 received from mc1\nmc1|O1234 sent to mc1\nShop|Our own notes\n");
  EXPECT_EQ(Git("-C '" + lib + "' show sent/mc1/O1234:O1234.nc"), sentText);
  EXPECT_EQ(Git("-C '" + lib + "' show HEAD:O1234.nc"), received);
  EXPECT_NE(Git("-C '" + lib + "' log -1 --format=%B").find("Kind: punch"), std::string::npos);
  EXPECT_NE(Git("-C '" + lib + "' notes show sent/mc1/O1234").find("sent to mc1 at "), std::string::npos);

  // quelvo-cli reads the same library through the service's configuration.
  const CliRun history = Cli({"history", "O1234", "--config", rig.ConfigPath()}, shared.File("history"));
  EXPECT_EQ(history.status, 0) << history.out;
  EXPECT_NE(history.out.find("  mc1  送信  request  "), std::string::npos) << history.out;
  EXPECT_NE(history.out.find("  mc1  受信  punch  " + std::to_string(received.size()) + " バイト"),
            std::string::npos)
      << history.out;
  EXPECT_LT(history.out.find("送信"), history.out.find("受信"));
  const CliRun compare = Cli({"compare", "--revision", "O1234@mc1", rig.Folder("mc1") + "/inbox/O1234.nc",
                              "--config", rig.ConfigPath(), "--ignore-frame"},
                             shared.File("compare"));
  EXPECT_EQ(compare.status, 1) << compare.out;
  EXPECT_NE(compare.out.find("-O1234@mc1:3: G01X10.F100\n"), std::string::npos) << compare.out;
  EXPECT_NE(compare.out.find("変更 1 ブロック、追加 0、削除 0"), std::string::npos) << compare.out;
  EXPECT_EQ(Cli({"history", "O9999", "--config", rig.ConfigPath()}, shared.File("none")).status, 1);
}

// The flag of a program changed at the machine stays in the state until it
// stops being news: an operator acknowledges it in the dashboard, or the
// library's program is sent to that machine again.
TEST(DncLibrary, ANoticeLastsUntilAcknowledgedOrSentAgain) {
  TempFolder shared;
  const std::string keys = "library = " + shared.File("library") + "\n";
  const std::string sentText = Crlf("O1234\nG00X0Y0\nG01X10.F100\nM30\n");
  {
    DncRig first;  // the machine asks for O1234 and is sent it
    first.serviceKeys = keys;
    RigMachine m;
    m.name = "mc1";
    m.punches = {"O9001(REQ O1234)\n"};
    m.library["O1234.nc"] = sentText;
    first.AddMachine(m);
    ASSERT_TRUE(first.StartControls());
    first.StartService();
    ASSERT_TRUE(WaitUntil([&] { return first.Journal().find("mc1: sent O1234.nc") != std::string::npos; },
                          kLongWaitMs))
        << first.Journal();
    EXPECT_EQ(first.StopService(SIGTERM), 0);
  }
  // A control invites a send only once it has punched all it has: the two
  // changed programs come first, the library's program is sent after them.
  DncRig rig;
  rig.serviceKeys = keys;
  RigMachine m;
  m.name = "mc1";
  m.baud = 19200;
  m.speedIndex = 4;
  m.library["O1234.nc"] = sentText;
  m.punches = {"O1234\nG00X0Y0\nG01X12.F100\nM30\n", "O1234\nG00X0Y0\nG01X14.F100\nM30\n"};
  m.punchAfter = 10.0;  // time for the acknowledgement before the next change comes
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  const std::string token = "notice-token-41";
  std::ofstream(rig.Folder("token")) << token << "\n";
  const int port = FreeLocalPort();
  rig.AddConfigText("\n[http]\nlisten = 127.0.0.1:" + std::to_string(port) + "\ntoken_file = token\n");
  rig.StartService();
  const std::string header = "X-Quelvo-Token: " + token + "\r\n";
  const std::string state = rig.Folder("") + "state/mc1.state";
  const auto flagged = [&] { return FileText(state).find("notice=O1234 changed at the machine") != std::string::npos; };

  ASSERT_TRUE(WaitUntil(flagged, kLongWaitMs)) << rig.Journal();
  EXPECT_EQ(Request(port, "POST", "/api/machines/mc1/notice/ack").status, 401);
  EXPECT_TRUE(flagged());
  EXPECT_EQ(Request(port, "POST", "/api/machines/mc1/notice/ack", header).status, 202);
  ASSERT_TRUE(WaitUntil([&] { return !flagged(); }, 30000)) << rig.Journal();
  EXPECT_NE(rig.Journal().find("mc1: notice acknowledged: O1234 changed at the machine: 1 block"), std::string::npos)
      << rig.Journal();

  ASSERT_TRUE(WaitUntil(flagged, kLongWaitMs)) << rig.Journal();  // the second punch differs again
  EXPECT_EQ(Request(port, "POST", "/api/machines/mc1/library/O1234.nc/queue", header).status, 201);
  ASSERT_TRUE(WaitUntil([&] { return !flagged(); }, kLongWaitMs)) << rig.Journal();
  EXPECT_NE(rig.Journal().find("mc1: notice cleared: O1234 sent again"), std::string::npos) << rig.Journal();
  EXPECT_EQ(rig.StopService(SIGTERM), 0);
}

// Two services on two PCs, one shared bare repository: each pushes its
// library after its commit; whichever comes second merges the first's work
// in, so the shared library ends with both programs and both machines' tags.
TEST(DncLibrary, TwoServicesShareOneRemote) {
  TempFolder shared;
  const std::string remote = shared.File("shared.git");
  Git("init -q --bare '" + remote + "'");
  std::vector<std::unique_ptr<DncRig>> rigs;
  for (const char* name : {"east", "west"}) {
    auto rig = std::make_unique<DncRig>();
    rig->serviceKeys = "library = " + shared.File(std::string(name) + "-library") + "\nlibrary_remote = " + remote + "\n";
    RigMachine m;
    m.name = std::string("mc-") + name;
    m.punches = {std::string(name) == "east" ? "O1001\nG00X1.\nM30\n" : "O2002\nG00X2.\nM30\n"};
    rig->AddMachine(m);
    ASSERT_TRUE(rig->StartControls());
    rigs.push_back(std::move(rig));
  }
  for (auto& rig : rigs) rig->StartService();
  const std::string git = "--git-dir='" + remote + "' ";
  ASSERT_TRUE(WaitUntil(
      [&] {
        const std::string log = Git(git + "log --all --format=%s");
        return log.find("O1001 received from mc-east") != std::string::npos &&
               log.find("O2002 received from mc-west") != std::string::npos;
      },
      kLongWaitMs))
      << rigs[0]->Journal() << rigs[1]->Journal();
  // Both programs on the shared branch once the second service has merged.
  ASSERT_TRUE(WaitUntil(
      [&] {
        return Git(git + "show HEAD:O1001.nc").find("O1001") == 0 && Git(git + "show HEAD:O2002.nc").find("O2002") == 0;
      },
      kLongWaitMs))
      << Git(git + "log --all --format='%H %s'") << rigs[0]->Journal() << rigs[1]->Journal();
  for (auto& rig : rigs) EXPECT_EQ(rig->StopService(SIGTERM), 0);
}

}  // namespace
}  // namespace quelvo::test
