// SPDX-License-Identifier: GPL-3.0-or-later
// What the engines rely on from a serial port, checked on the real port over a
// pseudo-terminal, on the network port (a raw tcp:// connection to a server of
// the test's own on the loopback interface) and on FakeSerialPort, which every
// engine test uses: the same script must give the same observations on each,
// or the engine tests prove nothing about the program.
#include <arpa/inet.h>
#include <fcntl.h>
#include <linux/sockios.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "core/port/PosixSerialPort.h"
#include "core/port/SocketSerialPort.h"
#include "support/FakeSerialPort.h"

namespace quelvo {
namespace {

// A port with the other end of its line.
class PortRig {
 public:
  virtual ~PortRig() = default;
  virtual SerialPort& Port() = 0;
  // The bytes arrive from the control; on return the driver holds them.
  virtual void Arrive(const std::string& bytes) = 0;
  // The device has no modem lines to read (a pseudo-terminal never has).
  virtual void LoseModemLines() = 0;
  // The device goes away (an adapter pulled out).
  virtual void Vanish() = 0;
};

class PtyRig : public PortRig {
 public:
  PtyRig() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
  }
  ~PtyRig() override { Vanish(); }
  SerialPort& Port() override { return port_; }
  const std::string& Device() const { return slave_; }
  void Arrive(const std::string& bytes) override {
    ASSERT_EQ(write(master_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int pending = 0;
    while (ioctl(port_.NativeHandle(), FIONREAD, &pending) == 0 &&
           pending < static_cast<int>(bytes.size()) && std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_GE(pending, static_cast<int>(bytes.size()));
  }
  void LoseModemLines() override {}
  void Vanish() override {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  PosixSerialPort port_;
  int master_ = -1;
  std::string slave_;
};

// The device server's side of a raw TCP connection. The port connects when it
// opens; the connection waits in the listen queue until the rig first needs it.
class SocketRig : public PortRig {
 public:
  SocketRig() {
    listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t size = sizeof address;
    if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
        getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0 && listen(listener_, 1) == 0)
      device_ = "tcp://127.0.0.1:" + std::to_string(ntohs(address.sin_port));
  }
  ~SocketRig() override {
    Vanish();
    if (listener_ >= 0) close(listener_);
  }
  SerialPort& Port() override { return port_; }
  const std::string& Device() const { return device_; }
  void Arrive(const std::string& bytes) override {
    ASSERT_TRUE(Accept());
    ASSERT_EQ(write(client_, bytes.data(), bytes.size()), static_cast<ssize_t>(bytes.size()));
    // Acknowledged by the port's side: the bytes are in its receive queue.
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    int unacknowledged = 1;
    while (ioctl(client_, SIOCOUTQ, &unacknowledged) == 0 && unacknowledged > 0 &&
           std::chrono::steady_clock::now() < end) {
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(unacknowledged, 0);
  }
  void LoseModemLines() override {}  // a raw connection carries none
  void Vanish() override {
    if (Accept()) close(client_);
    client_ = -2;  // gone for good
  }

 private:
  bool Accept() {
    if (client_ >= 0) return true;
    if (client_ == -2 || listener_ < 0) return false;
    pollfd p{listener_, POLLIN, 0};
    if (poll(&p, 1, 5000) == 1) client_ = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    return client_ >= 0;
  }

  SocketSerialPort port_;
  int listener_ = -1;
  int client_ = -1;
  std::string device_;
};

class FakeRig : public PortRig {
 public:
  SerialPort& Port() override { return port_; }
  void Arrive(const std::string& bytes) override { port_.QueueIncoming(bytes); }
  void LoseModemLines() override { port_.modemReadable = false; }
  void Vanish() override { port_.readErrno = port_.writeErrno = EIO; }

 private:
  VirtualClock clock_;
  FakeSerialPort port_{clock_};
};

std::string KindName(PortErrorKind kind) {
  switch (kind) {
    case PortErrorKind::kVanished: return "vanished";
    case PortErrorKind::kOther: return "other";
    default: return "kind " + std::to_string(static_cast<int>(kind));
  }
}

// Reads until the line has nothing more: "A B timeout", "error vanished".
std::string ReadAll(SerialPort& port) {
  std::string seen;
  for (;;) {
    uint8_t byte = '?';
    const ReadResult result = port.ReadByte(&byte);
    if (result == ReadResult::kByte) {
      seen += byte == 0 ? std::string("NUL ") : std::string(1, static_cast<char>(byte)) + " ";
      continue;
    }
    if (result == ReadResult::kTimeout) return seen + (byte == '?' ? "timeout" : "timeout with a byte");
    return seen + "error " + KindName(port.LastError().kind);
  }
}

LineConfig ControlLine(bool nullDiscard) {
  LineConfig c;
  c.baudRate = 9600;
  c.byteSize = 8;
  c.outX = true;
  c.xonChar = 0x11;
  c.xoffChar = 0x93;
  c.nullDiscard = nullDiscard;
  return c;
}

struct Case {
  const char* name;  // the case's part of the test name
  const char* what;
  std::function<std::string(PortRig&)> script;
  std::string observed;
};

// Each script runs on both ports, and each pair is a test of its own.
const std::vector<Case>& Cases() {
  static const std::vector<Case> cases = {
      {"ReadTimeout", "a read time-out is no error and leaves the byte alone",
       [](PortRig& rig) { return ReadAll(rig.Port()); }, "timeout"},
      {"BytesInOrder", "bytes come one by one in order",
       [](PortRig& rig) {
         rig.Arrive("AB\xFF");
         return ReadAll(rig.Port());
       },
       "A B \xFF timeout"},
      {"NulBytes", "NUL bytes are dropped only when the line says so",
       [](PortRig& rig) {
         rig.Arrive(std::string("\0A\0", 3));
         const std::string dropped = ReadAll(rig.Port());
         if (!rig.Port().Configure(ControlLine(false))) return std::string("configure failed");
         rig.Arrive(std::string("\0B", 2));
         return dropped + " | " + ReadAll(rig.Port());
       },
       "A timeout | NUL B timeout"},
      {"Purge", "a purge empties the queue, bytes already read ahead included",
       [](PortRig& rig) {
         rig.Arrive("XYZ");
         uint8_t byte = 0;
         std::string seen = rig.Port().ReadByte(&byte) == ReadResult::kByte ? std::string(1, char(byte)) : "?";
         seen += rig.Port().Purge() ? " purged " : " purge failed ";
         seen += ReadAll(rig.Port());
         rig.Arrive("Q");
         return seen + " | " + ReadAll(rig.Port());
       },
       "X purged timeout | Q timeout"},
      {"ModemStatusUnreadable", "modem status that cannot be read says so, every time",
       [](PortRig& rig) {
         rig.LoseModemLines();
         std::string seen;
         for (int i = 0; i < 2; ++i) {
           uint32_t bits = 0xABCD;
           const bool read = rig.Port().ModemStatus(&bits);
           seen += std::string(read ? "read " : "unreadable ") + (bits == 0xABCD ? "untouched " : "changed ") +
                   KindName(rig.Port().LastError().kind) + "; ";
         }
         return seen;
       },
       "unreadable untouched other; unreadable untouched other; "},
      {"ErrorCountsKeptByNone", "a port whose driver keeps no error counts says so and leaves them as they were",
       [](PortRig& rig) {
         std::string seen;
         for (int round = 0; round < 2; ++round) {
           LineErrorCounts counts;
           counts.parity = 7;
           const bool kept = rig.Port().ErrorCounts(&counts);
           seen += std::string(kept ? "counted " : "none ") + (counts.parity == 7 ? "untouched; " : "changed; ");
           rig.Port().Close();  // and once more on the closed port
         }
         return seen;
       },
       "none untouched; none untouched; "},
      {"VanishedDevice", "a vanished device is an error, not a time-out",
       [](PortRig& rig) {
         rig.Vanish();
         const uint8_t x = 'X';
         const std::string read = ReadAll(rig.Port());
         const bool wrote = rig.Port().Write(&x, 1);
         return read + " | write " + (wrote ? "ok" : "fails " + KindName(rig.Port().LastError().kind));
       },
       "error vanished | write fails vanished"},
  };

  return cases;
}

enum class PortKind { kFake, kReal, kSocket };
const char* const kPortKindNames[] = {"OnFakePort", "OnRealPort", "OnSocketPort"};

class PortContract : public testing::TestWithParam<std::tuple<size_t, int>> {};

TEST_P(PortContract, FakeAndRealPortBehaveAlike) {
  const Case& c = Cases().at(std::get<0>(GetParam()));
  const auto kind = static_cast<PortKind>(std::get<1>(GetParam()));
  SCOPED_TRACE(std::string(c.what) + " " + kPortKindNames[static_cast<int>(kind)]);
  std::unique_ptr<PortRig> rig;
  std::string device = "/dev/ttyS0";
  if (kind == PortKind::kReal) {
    auto pty = std::make_unique<PtyRig>();
    ASSERT_FALSE(pty->Device().empty());
    device = pty->Device();
    rig = std::move(pty);
  } else if (kind == PortKind::kSocket) {
    auto socket = std::make_unique<SocketRig>();
    ASSERT_FALSE(socket->Device().empty());
    device = socket->Device();
    rig = std::move(socket);
  } else {
    rig = std::make_unique<FakeRig>();
  }
  SerialPort& port = rig->Port();
  ASSERT_TRUE(port.Open(device)) << port.LastError().reason;
  ASSERT_TRUE(port.Configure(ControlLine(true)));
  ASSERT_TRUE(port.SetTimeouts({20, 0}));
  EXPECT_EQ(c.script(*rig), c.observed);
  port.Close();
}

INSTANTIATE_TEST_SUITE_P(Ports, PortContract,
                         testing::Combine(testing::Range<size_t>(0, Cases().size()), testing::Range(0, 3)),
                         [](const testing::TestParamInfo<PortContract::ParamType>& info) {
                           return std::string(Cases().at(std::get<0>(info.param)).name) +
                                  kPortKindNames[std::get<1>(info.param)];
                         });

}  // namespace
}  // namespace quelvo
