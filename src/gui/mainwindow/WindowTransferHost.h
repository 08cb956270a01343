// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window as the transfer engines see it, while they run on the
// window's transfer thread (TransferThread): a TransferHost whose events are
// carried to the window's thread (TransferEventQueue) and shown there through
// TransferStatusTexts and the document events on the window's widgets
// (TransferWindowView). A question blocks the transfer thread until the user
// has answered it on the window's thread. The host never touches a widget
// from the transfer thread.
//
// Message boxes go through a replaceable function so that window tests can
// answer them; the default shows a modal box 50 pixels right of and below the
// window's top-left corner.
#include <chrono>
#include <functional>
#include <string>
#include <vector>

#include "core/transfer/PollThrottle.h"
#include "core/transfer/TransferHost.h"
#include "core/transfer/TransferStatusTexts.h"
#include "gui/mainwindow/TransferEventQueue.h"
#include "gui/mainwindow/TransferWindowView.h"

namespace quelvo {

class StopKeyFilter;

class WindowTransferHost : public TransferHost {
 public:
  using MessageFunction = std::function<MessageAnswer(
      const std::string& text, const std::string& caption, MessageKind kind, MessageButtons buttons)>;

  WindowTransferHost(TransferWindowView& window, StopKeyFilter& keys);

  // Replaces the message boxes (tests); an empty function restores them.
  void SetMessageFunction(MessageFunction function) { message_ = std::move(function); }
  // Replaces the desktop's power-off (tests); by default logind.
  void SetSystemPowerOff(std::function<bool()> powerOff) { systemPowerOff_ = std::move(powerOff); }

  // A document to send instead of the editor's (a restart: the preamble and
  // the rest of the program). Its line `firstEditorLineAt` onwards are the
  // editor's lines from `editorLine` (0-based) on; the editor follows those as
  // it follows a whole send, the lines before them are not in the editor.
  void SetSendDocument(std::vector<std::string> lines, int firstEditorLineAt, long editorLine);
  void ClearSendDocument();
  // The index of the line last shown going out (of the sent document); -1 before any.
  int LastLineShown() const { return lastLineShown_; }
  void ForgetLastLineShown() { lastLineShown_ = -1; }

  // --- TransferHost: any thread ---
  TransferEvents& Events() override { return queue_; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void Idle() override;
  void WaitMs(int milliseconds) override;
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  void SetScreenSaverActive(bool active) override;

  // --- the window's thread ---
  // Applies the events that came from the transfer thread.
  void DeliverEvents() { queue_.Deliver(); }
  virtual bool ShiftHeld();
  // A completed transfer started with the close request: close the main
  // window as any close does, then, with `powerOff` and only when the window
  // did close, switch the PC off when the system allows it.
  virtual void CloseProgram(bool powerOff);
  // The editor's lines (see DocumentLines.h), the snapshot a send is handed.
  std::vector<std::string> DocumentSnapshot();
  int LineCount();
  std::string Line(int index);
  // Replaces a line feed that ends line `index` (0-based) by a carriage return.
  void ReplaceFinalLineFeed(int index);

 private:
  // The events as the window shows them: the panels through
  // TransferStatusTexts, the document events on the editor.
  class WindowEvents : public TransferStatusTexts {
   public:
    WindowEvents(WindowTransferHost& host, TransferWindowView& window)
        : TransferStatusTexts(window), host_(host), window_(window) {}
    void Preparing() override;
    void SendTotal(int64_t totalChars, bool dataBegins) override;
    void LineInProgress(int index, int64_t start, int64_t length) override;
    void LineEndReplaced(int index) override;
    void DataFlowing(bool flowing) override;
    void DocumentUnchanged(bool afterError) override;
    void NextPassReady() override;

   private:
    WindowTransferHost& host_;
    TransferWindowView& window_;
  };

  std::string RawLine(int index);  // with its line end
  void ShowLineInEditor(int64_t start, int64_t length);
  bool OnWindowThread() const;

  TransferWindowView& window_;
  WindowEvents texts_{*this, window_};
  TransferEventQueue queue_;
  StopKeyFilter& keys_;
  MessageFunction message_;
  std::function<bool()> systemPowerOff_;
  PollThrottle throttle_;  // a loop that polls faster than any line could feed it sleeps
  // The document of SetSendDocument; `ownLines_` empty: the editor's.
  std::vector<std::string> ownLines_;
  int ownFirstEditorLineAt_ = 0;
  long ownEditorLine_ = 0;
  int64_t shownStart_ = 0;  // where line `lastLineShown_` starts, counted as the engine counts
  int lastLineShown_ = -1;
};

}  // namespace quelvo
