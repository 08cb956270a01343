// SPDX-License-Identifier: GPL-3.0-or-later
#include "HeadlessWindow.h"

#include <ctime>

#include "core/transfer/DocumentLines.h"

namespace quelvo {

HeadlessWindow::HeadlessWindow() : lastEvents_(std::chrono::steady_clock::now()) {}

MessageAnswer HeadlessWindow::ShowMessage(const std::string& text, const std::string&, MessageKind,
                                          MessageButtons buttons) {
  messages.push_back(text);
  return buttons == MessageButtons::kOk ? MessageAnswer::kOk : MessageAnswer::kYes;
}

void HeadlessWindow::Idle() {
  ++eventPasses;
  const auto now = std::chrono::steady_clock::now();
  if (now - lastEvents_ > longestEventGap) longestEventGap = now - lastEvents_;
  lastEvents_ = now;
}

int64_t HeadlessWindow::MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::time_t HeadlessWindow::Now() { return std::time(nullptr); }

void HeadlessWindow::SetDocument(const std::string& text) { lines = DocumentLines(text); }

}  // namespace quelvo
