// The byte writer against a control that paces with DC3 and DC1, on a real
// pseudo-terminal: the control reads in a thread of its own.
#include <fcntl.h>
#include <poll.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include <gtest/gtest.h>

#include "serial/PosixSerialPort.h"
#include "serial/SerialLink.h"
#include "support/FakeTransferHost.h"

namespace quelvo {
namespace {

TEST(PtyPacing, AProgramArrivesByteForByteThroughPauses) {
  const int master = posix_openpt(O_RDWR | O_NOCTTY);
  ASSERT_GE(master, 0);
  ASSERT_EQ(grantpt(master), 0);
  ASSERT_EQ(unlockpt(master), 0);
  const std::string slave = ptsname(master);

  std::string program;
  for (int n = 1; program.size() < 400; ++n) program += "N" + std::to_string(n) + "G01X" + std::to_string(n * 7) + ".\n";

  // The control: a pause after every 40 bytes, go again 30 ms later.
  constexpr size_t kControlBuffer = 40;
  std::string received;
  std::vector<size_t> afterPause;  // bytes that arrived while paused, per pause
  std::atomic<bool> done{false};
  std::atomic<size_t> receivedCount{0};  // what the writing side may look at
  std::thread control([&] {
    size_t sinceGo = 0;
    while (!done) {
      pollfd p{master, POLLIN, 0};
      if (poll(&p, 1, 20) <= 0) continue;
      char buffer[64];
      const ssize_t n = read(master, buffer, sizeof buffer);
      if (n <= 0) break;
      received.append(buffer, static_cast<size_t>(n));
      sinceGo += static_cast<size_t>(n);
      receivedCount = received.size();
      if (sinceGo >= kControlBuffer) {
        const char pause = '\x93';
        (void)!write(master, &pause, 1);
        const size_t at = received.size();
        std::this_thread::sleep_for(std::chrono::milliseconds(30));
        // Whatever came meanwhile is read before going on.
        while (poll(&p, 1, 0) > 0 && (p.revents & POLLIN)) {
          const ssize_t m = read(master, buffer, sizeof buffer);
          if (m <= 0) break;
          received.append(buffer, static_cast<size_t>(m));
        }
        afterPause.push_back(received.size() - at);
        receivedCount = received.size();
        const char go = '\x11';
        (void)!write(master, &go, 1);
        sinceGo = 0;
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
  PosixSerialPort port;
  SerialLink link(port, host, log, options);
  ASSERT_TRUE(link.OpenPort(setting, TransferDirection::Send)) << log.Text();
  ByteTransferState& s = link.State();
  s.codes.CurrentCode = TapeCode::ASCII;
  s.codes.GoFlag = true;
  s.LineSeenFlag = true;
  s.CheckInterval = 10;
  for (char c : program) {
    link.WriteByte(static_cast<uint8_t>(c));
    ASSERT_FALSE(s.AbortFlag);
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
  while (receivedCount < program.size() && std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
  }
  done = true;
  control.join();
  link.ClosePort();
  close(master);

  EXPECT_EQ(received, program);
  ASSERT_FALSE(afterPause.empty());
  for (size_t late : afterPause) EXPECT_LE(late, 2 * static_cast<size_t>(s.CheckInterval));
}

}  // namespace
}  // namespace quelvo
