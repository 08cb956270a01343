// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the window's send tests need around a running send: the control's end
// of a pseudo-terminal, read without blocking, and a script of steps run from
// the event loop the window keeps turning while the send runs.
#include <fcntl.h>
#include <unistd.h>

#include <QObject>
#include <QTimer>
#include <cstdlib>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace quelvo::test {

class PtyControl {
 public:
  PtyControl() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
  }
  ~PtyControl() {
    if (master_ >= 0) close(master_);
  }
  PtyControl(const PtyControl&) = delete;
  PtyControl& operator=(const PtyControl&) = delete;

  const std::string& SlavePath() const { return slave_; }
  void Send(char byte) { (void)!write(master_, &byte, 1); }
  // Takes what the sender wrote so far; the number of bytes taken in all.
  size_t Drain() {
    char buffer[4096];
    ssize_t n;
    while ((n = read(master_, buffer, sizeof buffer)) > 0) received_.append(buffer, static_cast<size_t>(n));
    return received_.size();
  }
  const std::string& Received() const { return received_; }
  // What was taken, ISO's parity bit cleared from every byte.
  std::string ReceivedWithoutParity() const {
    std::string text = received_;
    for (char& c : text) c = static_cast<char>(c & 0x7f);
    return text;
  }

 private:
  int master_ = -1;
  std::string slave_;
  std::string received_;
};

// Runs `steps` one after another; each step returns true when it is done.
class Script : public QObject {
 public:
  explicit Script(std::vector<std::function<bool()>> steps) : steps_(std::move(steps)) {
    connect(&timer_, &QTimer::timeout, this, [this] {
      if (next_ < steps_.size() && steps_[next_]()) ++next_;
    });
    timer_.start(5);
  }
  bool Finished() const { return next_ == steps_.size(); }

 private:
  std::vector<std::function<bool()>> steps_;
  size_t next_ = 0;
  QTimer timer_;
};

}  // namespace quelvo::test
