// SPDX-License-Identifier: GPL-3.0-or-later
// The network port against small servers of its own on the loopback
// interface: how each connection fault ends, and the telnet layer on the wire.
// (The real device server, ser2net, is driven in tests/integration.)
#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <chrono>
#include <mutex>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "core/port/AnySerialPort.h"
#include "core/port/SocketSerialPort.h"
#include "core/port/TelnetCodec.h"
#include "support/HostilePeer.h"

namespace quelvo {
namespace {

using telnet::Bytes;
using Clock = std::chrono::steady_clock;

// Only a fault makes a wait last this long.
constexpr auto kPatience = std::chrono::seconds(30);

int LoopbackSocket(sockaddr_in* address) {
  const int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  address->sin_family = AF_INET;
  address->sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address->sin_port = 0;
  bind(fd, reinterpret_cast<sockaddr*>(address), sizeof *address);
  socklen_t size = sizeof *address;
  getsockname(fd, reinterpret_cast<sockaddr*>(address), &size);
  return fd;
}

// One connection's far end: sends `greeting` on accept, then either hangs up
// or keeps everything the client sends until the client closes.
class LoopbackPeer {
 public:
  LoopbackPeer(Bytes greeting, bool hangUp) {
    sockaddr_in address{};
    listener_ = LoopbackSocket(&address);
    listen(listener_, 1);
    port_ = ntohs(address.sin_port);
    thread_ = std::thread([this, greeting = std::move(greeting), hangUp] { Serve(greeting, hangUp); });
  }
  ~LoopbackPeer() {
    stop_ = true;
    thread_.join();
    close(listener_);
  }
  std::string Text(const char* scheme) const { return std::string(scheme) + "://127.0.0.1:" + std::to_string(port_); }
  // What the client sent, once it has closed (or the patience ran out).
  Bytes Received() {
    const auto deadline = Clock::now() + kPatience;
    while (!clientClosed_ && Clock::now() < deadline) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    std::lock_guard<std::mutex> lock(mutex_);
    return received_;
  }
  void HangUp() { hangUpNow_ = true; }

 private:
  void Serve(const Bytes& greeting, bool hangUp) {
    const auto deadline = Clock::now() + kPatience;
    int client = -1;
    while (client < 0 && !stop_ && Clock::now() < deadline) {
      pollfd p{listener_, POLLIN, 0};
      if (poll(&p, 1, 20) == 1) client = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    }
    if (client < 0) return;
    if (!greeting.empty()) (void)!write(client, greeting.data(), greeting.size());
    while (!hangUp && !hangUpNow_ && !stop_ && Clock::now() < deadline) {
      pollfd p{client, POLLIN, 0};
      if (poll(&p, 1, 20) != 1) continue;
      uint8_t buffer[256];
      const ssize_t n = read(client, buffer, sizeof buffer);
      if (n <= 0) break;
      std::lock_guard<std::mutex> lock(mutex_);
      received_.insert(received_.end(), buffer, buffer + n);
    }
    // A hang-up asked for by the test keeps what the client had already
    // written: on loopback it waits in the socket, whether or not this
    // thread got round to reading it before the hang-up.
    for (uint8_t buffer[256];;) {
      pollfd p{client, POLLIN, 0};
      if (poll(&p, 1, 0) != 1) break;
      const ssize_t n = read(client, buffer, sizeof buffer);
      if (n <= 0) break;
      std::lock_guard<std::mutex> lock(mutex_);
      received_.insert(received_.end(), buffer, buffer + n);
    }
    close(client);
    clientClosed_ = true;
  }

  int listener_ = -1;
  int port_ = 0;
  std::thread thread_;
  std::atomic<bool> stop_{false};
  std::atomic<bool> hangUpNow_{false};
  std::atomic<bool> clientClosed_{false};
  std::mutex mutex_;
  Bytes received_;
};

Bytes Text(const std::string& s) { return Bytes(s.begin(), s.end()); }
Bytes DoComPort() { return telnet::Negotiation(telnet::kDo, telnet::kOptionComPort); }

SocketPortLimits ShortLimits() {
  SocketPortLimits limits;
  limits.connectMs = 5000;
  limits.answerMs = 300;
  return limits;
}

TEST(SocketSerialPort, EachConnectionFaultEndsWithItsReasonInBoundedTime) {
  struct Case {
    const char* name;
    const char* scheme;
    Bytes greeting;
    bool hangUp;
    PortErrorKind kind;
    const char* reasonHas;
  };
  const Case cases[] = {
      {"server accepts and never answers", "rfc2217", {}, false, PortErrorKind::kOther, "did not take up the COM port option"},
      {"byte after IAC that is no command", "rfc2217", {0xFF, 0x07}, false, PortErrorKind::kOther, "no telnet command"},
      {"subnegotiation without end", "rfc2217", [] {
         Bytes b{0xFF, 0xFA, 44, 101};
         b.insert(b.end(), 200, 0x20);
         return b;
       }(), false, PortErrorKind::kOther, "does not end"},
      {"server refuses the option", "rfc2217", {0xFF, 0xFE, 44}, false, PortErrorKind::kOther, "refuses the COM port option"},
      {"telnet server serving another client", "rfc2217", Text("Port already in use\r\n"), true, PortErrorKind::kInUse,
       "Port already in use"},
      {"raw server serving another client", "tcp", Text("Port already in use\r\n"), true, PortErrorKind::kInUse,
       "Port already in use"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    LoopbackPeer peer(c.greeting, c.hangUp);
    SocketSerialPort port(ShortLimits());
    const auto started = Clock::now();
    EXPECT_FALSE(port.Open(peer.Text(c.scheme)));
    EXPECT_LT(Clock::now() - started, kPatience);
    EXPECT_FALSE(port.IsOpen());
    EXPECT_EQ(port.LastError().kind, c.kind);
    EXPECT_NE(port.LastError().reason.find(c.reasonHas), std::string::npos) << port.LastError().reason;
  }

  // Nothing listening: a bound socket that does not listen holds the port.
  sockaddr_in address{};
  const int bound = LoopbackSocket(&address);
  SocketSerialPort port(ShortLimits());
  EXPECT_FALSE(port.Open("tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port))));
  EXPECT_EQ(port.LastError().kind, PortErrorKind::kNotFound);
  EXPECT_EQ(port.LastError().systemError, ECONNREFUSED);
  close(bound);

  // An unknown host name: the lookup's reason, and the name.
  EXPECT_FALSE(port.Open("rfc2217://no-such-device-server.invalid:2001"));
  EXPECT_EQ(port.LastError().kind, PortErrorKind::kNotFound);
  EXPECT_NE(port.LastError().reason.find("no-such-device-server.invalid"), std::string::npos);
}

TEST(SocketSerialPort, TheOpenWatcherEndsAWaitForASilentServer) {
  LoopbackPeer peer({}, false);
  SocketPortLimits limits;
  limits.answerMs = 60000;
  AnySerialPort port("/nonexistent", limits);
  int asked = 0;
  port.SetOpenWatcher([&asked] { return ++asked < 5; });
  const auto started = Clock::now();
  EXPECT_FALSE(port.Open(peer.Text("rfc2217")));
  EXPECT_LT(Clock::now() - started, kPatience);
  EXPECT_EQ(asked, 5);
  EXPECT_EQ(port.LastError().systemError, ECANCELED);
}

// Resident memory of this process in kilobytes.
long ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string word;
  while (status >> word) {
    if (word == "VmRSS:") {
      long kb = 0;
      status >> kb;
      return kb;
    }
  }
  return -1;
}

// What a flooding peer may cost this process: the port holds a bounded
// read buffer, the rest waits in the kernel. Generous beside the 64 KB the
// port keeps, and far below what a growing buffer reaches in a second.
constexpr long kFloodGrowthKb = 24 * 1024;

// A hostile peer during the open: every wait keeps its deadline (the flood is
// taken a bounded step at a time) and the stop, and a subnegotiation ends at
// its bound however it is made up.
TEST(SocketSerialPort, AHostilePeerEndsTheOpenInBoundedTimeAndMemory) {
  struct Case {
    const char* name;
    test::Flood flood;
    bool stop;  // the open watcher says stop after a few looks
    const char* reasonHas;
  };
  const Case cases[] = {
      {"endless telnet NOPs", test::Flood::kNop, false, "did not take up the COM port option"},
      {"endless telnet NOPs, stopped", test::Flood::kNop, true, "stopped"},
      {"endless subnegotiation", test::Flood::kSubnegotiation, false, "does not end"},
      {"endless subnegotiation of doubled IACs", test::Flood::kIacSubnegotiation, false, "does not end"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    test::HostilePeer peer(true, c.flood);
    SocketPortLimits limits;
    limits.answerMs = 1000;
    SocketSerialPort port(limits);
    int looks = 0;
    if (c.stop) port.SetOpenWatcher([&looks] { return ++looks < 5; });
    const long before = ResidentKb();
    const auto started = Clock::now();
    EXPECT_FALSE(port.Open(peer.Text()));
    // The limit plus a busy machine's slack; a wait that reads the flood
    // to its end never ends.
    EXPECT_LT(std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - started).count(),
              limits.answerMs + 4000);
    EXPECT_LT(ResidentKb() - before, kFloodGrowthKb);
    EXPECT_NE(port.LastError().reason.find(c.reasonHas), std::string::npos) << port.LastError().reason;
  }
}

// A peer that floods line data with a DC1 in front, raw and telnet: the DC1
// comes first to the reader, reading goes on a byte at a time while the
// flood lasts, memory stays bounded, and a purge ends.
TEST(SocketSerialPort, AFloodOfLineDataReachesTheReaderInOrderAndBounded) {
  for (const bool telnet : {false, true}) {
    SCOPED_TRACE(telnet ? "rfc2217" : "tcp");
    test::HostilePeer peer(telnet, test::Flood::kDataAfterDc1);
    SocketSerialPort port;
    const long before = ResidentKb();
    ASSERT_TRUE(port.Open(peer.Text())) << port.LastError().reason;
    ASSERT_TRUE(port.Configure(LineConfig{})) << port.LastError().reason;
    ASSERT_TRUE(port.SetTimeouts({10000, 0}));
    uint8_t b = 0;
    ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
    EXPECT_EQ(b, 0x11);
    long peak = 0;
    const auto started = Clock::now();
    for (int i = 0; i < (4 << 20); ++i) {
      ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte) << i;
      // Nothing is dropped while the reader keeps reading: each 64 KiB burst
      // is a DC1 and the letters after it.
      const size_t at = static_cast<size_t>(i + 1) % (64 * 1024);
      ASSERT_EQ(b, at == 0 ? 0x11 : 'A' + at % 26) << "byte " << i + 1;
      if (i % 4096 == 0) {
        uint32_t bits = 0;
        port.ModemStatus(&bits);  // takes in more while bytes wait unread
        peak = std::max(peak, ResidentKb() - before);
      }
    }
    EXPECT_LT(peak, kFloodGrowthKb);
    EXPECT_TRUE(port.Purge()) << port.LastError().reason;
    EXPECT_LT(Clock::now() - started, kPatience);
    EXPECT_LT(ResidentKb() - before, kFloodGrowthKb);
  }
}

TEST(SocketSerialPort, IacIsEscapedOnTheWireBothWaysAndADropIsAVanishedPort) {
  // The server takes up the option, then sends data holding IAC twice.
  Bytes greeting = DoComPort();
  for (uint8_t b : {0x41, 0xFF, 0xFF, 0x42}) greeting.push_back(b);
  LoopbackPeer peer(greeting, false);
  // A server that answers: the normal answer limit, so a busy machine does
  // not turn a slow answer into a failed open.
  SocketSerialPort port;
  ASSERT_TRUE(port.Open(peer.Text("rfc2217"))) << port.LastError().reason;
  ASSERT_TRUE(port.SetTimeouts({2000, 0}));
  const uint8_t tape[] = {0xFF, 0x10, 0xFF};
  ASSERT_TRUE(port.Write(tape, sizeof tape));
  uint8_t b = 0;
  std::string read;
  for (int i = 0; i < 3 && port.ReadByte(&b) == ReadResult::kByte; ++i) read += static_cast<char>(b);
  EXPECT_EQ(read, "A\xFF" "B");
  int queued = -1;
  EXPECT_TRUE(port.OutputQueueSize(&queued));
  EXPECT_GE(queued, 0);

  peer.HangUp();
  EXPECT_EQ(port.ReadByte(&b), ReadResult::kError);
  EXPECT_EQ(port.LastError().kind, PortErrorKind::kVanished);
  port.Close();
  const Bytes received = peer.Received();
  const Bytes escaped{0xFF, 0xFF, 0x10, 0xFF, 0xFF};
  ASSERT_GE(received.size(), escaped.size());
  EXPECT_TRUE(std::equal(escaped.begin(), escaped.end(), received.end() - static_cast<long>(escaped.size())));

  // Raw TCP carries every byte as it is; it has no modem lines to read.
  LoopbackPeer raw({0xFF, 0x42}, false);
  ASSERT_TRUE(port.Open(raw.Text("tcp"))) << port.LastError().reason;
  ASSERT_TRUE(port.SetTimeouts({2000, 0}));
  ASSERT_TRUE(port.Write(tape, sizeof tape));
  ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
  EXPECT_EQ(b, 0xFF);
  uint32_t bits = 0;
  EXPECT_FALSE(port.ModemStatus(&bits));
  port.Close();
  EXPECT_EQ(raw.Received(), Bytes(tape, tape + sizeof tape));
}

}  // namespace
}  // namespace quelvo
