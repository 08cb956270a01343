// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>

#include "core/dnc/DncSharing.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

MachineConfig Machine(const std::string& name, const std::string& port, const std::string& inbox,
                      const std::string& spool) {
  MachineConfig m;
  m.name = name;
  m.port = port;
  m.inbox = inbox;
  m.spool = spool;
  return m;
}

// Ports and folders are told apart by what they lead to: a link and its
// target, a trailing "/" and none are one and the same.
TEST(DncSharing, RefusesSharedLinesAndSpoolsAndNotesSharedInboxes) {
  test::TempFolder folder;
  const std::string tty = folder.File("ttyUSB0");
  { std::ofstream(tty) << ""; }
  ASSERT_EQ(::symlink(tty.c_str(), folder.File("by-id").c_str()), 0);
  const struct {
    std::vector<MachineConfig> machines;
    std::vector<std::string> errors;
    std::vector<std::string> notes;
  } cases[] = {
      {{Machine("a", tty, "/in/a", "/sp/a"), Machine("b", "tcp://10.0.0.5:4001", "/in/b", "/sp/b")}, {}, {}},
      {{Machine("a", tty, "/in/a", "/sp/a"), Machine("b", folder.File("by-id"), "/in/b", "/sp/b")},
       {"machines a and b share the port " + tty + ": a line serves one machine"},
       {}},
      {{Machine("a", "tcp://h:1", "/in", "/sp/a"), Machine("b", "tcp://h:2", "/in/", "/sp/b"),
        Machine("c", "tcp://h:1", "/in", "/sp/a/")},
       {"machines a and c share the port tcp://h:1: a line serves one machine",
        "machines a and c share the spool /sp/a: each queued program would be sent to every one of them"},
       {"machines a, b and c share the inbox /in; each stages its receptions apart, no program replaces "
        "another"}},
  };
  for (const auto& c : cases) {
    DncConfig config;
    config.machines = c.machines;
    const DncSharing sharing = CheckSharing(config);
    EXPECT_EQ(sharing.errors, c.errors);
    EXPECT_EQ(sharing.notes, c.notes);
  }
}

}  // namespace
}  // namespace quelvo
