// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/TransferEventQueue.h"

namespace quelvo {

TransferEventQueue::TransferEventQueue(TransferEvents& target, std::function<void()> post)
    : target_(target), post_(std::move(post)) {}

void TransferEventQueue::FlushProgressLocked() {
  if (line_) {
    const Line l = *line_;
    pending_.push_back([l](TransferEvents& t) { t.LineInProgress(l.index, l.start, l.length); });
    line_.reset();
  }
  if (sent_) {
    const Sent s = *sent_;
    pending_.push_back([s](TransferEvents& t) { t.CharactersSent(s.sentChars, s.totalChars, s.remainingSeconds); });
    sent_.reset();
  }
  if (linesInBlock_) {
    const int lines = *linesInBlock_;
    pending_.push_back([lines](TransferEvents& t) { t.LinesInBlock(lines); });
    linesInBlock_.reset();
  }
}

void TransferEventQueue::Push(Event event) {
  bool post = false;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    FlushProgressLocked();
    pending_.push_back(std::move(event));
    post = !posted_;
    posted_ = true;
  }
  if (post && post_) post_();
}

void TransferEventQueue::Deliver() {
  std::vector<Event> events;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    FlushProgressLocked();
    events.swap(pending_);
    posted_ = false;
  }
  for (const Event& event : events) event(target_);
}

void TransferEventQueue::Started(TransferDirection direction, bool amountsInMeters) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    phase_.reset();
    dsr_.reset();
    cts_.reset();
  }
  Push([=](TransferEvents& t) { t.Started(direction, amountsInMeters); });
}

void TransferEventQueue::Preparing() {
  Push([](TransferEvents& t) { t.Preparing(); });
}

void TransferEventQueue::PhaseChanged(TransferPhase phase) {
  {
    // The send reports its phase with every line: only a change is news.
    std::lock_guard<std::mutex> lock(mutex_);
    if (phase_ == phase) return;
    phase_ = phase;
  }
  Push([=](TransferEvents& t) { t.PhaseChanged(phase); });
}

void TransferEventQueue::LineSettings(const ActiveSetting& active) {
  Push([active](TransferEvents& t) { t.LineSettings(active); });
}

void TransferEventQueue::CodeDetected(TapeCode code) {
  Push([=](TransferEvents& t) { t.CodeDetected(code); });
}

void TransferEventQueue::AmountToSend(int64_t totalChars) {
  Push([=](TransferEvents& t) { t.AmountToSend(totalChars); });
}

void TransferEventQueue::SendTotal(int64_t totalChars, bool dataBegins) {
  Push([=](TransferEvents& t) { t.SendTotal(totalChars, dataBegins); });
}

void TransferEventQueue::CharactersSent(int64_t sentChars, int64_t totalChars, int32_t remainingSeconds) {
  std::lock_guard<std::mutex> lock(mutex_);
  sent_ = Sent{sentChars, totalChars, remainingSeconds};
}

void TransferEventQueue::AllDataSent() {
  Push([](TransferEvents& t) { t.AllDataSent(); });
}

void TransferEventQueue::RepeatPass(int count) {
  Push([=](TransferEvents& t) { t.RepeatPass(count); });
}

void TransferEventQueue::ControlPaused(bool paused) {
  Push([=](TransferEvents& t) { t.ControlPaused(paused); });
}

void TransferEventQueue::ReceiveBlock(int blockLines) {
  Push([=](TransferEvents& t) { t.ReceiveBlock(blockLines); });
}

void TransferEventQueue::LinesInBlock(int lines) {
  std::lock_guard<std::mutex> lock(mutex_);
  linesInBlock_ = lines;
}

void TransferEventQueue::ProgramLine(const std::string& line) {
  Push([line](TransferEvents& t) { t.ProgramLine(line); });
}

void TransferEventQueue::ControlFileName(const std::string& name) {
  Push([name](TransferEvents& t) { t.ControlFileName(name); });
}

void TransferEventQueue::Title(const std::string& title) {
  Push([title](TransferEvents& t) { t.Title(title); });
}

void TransferEventQueue::DsrState(bool on) {
  {
    // Read before every character: only a change is news.
    std::lock_guard<std::mutex> lock(mutex_);
    if (dsr_ == on) return;
    dsr_ = on;
  }
  Push([=](TransferEvents& t) { t.DsrState(on); });
}

void TransferEventQueue::CtsState(bool on) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    if (cts_ == on) return;
    cts_ = on;
  }
  Push([=](TransferEvents& t) { t.CtsState(on); });
}

void TransferEventQueue::LineInProgress(int index, int64_t start, int64_t length) {
  std::lock_guard<std::mutex> lock(mutex_);
  line_ = Line{index, start, length};
}

void TransferEventQueue::LineEndReplaced(int index) {
  Push([=](TransferEvents& t) { t.LineEndReplaced(index); });
}

void TransferEventQueue::DataFlowing(bool flowing) {
  Push([=](TransferEvents& t) { t.DataFlowing(flowing); });
}

void TransferEventQueue::DocumentUnchanged(bool afterError) {
  Push([=](TransferEvents& t) { t.DocumentUnchanged(afterError); });
}

void TransferEventQueue::NextPassReady() {
  Push([](TransferEvents& t) { t.NextPassReady(); });
}

void TransferEventQueue::Ended(bool completed) {
  Push([=](TransferEvents& t) { t.Ended(completed); });
}

}  // namespace quelvo
