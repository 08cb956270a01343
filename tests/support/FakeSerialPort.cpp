// SPDX-License-Identifier: GPL-3.0-or-later
#include "FakeSerialPort.h"

#include <algorithm>
#include <cerrno>

namespace quelvo {

bool FakeSerialPort::Open(const std::string& dev) {
  device = dev;
  for (int waited = 0; waited < openWaitMs; waited += 20) {
    clock_.nowMs += 20;
    if (openWatcher_ && !openWatcher_()) {
      error_ = PortErrorFromOpenErrno(ECANCELED);
      open_ = false;
      return false;
    }
  }
  if (openErrno != 0) {
    error_ = PortErrorFromOpenErrno(openErrno);
    open_ = false;
    return false;
  }
  open_ = true;
  return true;
}

bool FakeSerialPort::Configure(const LineConfig& config) {
  if (failConfigure) {
    error_ = PortErrorFromIoErrno(EINVAL);
    return false;
  }
  configs.push_back(config);
  return true;
}

bool FakeSerialPort::SetTimeouts(const PortTimeouts& t) {
  if (failTimeouts) {
    error_ = PortErrorFromIoErrno(EINVAL);
    return false;
  }
  timeouts = t;
  return true;
}

void FakeSerialPort::QueueIncoming(const std::string& bytes, int64_t atMs) {
  const int64_t at = atMs < 0 ? clock_.nowMs : atMs;
  for (char c : bytes) {
    Incoming in{at, static_cast<uint8_t>(c)};
    auto pos = std::upper_bound(incoming_.begin(), incoming_.end(), in,
                                [](const Incoming& a, const Incoming& b) { return a.atMs < b.atMs; });
    incoming_.insert(pos, in);
  }
}

ReadResult FakeSerialPort::ReadByte(uint8_t* byte) {
  ++reads;
  if (readErrno != 0) {
    error_ = PortErrorFromIoErrno(readErrno);
    return ReadResult::kError;
  }
  const int64_t deadline = clock_.nowMs + timeouts.readMs;
  while (!incoming_.empty() && incoming_.front().atMs <= deadline) {
    const Incoming in = incoming_.front();
    incoming_.pop_front();
    if (in.atMs > clock_.nowMs) clock_.nowMs = in.atMs;
    if (nullDiscard() && in.byte == 0) continue;
    *byte = in.byte;
    return ReadResult::kByte;
  }
  clock_.nowMs = deadline;
  return ReadResult::kTimeout;
}

bool FakeSerialPort::Write(const uint8_t* data, size_t size) {
  if (writeErrno != 0) {
    error_ = PortErrorFromIoErrno(writeErrno);
    return false;
  }
  Drain();
  for (size_t i = 0; i < size; ++i) {
    written += static_cast<char>(data[i]);
    if (drainBytesPerSecond > 0 || outputHeld) queued_ += 1;
    if (onWrite) onWrite(data[i]);
  }
  return true;
}

void FakeSerialPort::Drain() {
  const int64_t elapsed = clock_.nowMs - drainedAtMs_;
  drainedAtMs_ = clock_.nowMs;
  if (outputHeld) return;
  queued_ = std::max(0.0, queued_ - elapsed * drainBytesPerSecond / 1000.0);
}

bool FakeSerialPort::OutputQueueSize(int* bytes) {
  Drain();
  *bytes = static_cast<int>(queued_ + 0.999);
  return true;
}

bool FakeSerialPort::ModemStatus(uint32_t* bits) {
  if (!modemReadable) {
    error_ = PortErrorFromIoErrno(ENOTTY);
    return false;
  }
  *bits = (cts ? kModemCts : 0) | (dsr ? kModemDsr : 0) | (dcd ? kModemDcd : 0);
  return true;
}

bool FakeSerialPort::Purge() {
  if (failPurge) {
    error_ = PortErrorFromIoErrno(EIO);
    return false;
  }
  ++purgeCount;
  queued_ = 0;
  // Bytes already received are thrown away; bytes scripted for later still come.
  while (!incoming_.empty() && incoming_.front().atMs <= clock_.nowMs) incoming_.pop_front();
  return true;
}

}  // namespace quelvo
