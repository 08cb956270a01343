// SPDX-License-Identifier: GPL-3.0-or-later
// The byte writer against a control that paces with DC3 and DC1, on a real
// pseudo-terminal: the control reads in a thread of its own.
//
// The test must not depend on how fast either thread runs. So the writer's
// port is watched by a thin wrapper that makes the schedule deterministic:
// after each block of kControlBuffer bytes the writer waits until the control
// has answered with its pause code, and a read waits for a byte the control
// has already written instead of timing out while the kernel still delivers
// it. What the writer does with DC3 and DC1 is then measured exactly.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "core/port/PosixSerialPort.h"
#include "core/transfer/link/SerialLink.h"
#include "support/FakeTransferHost.h"
#include "support/ForwardingPort.h"

namespace quelvo {
namespace {

constexpr size_t kControlBuffer = 40;
constexpr uint8_t kPause = 0x93;
constexpr uint8_t kGo = 0x11;
// Only a fault makes a wait last this long; it then fails instead of hanging.
constexpr auto kPatience = std::chrono::seconds(30);

bool WaitFor(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + kPatience;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return true;
}

// The writer's side of the line, counting what crosses it.
class WatchedPort : public test::ForwardingPort {
 public:
  using ForwardingPort::ForwardingPort;

  std::atomic<size_t> written{0};      // bytes the writer wrote
  std::atomic<size_t> controlSent{0};  // bytes the control wrote (set by the control)
  std::atomic<size_t> pausesSent{0};   // pause codes among them
  std::atomic<size_t> read{0};         // bytes the writer read
  std::atomic<size_t> pausesRead{0};
  std::atomic<size_t> writtenAtPauseRead{0};
  std::vector<size_t> writtenWhilePaused;  // per pause: writes between DC3 and DC1
  size_t maxWritesBetweenReads = 0;
  bool waitFailed = false;

  ReadResult ReadByte(uint8_t* byte) override {
    maxWritesBetweenReads = std::max(maxWritesBetweenReads, written - writtenAtLastRead_);
    writtenAtLastRead_ = written;
    ReadResult result = inner_.ReadByte(byte);
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (result == ReadResult::kTimeout && read < controlSent &&
           std::chrono::steady_clock::now() < deadline) {
      result = inner_.ReadByte(byte);
    }
    if (result != ReadResult::kByte) return result;
    ++read;
    if (*byte == kPause) {
      writtenAtPauseRead = written.load();
      ++pausesRead;
    } else if (*byte == kGo && pausesRead > writtenWhilePaused.size()) {
      writtenWhilePaused.push_back(written - writtenAtPauseRead);
    }
    return result;
  }

  bool Write(const uint8_t* data, size_t size) override {
    for (size_t i = 0; i < size; ++i) {
      if (!inner_.Write(data + i, 1)) return false;
      const size_t total = ++written;
      // The control answers every full block before the writer goes on.
      if (total % kControlBuffer == 0 && total < expectedTotal) {
        if (!WaitFor([&] { return pausesSent >= total / kControlBuffer; })) waitFailed = true;
      }
    }
    return true;
  }

  size_t expectedTotal = 0;

 private:
  size_t writtenAtLastRead_ = 0;
};

TEST(PtyPacing, AProgramArrivesByteForByteThroughPauses) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);

  std::string program;
  for (int n = 1; program.size() < 400; ++n) program += "N" + std::to_string(n) + "G01X" + std::to_string(n * 7) + ".\n";

  PosixSerialPort posixPort;
  WatchedPort port(posixPort);
  port.expectedTotal = program.size();

  // The control: after every kControlBuffer bytes it pauses the writer with
  // DC3, notes how far the writer got before it noticed, and lets it go on.
  std::string received;
  std::vector<size_t> afterPause;  // bytes written after the pause code was on the line
  std::atomic<bool> done{false};
  std::atomic<bool> controlFailed{false};
  std::thread control([&] {
    auto send = [&](uint8_t byte) {
      ++port.controlSent;  // counted first: the writer's read may wait for it at once
      (void)!write(master, &byte, 1);
    };
    while (!done && received.size() < program.size()) {
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      char buffer[64];
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      received.append(buffer, static_cast<size_t>(n));
      const size_t pauses = port.pausesSent;
      if (received.size() >= (pauses + 1) * kControlBuffer && received.size() < program.size()) {
        const size_t onLine = port.written;
        ++port.pausesSent;
        send(kPause);
        if (!WaitFor([&] { return port.pausesRead > pauses || done; })) {
          controlFailed = true;
          break;
        }
        afterPause.push_back(port.writtenAtPauseRead - onLine);
        // A writer that ignored the pause would write now; give it the chance.
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        send(kGo);
      }
    }
  });

  VirtualClock clock;
  FakeTransferHost host(clock);
  CommLog log([&] { return clock.Wall(); });
  ProgramOptions options;
  CommSetting setting;
  setting.Port_S = slave;
  setting.Code_S = 2;  // ASCII: what goes out is the text itself
  SerialLink link(port, host, log, options);
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send)) << log.Text();
  ByteTransferState& s = link.State();
  s.codes.CurrentCode = TapeCode::ASCII;
  s.codes.GoFlag = true;
  s.LineSeenFlag = true;
  s.CheckInterval = 10;
  for (char c : program) ASSERT_TRUE(link.WriteByte(static_cast<uint8_t>(c)));
  const bool allArrived = WaitFor([&] { return received.size() >= program.size() || controlFailed; });
  done = true;
  control.join();
  link.ClosePort();
  close(master);

  ASSERT_TRUE(allArrived);
  ASSERT_FALSE(controlFailed);
  ASSERT_FALSE(port.waitFailed);
  EXPECT_EQ(received, program);
  // Every pause but none after the last byte: one per full block.
  const size_t pauses = (program.size() - 1) / kControlBuffer;
  ASSERT_EQ(afterPause.size(), pauses);
  ASSERT_EQ(port.writtenWhilePaused.size(), pauses);
  for (size_t late : afterPause) EXPECT_LE(late, static_cast<size_t>(s.CheckInterval));
  for (size_t quiet : port.writtenWhilePaused) EXPECT_EQ(quiet, 0u);
  EXPECT_LE(port.maxWritesBetweenReads, static_cast<size_t>(s.CheckInterval));
}

}  // namespace
}  // namespace quelvo
