#pragma once
// What the send engine needs from the main window beyond TransferHost: the
// editor's caret and selection, its modified state and status bar StatusBar1,
// and the two transfer timers. TForm1 implements it; tests use
// tests/support/FakeSendHost.h.
//
// Editor positions are the editor's own: byte offsets of the UTF-8 text with
// every line end counting two.
#include <cstdint>
#include <string>

namespace quelvo {

class SendHost {
 public:
  virtual ~SendHost() = default;

  // --- the editor ---
  // Puts the caret at `start`, scrolls so that the caret's line is the second
  // visible line, and selects `length` positions from the caret.
  virtual void ShowLineInEditor(int64_t start, int64_t length) = 0;
  virtual void FocusEditor() = 0;
  virtual void RepaintEditor() = 0;
  // Replaces a line feed that ends line `index` (0-based) by a carriage return.
  virtual void ReplaceFinalLineFeed(int index) = 0;
  virtual bool IsModified() = 0;
  virtual void SetModified(bool modified) = 0;
  // Panel `index` of the editor status bar StatusBar1.
  virtual void SetEditorStatusPanel(int index, const std::string& text) = 0;

  // --- timers and the end of the program ---
  // Timer2: while on, every 10000 ms a TSendTime worker runs
  // EstimateRemainingTime over the engine's counters (SendEngine::Counters()).
  virtual void SetEstimateTimer(bool enabled) = 0;
  // Timer1: 2000 ms later the window returns to editing (and sends the mail).
  virtual void StartCompletionTimer() = 0;
  // A completed send started with the close-after-transfer request: close the
  // main window as any close does (unsaved edits are asked about, or, when the
  // request came from the command line, keep the window open), then, with
  // `powerOff` and only when the window did close, switch the PC off when the
  // system allows it.
  virtual void CloseProgram(bool powerOff) = 0;
};

}  // namespace quelvo
