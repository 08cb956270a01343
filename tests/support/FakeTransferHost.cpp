// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeTransferHost.h"

#include "FakeSendHost.h"

#include <algorithm>
#include <stdexcept>

namespace quelvo {

void FakeTransferHost::SetStatusField(TransferStatusField field, const std::string& text) {
  statusTexts.emplace_back(field, text);
  status[field] = text;
}

MessageAnswer FakeTransferHost::ShowMessage(const std::string& text, const std::string& caption,
                                            MessageKind kind, MessageButtons buttons) {
  messages.push_back({text, caption, kind, buttons});
  if (!answers.empty()) {
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  return buttons == MessageButtons::kYesNo ? MessageAnswer::kYes : MessageAnswer::kOk;
}

void FakeTransferHost::CheckRunaway() const {
  if (clock_.nowMs > runawayMs) throw std::runtime_error("FakeTransferHost: runaway loop");
}

void FakeTransferHost::Idle() {
  ++eventPasses;
  clock_.Advance(1);
  CheckRunaway();
  if (onIdle) onIdle();
}

void FakeTransferHost::WaitMs(int milliseconds) {
  waits.push_back(milliseconds);
  clock_.Advance(milliseconds);
}

std::optional<StopKind> FakeTransferHost::ScriptedStop() {
  CheckRunaway();
  const int64_t now = clock_.nowMs;
  for (const StopKey key : {StopKey::kF3, StopKey::kEsc}) {
    KeyScript& s = Script(key);
    bool due = !s.released && s.holdFromMs >= 0 && now >= s.holdFromMs;
    if (due) s.released = true;  // taken once, as the window's key-up after a stop
    const auto pressed = std::remove_if(s.pressesMs.begin(), s.pressesMs.end(),
                                        [now](int64_t at) { return at <= now; });
    if (pressed != s.pressesMs.end()) due = true;
    s.pressesMs.erase(pressed, s.pressesMs.end());
    if (due) {
      stopsRequested.push_back(key);
      return key == StopKey::kF3 ? StopKind::kF3 : StopKind::kEsc;
    }
  }
  return std::nullopt;
}

void FakeTransferHost::Watch(StopToken& token) {
  token.SetWatch([this] { return ScriptedStop(); });
}

void FakeTransferHost::HoldKeyFrom(StopKey key, int64_t atMs) {
  KeyScript& s = Script(key);
  s.holdFromMs = atMs;
  s.released = false;
}

void FakeTransferHost::PressKeyAt(StopKey key, int64_t atMs) { Script(key).pressesMs.push_back(atMs); }

void FakeTransferHost::Texts::LineInProgress(int, int64_t start, int64_t length) {
  if (host_.window != nullptr) host_.window->shownLines.emplace_back(start, length);
}

void FakeTransferHost::Texts::LineEndReplaced(int) {
  if (host_.window != nullptr) host_.window->modified = true;
}

void FakeTransferHost::Texts::DataFlowing(bool flowing) {
  if (host_.window == nullptr) return;
  host_.window->estimateTimer.push_back(flowing);
  host_.window->estimateTimerOn = flowing;
}

void FakeTransferHost::Texts::DocumentUnchanged(bool afterError) {
  if (host_.window == nullptr) return;
  host_.window->modified = false;
  host_.window->editorPanelTexts.emplace_back(afterError ? 1 : 2, "");
}

void FakeTransferHost::Texts::NextPassReady() {
  if (host_.window != nullptr) host_.window->editorPanelTexts.emplace_back(4, "");
}

void FakeTransferHost::Texts::Ended(bool) {
  if (host_.window != nullptr) ++host_.window->completionTimerStarts;
}

}  // namespace quelvo
