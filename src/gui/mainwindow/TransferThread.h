// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Runs a transfer on a thread of its own while the window's thread goes on
// serving its events: drawing, the stop keys and "中止", the questions the
// transfer asks, a close. Run returns when the transfer has ended, as the
// command that started it expects; meanwhile the window's thread waits in its
// event loop, not in the engine, and delivers the transfer's progress to the
// window every kDeliveryMs.
#include <functional>

class QObject;

namespace quelvo {

class TransferThread {
 public:
  static constexpr int kDeliveryMs = 100;

  // `run` on the transfer thread; `deliver` on the window's thread, every
  // kDeliveryMs and once after `run` has returned. `context` is an object of
  // the window's thread.
  static void Run(QObject* context, const std::function<void()>& run, const std::function<void()>& deliver);
};

}  // namespace quelvo
