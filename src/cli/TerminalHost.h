// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The terminal as the transfer engines see it: a TransferHost without a
// window. Questions are asked on the controlling terminal (or answered by
// --yes; without a terminal a question is answered No), messages go to
// stderr. SIGINT/SIGTERM (StopSignals) reach the transfer as a stop request
// through StopWatch().
#include <iosfwd>
#include <string>
#include <vector>

#include "cli/ProgressView.h"
#include "core/transfer/PollThrottle.h"
#include "core/transfer/StopToken.h"
#include "core/transfer/TransferHost.h"

namespace quelvo::cli {

class TerminalHost : public TransferHost {
 public:
  TerminalHost(ProgressView& view, std::ostream& err, bool assumeYes);

  // Asks a yes/no question on the terminal; --yes answers it.
  bool AskYesNo(const std::string& text);
  // For the link's StopToken: a stop signal, or the end of the --timeout wait
  // for the control's start, becomes the user's stop (as Esc in the window),
  // taken once.
  StopToken::Watch StopWatch();

  // Asks for a line of text on the terminal; nothing without one.
  bool AskText(const std::string& prompt, std::string* answer);
  // --timeout: a control that has not started this long after the port opened
  // stops the transfer as the stop key does (0: wait as long as it takes).
  void SetStartTimeout(int64_t milliseconds) { startTimeoutMs_ = milliseconds; }
  bool StartTimedOut() const { return startTimedOut_; }

  // --- TransferHost ---
  TransferEvents& Events() override { return view_; }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override;
  void Idle() override;
  void WaitMs(int milliseconds) override;
  int64_t MonotonicMs() override;
  std::time_t Now() override;
  void SetScreenSaverActive(bool) override {}

 private:
  ProgressView& view_;
  std::ostream& err_;
  bool assumeYes_;
  PollThrottle throttle_;
  int64_t startTimeoutMs_ = 0;
  bool startTimedOut_ = false;

  bool StopAsked();
};

// Milliseconds of the steady clock.
int64_t SteadyMs();

}  // namespace quelvo::cli
