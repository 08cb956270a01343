// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "core/dnc/WorkerHost.h"

#include <chrono>
#include <thread>

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

// A control that pauses after every buffer-full does not have the state
// replaced at every pause: within one report interval many pauses and resumes
// make at most one report. The last of them is not lost: it goes out once the
// interval is over, when the engine next asks whether to stop, even while the
// line stays held.
TEST_F(WorkerHostTest, PausesAreReportedAtMostTwiceASecondAndTheLastIsNotLost) {
  const StopToken::Watch watch = host.StopWatch();
  host.BeginTransfer(60000);
  host.PhaseChanged(TransferPhase::kSending);  // a phase is reported at once
  ASSERT_EQ(reports.size(), 1u);
  const int64_t start = host.MonotonicMs();
  for (int i = 0; i < 50; ++i) {
    host.ControlPaused(true);
    host.ControlPaused(false);
    watch();
  }
  host.ControlPaused(true);
  const int64_t busy = host.MonotonicMs() - start;
  EXPECT_LE(reports.size(), static_cast<size_t>(2 + busy / 500));
  while (host.MonotonicMs() - start < 600) {
    EXPECT_EQ(watch(), std::nullopt);
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  EXPECT_TRUE(reports.back().held);
  const size_t reported = reports.size();
  watch();
  EXPECT_EQ(reports.size(), reported);  // nothing more is owed
}

// A send waiting for a full output queue calls Idle in a loop with nothing
// to block on: the service does not spin a core per machine. Every 201 calls
// either sleep a millisecond or took ten.
TEST_F(WorkerHostTest, AnIdleLoopGivesTheProcessorBack) {
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < 2010; ++i) host.Idle();
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(10));
}

}  // namespace
}  // namespace quelvo
