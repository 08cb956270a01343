// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A misbehaving device server on the loopback interface, for the network
// port's limits: it floods the connection without end (line data, with or
// without a DC1 in front; a subnegotiation that never ends, of plain bytes or
// of doubled IACs; telnet NOPs) while it takes whatever the client sends. As
// a telnet server it takes up the COM port option and confirms every request
// (unless the flood is a telnet one, which starts at once).
#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace quelvo::test {

enum class Flood {
  kData,               // line data, 'A'..'Z' over and over
  kDataAfterDc1,       // the same once the line is set up, each burst led by a DC1 until the client sends
  kSubnegotiation,     // IAC SB COM-PORT, then spaces for ever
  kIacSubnegotiation,  // IAC SB COM-PORT, then doubled IACs for ever
  kNop,                // IAC NOP for ever
};

class HostilePeer {
 public:
  HostilePeer(bool telnet, Flood flood);
  ~HostilePeer();
  HostilePeer(const HostilePeer&) = delete;
  HostilePeer& operator=(const HostilePeer&) = delete;

  // "tcp://127.0.0.1:PORT" or "rfc2217://127.0.0.1:PORT".
  std::string Text() const;
  // Line data the client sent (unescaped on telnet, bit 8 cleared), the first megabyte.
  std::string Received();
  int64_t BytesFlooded() const { return flooded_.load(); }
  bool ClientClosed() const { return clientClosed_.load(); }

 private:
  void Serve();

  bool telnet_;
  Flood flood_;
  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stop_{false};
  std::atomic<bool> clientClosed_{false};
  std::atomic<int64_t> flooded_{0};
  std::mutex mutex_;
  std::string received_;
  std::thread thread_;
};

}  // namespace quelvo::test
