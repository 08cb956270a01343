// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

#include "core/dnc/WorkerStatus.h"
#include "dnc/http/StatusFeed.h"
#include "support/TempFolder.h"

namespace quelvo::http {
namespace {

struct Shop {
  test::TempFolder root;
  DncConfig config;
  explicit Shop(int machines = 2) {
    config.stateDir = root.Path();
    for (int i = 1; i <= machines; ++i) {
      const std::string name = "mc" + std::to_string(i);
      MachineConfig m;
      m.name = name;
      m.spool = root.File(name + "-spool");
      ::mkdir(m.spool.c_str(), 0755);
      config.machines.push_back(m);
    }
  }
  void Publish(const std::string& machine, WorkerActivity activity, long lines) {
    WorkerStatus s;
    s.machine = machine;
    s.activity = activity;
    s.lines = lines;
    s.pid = ::getpid();
    std::string error;
    ASSERT_TRUE(PublishStatus(config.stateDir, s, &error)) << error;
  }
};

size_t Count(const std::string& text, const std::string& what) {
  size_t n = 0;
  for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1)) ++n;
  return n;
}

// A new stream gets everything; then only what changed, one line per event's
// data; a stream that fell further behind than the feed keeps gets a whole
// snapshot again rather than a gap.
TEST(StatusFeed, StreamsGetChangesAndASnapshotWhenTooFarBehind) {
  Shop shop;
  shop.Publish("mc1", WorkerActivity::kWaiting, 0);
  shop.Publish("mc2", WorkerActivity::kWaiting, 0);
  StatusFeed feed(shop.config, 60000, 3);
  uint64_t cursor = 0;
  bool stopped = false;
  const std::string first = feed.NextFor(&cursor, 0, &stopped);
  EXPECT_EQ(Count(first, "event: "), 4u) << first;  // service, machines, queues, transfers
  EXPECT_NE(first.find("\"machine\": \"mc2\""), std::string::npos);
  EXPECT_EQ(feed.NextFor(&cursor, 10, &stopped), "");  // nothing new: a keep-alive follows

  shop.Publish("mc2", WorkerActivity::kReceiving, 42);
  feed.Refresh();
  const std::string change = feed.NextFor(&cursor, 0, &stopped);
  EXPECT_EQ(change.find("event: machines\ndata: [{\"machine\": \"mc2\""), 0u) << change;
  EXPECT_EQ(change.find("mc1"), std::string::npos);
  EXPECT_EQ(Count(change, "\n"), 3u);  // event, data, blank line

  std::ofstream(shop.config.machines[0].spool + "/O1.nc") << "O1";
  feed.Refresh();
  EXPECT_NE(feed.NextFor(&cursor, 0, &stopped).find("\"files\": [\"O1.nc\"]"), std::string::npos);

  uint64_t slow = cursor;
  for (long lines = 1; lines <= 5; ++lines) {
    shop.Publish("mc1", WorkerActivity::kReceiving, lines);
    feed.Refresh();
  }
  const std::string snapshot = feed.NextFor(&slow, 0, &stopped);
  EXPECT_NE(snapshot.find("event: service"), std::string::npos);
  EXPECT_NE(snapshot.find("\"lines\": 5"), std::string::npos);
  EXPECT_EQ(Count(snapshot, "\"machine\": \"mc1\", \"state\""), 1u);

  feed.Stop();
  EXPECT_EQ(feed.NextFor(&slow, 1000, &stopped), "");
  EXPECT_TRUE(stopped);
}

// The ends of transfers in the journal become each machine's last transfer
// (with its error number) and today's counts; other lines are no transfer.
TEST(StatusFeed, JournalLinesGiveTheLastTransferAndTodaysCounts) {
  Shop shop;
  StatusFeed feed(shop.config, 60000);
  uint64_t cursor = 0;
  bool stopped = false;
  feed.NextFor(&cursor, 0, &stopped);
  feed.NoteJournal("mc2: send of O1.nc did not complete (error 12); it stays queued (1 failure)");
  const std::string failed = feed.NextFor(&cursor, 0, &stopped);
  EXPECT_NE(failed.find("event: transfers\ndata: [{\"machine\": \"mc2\""), std::string::npos) << failed;
  EXPECT_NE(failed.find("\"ok\": false, \"error\": 12"), std::string::npos) << failed;
  for (const char* noise : {"mc1: line lost; trying again in 1 s", "mc9: sent O1.nc", "serving 2 machines",
                            "mc1: request for O5; sent at the next DC1", "mc1: offline: gone"}) {
    feed.NoteJournal(noise);
  }
  EXPECT_EQ(feed.NextFor(&cursor, 0, &stopped), "");
  feed.NoteJournal("mc1: received O5.nc (20 bytes)");
  feed.NoteJournal("mc1: incomplete reception kept as O6.nc-20261208-101010.incomplete");
  uint64_t fresh = 0;
  const std::string snapshot = feed.NextFor(&fresh, 0, &stopped);
  EXPECT_NE(snapshot.find("\"transfers_today\": 3, \"errors_today\": 2"), std::string::npos) << snapshot;
  EXPECT_NE(snapshot.find("\"text\": \"incomplete reception kept as"), std::string::npos);
  EXPECT_EQ(Count(snapshot, "received O5.nc"), 0u);  // only the last transfer per machine
}

// A shop of 512 machines: the feed reads the files once per poll for every
// stream, and all changes of one poll are one event that every stream gets
// whole and alike; /api/machines answers from what the last poll read, so a
// request reads no file however many machines there are.
TEST(StatusFeed, OneFeedServesAShopOf512Machines) {
  constexpr int kMachines = 512;
  Shop shop(kMachines);
  for (int i = 1; i <= kMachines; ++i) shop.Publish("mc" + std::to_string(i), WorkerActivity::kWaiting, 0);
  StatusFeed feed(shop.config, 60000);
  std::vector<uint64_t> cursors(3, 0);
  bool stopped = false;
  for (uint64_t& cursor : cursors) EXPECT_EQ(Count(feed.NextFor(&cursor, 0, &stopped), "\"state\""), 512u);

  for (int i = 1; i <= 300; ++i) shop.Publish("mc" + std::to_string(i), WorkerActivity::kReceiving, i);
  feed.Refresh();
  feed.Refresh();  // nothing changed since: no event
  std::vector<std::string> got;
  for (uint64_t& cursor : cursors) got.push_back(feed.NextFor(&cursor, 0, &stopped));
  EXPECT_EQ(Count(got[0], "event: "), 1u);
  EXPECT_EQ(Count(got[0], "\"state\": \"receiving\""), 300u);
  EXPECT_EQ(got[1], got[0]);
  EXPECT_EQ(got[2], got[0]);

  // Three polls later a stream one event behind gets just the two after it.
  uint64_t lagging = cursors[0];
  shop.Publish("mc7", WorkerActivity::kSending, 0);
  feed.Refresh();
  const std::string first = feed.NextFor(&cursors[0], 0, &stopped);
  shop.Publish("mc8", WorkerActivity::kSending, 0);
  feed.Refresh();
  shop.Publish("mc9", WorkerActivity::kSending, 0);
  feed.Refresh();
  const std::string rest = feed.NextFor(&cursors[0], 0, &stopped);
  EXPECT_EQ(feed.NextFor(&lagging, 0, &stopped), first + rest);
  EXPECT_EQ(Count(rest, "event: "), 2u);
  EXPECT_EQ(rest.find("mc7"), std::string::npos);

  for (int i = 1; i <= kMachines; ++i) ::unlink(StatusFilePath(shop.config.stateDir, "mc" + std::to_string(i)).c_str());
  const std::string machines = feed.MachinesJson();
  EXPECT_EQ(Count(machines, "\"state\""), 512u);
  EXPECT_EQ(Count(machines, "\"state\": \"sending\""), 3u);
  feed.NoteJournal("mc512: received O5.nc (20 bytes)");
  EXPECT_NE(feed.NextFor(&cursors[1], 0, &stopped).find("\"machine\": \"mc512\", \"text\": \"received O5.nc"),
            std::string::npos);
}

}  // namespace
}  // namespace quelvo::http
