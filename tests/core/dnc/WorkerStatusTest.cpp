// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "core/dnc/DncCommands.h"
#include "core/dnc/DncSpool.h"
#include "core/dnc/WorkerStatus.h"
#include "core/common/TerminalCells.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

using test::TempFolder;

TEST(WorkerStatus, StateFilesSurviveTheRoundTripAndBadTextIsNoState) {
  WorkerStatus s;
  s.machine = "mc01";
  s.activity = WorkerActivity::kOffline;
  s.reason = "/dev/ttyUSB0: gone\nreally";  // a line break must not split the record
  s.queued = 3;
  s.since = 1796698479;
  s.pid = 42;
  const std::optional<WorkerStatus> back = ParseStatusFile(StatusFileText(s));
  ASSERT_TRUE(back);
  EXPECT_EQ(back->activity, WorkerActivity::kOffline);
  EXPECT_EQ(back->reason, "/dev/ttyUSB0: gone really");
  EXPECT_EQ(back->queued, 3);
  EXPECT_EQ(back->since, s.since);
  EXPECT_EQ(back->pid, 42);
  EXPECT_FALSE(ParseStatusFile(""));
  EXPECT_FALSE(ParseStatusFile("machine=x\nstate=dancing\n"));
}

TEST(WorkerStatus, DetailsAndJson) {
  WorkerStatus s;
  s.machine = "m\"1";
  s.activity = WorkerActivity::kSending;
  s.program = "O1234.nc";
  s.percent = 12;
  EXPECT_EQ(StatusDetail(s), "送信中 O1234.nc 12 %");
  s.held = true;
  EXPECT_EQ(StatusDetail(s), "送信中 O1234.nc 12 % (NC 機が一時停止中)");
  EXPECT_TRUE(ParseStatusFile(StatusFileText(s))->held);
  s.activity = WorkerActivity::kReceiving;
  s.lines = 120;
  EXPECT_EQ(StatusDetail(s), "受信中 O1234.nc 120 行");
  s.activity = WorkerActivity::kOffline;
  s.reason = "no such device";
  EXPECT_EQ(StatusDetail(s), "オフライン: no such device");
  const std::string json = StatusJson({s});
  EXPECT_NE(json.find("\"machine\": \"m\\\"1\""), std::string::npos) << json;
  EXPECT_NE(json.find("\"state\": \"offline\""), std::string::npos) << json;
  EXPECT_EQ(StatusJson({}), "[]\n");
}

// The two commands of quelvo-cli against a configuration and the files the
// service shares.
class DncCommandsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    std::ofstream(root.File("dnc.conf"))
        << "[service]\nstate_dir = state\n"
           "[machine mc01]\nport=/dev/x\nsetting=s\nlibrary=l\ninbox=i\nspool=spool1\n"
           "[machine mc02]\nport=/dev/y\nsetting=s\nlibrary=l\ninbox=i\nspool=spool2\n";
    mkdir(root.File("state").c_str(), 0755);
    mkdir(root.File("spool1").c_str(), 0755);
  }
  int Run(int (*command)(const std::vector<std::string>&, std::ostream&, std::ostream&),
          std::vector<std::string> args) {
    out.str("");
    err.str("");
    args.insert(args.begin(), {"--config", root.File("dnc.conf")});
    return command(args, out, err);
  }
  TempFolder root;
  std::ostringstream out, err;
};

TEST_F(DncCommandsTest, StatusShowsEveryMachineAndWhetherTheServiceRuns) {
  WorkerStatus live;
  live.machine = "mc01";
  live.activity = WorkerActivity::kWaiting;
  live.pid = getpid();
  std::string error;
  ASSERT_TRUE(PublishStatus(root.File("state"), live, &error)) << error;
  ASSERT_EQ(Run(RunStatusCommand, {}), 0) << err.str();
  EXPECT_NE(out.str().find("機械"), std::string::npos);
  EXPECT_NE(out.str().find("待機中"), std::string::npos) << out.str();
  EXPECT_NE(out.str().find("停止: 状態が公開されていません"), std::string::npos) << out.str();

  live.pid = 0x7ffffff0;  // a service that is gone left "waiting" behind
  ASSERT_TRUE(PublishStatus(root.File("state"), live, &error));
  ASSERT_EQ(Run(RunStatusCommand, {"--json"}), 0);
  EXPECT_NE(out.str().find("サービスが動いていません"), std::string::npos) << out.str();
  EXPECT_EQ(out.str().front(), '[');

  // The state column starts at the same terminal cell on every line, Japanese
  // heading included.
  live.pid = getpid();
  live.machine = "mc01";
  ASSERT_TRUE(PublishStatus(root.File("state"), live, &error));
  ASSERT_EQ(Run(RunStatusCommand, {}), 0);
  std::istringstream lines(out.str());
  std::vector<size_t> stateColumn;
  for (std::string line; std::getline(lines, line);) {
    size_t at = std::string::npos;
    for (const char* state : {"状態", "待機中", "停止"}) at = std::min(at, line.find(state));
    ASSERT_NE(at, std::string::npos) << line;
    stateColumn.push_back(TerminalCells(line.substr(0, at)));
  }
  ASSERT_EQ(stateColumn.size(), 3u) << out.str();
  EXPECT_EQ(stateColumn[0], stateColumn[1]) << out.str();
  EXPECT_EQ(stateColumn[0], stateColumn[2]) << out.str();

  EXPECT_EQ(Run(RunStatusCommand, {"extra"}), 2);
  EXPECT_EQ(RunStatusCommand({"--config", root.File("none.conf")}, out, err), 2);
}

TEST_F(DncCommandsTest, QueueDropsTheFileIntoTheMachinesSpool) {
  // The worker last published an empty queue; status right after queue
  // counts the file all the same.
  WorkerStatus live;
  live.machine = "mc01";
  live.activity = WorkerActivity::kWaiting;
  live.pid = getpid();
  std::string error;
  ASSERT_TRUE(PublishStatus(root.File("state"), live, &error)) << error;
  std::ofstream(root.File("O42.nc")) << "O42\r\n";
  ASSERT_EQ(Run(RunQueueCommand, {"mc01", root.File("O42.nc")}), 0) << err.str();
  EXPECT_EQ(SpooledFiles(root.File("spool1")), std::vector<std::string>{"O42.nc"});
  ASSERT_EQ(Run(RunStatusCommand, {"--json"}), 0) << err.str();
  EXPECT_NE(out.str().find("\"queued\": 1,"), std::string::npos) << out.str();
  EXPECT_EQ(Run(RunQueueCommand, {"mc09", root.File("O42.nc")}), 1);
  EXPECT_NE(err.str().find("機械 mc09 は "), std::string::npos);
  EXPECT_EQ(Run(RunQueueCommand, {"mc02", root.File("O42.nc")}), 1);  // its spool folder is missing
  EXPECT_EQ(Run(RunQueueCommand, {"mc01"}), 2);
}

}  // namespace
}  // namespace quelvo
