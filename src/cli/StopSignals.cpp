// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/StopSignals.h"

#include <signal.h>
#include <unistd.h>

namespace quelvo::cli {
namespace {

volatile sig_atomic_t g_pending = 0;
volatile sig_atomic_t g_count = 0;

void OnStopSignal(int) {
  g_count = g_count + 1;
  if (g_count >= 2) {
    static const char kNewline[] = "\n";
    (void)!::write(STDERR_FILENO, kNewline, 1);
    _exit(1);
  }
  g_pending = 1;
}

void OnHangUp(int) {
  if (g_count == 0) g_count = 1;
  g_pending = 1;
}

void Install(int signal, void (*handler)(int)) {
  struct sigaction action {};
  action.sa_handler = handler;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no SA_RESTART: a question waiting on the terminal ends
  sigaction(signal, &action, nullptr);
}

}  // namespace

void InstallStopSignals() {
  Install(SIGINT, OnStopSignal);
  Install(SIGTERM, OnStopSignal);
  Install(SIGHUP, OnHangUp);
  Install(SIGPIPE, SIG_IGN);
}

bool StopPending() { return g_pending != 0; }
void ClearStop() { g_pending = 0; }
bool StopEverRequested() { return g_count != 0; }

}  // namespace quelvo::cli
