// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the engines see of the shop service while a worker runs a transfer:
// there is no window and nobody to answer. Questions get the answer that lets
// the transfer go on (Yes, OK), their texts go to the journal. The watch of
// StopWatch() stops a transfer once the service shuts down, or once it has
// waited longer than the worker allows for the control to start. Nothing
// powers the machine off; the mail notice of a machine's setting is the
// transfer session's. The transfer events update the worker's published
// state: progress and the control's pauses at most twice a second, phase
// changes at once.
#include <atomic>
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/transfer/PollThrottle.h"
#include "core/transfer/StopToken.h"
#include "core/transfer/TransferHost.h"

namespace quelvo {

class WorkerHost : public TransferHost, public TransferEvents {
 public:
  // What the worker learns from the events: a phase, progress, the program.
  struct Progress {
    TransferPhase phase = TransferPhase::kWaitingForControl;
    int percent = -1;
    long lines = 0;
    std::string programLine;
    bool held = false;  // the control's pause code holds the send
  };
  using ProgressSink = std::function<void(const Progress&)>;
  using Journal = std::function<void(const std::string&)>;

  WorkerHost(const std::atomic<bool>& shutdown, ProgressSink progress, Journal journal);

  // Starts a transfer: how long the control may take to start before the
  // transfer is given up.
  void BeginTransfer(int64_t startWaitMs);
  // For the link's StopToken: the shutdown, or a control that never started.
  StopToken::Watch StopWatch();
  const Progress& Current() const { return progress_; }

  // TransferHost
  TransferEvents& Events() override { return *this; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  // The engines call it between characters and in their waits; a wait with
  // nothing to block on (a full output queue of a real UART) would spin a
  // core per sending machine: past any line's need it sleeps.
  void Idle() override { throttle_.Call(); }
  void WaitMs(int milliseconds) override;
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  void SetScreenSaverActive(bool) override {}

  // TransferEvents
  void Started(TransferDirection, bool) override {}
  void Preparing() override {}
  void PhaseChanged(TransferPhase phase) override;
  void LineSettings(const ActiveSetting&) override {}
  void CodeDetected(TapeCode) override {}
  void AmountToSend(int64_t) override {}
  void SendTotal(int64_t, bool) override {}
  void CharactersSent(int64_t sentChars, int64_t totalChars, int32_t remainingSeconds) override;
  void AllDataSent() override {}
  void RepeatPass(int) override {}
  void ControlPaused(bool paused) override;
  void ReceiveBlock(int blockLines) override;
  void LinesInBlock(int lines) override;
  void ProgramLine(const std::string& line) override;
  void ControlFileName(const std::string&) override {}
  void Title(const std::string&) override {}
  void DsrState(bool) override {}
  void CtsState(bool) override {}

 private:
  std::optional<StopKind> StopWanted();
  // Progress goes to the sink at most every kReportIntervalMs; a change
  // held back is owed and sent by ReportOwed once the interval is over.
  void Report();
  void ReportOwed();

  const std::atomic<bool>& shutdown_;
  ProgressSink sink_;
  Journal journal_;
  Progress progress_;
  int64_t startWaitMs_ = 0;
  int64_t waitingSinceMs_ = 0;
  long blockBase_ = 0;
  int lastLinesInBlock_ = 0;
  int blockLines_ = 0;
  int64_t lastReportMs_ = 0;
  bool reportOwed_ = false;
  PollThrottle throttle_;
};

}  // namespace quelvo
