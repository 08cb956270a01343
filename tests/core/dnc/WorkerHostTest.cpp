// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/dnc/WorkerHost.h"

namespace quelvo {
namespace {

class WorkerHostTest : public ::testing::Test {
 protected:
  std::atomic<bool> shutdown{false};
  std::vector<WorkerHost::Progress> reports;
  std::vector<std::string> journal;
  WorkerHost host{shutdown, [this](const WorkerHost::Progress& p) { reports.push_back(p); },
                  [this](const std::string& line) { journal.push_back(line); }};
};

// Nobody is there to press a key: a control that never starts, and the
// service's shutdown, are what stop a transfer.
TEST_F(WorkerHostTest, StopsAWaitThatRunsTooLongAndEverythingAtShutdown) {
  const StopToken::Watch watch = host.StopWatch();
  host.BeginTransfer(60000);
  EXPECT_EQ(watch(), std::nullopt);
  host.BeginTransfer(-1);  // the wait is already over
  EXPECT_EQ(watch(), StopKind::kControlNeverStarted);
  host.PhaseChanged(TransferPhase::kReceiving);  // once data comes, the wait no longer counts
  EXPECT_EQ(watch(), std::nullopt);
  shutdown = true;
  EXPECT_EQ(watch(), StopKind::kShutdown);
  const int64_t before = host.MonotonicMs();
  host.WaitMs(60000);  // returns at once during a shutdown
  EXPECT_LT(host.MonotonicMs() - before, 1000);
}

TEST_F(WorkerHostTest, QuestionsAreAnsweredToGoOnAndJournalled) {
  EXPECT_EQ(host.ShowMessage("準備\nはい", "", MessageKind::kWarning, MessageButtons::kYesNo),
            MessageAnswer::kYes);
  EXPECT_EQ(host.ShowMessage("x", "", MessageKind::kError, MessageButtons::kOkCancel), MessageAnswer::kOk);
  EXPECT_EQ(journal, (std::vector<std::string>{"準備 はい", "x"}));
}

TEST_F(WorkerHostTest, ReceivedLinesAddUpOverBlocks) {
  host.BeginTransfer(60000);
  host.ReceiveBlock(1000);
  for (const int lines : {1, 500, 999, 0, 7}) host.LinesInBlock(lines);
  EXPECT_EQ(host.Current().lines, 1007);
  host.ProgramLine("O1234");
  host.ProgramLine("O5678");  // the first program names the file
  EXPECT_EQ(host.Current().programLine, "O1234");
}

}  // namespace
}  // namespace quelvo
