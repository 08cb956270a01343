// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A serial line behind an Ethernet device server, reached over TCP:
// "tcp://HOST:PORT" is a raw connection (the device server sets the line up;
// Configure keeps only what the reader does itself, modem lines cannot be
// read), "rfc2217://HOST:PORT" is telnet with the COM port option (Configure
// sets speed, format, flow control, DTR and RTS on the far line and waits for
// the server to confirm them; Purge purges it; ModemStatus is what the server
// last notified).
//
// Pacing stays as tight as on a local port: Nagle's delay is off, the send
// buffer is small, and OutputQueueSize is the socket's unsent and unacknowledged
// bytes (SIOCOUTQ), so the writer's queue throttle works unchanged.
//
// Close hands the last bytes over before it closes (bounded, as a serial port
// drains its output queue on close). Opening is bounded: resolving the name and connecting share `connectMs`,
// the telnet negotiation (and each later confirmation) waits at most
// `answerMs`. While waiting, the open watcher is asked every few tens of
// milliseconds whether to go on.
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "core/common/NetworkPortText.h"
#include "core/port/SerialPort.h"
#include "core/port/TelnetCodec.h"
#include "core/port/UniqueFd.h"

namespace quelvo {

struct SocketPortLimits {
  int connectMs = 5000;
  int answerMs = 3000;
  int sendBufferBytes = 4096;  // the kernel doubles it and keeps a minimum of its own
};

class SocketSerialPort : public SerialPort {
 public:
  explicit SocketSerialPort(SocketPortLimits limits = SocketPortLimits()) : limits_(limits) {}
  ~SocketSerialPort() override { Close(); }

  bool Open(const std::string& device) override;
  bool IsOpen() const override { return fd_.Valid(); }
  void Close() override;

  bool Configure(const LineConfig& config) override;
  bool SetTimeouts(const PortTimeouts& timeouts) override;

  ReadResult ReadByte(uint8_t* byte) override;
  bool Write(const uint8_t* data, size_t size) override;

  bool OutputQueueSize(int* bytes) override;
  bool ModemStatus(uint32_t* bits) override;
  bool Purge() override;

  const PortError& LastError() const override { return error_; }
  void SetOpenWatcher(std::function<bool()> keepWaiting) override { watcher_ = std::move(keepWaiting); }

 private:
  bool Fail(const PortError& error);
  // Close on a failed open: at once, nothing is waiting to go out.
  bool FailAndClose(const PortError& error);
  void Drain();
  void Reset();
  bool Telnet() const { return kind_ == NetworkPortKind::kRfc2217; }
  // Resolves the host and connects to the first address that answers.
  bool Connect(const NetworkPortAddress& address);
  bool ConnectTo(const void* sockaddr, unsigned length, int family, int64_t deadlineMs);
  bool Negotiate();
  bool SettleRaw();
  PortError EndedAtOpen() const;
  // Waits up to waitMs for bytes and takes in a bounded amount of what the
  // socket holds: data into the read buffer (up to its limit), negotiation
  // answered, COM port answers noted. `awaitingAnswer` reads on past a full
  // read buffer, dropping the surplus data, so that an answer still arrives.
  // 1 bytes came, 0 nothing came, -1 failure (error_ set).
  int Pump(int waitMs, bool awaitingAnswer = false);
  bool HandleMessages(std::vector<telnet::Message>& messages);
  bool SendRaw(const telnet::Bytes& bytes, int limitMs);
  // Sends the requests and waits until the server has answered each command.
  bool Request(const std::vector<std::pair<uint8_t, telnet::Bytes>>& requests,
               std::vector<telnet::Bytes>* answers);
  bool KeepWaiting() const { return !watcher_ || watcher_(); }

  SocketPortLimits limits_;
  std::function<bool()> watcher_;
  NetworkPortKind kind_ = NetworkPortKind::kRawTcp;
  UniqueFd fd_;
  PortTimeouts timeouts_;
  bool dropNul_ = false;
  PortError error_;

  std::vector<uint8_t> readBuffer_;  // data not yet handed out: [readPos_, end)
  size_t readPos_ = 0;
  telnet::Decoder decoder_;
  bool comPortAccepted_ = false;  // the server said DO COM-PORT
  bool comPortRefused_ = false;   // it said DONT COM-PORT
  uint8_t sentWill_[256] = {};    // options we have offered (WILL sent)
  uint8_t sentDo_[256] = {};      // options we have asked for (DO sent)
  uint8_t refused_[256] = {};     // options we have turned down (DONT or WONT sent)
  // The last answer of the server to each COM port command, by command.
  std::vector<telnet::Bytes> answers_;
  std::vector<bool> answered_;
  uint32_t modemState_ = 0;
  PortError lost_;  // why the connection ended, once a read found it over
  bool purgeAnswered_ = false;
};

}  // namespace quelvo
