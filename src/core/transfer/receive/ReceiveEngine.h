// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The receive engine: one reception from an NC control into a file. It opens
// the port for receiving, waits for the control's start character, recognises
// ISO or EIA, turns the incoming characters into cleaned lines, appends them to
// the target file in blocks of 1000 lines and at least once a second (an
// existing target is replaced only when the data starts), recognises the end of the data
// ("%", DC4, CAN, DSR off or a stop), answers with DC4, saves the file (under
// the control's file name when one was sent) and the communication log. Every
// step writes its status texts and log lines; the port is closed on every way
// out.
//
// It runs synchronously on the caller's thread (the window's transfer thread,
// the terminal program's main thread, a service worker) and never throws; a
// stop reaches it as a request on the link's StopToken and a failed port as
// the link's PortFailed(). TransferSession runs it and turns its outcome into
// the front end's result (the close decision after a completed reception
// started with CloseAfterTransfer, and power-off with Power_Off "Y"); the
// window then empties its editor after an unsuccessful reception and starts
// its completion timer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/TransferError.h"
#include "core/transfer/TransferHost.h"
#include "core/transfer/TransferSteps.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/receive/ReceiveJob.h"
#include "core/transfer/receive/ReceiveTargetFile.h"
#include "core/transfer/receive/ReceivedText.h"

namespace quelvo {

class ReceiveEngine : private ReceivedTextSink {
 public:
  // Lines completed between two appends to the target file; also the range of
  // the progress bar.
  static constexpr int kBlockLines = 1000;
  // Lines in hand are written at least this often, so a reception killed
  // mid-way loses at most the last second.
  static constexpr int64_t kFlushIntervalMs = 1000;

  // The steps of one reception, in order; RunReceive runs the step of each
  // phase and moves to the phase it returns.
  enum class Phase {
    kPreparing,        // creating the target, opening the port
    kWaitingForStart,  // the control's start character
    kStartingData,     // the code found, the target put in place
    kReceiving,        // the data, up to its end and the save
    kEnded,            // completed or stopped
  };

  ReceiveEngine(SerialLink& link, TransferHost& host, CommLog& log, const ProgramOptions& options);

  // Runs one reception to its end. Never throws.
  ReceiveOutcome RunReceive(const CommSetting& setting, const ReceiveJob& job);
  // After RunReceive: kEnded when the data ended normally, else the phase the
  // reception stopped in.
  Phase CurrentPhase() const { return phase_; }

 private:
  // ReceivedTextSink
  void StoreLine(const std::string& line) override;
  void FileNameLine(const std::string& sent, const std::string& usable) override;
  void ProgramNumberLine(const std::string& line) override;

  // ReceiveEngine.cpp. A step that finds the end of the reception early takes
  // its ending path and leaves with StopTransfer (see TransferSteps.h).
  Phase RunStep(Phase phase, const CommSetting& setting);
  void Prepare(const CommSetting& setting);
  void ShowLineSettings();
  std::uint8_t WaitForStart();
  void StartData(std::uint8_t startChar);
  void LeaveOnStopWhileWaiting();

  // ReceiveEngineLoop.cpp
  void ReceiveData();
  void LeaveOnStopWhileReceiving();
  bool DsrEndsData();
  void AfterOrdinaryChar();
  void FlushBlock();
  void FlushWhenDue();

  // ReceiveEngineEnd.cpp
  void EndOfData();
  void Save();
  struct MoveNote {
    std::string text;  // "" when the file was simply moved
    MessageKind kind = MessageKind::kInformation;
  };
  MoveNote MoveToControlName();
  // The ways out of a reception that stops early; each leaves the steps.
  [[noreturn]] void Abort();
  [[noreturn]] void StopKeepingData(TransferError errorNumber, const std::string& message);
  [[noreturn]] void StopForLostPort();
  [[noreturn]] void FailTargetFile(const std::string& reason);
  void UnexpectedError();
  // Saves the log; a failure is kept for ReportLogNotSaved.
  void SaveLog();
  void ReportLogNotSaved();
  void ShowStopped();

  SerialLink& link_;
  TransferHost& host_;
  CommLog& log_;
  const ProgramOptions& options_;

  // One reception.
  ReceiveJob job_;
  Phase phase_ = Phase::kEnded;
  std::uint8_t startChar_ = 0;  // the character that started the data
  ReceiveOutcome outcome_;
  std::optional<ReceivedText> text_;  // from the start of data on
  std::vector<std::string> block_;  // stored lines not yet appended to the file
  ReceiveTargetFile file_;
  int64_t lastFlushMs_ = 0;
  std::string logNotSaved_;  // the message of a failed SaveLog; "" when it did not fail
};

}  // namespace quelvo
