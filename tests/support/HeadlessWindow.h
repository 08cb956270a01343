#pragma once
// A window without widgets for driving the send engine against a real port
// (a pseudo-terminal) in real time: the clock is the system's, the document is
// a list of lines, message boxes answer Yes.
//
// The designed pauses (4 s before the port closes, 5 ms after a program end
// and the like) are recorded but not slept: the integration tests and the
// benchmark measure the line, not the engine's courtesy waits.
//
// ProcessEvents is where a real window would repaint and take the "中止"
// button; the longest real time between two of its calls is kept, as the
// worst time a stop request would have had to wait.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

#include "core/transfer/TransferHost.h"
#include "core/transfer/TransferStatusTexts.h"
#include "core/transfer/TransferView.h"
#include "core/transfer/send/SendHost.h"

namespace quelvo {

class HeadlessWindow : public TransferHost, public TransferView, public SendHost {
 public:
  HeadlessWindow();

  // --- TransferView ---
  void SetStatusPanel(int index, const std::string& text) override { panels[index] = text; }
  void RepaintStatus() override {}
  void SetProgressRange(int64_t maximum) override { progressMax = maximum; }
  void SetProgressPosition(int64_t position) override { progress = position; }
  void SetLabel2(const std::string& text) override { label2 = text; }
  void SetDsrIndicator(bool) override {}
  void SetCtsIndicator(bool) override {}
  void ShowTransferPanel(bool) override {}
  void SetTitle(const std::string& text) override { title = text; }

  // --- TransferHost ---
  TransferEvents& Events() override { return texts_; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void ProcessEvents() override;
  bool KeyHeld(StopKey) override { return stopKey; }
  bool KeyHit(StopKey) override { return stopKey; }
  void ReleaseKey(StopKey) override { stopKey = false; }
  bool ShiftHeld() override { return false; }
  void WaitMs(int milliseconds) override { skippedWaitMs += milliseconds; }
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  int LineCount() override { return static_cast<int>(lines.size()); }
  std::string Line(int index) override { return lines.at(static_cast<size_t>(index)); }
  void SetScreenSaverActive(bool) override {}

  // --- SendHost ---
  void ShowLineInEditor(int64_t, int64_t) override {}
  void FocusEditor() override {}
  void RepaintEditor() override {}
  void ReplaceFinalLineFeed(int index) override;
  bool IsModified() override { return modified; }
  void SetModified(bool value) override { modified = value; }
  void SetEditorStatusPanel(int, const std::string&) override {}
  void SetEstimateTimer(bool) override {}
  void StartCompletionTimer() override { ++completionTimerStarts; }
  void CloseProgram(bool) override {}

  // The editor's lines of a document text (see DocumentLines.h).
  void SetDocument(const std::string& text);

  // Another thread may set it to stop a send that hangs: it reads as a held Esc.
  std::atomic<bool> stopKey{false};
  std::vector<std::string> lines;
  std::map<int, std::string> panels;
  std::vector<std::string> messages;
  std::string title, label2;
  int64_t progress = 0, progressMax = 0;
  bool modified = false;
  int completionTimerStarts = 0;
  int64_t skippedWaitMs = 0;
  int64_t eventPasses = 0;
  std::chrono::steady_clock::duration longestEventGap{};

 private:
  TransferStatusTexts texts_{*this};  // the engines' events as this view's texts
  std::chrono::steady_clock::time_point lastEvents_;
};

}  // namespace quelvo
