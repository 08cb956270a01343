// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The send engine: moves a document (a snapshot of its lines) to the NC
// control, one character at a time, through the serial link. One pass opens the port, waits
// for the control's start, sends feed and the start sequence (or an OSP
// control's file-name header), every line through the send line filter, the
// end sequence and feed, and ends completed, aborted (with an error number in
// the log) or on an unexpected error. In repeat mode completed passes follow
// one another until a stop.
//
// RunSend runs synchronously on the caller's thread (the window's transfer
// thread, the terminal program's main thread, a service worker) and ends with
// the Ended event. TransferSession runs it and does what follows a send (the
// mail notice, the close decision); a front end reads Counters() from its
// own thread for the remaining-time estimate.
#include <cstdint>
#include <string>
#include <vector>

#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/TransferError.h"
#include "core/transfer/TransferHost.h"
#include "core/transfer/TransferSteps.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/send/SendLineFilter.h"
#include "core/transfer/send/SendState.h"
#include "core/transfer/send/SendTimeEstimate.h"

namespace quelvo {

class SendEngine {
 public:
  // All references must outlive the engine; `options` is read at each send.
  SendEngine(SerialLink& link, TransferHost& host, CommLog& log, const ProgramOptions& options);

  // The steps of one pass, in order; RunPasses runs the step of each phase
  // and moves to the phase it returns.
  enum class Phase {
    kPreparing,        // opening the port
    kWaitingForStart,  // the control's start signal or the user's go
    kStartOfData,      // feed, the start sequence or an OSP file-name header
    kLines,            // the document's lines
    kEndOfData,        // the end sequence and feed
    kCompleting,       // closing the port; in repeat mode the next pass follows
    kEnded,            // completed or stopped
  };

  // Runs one send, or a repeat series, of `lines` (as DocumentLines makes
  // them) to its end. A line feed that ends a line is replaced in `lines`
  // (and reported by LineEndReplaced). Never throws.
  void RunSend(const SendJob& job, std::vector<std::string>& lines);
  // After RunSend: kEnded when the send completed, else the phase it stopped in.
  Phase CurrentPhase() const { return phase_; }

  SendSelection& Selection() { return selection_; }
  const SendOutcome& Outcome() const { return outcome_; }
  // Shared with the remaining-time worker.
  SendCounters& Counters() { return counters_; }

 private:
  // SendEngine.cpp: the passes, writing with the abort test (a character the
  // link refuses takes the abort path).
  void RunPasses();
  Phase RunStep(Phase phase);
  // Takes the abort path and leaves the steps (see TransferSteps.h).
  [[noreturn]] void Abort();
  // Writes, sets `errorNumber` as the step's, aborts when the character was
  // refused, then pauses.
  void WriteChecked(char ch, TransferError errorNumber, int pauseAfterMs);
  void WriteChecked(const std::string& chars, TransferError errorNumber, int pauseAfterEachMs = 0);
  // Sets `errorNumber` first, then writes with the abort test after every
  // character: a user stop during the step is then logged with kUserStop.
  void WriteStep(const std::string& chars, TransferError errorNumber);
  void SendLineEnd(TransferError errorNumber) { WriteChecked(lineEnd_, errorNumber); }
  void SetPhase(TransferPhase phase);
  void ShowLine(int index, int64_t start);

  // SendPreparation.cpp
  void Prepare();
  void ShowCodeAndLine();
  int32_t DocumentLength();

  // SendStartWait.cpp
  void WaitForStart();
  void WaitOldType();
  void WaitForSignal();
  void AskToStart();
  // One read of the line while waiting: a stop key (logging `stopLogLine`
  // when given) or a failed port leaves for the abort path.
  uint8_t ReadWhileWaiting(const char* stopLogLine);

  // SendStartOfData.cpp
  void SendStartOfData();
  void SendOspHeader();

  // SendLineLoop.cpp
  void SendLines();
  void SendLineText(const std::string& wireLine);
  void ShowProgress();

  // SendEndOfData.cpp: end of data and completion; true when another pass follows.
  void SendEndOfData();
  bool Complete();

  // SendEndings.cpp: the abort and unexpected-error paths.
  void AbortPath();
  void UnexpectedError();
  void ReleaseDocument(bool afterError);
  void SaveLog();
  void EndTransfer(bool completed);

  bool Meters() const { return options_.lengthInMeters; }
  ByteTransferState& Bytes() { return link_.State(); }
  const ActiveSetting& Active() const { return link_.Active(); }

  SerialLink& link_;
  TransferHost& host_;
  CommLog& log_;
  const ProgramOptions& options_;

  SendJob job_;
  std::vector<std::string>* lines_ = nullptr;  // the document of the running send
  Phase phase_ = Phase::kEnded;
  SendSelection selection_;
  SendOutcome outcome_;
  SendCounters counters_;

  // Per pass.
  std::string lineEnd_;   // the line-end sequence of CRLF_Type
  std::string feed_;      // the feed spaces; empty when no feed is due
  SendFilterOptions filter_;
  int LineCount() const { return static_cast<int>(lines_->size()); }
};

}  // namespace quelvo
