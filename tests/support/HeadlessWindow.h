// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A window without widgets for driving the send engine against a real port
// (a pseudo-terminal) in real time: the clock is the system's, the document is
// a list of lines, message boxes answer Yes. A send that hangs is stopped
// through its link's Stops(), from any thread.
//
// The designed pauses (4 s before the port closes, 5 ms after a program end
// and the like) are recorded but not slept: the integration tests and the
// benchmark measure the line, not the engine's courtesy waits.
//
// Idle is where a real window would repaint and take the "中止"
// button; the longest real time between two of its calls is kept, as the
// worst time a stop request would have had to wait.
#include <atomic>
#include <chrono>
#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "core/transfer/TransferHost.h"
#include "core/transfer/TransferStatusTexts.h"
#include "core/transfer/TransferView.h"

namespace quelvo {

class HeadlessWindow : public TransferHost, public TransferView {
 public:
  HeadlessWindow();

  // --- TransferView ---
  void SetStatusField(TransferStatusField field, const std::string& text) override { status[field] = text; }
  void ShowStatusNow() override {}
  void SetProgressRange(int64_t maximum) override { progressMax = maximum; }
  void SetProgressPosition(int64_t position) override { progress = position; }
  void SetProgramLine(const std::string& text) override { programLine = text; }
  void ShowDsrState(bool) override {}
  void ShowCtsState(bool) override {}
  void ShowTransferPanel(bool) override {}
  void SetTitle(const std::string& text) override { title = text; }

  // --- TransferHost ---
  TransferEvents& Events() override { return texts_; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void Idle() override;
  void WaitMs(int milliseconds) override { skippedWaitMs += milliseconds; }
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  void SetScreenSaverActive(bool) override {}

  // The editor's lines of a document text (see DocumentLines.h).
  void SetDocument(const std::string& text);

  std::vector<std::string> lines;
  std::map<TransferStatusField, std::string> status;
  std::vector<std::string> messages;
  std::string title, programLine;
  int64_t progress = 0, progressMax = 0;
  int64_t skippedWaitMs = 0;
  int64_t eventPasses = 0;
  std::chrono::steady_clock::duration longestEventGap{};

 private:
  TransferStatusTexts texts_{*this};  // the engines' events as this view's texts
  std::chrono::steady_clock::time_point lastEvents_;
};

}  // namespace quelvo
