// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a transfer engine reports while it runs, in its own terms: the phase,
// the line setting in use, how far the data has got, the program line in
// progress and the modem lines. The engines know nothing of the window that
// shows it: TransferStatusTexts turns these events into the texts of the
// status fields; another front end can render them its own way.
//
// Questions to the user go through TransferHost::ShowMessage (they need an
// answer); log lines through CommLog. Every event comes from the thread the
// engine runs on.
#include <cstdint>
#include <string>

#include "core/settings/ActiveSetting.h"
#include "core/transfer/TapeCode.h"

namespace quelvo {

enum class TransferPhase {
  kWaitingForControl,  // the port is open, the control has not started yet
  kSending,            // data goes out
  kSkipping,           // a selective send passes over a program it does not send
  kReceiving,          // data comes in
  kSaving,             // the received data is being written and the file moved
  kCompleted,          // the transfer ended normally
  kStopped,            // the transfer was stopped, refused or failed
};

class TransferEvents {
 public:
  virtual ~TransferEvents() = default;

  // A transfer begins; `amountsInMeters` shows the amounts to send as tape
  // length. Comes before every other event of the transfer.
  virtual void Started(TransferDirection direction, bool amountsInMeters) = 0;
  // The port is about to be opened: the transfer panel shows, no program line.
  virtual void Preparing() = 0;
  virtual void PhaseChanged(TransferPhase phase) = 0;
  // The port is open with this setting (code, speed, stop bits, port, signal).
  virtual void LineSettings(const ActiveSetting& active) = 0;
  // A reception with automatic code recognition found ISO or EIA.
  virtual void CodeDetected(TapeCode code) = 0;

  // --- how far a send has got ---
  // Before the data: the whole amount.
  virtual void AmountToSend(int64_t totalChars) = 0;
  // The data begins, or its total grew (a final line feed became CR LF).
  virtual void SendTotal(int64_t totalChars, bool dataBegins) = 0;
  // After each line. `remainingSeconds` is the latest estimate.
  virtual void CharactersSent(int64_t sentChars, int64_t totalChars, int32_t remainingSeconds) = 0;
  // Every line is out; the end sequence follows.
  virtual void AllDataSent() = 0;
  // A repeated send starts pass `count`.
  virtual void RepeatPass(int count) = 0;
  // The control's pause code holds the send (true) or lets it go on again
  // (false). The window shows no text for it; other front ends may.
  virtual void ControlPaused(bool paused) { (void)paused; }

  // --- how far a reception has got ---
  // The data begins; the received lines are counted in blocks of `blockLines`.
  virtual void ReceiveBlock(int blockLines) = 0;
  virtual void LinesInBlock(int lines) = 0;

  // The program-number line going out or coming in.
  virtual void ProgramLine(const std::string& line) = 0;
  // The file name sent to the control, or received from it.
  virtual void ControlFileName(const std::string& name) = 0;
  // The document the transfer concerns has a new title.
  virtual void Title(const std::string& title) = 0;

  // The modem lines as last read.
  virtual void DsrState(bool on) = 0;
  virtual void CtsState(bool on) = 0;

  // --- the document of a send (a snapshot of its lines taken at the start) ---
  // The line going out: line `index`, at document position `start` (bytes of
  // the UTF-8 text, every line end counting two), `length` positions long.
  virtual void LineInProgress(int index, int64_t start, int64_t length) {
    (void)index, (void)start, (void)length;
  }
  // The line feed that ended line `index` became a carriage return in the
  // snapshot; the window makes the same change in its editor.
  virtual void LineEndReplaced(int index) { (void)index; }
  // The data starts going out (true) or no longer does (false).
  virtual void DataFlowing(bool flowing) { (void)flowing; }
  // The send ends with the document as the user left it: not modified (the
  // engine's own line-end change is no edit). `afterError`: the send ended on
  // an unexpected error.
  virtual void DocumentUnchanged(bool afterError) { (void)afterError; }
  // A repeat series completed a pass; the next one follows after a pause.
  virtual void NextPassReady() {}

  // The engine has ended its run, completed or not. The last event of a transfer.
  virtual void Ended(bool completed) { (void)completed; }
};

}  // namespace quelvo
