// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// SIGTERM (a session's end, a service manager, kill) as a request to close
// the main window: the signal handler only writes a byte to a socket pair,
// and the window's thread, woken by it, calls `onTerminate`. The window then
// closes as after "Yes" to its close question: a running transfer is stopped
// through the path of "中止" first.
#include <QObject>
#include <functional>

class QSocketNotifier;

namespace quelvo {

class TerminateSignal : public QObject {
 public:
  explicit TerminateSignal(std::function<void()> onTerminate, QObject* parent = nullptr);
  ~TerminateSignal() override;

 private:
  std::function<void()> onTerminate_;
  QSocketNotifier* notifier_ = nullptr;
};

}  // namespace quelvo
