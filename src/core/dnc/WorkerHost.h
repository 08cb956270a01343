#pragma once
// What the engines see of the shop service while a worker runs a transfer:
// there is no window and nobody to answer. Questions get the answer that lets
// the transfer go on (Yes, OK), their texts go to the journal; the stop keys
// read as held once the service shuts down, or once a transfer has waited
// longer than the worker allows for the control to start; the document is
// the program being sent; nothing powers the machine off or sends mail.
// The transfer events update the worker's published state.
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/transfer/TransferHost.h"
#include "core/transfer/send/DocumentSendHost.h"

namespace quelvo {

class WorkerHost : public TransferHost, public TransferEvents, public DocumentSendHost {
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

  // Starts a transfer: the document's lines (empty for a reception) and how
  // long the control may take to start before the transfer is given up.
  void BeginTransfer(std::vector<std::string> lines, int64_t startWaitMs);
  const Progress& Current() const { return progress_; }

  // TransferHost
  TransferEvents& Events() override { return *this; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void ProcessEvents() override {}
  bool KeyHeld(StopKey) override { return StopWanted(); }
  bool KeyHit(StopKey) override { return StopWanted(); }
  void ReleaseKey(StopKey) override {}
  bool ShiftHeld() override { return false; }
  void WaitMs(int milliseconds) override;
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  int LineCount() override { return DocumentLineCount(); }
  std::string Line(int index) override { return DocumentLine(index); }
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
  bool StopWanted();
  void Report();

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
};

}  // namespace quelvo
