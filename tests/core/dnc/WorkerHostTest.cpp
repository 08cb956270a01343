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
  host.BeginTransfer({}, 60000);
  EXPECT_FALSE(host.KeyHeld(StopKey::kEsc));
  host.BeginTransfer({}, -1);  // the wait is already over
  EXPECT_TRUE(host.KeyHit(StopKey::kF3));
  host.PhaseChanged(TransferPhase::kReceiving);  // once data comes, the wait no longer counts
  EXPECT_FALSE(host.KeyHeld(StopKey::kEsc));
  shutdown = true;
  EXPECT_TRUE(host.KeyHeld(StopKey::kEsc));
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
  host.BeginTransfer({}, 60000);
  host.ReceiveBlock(1000);
  for (const int lines : {1, 500, 999, 0, 7}) host.LinesInBlock(lines);
  EXPECT_EQ(host.Current().lines, 1007);
  host.ProgramLine("O1234");
  host.ProgramLine("O5678");  // the first program names the file
  EXPECT_EQ(host.Current().programLine, "O1234");
}

TEST_F(WorkerHostTest, TheDocumentIsTheProgramBeingSent) {
  host.BeginTransfer({"O1", "G00\n", ""}, 60000);
  ASSERT_EQ(host.LineCount(), 3);
  host.ReplaceFinalLineFeed(1);
  EXPECT_EQ(host.Line(1), "G00") << "the CR that replaced the LF ends the line";
  host.BeginTransfer({}, 60000);
  EXPECT_EQ(host.LineCount(), 1);  // an empty document is one empty line
}

}  // namespace
}  // namespace quelvo
