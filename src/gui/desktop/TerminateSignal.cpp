// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop/TerminateSignal.h"

#include <QSocketNotifier>
#include <cerrno>
#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace quelvo {
namespace {

int gSignalFds[2] = {-1, -1};  // [0] written by the handler, [1] read by the window

void OnSigterm(int) {
  const char byte = 1;
  const int saved = errno;
  (void)!::write(gSignalFds[0], &byte, 1);
  errno = saved;
}

}  // namespace

TerminateSignal::TerminateSignal(std::function<void()> onTerminate, QObject* parent)
    : QObject(parent), onTerminate_(std::move(onTerminate)) {
  if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0, gSignalFds) != 0) return;
  notifier_ = new QSocketNotifier(gSignalFds[1], QSocketNotifier::Read, this);
  connect(notifier_, &QSocketNotifier::activated, this, [this] {
    char buffer[16];
    while (::read(gSignalFds[1], buffer, sizeof buffer) > 0) {
    }
    if (onTerminate_) onTerminate_();
  });
  struct sigaction action {};
  action.sa_handler = &OnSigterm;
  sigemptyset(&action.sa_mask);
  action.sa_flags = SA_RESTART;
  ::sigaction(SIGTERM, &action, nullptr);
}

TerminateSignal::~TerminateSignal() {
  if (notifier_ == nullptr) return;
  ::signal(SIGTERM, SIG_DFL);
  delete notifier_;
  ::close(gSignalFds[0]);
  ::close(gSignalFds[1]);
  gSignalFds[0] = gSignalFds[1] = -1;
}

}  // namespace quelvo
