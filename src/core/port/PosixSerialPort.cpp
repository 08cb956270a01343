// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/port/PosixSerialPort.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

#include "core/port/DriverErrorCounts.h"
#include "core/port/PosixCustomBaud.h"

namespace quelvo {
namespace {

// The speeds termios names directly; others go through termios2.
bool StandardSpeed(int baud, speed_t* speed) {
  switch (baud) {
    case 1200: *speed = B1200; return true;
    case 2400: *speed = B2400; return true;
    case 4800: *speed = B4800; return true;
    case 9600: *speed = B9600; return true;
    case 19200: *speed = B19200; return true;
    case 38400: *speed = B38400; return true;
    case 57600: *speed = B57600; return true;
    case 115200: *speed = B115200; return true;
    default: return false;
  }
}

PortError NotSerialDevice(int err) {
  PortError error = PortErrorFromOpenErrno(err);
  if (err == ENOTTY) error.reason = "not a serial device";
  return error;
}

// The slave side of a pseudo-terminal (Unix 98 slaves have majors 136 to 143).
bool IsPseudoTerminal(int fd) {
  struct stat st {};
  return ::fstat(fd, &st) == 0 && S_ISCHR(st.st_mode) && major(st.st_rdev) >= 136 && major(st.st_rdev) <= 143;
}

PortError DriverRefused(const char* what) {
  PortError error;
  error.kind = PortErrorKind::kOther;
  error.reason = std::string("the driver did not take the ") + what;
  return error;
}

using Clock = std::chrono::steady_clock;

}  // namespace

bool PosixSerialPort::Fail(const PortError& error) {
  error_ = error;
  return false;
}

bool PosixSerialPort::FailNotOpen() {
  return Fail(PortErrorFromIoErrno(EBADF));
}

bool PosixSerialPort::Open(const std::string& device) {
  Close();
  error_ = PortError();
  // A device that does not exist has no holders; opening it reports why.
  const std::string real = RealDevicePath(device);
  if (real.empty()) return OpenDevice(device);
  if (!lock_.Acquire(lockFolder_, real, &error_)) return false;
  // Looked for before opening: opening raises DTR on the holder's line.
  if (const std::string holder = OtherProcessHolding(real); !holder.empty()) {
    lock_.Release();
    return Fail(PortInUseBy(holder));
  }
  if (OpenDevice(device)) return true;
  lock_.Release();
  return false;
}

bool PosixSerialPort::OpenDevice(const std::string& device) {
  UniqueFd fd(::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC));
  if (!fd.Valid()) return Fail(PortErrorFromOpenErrno(errno));
  if (::ioctl(fd.Get(), TIOCEXCL) != 0) return Fail(NotSerialDevice(errno));
  if (::flock(fd.Get(), LOCK_EX | LOCK_NB) != 0) return Fail(PortErrorFromOpenErrno(errno));
  int flags = ::fcntl(fd.Get(), F_GETFL);
  if (flags < 0 || ::fcntl(fd.Get(), F_SETFL, flags & ~O_NONBLOCK) != 0) {
    return Fail(PortErrorFromOpenErrno(errno));
  }
  fd_ = std::move(fd);
  dropNul_ = false;
  countsAtOpenValid_ = ReadDriverCounts(fd_.Get(), &countsAtOpen_);
  return true;
}

void PosixSerialPort::Close() {
  if (fd_.Valid()) {
    ::ioctl(fd_.Get(), TIOCNXCL);
    ::flock(fd_.Get(), LOCK_UN);
  }
  fd_.Reset();
  lock_.Release();
  ResetPortState();
}

void PosixSerialPort::ResetPortState() {
  readPos_ = 0;
  readEnd_ = 0;
  modemLinesMissing_ = 0;
}

bool PosixSerialPort::Configure(const LineConfig& config) {
  if (!IsOpen()) return FailNotOpen();
  const int fd = fd_.Get();
  termios t{};
  if (::tcgetattr(fd, &t) != 0) return Fail(PortErrorFromIoErrno(errno));
  ::cfmakeraw(&t);
  t.c_cflag &= ~(CSIZE | PARENB | CSTOPB | CRTSCTS);
  t.c_cflag |= CLOCAL | CREAD | (config.byteSize == 7 ? CS7 : CS8);
  // Linux has no 1.5 stop bits; two is the nearest.
  if (config.stopBits != StopBits::kOne) t.c_cflag |= CSTOPB;
  if (config.outxCtsFlow) t.c_cflag |= CRTSCTS;
  // IXANY stays off: with it any byte from the control would restart our output.
  t.c_iflag &= ~(IXON | IXOFF | IXANY | ISTRIP | INPCK | PARMRK | IGNPAR);
  if (config.outX) t.c_iflag |= IXON;
  if (config.inX) t.c_iflag |= IXOFF;
  t.c_cc[VSTART] = config.xonChar != 0 ? config.xonChar : _POSIX_VDISABLE;
  t.c_cc[VSTOP] = config.xoffChar != 0 ? config.xoffChar : _POSIX_VDISABLE;
  t.c_cc[VMIN] = 1;
  t.c_cc[VTIME] = 0;

  speed_t speed = B38400;
  const bool standard = StandardSpeed(config.baudRate, &speed);
  if (::cfsetspeed(&t, speed) != 0) return Fail(PortErrorFromIoErrno(errno));
  if (::tcsetattr(fd, TCSANOW, &t) != 0) {
    // A pseudo-terminal carries whole bytes with no character framing: Linux
    // keeps it at eight data bits and may refuse seven. The bytes are the
    // same either way, so a line that merely plays a serial line takes eight.
    if (errno != EINVAL || (t.c_cflag & CSIZE) != CS7 || !IsPseudoTerminal(fd)) {
      return Fail(PortErrorFromIoErrno(errno));
    }
    t.c_cflag = (t.c_cflag & ~CSIZE) | CS8;
    if (::tcsetattr(fd, TCSANOW, &t) != 0) return Fail(PortErrorFromIoErrno(errno));
  }
  if (!standard) {
    const int err = SetCustomBaudRate(fd, config.baudRate);
    if (err != 0) return Fail(PortErrorFromIoErrno(err));
  }

  // Read the state back: the driver must have taken the flow control settings.
  termios back{};
  if (::tcgetattr(fd, &back) != 0) return Fail(PortErrorFromIoErrno(errno));
  if ((back.c_iflag & (IXON | IXOFF)) != (t.c_iflag & (IXON | IXOFF)) ||
      back.c_cc[VSTART] != t.c_cc[VSTART] || back.c_cc[VSTOP] != t.c_cc[VSTOP] ||
      (back.c_cflag & CSTOPB) != (t.c_cflag & CSTOPB)) {
    return Fail(DriverRefused("flow control settings"));
  }
  const int speedBack = standard ? -1 : ReadCustomBaudRate(fd);
  if (standard ? ::cfgetospeed(&back) != speed : speedBack != config.baudRate) {
    return Fail(DriverRefused("line speed"));
  }

  SetModemLines(config);
  dropNul_ = config.nullDiscard;
  return true;
}

void PosixSerialPort::SetModemLines(const LineConfig& config) {
  // Linux has no DTR handshake: DTR is held on for "enable" and "handshake".
  // With CRTSCTS the driver drives RTS itself. Pseudo-terminals and some
  // adapters have no modem lines; the calls then fail and change nothing.
  int raise = 0;
  int drop = 0;
  (config.dtrControl == LineControl::kDisable ? drop : raise) |= TIOCM_DTR;
  if (!config.outxCtsFlow) (config.rtsControl == LineControl::kDisable ? drop : raise) |= TIOCM_RTS;
  if (raise != 0) ::ioctl(fd_.Get(), TIOCMBIS, &raise);
  if (drop != 0) ::ioctl(fd_.Get(), TIOCMBIC, &drop);
}

bool PosixSerialPort::SetTimeouts(const PortTimeouts& timeouts) {
  if (!IsOpen()) return FailNotOpen();
  timeouts_ = timeouts;
  return true;
}

int PosixSerialPort::WaitReady(short events, int timeoutMs) {
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  for (;;) {
    int wait = -1;
    if (timeoutMs >= 0) {
      const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
      wait = left.count() > 0 ? static_cast<int>(left.count()) : 0;
    }
    pollfd p{fd_.Get(), events, 0};
    const int n = ::poll(&p, 1, wait);
    if (n < 0) {
      if (errno == EINTR) continue;
      Fail(PortErrorFromIoErrno(errno));
      return -1;
    }
    if (n == 0) return 1;
    if (p.revents & events) return 0;
    // Hang-up or error without data: the device has gone.
    Fail(PortErrorFromIoErrno((p.revents & POLLNVAL) ? EBADF : EIO));
    return -1;
  }
}

ReadResult PosixSerialPort::ReadByte(uint8_t* byte) {
  if (!IsOpen()) {
    FailNotOpen();
    return ReadResult::kError;
  }
  bool haveDeadline = false;
  Clock::time_point deadline;
  for (;;) {
    while (readPos_ < readEnd_) {
      const uint8_t b = readBuffer_[readPos_++];
      if (dropNul_ && b == 0) continue;
      *byte = b;
      return ReadResult::kByte;
    }
    // The clock is only read when the driver has to be asked.
    if (!haveDeadline) {
      deadline = Clock::now() + std::chrono::milliseconds(timeouts_.readMs);
      haveDeadline = true;
    }
    const ReadResult filled = FillReadBuffer(deadline);
    if (filled != ReadResult::kByte) return filled;
  }
}

ReadResult PosixSerialPort::FillReadBuffer(Clock::time_point deadline) {
  for (;;) {
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
    const int ready = WaitReady(POLLIN, left.count() > 0 ? static_cast<int>(left.count()) : 0);
    if (ready < 0) return ReadResult::kError;
    if (ready > 0) return ReadResult::kTimeout;
    const ssize_t n = ::read(fd_.Get(), readBuffer_.data(), readBuffer_.size());
    if (n > 0) {
      readPos_ = 0;
      readEnd_ = static_cast<size_t>(n);
      return ReadResult::kByte;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    Fail(PortErrorFromIoErrno(n < 0 ? errno : EIO));  // 0 bytes: hung up
    return ReadResult::kError;
  }
}

bool PosixSerialPort::Write(const uint8_t* data, size_t size) {
  if (!IsOpen()) return FailNotOpen();
  const int limit = timeouts_.writeMs > 0 ? timeouts_.writeMs : -1;
  // Without a write time-out the blocking write() itself does the waiting and
  // poll() is only needed after EAGAIN. With one, the wait comes first: a
  // blocking write() into a full output queue would wait past the time-out.
  const bool waitAlways = limit >= 0;
  bool wait = waitAlways;
  size_t done = 0;
  while (done < size) {
    if (wait) {
      const int ready = WaitReady(POLLOUT, limit);
      if (ready < 0) return false;
      if (ready > 0) return Fail(PortErrorFromIoErrno(ETIMEDOUT));
    }
    const ssize_t n = ::write(fd_.Get(), data + done, size - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      if (errno == EAGAIN || errno == EWOULDBLOCK) {
        wait = true;
        continue;
      }
      return Fail(PortErrorFromIoErrno(errno));
    }
    done += static_cast<size_t>(n);
    wait = waitAlways;
  }
  return true;
}

bool PosixSerialPort::OutputQueueSize(int* bytes) {
  if (!IsOpen()) return FailNotOpen();
  int n = 0;
  if (::ioctl(fd_.Get(), TIOCOUTQ, &n) != 0) return Fail(PortErrorFromIoErrno(errno));
  *bytes = n;
  return true;
}

bool PosixSerialPort::ModemStatus(uint32_t* bits) {
  if (!IsOpen()) return FailNotOpen();
  // A pseudo-terminal or an adapter without modem lines refuses TIOCMGET every
  // time; once seen, the answer is given without asking the driver again.
  if (modemLinesMissing_ != 0) return Fail(PortErrorFromIoErrno(modemLinesMissing_));
  int lines = 0;
  if (::ioctl(fd_.Get(), TIOCMGET, &lines) != 0) {
    const int err = errno;
    if (err == ENOTTY || err == EINVAL) modemLinesMissing_ = err;
    return Fail(PortErrorFromIoErrno(err));
  }
  uint32_t status = 0;
  if (lines & TIOCM_CTS) status |= kModemCts;
  if (lines & TIOCM_DSR) status |= kModemDsr;
  if (lines & TIOCM_RI) status |= kModemRing;
  if (lines & TIOCM_CD) status |= kModemDcd;
  *bits = status;
  return true;
}

bool PosixSerialPort::ErrorCounts(LineErrorCounts* counts) {
  if (!IsOpen()) return FailNotOpen();
  LineErrorCounts now;
  if (!countsAtOpenValid_ || !ReadDriverCounts(fd_.Get(), &now)) return false;
  counts->framing = static_cast<uint32_t>(now.framing - countsAtOpen_.framing);
  counts->parity = static_cast<uint32_t>(now.parity - countsAtOpen_.parity);
  counts->overrun = static_cast<uint32_t>(now.overrun - countsAtOpen_.overrun);
  counts->bufferOverrun = static_cast<uint32_t>(now.bufferOverrun - countsAtOpen_.bufferOverrun);
  counts->breaks = static_cast<uint32_t>(now.breaks - countsAtOpen_.breaks);
  return true;
}

bool PosixSerialPort::Purge() {
  if (!IsOpen()) return FailNotOpen();
  // Bytes already taken from the driver are as stale as those still in it.
  readPos_ = 0;
  readEnd_ = 0;
  if (::tcflush(fd_.Get(), TCIOFLUSH) != 0) return Fail(PortErrorFromIoErrno(errno));
  return true;
}

}  // namespace quelvo
