#pragma once
// The receive engine: one reception from an NC control into a file. It opens
// the port for receiving, waits for the control's start character, recognises
// ISO or EIA, turns the incoming characters into cleaned lines, appends them to
// the target file in blocks of 1000 lines and at least once a second (an
// existing target is replaced only when the data starts), recognises the end of the data
// ("%", DC4, CAN, DSR off or a stop), answers with DC4, saves the file (under
// the control's file name when one was sent) and the communication log. Every
// step writes its panel texts and log lines; the port is closed on every way
// out.
//
// It runs synchronously on the window's thread and lets the window process
// events between characters. What remains for the window when RunReceive
// returns: close the program after a completed reception started with
// CloseAfterTransfer (and power off with Power_Off "Y"), empty the editor after
// an unsuccessful one, and start the completion timer.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/TransferError.h"
#include "core/transfer/TransferHost.h"
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

  ReceiveEngine(SerialLink& link, TransferHost& host, CommLog& log, const ProgramOptions& options);

  ReceiveOutcome RunReceive(const CommSetting& setting, const ReceiveJob& job);

 private:
  // ReceivedTextSink
  void StoreLine(const std::string& line) override;
  void FileNameLine(const std::string& sent, const std::string& usable) override;
  void ProgramNumberLine(const std::string& line) override;

  // ReceiveEngine.cpp
  bool Prepare(const CommSetting& setting);
  void ShowSettingPanels();
  bool WaitForStart(std::uint8_t* startChar);
  bool StartData(std::uint8_t startChar);
  bool StopRequestedWhileWaiting(bool hit);

  // ReceiveEngineLoop.cpp
  void ReceiveData();
  bool StopRequestedWhileReceiving(bool hit);
  bool DsrEndsData();
  bool AfterOrdinaryChar();
  bool FlushBlock();
  bool FlushWhenDue();

  // ReceiveEngineEnd.cpp
  void EndOfData();
  void Save();
  struct MoveNote {
    std::string text;  // "" when the file was simply moved
    MessageKind kind = MessageKind::kInformation;
  };
  MoveNote MoveToControlName();
  void Abort();
  void StopKeepingData(TransferError errorNumber, const std::string& message);
  void StopForLostPort();
  void FailTargetFile(const std::string& reason);
  void UnexpectedError();
  void SaveLog();
  void ShowStopped();

  SerialLink& link_;
  TransferHost& host_;
  CommLog& log_;
  const ProgramOptions& options_;

  // One reception.
  ReceiveJob job_;
  ReceiveOutcome outcome_;
  std::optional<ReceivedText> text_;  // from the start of data on
  std::vector<std::string> block_;  // stored lines not yet appended to the file
  ReceiveTargetFile file_;
  int64_t lastFlushMs_ = 0;
};

}  // namespace quelvo
