// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/dnc/WorkerHost.h"

#include <chrono>
#include <thread>

namespace quelvo {
namespace {

// Progress is published at most this often; phase changes at once.
constexpr int64_t kReportIntervalMs = 500;

}  // namespace

WorkerHost::WorkerHost(const std::atomic<bool>& shutdown, ProgressSink progress, Journal journal)
    : shutdown_(shutdown), sink_(std::move(progress)), journal_(std::move(journal)) {}

void WorkerHost::BeginTransfer(int64_t startWaitMs) {
  progress_ = Progress{};
  startWaitMs_ = startWaitMs;
  waitingSinceMs_ = MonotonicMs();
  blockBase_ = 0;
  lastLinesInBlock_ = 0;
  reportOwed_ = false;
}

MessageAnswer WorkerHost::ShowMessage(const std::string& text, const std::string&, MessageKind,
                                      MessageButtons buttons) {
  std::string oneLine = text;
  for (char& c : oneLine) {
    if (c == '\n') c = ' ';
  }
  journal_(oneLine);
  if (buttons == MessageButtons::kYesNo) return MessageAnswer::kYes;
  return MessageAnswer::kOk;
}

void WorkerHost::WaitMs(int milliseconds) {
  const int64_t until = MonotonicMs() + milliseconds;
  while (!shutdown_.load()) {
    const int64_t left = until - MonotonicMs();
    if (left <= 0) return;
    std::this_thread::sleep_for(std::chrono::milliseconds(std::min<int64_t>(left, 100)));
  }
}

int64_t WorkerHost::MonotonicMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

std::time_t WorkerHost::Now() { return std::time(nullptr); }

std::optional<StopKind> WorkerHost::StopWanted() {
  // The engines ask often, also while a control holds the line: a held
  // state not yet reported goes out once its interval is over.
  ReportOwed();
  if (shutdown_.load()) return StopKind::kShutdown;
  if (progress_.phase == TransferPhase::kWaitingForControl && MonotonicMs() - waitingSinceMs_ > startWaitMs_) {
    return StopKind::kControlNeverStarted;
  }
  return std::nullopt;
}

StopToken::Watch WorkerHost::StopWatch() {
  return [this] { return StopWanted(); };
}

void WorkerHost::Report() {
  const int64_t now = MonotonicMs();
  if (now - lastReportMs_ < kReportIntervalMs) {
    reportOwed_ = true;
    return;
  }
  lastReportMs_ = now;
  reportOwed_ = false;
  sink_(progress_);
}

void WorkerHost::ReportOwed() {
  if (reportOwed_ && MonotonicMs() - lastReportMs_ >= kReportIntervalMs) Report();
}

void WorkerHost::PhaseChanged(TransferPhase phase) {
  if (phase == TransferPhase::kWaitingForControl && progress_.phase != phase) waitingSinceMs_ = MonotonicMs();
  const bool changed = phase != progress_.phase;
  progress_.phase = phase;
  if (changed) {
    lastReportMs_ = MonotonicMs();
    reportOwed_ = false;
    sink_(progress_);
  }
}

void WorkerHost::CharactersSent(int64_t sentChars, int64_t totalChars, int32_t) {
  const int percent = totalChars > 0 ? static_cast<int>(sentChars * 100 / totalChars) : 0;
  if (percent == progress_.percent) return;
  progress_.percent = percent;
  Report();
}

void WorkerHost::ReceiveBlock(int blockLines) {
  blockLines_ = blockLines;
  blockBase_ = 0;
  lastLinesInBlock_ = 0;
}

void WorkerHost::ControlPaused(bool paused) {
  // A control that pauses after every buffer-full would otherwise have the
  // state replaced twice per buffer; a pause is reported like progress, at
  // most every kReportIntervalMs, and one still owed goes out when the
  // interval is over even while the line stays held (see StopWanted).
  progress_.held = paused;
  Report();
}

void WorkerHost::LinesInBlock(int lines) {
  // The engine counts the lines of each block of blockLines_ and starts the
  // next block at 0.
  if (lines < lastLinesInBlock_) blockBase_ += blockLines_;
  lastLinesInBlock_ = lines;
  progress_.lines = blockBase_ + lines;
  Report();
}

void WorkerHost::ProgramLine(const std::string& line) {
  if (progress_.programLine.empty()) progress_.programLine = line;
}

}  // namespace quelvo
