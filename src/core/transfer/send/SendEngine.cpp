// SPDX-License-Identifier: GPL-3.0-or-later
// The send engine's frame: the passes of one send and the checked writing
// every step uses (a refused character takes the abort path).
#include "core/transfer/send/SendEngine.h"

namespace quelvo {

SendEngine::SendEngine(SerialLink& link, TransferHost& host, CommLog& log, const ProgramOptions& options)
    : link_(link), host_(host), log_(log), options_(options) {}

void SendEngine::RunSend(const SendJob& job, std::vector<std::string>& lines) {
  job_ = job;
  lines_ = &lines;
  // A document has at least its one (empty) line.
  if (lines.empty()) lines.emplace_back();
  host_.Events().Started(TransferDirection::Send, Meters());
  outcome_.RepeatCount = job.RepeatCount;
  outcome_.CloseProgram = false;
  outcome_.PowerOff = false;
  outcome_.lineErrors = LineErrorReport{};
  RunTransferSteps([this] { RunPasses(); },
      [this] { UnexpectedError(); },
      // At least the port must not stay open.
      [this] { link_.ClosePort(); });
}

void SendEngine::RunPasses() {
  phase_ = Phase::kPreparing;
  while (phase_ != Phase::kEnded) phase_ = RunStep(phase_);
}

SendEngine::Phase SendEngine::RunStep(Phase phase) {
  switch (phase) {
    case Phase::kPreparing:
      Prepare();
      return Phase::kWaitingForStart;
    case Phase::kWaitingForStart:
      WaitForStart();
      return Phase::kStartOfData;
    case Phase::kStartOfData:
      if (!feed_.empty()) {
        WriteChecked(feed_, kSendFirstFeed);
        log_.AppendLog("  フィード出力\n");
      }
      counters_.SentChars = 0;
      host_.Events().SendTotal(counters_.TotalChars, true);
      host_.Events().DataFlowing(true);
      SendStartOfData();
      return Phase::kLines;
    case Phase::kLines:
      SendLines();
      return Phase::kEndOfData;
    case Phase::kEndOfData:
      SendEndOfData();
      return Phase::kCompleting;
    case Phase::kCompleting:
      return Complete() ? Phase::kPreparing : Phase::kEnded;
    case Phase::kEnded:
      break;
  }
  return Phase::kEnded;
}

void SendEngine::Abort() {
  AbortPath();
  StopTransfer();
}

void SendEngine::WriteChecked(char ch, TransferError errorNumber, int pauseAfterMs) {
  const bool taken = link_.WriteByte(static_cast<uint8_t>(ch));
  // The number of the step in progress is set after every write, so that a
  // refusal or a user stop is reported with it.
  Bytes().ErrorNumber = errorNumber;
  if (!taken) Abort();
  if (pauseAfterMs > 0) host_.WaitMs(pauseAfterMs);
}

void SendEngine::WriteChecked(const std::string& chars, TransferError errorNumber, int pauseAfterEachMs) {
  for (const char ch : chars) WriteChecked(ch, errorNumber, pauseAfterEachMs);
}

void SendEngine::WriteStep(const std::string& chars, TransferError errorNumber) {
  Bytes().ErrorNumber = errorNumber;
  for (const char ch : chars) {
    if (!link_.WriteByte(static_cast<uint8_t>(ch))) Abort();
  }
}

void SendEngine::SetPhase(TransferPhase phase) { host_.Events().PhaseChanged(phase); }

void SendEngine::ShowLine(int index, int64_t start) {
  const int64_t length = index < LineCount() ? static_cast<int64_t>((*lines_)[static_cast<size_t>(index)].size()) : 0;
  host_.Events().LineInProgress(index, start, length);
}

}  // namespace quelvo
