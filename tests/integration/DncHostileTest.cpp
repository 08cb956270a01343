// SPDX-License-Identifier: GPL-3.0-or-later
// quelvo-dnc against peers that misbehave: device servers on the loopback
// that flood their connection (raw TCP and RFC 2217), and a hang-up of the
// terminal or session the service was started from.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include "DncRig.h"
#include "NcsimProcess.h"
#include "support/HostilePeer.h"

namespace quelvo::test {
namespace {

constexpr int kLongWaitMs = 60000;

// A field of /proc/PID/status in kilobytes; -1 when absent.
long StatusKb(pid_t pid, const std::string& field) {
  std::ifstream status("/proc/" + std::to_string(pid) + "/status");
  std::string word;
  while (status >> word) {
    if (word == field + ":") {
      long kb = -1;
      status >> kb;
      return kb;
    }
  }
  return -1;
}

// What the service may grow to however long a peer floods it: its own
// buffers are bounded, the rest waits in the kernel. A growing buffer passes
// this within a second.
constexpr long kPeakKb = 96 * 1024;

// Two machines behind device servers that flood their connection without
// end, a DC1 in front: the DC1 starts the queued send, the program arrives
// whole, the flood after it is dropped, and the service's memory stays
// bounded while the flood goes on; SIGTERM still ends it.
TEST(DncHostile, AFloodingDeviceServerGetsItsProgramAndCostsBoundedMemory) {
  DncRig rig;
  const std::string program = Crlf("O7001\nG00X0Y0\nG01X10.F100\nM30\n");
  HostilePeer raw(false, Flood::kDataAfterDc1);
  HostilePeer telnet(true, Flood::kDataAfterDc1);
  std::string config = "[service]\nstate_dir = state\nlog_dir = log\nretry_seconds = 1\n";
  for (const auto& [name, peer] : {std::pair<const char*, HostilePeer*>{"raw1", &raw}, {"telnet1", &telnet}}) {
    RigMachine m;
    m.name = name;
    m.spool["O7001.nc"] = program;
    rig.AddMachine(m);
    config += std::string("\n[machine ") + name + "]\nport = " + peer->Text() + "\nsetting = " + name +
              "/SetData1.ini\nlibrary = " + name + "/library\ninbox = " + name + "/inbox\nspool = " + name +
              "/spool\n";
  }
  std::ofstream(rig.ConfigPath()) << config;
  // The queued file is sent once it has settled in the spool.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  rig.StartService();
  for (const char* name : {"raw1", "telnet1"}) {
    EXPECT_TRUE(WaitUntil([&] { return rig.Journal().find(std::string(name) + ": sent O7001.nc") != std::string::npos; },
                          kLongWaitMs))
        << name << "\n" << rig.Journal();
  }
  // The flood goes on after the send; the service keeps reading it.
  std::this_thread::sleep_for(std::chrono::seconds(3));
  const long peak = StatusKb(rig.ServicePid(), "VmHWM");
  EXPECT_GT(peak, 0);
  EXPECT_LT(peak, kPeakKb);
  EXPECT_GT(raw.BytesFlooded(), 1 << 20);
  EXPECT_GT(telnet.BytesFlooded(), 1 << 20);
  // ISO on the wire: LF ends each block.
  EXPECT_NE(raw.Received().find("O7001\nG00X0Y0\nG01X10.F100\nM30\n"), std::string::npos) << raw.Received();
  EXPECT_NE(telnet.Received().find("O7001\nG00X0Y0\nG01X10.F100\nM30\n"), std::string::npos) << telnet.Received();
  RecordProperty("service_peak_kb", std::to_string(peak));
  RecordProperty("flooded_bytes", std::to_string(raw.BytesFlooded() + telnet.BytesFlooded()));
  const auto stopAsked = std::chrono::steady_clock::now();
  EXPECT_EQ(rig.StopService(SIGTERM), 0) << rig.Journal();
  EXPECT_LT(std::chrono::steady_clock::now() - stopAsked, std::chrono::seconds(30));
}

// A hang-up in the middle of a reception ends the service as SIGTERM does:
// the reception stops through its stop path (what came is kept, the log is
// written), the line and its lock are released, and the exit status is 0.
TEST(DncHostile, AHangUpStopsTheServiceThroughItsStopPath) {
  DncRig rig;
  RigMachine m;
  m.name = "mc1";
  m.baud = 1200;
  std::string program = "O6001\n";
  for (int line = 0; line < 80; ++line) program += "N" + std::to_string(line) + "G01X" + std::to_string(line) + ".Y2.\n";
  m.punches = {program};
  rig.AddMachine(m);
  ASSERT_TRUE(rig.StartControls());
  rig.StartService();
  ASSERT_FALSE(rig.Control("mc1").WaitFor("punch start", kLongWaitMs).empty()) << rig.Journal();
  std::this_thread::sleep_for(std::chrono::seconds(1));
  const pid_t service = rig.ServicePid();
  EXPECT_EQ(rig.StopService(SIGHUP), 0) << rig.Journal();
  const std::string journal = rig.Journal();
  EXPECT_NE(journal.find("mc1: incomplete reception kept as O6001"), std::string::npos) << journal;
  EXPECT_EQ(FolderNames(rig.Folder("") + "log").size(), 1u) << journal;
  EXPECT_NE(FileText(rig.Folder("") + "state/mc1.state").find("state=stopped"), std::string::npos);
  // No lock file of the service's is left (the folder is the machine's; another program's may be there).
  for (const std::string& name : FolderNames("/run/lock")) {
    if (name.rfind("LCK..", 0) != 0) continue;
    EXPECT_NE(std::atol(FileText("/run/lock/" + name).c_str()), static_cast<long>(service)) << name;
  }
}

}  // namespace
}  // namespace quelvo::test
