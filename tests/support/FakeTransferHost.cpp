#include "FakeTransferHost.h"

#include <algorithm>
#include <stdexcept>

namespace quelvo {

void FakeTransferHost::SetStatusPanel(int index, const std::string& text) {
  panelTexts.emplace_back(index, text);
  panels[index] = text;
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

void FakeTransferHost::ProcessEvents() {
  ++eventPasses;
  clock_.Advance(1);
  CheckRunaway();
}

void FakeTransferHost::WaitMs(int milliseconds) {
  waits.push_back(milliseconds);
  clock_.Advance(milliseconds);
}

bool FakeTransferHost::KeyHeld(StopKey key) {
  CheckRunaway();
  const KeyScript& s = Script(key);
  return !s.released && s.holdFromMs >= 0 && clock_.nowMs >= s.holdFromMs;
}

bool FakeTransferHost::KeyHit(StopKey key) {
  const bool held = KeyHeld(key);
  KeyScript& s = Script(key);
  const int64_t now = clock_.nowMs;
  const auto due = std::remove_if(s.pressesMs.begin(), s.pressesMs.end(),
                                  [now](int64_t at) { return at <= now; });
  const bool pressed = due != s.pressesMs.end();
  s.pressesMs.erase(due, s.pressesMs.end());
  return held || pressed;
}

void FakeTransferHost::ReleaseKey(StopKey key) {
  releasedKeys.push_back(key);
  KeyScript& s = Script(key);
  if (s.holdFromMs >= 0 && clock_.nowMs >= s.holdFromMs) s.released = true;
  const int64_t now = clock_.nowMs;
  s.pressesMs.erase(std::remove_if(s.pressesMs.begin(), s.pressesMs.end(),
                                   [now](int64_t at) { return at <= now; }),
                    s.pressesMs.end());
}

void FakeTransferHost::HoldKeyFrom(StopKey key, int64_t atMs) {
  KeyScript& s = Script(key);
  s.holdFromMs = atMs;
  s.released = false;
}

void FakeTransferHost::PressKeyAt(StopKey key, int64_t atMs) { Script(key).pressesMs.push_back(atMs); }

}  // namespace quelvo
