// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/SocketSerialPort.h"

#include <fcntl.h>
#include <netdb.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/ioctl.h>
#include <sys/socket.h>
#include <linux/sockios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace quelvo {
namespace {

using telnet::Bytes;

// How often a wait looks at the watcher.
constexpr int kSliceMs = 20;
// A raw device server that serves someone else accepts and hangs up at once
// (often with a line of text); the open waits this long to see that.
constexpr int kRawSettleMs = 150;
// How long closing waits for the device server to take the last bytes.
constexpr int kCloseDrainMs = 2000;
// One receive call takes at most this much.
constexpr size_t kRecvBytes = 4096;
// One Pump takes at most this much from the socket, so that a peer that
// floods the connection cannot hold a wait past its deadline or its stop
// check, and the bytes in front (a DC1) reach the reader.
constexpr size_t kPumpBytes = 16 * kRecvBytes;
// Received data held unread, at most, as a serial driver's buffer is finite.
// Beyond it the socket is not read (the peer's TCP waits) unless an answer
// of the server is awaited; then the surplus data is dropped as an overrun.
constexpr size_t kUnreadLimit = 64 * 1024;
// A raw purge drops at most this many pumps of what keeps arriving.
constexpr int kPurgePumps = 16;

int64_t NowMs() {
  return std::chrono::duration_cast<std::chrono::milliseconds>(
             std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

int LeftMs(int64_t deadlineMs) { return static_cast<int>(std::max<int64_t>(0, deadlineMs - NowMs())); }

PortError Reason(PortErrorKind kind, int err, std::string text) {
  PortError error;
  error.kind = kind;
  error.systemError = err;
  error.reason = std::move(text);
  return error;
}

PortError Stopped() { return Reason(PortErrorKind::kOther, ECANCELED, "opening was stopped"); }

PortError ConnectError(int err) {
  PortError error = PortErrorFromOpenErrno(err);
  if (err == ECONNREFUSED || err == EHOSTUNREACH || err == ENETUNREACH) error.kind = PortErrorKind::kNotFound;
  return error;
}

PortError LostConnection(int err) {
  PortError error = PortErrorFromIoErrno(err);
  error.kind = PortErrorKind::kVanished;
  return error;
}

// The printable part of what a server said before it hung up ("Port already
// in use"), for the reason text.
std::string PrintableText(const std::vector<uint8_t>& bytes) {
  std::string text;
  for (uint8_t b : bytes) {
    if (b >= 0x20 && b < 0x7F) text += static_cast<char>(b);
    else if (!text.empty() && text.back() != ' ') text += ' ';
    if (text.size() >= 80) break;
  }
  while (!text.empty() && text.back() == ' ') text.pop_back();
  return text;
}

// getaddrinfo has no time-out: it runs in a thread of its own and the open
// waits for it in slices. A lookup given up on finishes alone and frees its state.
struct Lookup {
  std::mutex mutex;
  std::condition_variable done;
  bool finished = false;
  int status = 0;
  int savedErrno = 0;
  addrinfo* result = nullptr;
  ~Lookup() {
    if (result != nullptr) freeaddrinfo(result);
  }
};

std::shared_ptr<Lookup> StartLookup(const std::string& host, int port) {
  auto lookup = std::make_shared<Lookup>();
  std::thread([lookup, host, service = std::to_string(port)] {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_flags = AI_NUMERICSERV | AI_ADDRCONFIG;
    addrinfo* result = nullptr;
    const int status = getaddrinfo(host.c_str(), service.c_str(), &hints, &result);
    const int err = errno;
    std::lock_guard<std::mutex> lock(lookup->mutex);
    lookup->status = status;
    lookup->savedErrno = err;
    lookup->result = result;
    lookup->finished = true;
    lookup->done.notify_all();
  }).detach();
  return lookup;
}

}  // namespace

bool SocketSerialPort::Fail(const PortError& error) {
  error_ = error;
  return false;
}

bool SocketSerialPort::Open(const std::string& device) {
  Close();
  error_ = PortError();
  const std::optional<NetworkPortAddress> address = ParseNetworkPortText(device);
  if (!address) {
    return Fail(Reason(PortErrorKind::kNotFound, EINVAL,
                       "not a network port (tcp://HOST:PORT or rfc2217://HOST:PORT)"));
  }
  kind_ = address->kind;
  if (!Connect(*address)) return false;
  return Telnet() ? Negotiate() : SettleRaw();
}

bool SocketSerialPort::Connect(const NetworkPortAddress& address) {
  const int64_t deadline = NowMs() + limits_.connectMs;
  const std::shared_ptr<Lookup> lookup = StartLookup(address.host, address.port);
  {
    std::unique_lock<std::mutex> lock(lookup->mutex);
    while (!lookup->finished) {
      if (NowMs() >= deadline) {
        return Fail(Reason(PortErrorKind::kNotFound, ETIMEDOUT, address.host + ": the name lookup timed out"));
      }
      lookup->done.wait_for(lock, std::chrono::milliseconds(std::min(kSliceMs, LeftMs(deadline) + 1)));
      if (lookup->finished) break;
      lock.unlock();
      const bool goOn = KeepWaiting();
      lock.lock();
      if (!goOn) return Fail(Stopped());
    }
  }
  if (lookup->status != 0) {
    const int err = lookup->status == EAI_SYSTEM ? lookup->savedErrno : 0;
    std::string text = lookup->status == EAI_SYSTEM ? PortErrorFromOpenErrno(err).reason : gai_strerror(lookup->status);
    return Fail(Reason(PortErrorKind::kNotFound, err, address.host + ": " + text));
  }
  PortError last = ConnectError(EADDRNOTAVAIL);
  for (const addrinfo* a = lookup->result; a != nullptr; a = a->ai_next) {
    if (ConnectTo(a->ai_addr, a->ai_addrlen, a->ai_family, deadline)) return true;
    last = error_;
    if (last.systemError == ECANCELED || last.systemError == ETIMEDOUT) break;
  }
  return Fail(last);
}

bool SocketSerialPort::ConnectTo(const void* address, unsigned length, int family, int64_t deadlineMs) {
  UniqueFd fd(::socket(family, SOCK_STREAM | SOCK_NONBLOCK | SOCK_CLOEXEC, 0));
  if (!fd.Valid()) return Fail(PortErrorFromOpenErrno(errno));
  // Every byte goes out at once, and little waits in the kernel where the
  // writer's queue throttle cannot see it.
  const int one = 1;
  ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_NODELAY, &one, sizeof one);
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_SNDBUF, &limits_.sendBufferBytes, sizeof limits_.sendBufferBytes);
  // A device server that loses power or its cable while the line is quiet
  // (waiting for the control's data) is noticed within about half a minute.
  const int idleSeconds = 10, probeSeconds = 5, probes = 3;
  ::setsockopt(fd.Get(), SOL_SOCKET, SO_KEEPALIVE, &one, sizeof one);
  ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_KEEPIDLE, &idleSeconds, sizeof idleSeconds);
  ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_KEEPINTVL, &probeSeconds, sizeof probeSeconds);
  ::setsockopt(fd.Get(), IPPROTO_TCP, TCP_KEEPCNT, &probes, sizeof probes);
  if (::connect(fd.Get(), static_cast<const sockaddr*>(address), length) != 0) {
    if (errno != EINPROGRESS) return Fail(ConnectError(errno));
    for (;;) {
      if (!KeepWaiting()) return Fail(Stopped());
      const int left = LeftMs(deadlineMs);
      if (left == 0) return Fail(ConnectError(ETIMEDOUT));
      pollfd p{fd.Get(), POLLOUT, 0};
      const int n = ::poll(&p, 1, std::min(left, kSliceMs));
      if (n < 0 && errno != EINTR) return Fail(ConnectError(errno));
      if (n > 0) break;
    }
    int err = 0;
    socklen_t size = sizeof err;
    if (::getsockopt(fd.Get(), SOL_SOCKET, SO_ERROR, &err, &size) != 0) err = errno;
    if (err != 0) return Fail(ConnectError(err));
  }
  fd_ = std::move(fd);
  return true;
}

PortError SocketSerialPort::EndedAtOpen() const {
  // A device server that serves another client hangs up at once, often after
  // a line of text that says so; a broken negotiation is reported as it is.
  PortError error = error_;
  if (error.kind == PortErrorKind::kVanished) {
    error = Reason(PortErrorKind::kInUse, error.systemError, "the device server ended the connection at once");
  }
  if (const std::string said = PrintableText(readBuffer_); !said.empty()) error.reason += ": " + said;
  return error;
}

bool SocketSerialPort::SettleRaw() {
  const int64_t deadline = NowMs() + kRawSettleMs;
  while (NowMs() < deadline) {
    if (Pump(std::min(kSliceMs, LeftMs(deadline))) < 0) return FailAndClose(EndedAtOpen());
  }
  return true;
}

bool SocketSerialPort::Negotiate() {
  Bytes hello;
  for (const Bytes& b : {telnet::Negotiation(telnet::kWill, telnet::kOptionComPort),
                         telnet::Negotiation(telnet::kDo, telnet::kOptionBinary),
                         telnet::Negotiation(telnet::kWill, telnet::kOptionBinary),
                         telnet::Negotiation(telnet::kDo, telnet::kOptionSuppressGoAhead),
                         telnet::Negotiation(telnet::kWill, telnet::kOptionSuppressGoAhead)}) {
    hello.insert(hello.end(), b.begin(), b.end());
  }
  sentWill_[telnet::kOptionComPort] = sentWill_[telnet::kOptionBinary] = sentWill_[telnet::kOptionSuppressGoAhead] = 1;
  sentDo_[telnet::kOptionBinary] = sentDo_[telnet::kOptionSuppressGoAhead] = 1;
  const int64_t deadline = NowMs() + limits_.answerMs;
  if (!SendRaw(hello, limits_.answerMs)) return FailAndClose(error_);
  while (!comPortAccepted_) {
    if (comPortRefused_) {
      return FailAndClose(Reason(PortErrorKind::kOther, EPROTO, "the device server refuses the COM port option (RFC 2217)"));
    }
    if (!KeepWaiting()) return FailAndClose(Stopped());
    const int left = LeftMs(deadline);
    if (left == 0) {
      return FailAndClose(Reason(PortErrorKind::kOther, ETIMEDOUT,
                                 "the device server did not take up the COM port option (RFC 2217) in time"));
    }
    if (Pump(std::min(left, kSliceMs), true) < 0) return FailAndClose(EndedAtOpen());
  }
  return true;
}

void SocketSerialPort::Close() {
  if (fd_.Valid()) Drain();
  Reset();
}

void SocketSerialPort::Drain() {
  // Closing a socket that holds unread bytes (the control's DC1 invitations)
  // resets the connection, and the device server drops what it had not yet
  // passed on: the end of the program. So the last bytes are let go first
  // (the send queue empties), the end is announced after them, and what still
  // comes is read until the server closes too; all within a bound, as a
  // serial port drains its output on close.
  const int64_t deadline = NowMs() + kCloseDrainMs;
  int queued = 0;
  while (::ioctl(fd_.Get(), SIOCOUTQ, &queued) == 0 && queued > 0 && LeftMs(deadline) > 0) {
    pollfd p{fd_.Get(), 0, 0};
    if (::poll(&p, 1, 5) > 0 && (p.revents & (POLLERR | POLLHUP)) != 0) break;
  }
  ::shutdown(fd_.Get(), SHUT_WR);
  for (int left = LeftMs(deadline); left > 0; left = LeftMs(deadline)) {
    pollfd p{fd_.Get(), POLLIN, 0};
    if (::poll(&p, 1, left) <= 0) break;
    uint8_t buffer[4096];
    const ssize_t n = ::recv(fd_.Get(), buffer, sizeof buffer, MSG_DONTWAIT);
    if (n == 0 || (n < 0 && errno != EINTR && errno != EAGAIN)) break;
  }
}

bool SocketSerialPort::FailAndClose(const PortError& error) {
  Reset();
  return Fail(error);
}

void SocketSerialPort::Reset() {
  fd_.Reset();
  readBuffer_.clear();
  readPos_ = 0;
  decoder_.Reset();
  comPortAccepted_ = comPortRefused_ = false;
  std::fill(std::begin(sentWill_), std::end(sentWill_), 0);
  std::fill(std::begin(sentDo_), std::end(sentDo_), 0);
  std::fill(std::begin(refused_), std::end(refused_), 0);
  answers_.assign(256, Bytes());
  answered_.assign(256, false);
  modemState_ = 0;
  dropNul_ = false;
  lost_ = PortError();
}

int SocketSerialPort::Pump(int waitMs, bool awaitingAnswer) {
  if (!IsOpen()) {
    Fail(PortErrorFromIoErrno(EBADF));
    return -1;
  }
  const auto unread = [this] { return readBuffer_.size() - readPos_; };
  if (!awaitingAnswer && unread() >= kUnreadLimit) {
    // Nothing can be taken in: the wait is only a wait.
    if (waitMs > 0) ::poll(nullptr, 0, waitMs);
    return 0;
  }
  pollfd p{fd_.Get(), POLLIN, 0};
  int n = ::poll(&p, 1, waitMs);
  if (n < 0) return errno == EINTR ? 0 : (Fail(LostConnection(errno)), -1);
  if (n == 0) return 0;
  bool got = false;
  for (size_t taken = 0; taken < kPumpBytes;) {
    // Without an awaited answer nothing is dropped: take only what fits (the
    // telnet layer never makes more data than the bytes it is given).
    size_t want = kRecvBytes;
    if (!awaitingAnswer) want = std::min(want, kUnreadLimit - std::min(kUnreadLimit, unread()));
    if (want == 0) break;
    uint8_t buffer[kRecvBytes];
    const ssize_t r = ::recv(fd_.Get(), buffer, want, MSG_DONTWAIT);
    if (r == 0) {
      Fail(Reason(PortErrorKind::kVanished, ECONNRESET, "the device server closed the connection"));
      lost_ = error_;
      return -1;
    }
    if (r < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) break;
      Fail(LostConnection(errno));
      lost_ = error_;
      return -1;
    }
    taken += static_cast<size_t>(r);
    got = true;
    // What was handed out goes, once it is worth the move.
    if (readPos_ == readBuffer_.size() || readPos_ >= kPumpBytes) {
      readBuffer_.erase(readBuffer_.begin(), readBuffer_.begin() + static_cast<std::ptrdiff_t>(readPos_));
      readPos_ = 0;
    }
    if (!Telnet()) {
      readBuffer_.insert(readBuffer_.end(), buffer, buffer + r);
    } else {
      std::vector<telnet::Message> messages;
      std::string broken;
      const bool ok = decoder_.Feed(buffer, static_cast<size_t>(r), &readBuffer_, &messages, &broken);
      if (!HandleMessages(messages)) return -1;
      if (!ok) {
        Fail(Reason(PortErrorKind::kOther, EPROTO, broken));
        return -1;
      }
    }
    if (awaitingAnswer && unread() > kUnreadLimit) readBuffer_.resize(readPos_ + kUnreadLimit);
  }
  return got ? 1 : 0;
}

bool SocketSerialPort::HandleMessages(std::vector<telnet::Message>& messages) {
  using namespace telnet;
  Bytes reply;
  auto answer = [&reply](uint8_t verb, uint8_t option, uint8_t* sent) {
    if (*sent) return;
    *sent = 1;
    const Bytes b = Negotiation(verb, option);
    reply.insert(reply.end(), b.begin(), b.end());
  };
  for (Message& m : messages) {
    if (m.kind == Message::kComPort) {
      if (m.option <= kServerOffset) continue;  // not an answer
      const uint8_t command = m.option - kServerOffset;
      if (command == kNotifyModemState && !m.value.empty()) {
        modemState_ = m.value[0] & (kModemCts | kModemDsr | kModemRing | kModemDcd);
      } else if (command == kPurgeData) {
        // Everything received before the purge was done is stale.
        readBuffer_.clear();
        readPos_ = 0;
      }
      answers_[command] = std::move(m.value);
      answered_[command] = true;
      continue;
    }
    const bool wanted = m.option == kOptionBinary || m.option == kOptionSuppressGoAhead || m.option == kOptionComPort;
    switch (m.verb) {
      case kWill:  // the server offers an option
        if (wanted) answer(kDo, m.option, &sentDo_[m.option]);
        else answer(kDont, m.option, &refused_[m.option]);
        break;
      case kDo:  // the server asks us to take one up
        if (m.option == kOptionComPort) comPortAccepted_ = true;
        if (wanted) answer(kWill, m.option, &sentWill_[m.option]);
        else answer(kWont, m.option, &refused_[m.option]);
        break;
      case kDont:
        if (m.option == kOptionComPort) comPortRefused_ = true;
        break;
      default:  // WONT: nothing to answer
        break;
    }
  }
  return reply.empty() || SendRaw(reply, limits_.answerMs);
}

bool SocketSerialPort::SendRaw(const Bytes& bytes, int limitMs) {
  size_t done = 0;
  while (done < bytes.size()) {
    const ssize_t n = ::send(fd_.Get(), bytes.data() + done, bytes.size() - done, MSG_NOSIGNAL | MSG_DONTWAIT);
    if (n >= 0) {
      done += static_cast<size_t>(n);
      continue;
    }
    if (errno == EINTR) continue;
    if (errno != EAGAIN && errno != EWOULDBLOCK) return Fail(LostConnection(errno));
    pollfd p{fd_.Get(), POLLOUT, 0};
    const int r = ::poll(&p, 1, limitMs);
    if (r == 0) return Fail(PortErrorFromIoErrno(ETIMEDOUT));
    if (r < 0 && errno != EINTR) return Fail(LostConnection(errno));
    if (r > 0 && (p.revents & POLLOUT) == 0) return Fail(LostConnection(EPIPE));
  }
  return true;
}

bool SocketSerialPort::Request(const std::vector<std::pair<uint8_t, Bytes>>& requests,
                               std::vector<Bytes>* answers) {
  Bytes out;
  for (const auto& [command, value] : requests) {
    answered_[command] = false;
    const Bytes b = telnet::ComPortRequest(command, value);
    out.insert(out.end(), b.begin(), b.end());
  }
  if (!SendRaw(out, limits_.answerMs)) return false;
  const int64_t deadline = NowMs() + limits_.answerMs;
  for (;;) {
    const bool all = std::all_of(requests.begin(), requests.end(), [this](const auto& r) { return answered_[r.first]; });
    if (all) break;
    const int left = LeftMs(deadline);
    if (left == 0) {
      return Fail(Reason(PortErrorKind::kOther, ETIMEDOUT, "the device server did not confirm the line settings"));
    }
    if (!KeepWaiting()) return Fail(Stopped());
    if (Pump(std::min(left, kSliceMs), true) < 0) return false;
  }
  answers->clear();
  for (const auto& r : requests) answers->push_back(answers_[r.first]);
  return true;
}

bool SocketSerialPort::Configure(const LineConfig& config) {
  if (!IsOpen()) return Fail(PortErrorFromIoErrno(EBADF));
  dropNul_ = config.nullDiscard;
  // Raw TCP: the device server's own settings rule the line.
  if (!Telnet()) return true;
  using namespace telnet;
  const uint8_t parity = config.parity ? kParityEven : kParityNone;
  const uint8_t stop = config.stopBits == StopBits::kOne   ? kStopOne
                       : config.stopBits == StopBits::kTwo ? kStopTwo
                                                           : kStopOneAndHalf;
  // The option cannot name the XON and XOFF codes: the far line obeys them
  // only when they are the usual DC1 and DC3; other codes (0x93) reach the
  // reader, which paces by them itself.
  const bool usualCodes = config.xonChar == 0x11 && config.xoffChar == 0x13;
  std::vector<std::pair<uint8_t, Bytes>> requests = {
      {kSetBaudRate, BaudRateValue(static_cast<uint32_t>(config.baudRate))},
      {kSetDataSize, {static_cast<uint8_t>(config.byteSize)}},
      {kSetParity, {parity}},
      {kSetStopSize, {stop}},
  };
  std::vector<Bytes> answers;
  if (!Request(requests, &answers)) return false;
  const char* refused[] = {"line speed", "data size", "parity", "stop size"};
  for (size_t i = 0; i < requests.size(); ++i) {
    if (answers[i] != requests[i].second) {
      return Fail(Reason(PortErrorKind::kOther, EINVAL, std::string("the device server did not take the ") + refused[i]));
    }
  }
  // Flow control and the modem lines are sent without waiting for answers:
  // a server answers them as it can (ser2net leaves DTR and RTS unanswered
  // on a line without modem lines), and they cannot be matched one by one.
  std::vector<uint8_t> controls;
  if (config.outxCtsFlow) {
    controls.push_back(kOutboundHardware);  // RTS/CTS serves both directions
  } else {
    controls.push_back(config.outX && usualCodes ? kOutboundXonXoff : kOutboundNone);
    controls.push_back(config.inX && usualCodes ? kInboundXonXoff : kInboundNone);
    controls.push_back(config.rtsControl == LineControl::kDisable ? kRtsOff : kRtsOn);
  }
  controls.push_back(config.dtrControl == LineControl::kDisable ? kDtrOff : kDtrOn);
  Bytes out;
  for (uint8_t control : controls) {
    const Bytes b = ComPortRequest(kSetControl, {control});
    out.insert(out.end(), b.begin(), b.end());
  }
  return SendRaw(out, limits_.answerMs);
}

bool SocketSerialPort::SetTimeouts(const PortTimeouts& timeouts) {
  if (!IsOpen()) return Fail(PortErrorFromIoErrno(EBADF));
  timeouts_ = timeouts;
  return true;
}

ReadResult SocketSerialPort::ReadByte(uint8_t* byte) {
  if (!IsOpen()) {
    Fail(PortErrorFromIoErrno(EBADF));
    return ReadResult::kError;
  }
  int64_t deadline = -1;
  for (;;) {
    while (readPos_ < readBuffer_.size()) {
      const uint8_t b = readBuffer_[readPos_++];
      if (dropNul_ && b == 0) continue;
      *byte = b;
      return ReadResult::kByte;
    }
    if (deadline < 0) deadline = NowMs() + timeouts_.readMs;
    const int left = LeftMs(deadline);
    const int pumped = Pump(left);
    if (pumped < 0) return ReadResult::kError;
    if (pumped == 0 && LeftMs(deadline) == 0) return ReadResult::kTimeout;
  }
}

bool SocketSerialPort::Write(const uint8_t* data, size_t size) {
  if (!IsOpen()) return Fail(PortErrorFromIoErrno(EBADF));
  // The first write after the server has gone would still be taken by the
  // kernel; the connection is over, as a pulled adapter's port is.
  if (lost_.kind != PortErrorKind::kNone) return Fail(lost_);
  Bytes wire;
  if (Telnet()) {
    telnet::AppendEscaped(data, size, &wire);
  } else {
    wire.assign(data, data + size);
  }
  return SendRaw(wire, timeouts_.writeMs > 0 ? timeouts_.writeMs : -1);
}

bool SocketSerialPort::OutputQueueSize(int* bytes) {
  if (!IsOpen()) return Fail(PortErrorFromIoErrno(EBADF));
  int n = 0;
  if (::ioctl(fd_.Get(), SIOCOUTQ, &n) != 0) return Fail(PortErrorFromIoErrno(errno));
  *bytes = n;
  return true;
}

bool SocketSerialPort::ModemStatus(uint32_t* bits) {
  if (!IsOpen()) return Fail(PortErrorFromIoErrno(EBADF));
  // A raw connection carries no modem lines, as a pseudo-terminal has none.
  if (!Telnet()) return Fail(PortErrorFromIoErrno(ENOTTY));
  if (Pump(0) < 0) return false;
  *bits = modemState_;
  return true;
}

bool SocketSerialPort::Purge() {
  if (!IsOpen()) return Fail(PortErrorFromIoErrno(EBADF));
  readBuffer_.clear();
  readPos_ = 0;
  if (Telnet()) {
    std::vector<Bytes> answers;
    return Request({{telnet::kPurgeData, {telnet::kPurgeBoth}}}, &answers);
  }
  // Raw: only what has reached this side can be dropped; of a peer that
  // never stops sending, a bounded amount.
  for (int i = 0; i < kPurgePumps; ++i) {
    const int pumped = Pump(0);
    readBuffer_.clear();
    readPos_ = 0;
    if (pumped <= 0) return pumped == 0;
  }
  return true;
}

}  // namespace quelvo
