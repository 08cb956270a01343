#pragma once
// The main window as the transfer engines see it: TransferHost and SendHost
// over the window's TransferWindowView. The engines' events become the
// window's texts through TransferStatusTexts, the document's lines come from
// the view's editor, and the stop keys from the application-wide StopKeyFilter.
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
#include "gui/mainwindow/TransferWindowView.h"
#include "core/transfer/send/SendHost.h"

namespace quelvo {

class StopKeyFilter;

class WindowTransferHost : public TransferHost, public SendHost {
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

  // --- TransferHost ---
  TransferEvents& Events() override { return texts_; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void ProcessEvents() override;
  bool KeyHeld(StopKey key) override;
  bool KeyHit(StopKey key) override;
  void ReleaseKey(StopKey key) override;
  bool ShiftHeld() override;
  void WaitMs(int milliseconds) override;
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  int LineCount() override;
  std::string Line(int index) override;
  void SetScreenSaverActive(bool active) override;

  // --- SendHost ---
  void ShowLineInEditor(int64_t start, int64_t length) override;
  void FocusEditor() override;
  void RepaintEditor() override;
  void ReplaceFinalLineFeed(int index) override;
  bool IsModified() override;
  void SetModified(bool modified) override;
  void SetEditorStatusPanel(int index, const std::string& text) override;
  void SetEstimateTimer(bool enabled) override;
  void StartCompletionTimer() override;
  void CloseProgram(bool powerOff) override;

 private:
  std::string RawLine(int index);  // with its line end

  TransferWindowView& window_;
  TransferStatusTexts texts_{window_};  // the engines' events as the window's texts
  StopKeyFilter& keys_;
  MessageFunction message_;
  std::function<bool()> systemPowerOff_;
  PollThrottle throttle_;  // a loop that polls faster than any line could feed it sleeps
  std::chrono::steady_clock::time_point lastEvents_{};  // when the window last had its events

  // The document of SetSendDocument; `ownLines_` empty: the editor's.
  std::vector<std::string> ownLines_;
  int ownFirstEditorLineAt_ = 0;
  long ownEditorLine_ = 0;
  int64_t shownStart_ = 0;  // where line `lastLineShown_` starts, counted as the engine counts
  int lastLineShown_ = -1;
};

}  // namespace quelvo
