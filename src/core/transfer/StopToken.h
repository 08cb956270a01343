// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The stop request of a running transfer. A front end calls Request from any
// thread (the window's stop keys and "中止", a terminal's SIGINT, the service's
// shutdown); the engines test Requested between characters on their own
// thread and take the request once they have acted on it.
//
// A watch, when set, is asked at every test on the engine's thread: it turns
// a condition that only the engine's thread can see (a control that never
// started within the allowed time, a scripted key in the tests) into a
// request.
#include <atomic>
#include <functional>
#include <optional>

namespace quelvo {

enum class StopKind {
  kF3,                   // the F3 key
  kEsc,                  // the Esc key, the "中止" button, a terminal's interrupt
  kShutdown,             // the program or service is ending
  kControlNeverStarted,  // the control did not start within the allowed time
};

class StopToken {
 public:
  using Watch = std::function<std::optional<StopKind>()>;

  // Thread-safe. A request stays until the engine takes it; a later request
  // of another kind replaces the kind.
  void Request(StopKind kind) { kind_.store(static_cast<int>(kind) + 1); }

  // On the engine's thread: a stop is requested (the watch asked first).
  bool Requested() {
    if (watch_) {
      if (const std::optional<StopKind> kind = watch_()) Request(*kind);
    }
    return kind_.load() != 0;
  }

  // The engine acted on the request: it is cleared. Returns its kind.
  std::optional<StopKind> Take() {
    const int kind = kind_.exchange(0);
    if (kind == 0) return std::nullopt;
    last_.store(kind);
    return static_cast<StopKind>(kind - 1);
  }

  // The kind of the last request taken since Reset; nothing when none was.
  std::optional<StopKind> LastTaken() const {
    const int kind = last_.load();
    if (kind == 0) return std::nullopt;
    return static_cast<StopKind>(kind - 1);
  }

  // A new transfer begins: no request, nothing taken.
  void Reset() {
    kind_.store(0);
    last_.store(0);
  }

  // Set before the transfer starts, on the engine's thread; empty removes it.
  void SetWatch(Watch watch) { watch_ = std::move(watch); }

 private:
  std::atomic<int> kind_{0};  // 0: none, else StopKind + 1
  std::atomic<int> last_{0};
  Watch watch_;
};

}  // namespace quelvo
