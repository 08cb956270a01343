// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/TerminalHost.h"

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <ostream>
#include <thread>

#include "cli/StopSignals.h"

namespace quelvo::cli {
namespace {

// One line from the controlling terminal; false without one, or when a stop
// signal ends the wait.
bool ReadTerminalLine(std::string* line) {
  const int fd = ::open("/dev/tty", O_RDONLY | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return false;
  line->clear();
  char ch = 0;
  bool ok = false;
  while (!StopPending()) {
    const ssize_t n = ::read(fd, &ch, 1);
    if (n <= 0) break;
    if (ch == '\n') {
      ok = true;
      break;
    }
    *line += ch;
  }
  ::close(fd);
  return ok;
}

}  // namespace

int64_t SteadyMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

TerminalHost::TerminalHost(ProgressView& view, std::ostream& err, bool assumeYes)
    : view_(view), err_(err), assumeYes_(assumeYes) {}

bool TerminalHost::AskYesNo(const std::string& text) {
  view_.BreakLine();
  err_ << text << " [y/N] " << std::flush;
  if (assumeYes_) {
    err_ << "y (--yes)\n";
    return true;
  }
  std::string answer;
  if (!ReadTerminalLine(&answer)) {
    err_ << (StopPending() ? "\n" : "\n端末が無いため「いいえ」とします (--yes で「はい」)\n");
    return false;
  }
  return answer == "y" || answer == "Y" || answer == "yes" || answer == "はい";
}

bool TerminalHost::AskText(const std::string& prompt, std::string* answer) {
  view_.BreakLine();
  err_ << prompt << std::flush;
  const bool ok = ReadTerminalLine(answer);
  if (!ok) err_ << '\n';
  return ok;
}

MessageAnswer TerminalHost::ShowMessage(const std::string& text, const std::string&, MessageKind,
                                        MessageButtons buttons) {
  if (buttons == MessageButtons::kOk) {
    view_.BreakLine();
    err_ << text << '\n' << std::flush;
    return MessageAnswer::kOk;
  }
  const bool yes = AskYesNo(text);
  if (buttons == MessageButtons::kOkCancel) return yes ? MessageAnswer::kOk : MessageAnswer::kCancel;
  return yes ? MessageAnswer::kYes : MessageAnswer::kNo;
}

void TerminalHost::Idle() {
  view_.Tick();
  throttle_.Call();
}

// SIGINT and SIGTERM stand for Esc, and so does the end of the --timeout
// wait for the control's start; F3 has no counterpart.
StopToken::Watch TerminalHost::StopWatch() {
  return [this]() -> std::optional<StopKind> {
    if (!StopAsked()) return std::nullopt;
    ClearStop();
    return StopKind::kEsc;
  };
}

bool TerminalHost::StopAsked() {
  if (StopPending()) return true;
  const TransferFigures& f = view_.Figures();
  if (startTimeoutMs_ <= 0 || f.phase != TransferPhase::kWaitingForControl || f.waitingSinceMs < 0 ||
      f.dataStartMs >= 0)
    return false;
  if (SteadyMs() - f.waitingSinceMs < startTimeoutMs_) return false;
  if (!startTimedOut_) {
    startTimedOut_ = true;
    view_.BreakLine();
    err_ << "NC 機が " << startTimeoutMs_ / 1000 << " 秒以内に始めなかったため中止します (--timeout)\n" << std::flush;
  }
  return true;
}

void TerminalHost::WaitMs(int milliseconds) {
  if (milliseconds > 0) std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
}

int64_t TerminalHost::MonotonicMs() { return SteadyMs(); }

std::time_t TerminalHost::Now() { return std::time(nullptr); }

}  // namespace quelvo::cli
