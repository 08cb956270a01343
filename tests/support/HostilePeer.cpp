// SPDX-License-Identifier: GPL-3.0-or-later
#include "support/HostilePeer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <vector>

#include "core/port/TelnetCodec.h"

namespace quelvo::test {

using telnet::Bytes;

HostilePeer::HostilePeer(bool telnet, Flood flood) : telnet_(telnet), flood_(flood) {
  listener_ = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  ::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t size = sizeof address;
  ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size);
  ::listen(listener_, 4);
  port_ = ntohs(address.sin_port);
  thread_ = std::thread([this] { Serve(); });
}

HostilePeer::~HostilePeer() {
  stop_ = true;
  thread_.join();
  ::close(listener_);
}

std::string HostilePeer::Text() const {
  return std::string(telnet_ ? "rfc2217" : "tcp") + "://127.0.0.1:" + std::to_string(port_);
}

std::string HostilePeer::Received() {
  std::lock_guard<std::mutex> lock(mutex_);
  return received_;
}

void HostilePeer::Serve() {
  int client = -1;
  while (client < 0 && !stop_) {
    pollfd p{listener_, POLLIN, 0};
    if (::poll(&p, 1, 20) == 1) client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC | SOCK_NONBLOCK);
  }
  if (client < 0) return;
  const bool telnetFlood = flood_ != Flood::kData && flood_ != Flood::kDataAfterDc1;
  Bytes outbox;  // answers, sent before any more of the flood
  if (telnet_ && !telnetFlood) {
    // The option taken up, and the modem lines of a control that is on (CTS, DSR, DCD).
    outbox = telnet::Negotiation(telnet::kDo, telnet::kOptionComPort);
    outbox.insert(outbox.end(), {telnet::kIac, telnet::kSb, telnet::kOptionComPort,
                                 telnet::kServerOffset + telnet::kNotifyModemState, 0xB0, telnet::kIac, telnet::kSe});
  }
  if (flood_ == Flood::kSubnegotiation || flood_ == Flood::kIacSubnegotiation) {
    outbox = {telnet::kIac, telnet::kSb, telnet::kOptionComPort, telnet::kServerOffset + telnet::kSetBaudRate};
  }
  Bytes burst(64 * 1024);
  for (size_t i = 0; i < burst.size(); ++i) {
    switch (flood_) {
      case Flood::kSubnegotiation: burst[i] = ' '; break;
      case Flood::kIacSubnegotiation: burst[i] = telnet::kIac; break;
      case Flood::kNop: burst[i] = i % 2 == 0 ? telnet::kIac : 241; break;
      default: burst[i] = static_cast<uint8_t>('A' + i % 26); break;
    }
  }
  telnet::Decoder decoder;
  bool clientSpoke = false;
  // A DC1 is sent once the line is set up, as a control sends it: on telnet
  // when the client has configured the line (or purged it), on raw TCP a
  // second after the connection. Every other flood starts at once.
  const bool waitForSetUp = flood_ == Flood::kDataAfterDc1;
  bool setUp = !waitForSetUp;
  const auto accepted = std::chrono::steady_clock::now();
  size_t burstAt = 0;  // what of the current burst is out
  while (!stop_) {
    pollfd p{client, POLLIN | POLLOUT, 0};
    if (::poll(&p, 1, 20) <= 0) continue;
    if ((p.revents & (POLLIN | POLLHUP | POLLERR)) != 0) {
      uint8_t buffer[4096];
      const ssize_t n = ::read(client, buffer, sizeof buffer);
      if (n == 0 || (n < 0 && errno != EAGAIN && errno != EINTR)) break;
      if (n > 0) {
        Bytes data;
        if (telnet_) {
          std::vector<telnet::Message> messages;
          std::string error;
          decoder.Feed(buffer, static_cast<size_t>(n), &data, &messages, &error);
          for (const telnet::Message& m : messages) {
            if (m.kind != telnet::Message::kComPort) continue;
            if (m.option == telnet::kSetControl || m.option == telnet::kPurgeData) setUp = true;
            Bytes answer{telnet::kIac, telnet::kSb, telnet::kOptionComPort,
                         static_cast<uint8_t>(m.option + telnet::kServerOffset)};
            telnet::AppendEscaped(m.value.data(), m.value.size(), &answer);
            answer.insert(answer.end(), {telnet::kIac, telnet::kSe});
            outbox.insert(outbox.end(), answer.begin(), answer.end());
          }
        } else {
          data.assign(buffer, buffer + n);
        }
        clientSpoke = clientSpoke || !data.empty();
        for (uint8_t& b : data) b &= 0x7F;  // the parity bit of ISO
        std::lock_guard<std::mutex> lock(mutex_);
        if (received_.size() < (1u << 20)) received_.append(data.begin(), data.end());
      }
    }
    if ((p.revents & POLLOUT) == 0) continue;
    if (!outbox.empty()) {
      const ssize_t n = ::send(client, outbox.data(), outbox.size(), MSG_NOSIGNAL);
      if (n > 0) outbox.erase(outbox.begin(), outbox.begin() + n);
      continue;
    }
    if (!telnet_ && std::chrono::steady_clock::now() - accepted >= std::chrono::seconds(1)) setUp = true;
    if (!setUp) {
      std::this_thread::sleep_for(std::chrono::milliseconds(5));
      continue;
    }
    if (burstAt == 0 && flood_ == Flood::kDataAfterDc1) burst[0] = clientSpoke ? 'A' : 0x11;
    const ssize_t n = ::send(client, burst.data() + burstAt, burst.size() - burstAt, MSG_NOSIGNAL);
    if (n < 0 && errno != EAGAIN && errno != EINTR) break;
    if (n > 0) {
      flooded_ += n;
      burstAt = (burstAt + static_cast<size_t>(n)) % burst.size();
    }
  }
  ::close(client);
  clientClosed_ = true;
}

}  // namespace quelvo::test
