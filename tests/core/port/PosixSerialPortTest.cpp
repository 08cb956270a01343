// SPDX-License-Identifier: GPL-3.0-or-later
// The real port on a pseudo-terminal: the slave plays the serial device, the
// master plays the NC control.
#include <fcntl.h>
#include <signal.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <thread>

#include <gtest/gtest.h>

#include "core/port/PortHolders.h"
#include "core/port/PosixCustomBaud.h"
#include "core/port/PosixSerialPort.h"
#include "core/settings/IniFile.h"
#include "core/transfer/link/PortNames.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

class PseudoTerminal {
 public:
  PseudoTerminal() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) slave_ = ptsname(master_);
  }
  ~PseudoTerminal() { CloseMaster(); }
  const std::string& SlavePath() const { return slave_; }
  void Send(const std::string& bytes) { ASSERT_EQ(write(master_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  std::string Receive(size_t n) {
    std::string out(n, '\0');
    size_t got = 0;
    while (got < n) {
      const ssize_t r = read(master_, out.data() + got, n - got);
      if (r <= 0) break;
      got += static_cast<size_t>(r);
    }
    out.resize(got);
    return out;
  }
  void CloseMaster() {
    if (master_ >= 0) close(master_);
    master_ = -1;
  }

 private:
  int master_ = -1;
  std::string slave_;
};

int64_t MillisecondsOf(const std::function<void()>& f) {
  const auto start = std::chrono::steady_clock::now();
  f();
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

LineConfig SendLine() {
  LineConfig c;
  c.baudRate = 9600;
  c.byteSize = 8;
  c.stopBits = StopBits::kTwo;
  c.outX = true;
  c.inX = true;
  c.xonChar = 0x11;
  c.xoffChar = 0x93;
  c.nullDiscard = true;
  return c;
}

TEST(PosixSerialPort, OpensConfiguresAndMovesBytesOverAPseudoTerminal) {
  PseudoTerminal pty;
  ASSERT_FALSE(pty.SlavePath().empty());
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath())) << port.LastError().reason;
  ASSERT_TRUE(port.Configure(SendLine())) << port.LastError().reason;

  termios t{};
  ASSERT_EQ(tcgetattr(port.NativeHandle(), &t), 0);
  EXPECT_EQ(t.c_cc[VSTOP], 0x93);
  EXPECT_EQ(t.c_cc[VSTART], 0x11);
  EXPECT_TRUE(t.c_iflag & IXON);
  EXPECT_TRUE(t.c_iflag & IXOFF);
  EXPECT_FALSE(t.c_iflag & (IXANY | ISTRIP));
  EXPECT_TRUE(t.c_cflag & CSTOPB);
  EXPECT_TRUE((t.c_cflag & (CLOCAL | CREAD)) == (CLOCAL | CREAD));
  EXPECT_EQ(cfgetospeed(&t), B9600);
  EXPECT_FALSE(fcntl(port.NativeHandle(), F_GETFL) & O_NONBLOCK);

  // A zero pause code disables it.
  LineConfig old = SendLine();
  old.xoffChar = 0;
  old.xonChar = 0;
  old.outX = false;
  old.inX = false;
  ASSERT_TRUE(port.Configure(old));
  ASSERT_EQ(tcgetattr(port.NativeHandle(), &t), 0);
  EXPECT_EQ(t.c_cc[VSTOP], _POSIX_VDISABLE);
  EXPECT_FALSE(t.c_iflag & (IXON | IXOFF));

  ASSERT_TRUE(port.SetTimeouts({1000, 0}));
  pty.Send(std::string("\0A", 2));  // the NUL is dropped (fNull)
  uint8_t b = 0;
  ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
  EXPECT_EQ(b, 'A');
  const uint8_t out[] = {0xCF, 0xB1, 0x0A};
  ASSERT_TRUE(port.Write(out, sizeof out));
  EXPECT_EQ(pty.Receive(3), "\xCF\xB1\x0A");
  int queued = -1;
  EXPECT_TRUE(port.OutputQueueSize(&queued));
  EXPECT_GE(queued, 0);
  EXPECT_TRUE(port.Purge());
  uint32_t status = 0;
  EXPECT_FALSE(port.ModemStatus(&status)) << "a pseudo-terminal has no modem lines";
}

// A line held open is set again for every transfer: each half's data bits
// and stop bits, in any order, are taken (a pseudo-terminal, which Linux
// keeps at eight data bits, takes seven as eight), and bytes still pass.
TEST(PosixSerialPort, AHeldLineTakesEveryFormatInTurn) {
  PseudoTerminal pty;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()));
  ASSERT_TRUE(port.SetTimeouts({1000, 0}));
  const struct {
    int bits;
    StopBits stop;
  } formats[] = {{7, StopBits::kTwo}, {7, StopBits::kOne},        {8, StopBits::kOne}, {7, StopBits::kTwo},
                 {8, StopBits::kTwo}, {7, StopBits::kOneAndHalf}, {7, StopBits::kOne}, {8, StopBits::kOne}};
  for (const auto& f : formats) {
    LineConfig c = SendLine();
    c.byteSize = f.bits;
    c.stopBits = f.stop;
    ASSERT_TRUE(port.Configure(c)) << f.bits << " bits: " << port.LastError().reason;
    termios t{};
    ASSERT_EQ(tcgetattr(port.NativeHandle(), &t), 0);
    EXPECT_EQ((t.c_cflag & CSTOPB) != 0, f.stop != StopBits::kOne);
    const uint8_t out[] = {'%', 0x0A};
    ASSERT_TRUE(port.Write(out, sizeof out));
    EXPECT_EQ(pty.Receive(2), "%\n");
    pty.Send("A");
    uint8_t b = 0;
    ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
    EXPECT_EQ(b, 'A');
  }
}

TEST(PosixSerialPort, SetsFourteenThousandFourHundredBaudThroughTermios2) {
  PseudoTerminal pty;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()));
  LineConfig c = SendLine();
  c.baudRate = 14400;
  ASSERT_TRUE(port.Configure(c)) << port.LastError().reason;
  EXPECT_EQ(ReadCustomBaudRate(port.NativeHandle()), 14400);
}

TEST(PosixSerialPort, ReadTimeOutsAreKeptLoosely) {
  PseudoTerminal pty;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()));
  ASSERT_TRUE(port.Configure(SendLine()));
  uint8_t b = 0;
  ASSERT_TRUE(port.SetTimeouts({10, 0}));
  const int64_t shortWait = MillisecondsOf([&] { EXPECT_EQ(port.ReadByte(&b), ReadResult::kTimeout); });
  EXPECT_GE(shortWait, 8);
  EXPECT_LT(shortWait, 500);
  ASSERT_TRUE(port.SetTimeouts({1000, 1000}));
  const int64_t longWait = MillisecondsOf([&] { EXPECT_EQ(port.ReadByte(&b), ReadResult::kTimeout); });
  EXPECT_GE(longWait, 950);
  EXPECT_LT(longWait, 3000);
}

// Waits (bounded) until the driver holds `n` received bytes for the port, so a
// single read() takes them all.
void AwaitPending(int fd, int n) {
  const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
  int pending = 0;
  while (ioctl(fd, FIONREAD, &pending) == 0 && pending < n && std::chrono::steady_clock::now() < end) {
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  ASSERT_GE(pending, n);
}

TEST(PosixSerialPort, BytesReadTogetherComeOutOneByOneAndPurgeDropsTheRest) {
  PseudoTerminal pty;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()));
  ASSERT_TRUE(port.Configure(SendLine()));  // drops NUL bytes
  ASSERT_TRUE(port.SetTimeouts({10, 0}));
  uint8_t b = 0;

  pty.Send(std::string("\0AB\0\0C\xFF\0", 8));
  AwaitPending(port.NativeHandle(), 8);
  std::string got;
  while (port.ReadByte(&b) == ReadResult::kByte) got += static_cast<char>(b);
  EXPECT_EQ(got, "ABC\xFF");

  // Bytes already taken from the driver must not survive a purge.
  pty.Send("XYZ");
  AwaitPending(port.NativeHandle(), 3);
  ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
  EXPECT_EQ(b, 'X');
  ASSERT_TRUE(port.Purge());
  EXPECT_EQ(port.ReadByte(&b), ReadResult::kTimeout);
  pty.Send("Q");
  ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
  EXPECT_EQ(b, 'Q');

  // Without NUL dropping the same buffer hands NUL bytes out.
  LineConfig keep = SendLine();
  keep.nullDiscard = false;
  ASSERT_TRUE(port.Configure(keep));
  pty.Send(std::string("\0R", 2));
  AwaitPending(port.NativeHandle(), 2);
  ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
  EXPECT_EQ(b, 0);
  ASSERT_EQ(port.ReadByte(&b), ReadResult::kByte);
  EXPECT_EQ(b, 'R');
}

TEST(PosixSerialPort, MissingModemLinesAreReportedAlikeEveryTimeAndAfterReopening) {
  PseudoTerminal pty;
  PosixSerialPort port;
  for (int open = 0; open < 2; ++open) {
    ASSERT_TRUE(port.Open(pty.SlavePath()));
    uint32_t status = 0;
    ASSERT_FALSE(port.ModemStatus(&status));
    const PortError first = port.LastError();
    EXPECT_FALSE(port.ModemStatus(&status));
    EXPECT_EQ(port.LastError().kind, first.kind);
    EXPECT_EQ(port.LastError().systemError, first.systemError);
    // A pseudo-terminal keeps no receive error counts either: said, not zeros.
    LineErrorCounts counts;
    counts.parity = 7;
    EXPECT_FALSE(port.ErrorCounts(&counts));
    EXPECT_EQ(counts.parity, 7u);
    port.Close();
  }
  LineErrorCounts counts;
  EXPECT_FALSE(port.ErrorCounts(&counts)) << "a closed port has no counts";
}

TEST(PosixSerialPort, RefusesASecondOpenerAndAMissingDevice) {
  PseudoTerminal pty;
  PosixSerialPort first;
  ASSERT_TRUE(first.Open(pty.SlavePath()));
  PosixSerialPort second;
  EXPECT_FALSE(second.Open(pty.SlavePath()));
  EXPECT_EQ(second.LastError().kind, PortErrorKind::kInUse);
  EXPECT_FALSE(ProbePort(pty.SlavePath(), nullptr));
  first.Close();
  EXPECT_TRUE(second.Open(pty.SlavePath())) << "closing releases the port";
  second.Close();
  EXPECT_TRUE(ProbePort(pty.SlavePath(), nullptr));

  PosixSerialPort missing;
  EXPECT_FALSE(missing.Open("/dev/quelvo-no-such-port"));
  EXPECT_EQ(missing.LastError().kind, PortErrorKind::kNotFound);
  EXPECT_FALSE(missing.LastError().reason.empty());
  PortError error;
  EXPECT_FALSE(ProbePort("設定ﾎﾟｰﾄ無し", nullptr, &error));
  EXPECT_EQ(error.kind, PortErrorKind::kNotFound);
}

// A process that started before us and waits: with the device open (as a
// `cat` on the port would be) or with nothing open.
class WaitingProcess {
 public:
  explicit WaitingProcess(const std::string& device = std::string()) {
    int ready[2];
    if (pipe(ready) != 0) return;
    pid_ = fork();
    if (pid_ == 0) {
      if (!device.empty() && open(device.c_str(), O_RDWR | O_NOCTTY) < 0) _exit(1);
      const char byte = 'r';
      if (write(ready[1], &byte, 1) != 1) _exit(1);
      for (;;) pause();
    }
    char byte = 0;
    close(ready[1]);
    if (pid_ > 0 && read(ready[0], &byte, 1) != 1) Stop();
    close(ready[0]);
  }
  ~WaitingProcess() { Stop(); }
  pid_t Pid() const { return pid_; }
  void Stop() {
    if (pid_ > 0) {
      kill(pid_, SIGKILL);
      waitpid(pid_, nullptr, 0);
    }
  }

 private:
  pid_t pid_ = -1;
};

// A lock file's text as HDB UUCP writes it.
std::string LockText(pid_t pid) {
  char text[16];
  snprintf(text, sizeof text, "%10d\n", static_cast<int>(pid));
  return text;
}

std::string FileText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// A program that holds the port keeps us out, whether it has the device open
// or announced itself with a UUCP lock file; a lock file whose process is gone
// is replaced by ours, which lives as long as the port is open.
TEST(PosixSerialPort, AnotherProgramHoldingThePortKeepsItClosed) {
  PseudoTerminal pty;
  test::TempFolder locks;
  const std::string lockFile = locks.File(UucpLock::FileName(pty.SlavePath()));
  PosixSerialPort port(locks.Path());
  {
    WaitingProcess reader(pty.SlavePath());
    ASSERT_GT(reader.Pid(), 0);
    EXPECT_FALSE(port.Open(pty.SlavePath()));
    EXPECT_EQ(port.LastError().kind, PortErrorKind::kInUse);
    EXPECT_NE(PortErrorText(port.LastError()).find("他のプログラムが使用中です（pid " + std::to_string(reader.Pid())),
              std::string::npos) << PortErrorText(port.LastError());
    EXPECT_NE(access(lockFile.c_str(), F_OK), 0) << "a refused open leaves no lock file";
  }
  {
    WaitingProcess locker;
    ASSERT_GT(locker.Pid(), 0);
    std::ofstream(lockFile, std::ios::binary) << LockText(locker.Pid());
    EXPECT_FALSE(port.Open(pty.SlavePath()));
    EXPECT_EQ(port.LastError().kind, PortErrorKind::kInUse);
    EXPECT_NE(port.LastError().reason.find(lockFile), std::string::npos) << port.LastError().reason;
    EXPECT_EQ(FileText(lockFile), LockText(locker.Pid())) << "the holder's lock file is left alone";
    locker.Stop();  // its lock file stays behind, stale
  }
  ASSERT_TRUE(port.Open(pty.SlavePath())) << port.LastError().reason;
  EXPECT_EQ(FileText(lockFile), LockText(getpid()));
  port.Close();
  EXPECT_NE(access(lockFile.c_str(), F_OK), 0) << "closing removes the lock file";
}

TEST(PosixSerialPort, NotAllowedToOpenNamesTheDialoutGroup) {
  PseudoTerminal pty;
  ASSERT_EQ(chmod(pty.SlavePath().c_str(), 0600), 0);
  // Root opens any device, so the attempt runs in a child that gives up root.
  const pid_t pid = fork();
  ASSERT_GE(pid, 0);
  if (pid == 0) {
    if (geteuid() == 0) {
      if (chmod(pty.SlavePath().c_str(), 0600) != 0 || setgid(65534) != 0 || setuid(65534) != 0) _exit(3);
    } else if (chmod(pty.SlavePath().c_str(), 0) != 0) {
      _exit(3);
    }
    PosixSerialPort port;
    if (port.Open(pty.SlavePath())) _exit(1);
    if (port.LastError().kind != PortErrorKind::kNoPermission) _exit(2);
    _exit(PortErrorText(port.LastError()).find("dialout") == std::string::npos ? 4 : 0);
  }
  int status = 0;
  ASSERT_EQ(waitpid(pid, &status, 0), pid);
  ASSERT_TRUE(WIFEXITED(status));
  if (WEXITSTATUS(status) == 3) GTEST_SKIP() << "cannot give up the right to open the device here";
  EXPECT_EQ(WEXITSTATUS(status), 0) << "1 opened, 2 wrong category, 4 no dialout hint";
}

TEST(PosixSerialPort, AVanishedDeviceIsAnErrorNotATimeOut) {
  PseudoTerminal pty;
  PosixSerialPort port;
  ASSERT_TRUE(port.Open(pty.SlavePath()));
  ASSERT_TRUE(port.Configure(SendLine()));
  ASSERT_TRUE(port.SetTimeouts({1000, 0}));
  pty.CloseMaster();
  uint8_t b = 0;
  EXPECT_EQ(port.ReadByte(&b), ReadResult::kError);
  EXPECT_EQ(port.LastError().kind, PortErrorKind::kVanished);
  const uint8_t x = 'X';
  EXPECT_FALSE(port.Write(&x, 1));
  EXPECT_EQ(port.LastError().kind, PortErrorKind::kVanished);
}

TEST(PortNames, ComNamesAndDevicePaths) {
  EXPECT_EQ(ResolvePortDevice("COM1", nullptr), "/dev/ttyS0");
  EXPECT_EQ(ResolvePortDevice("COM12", nullptr), "/dev/ttyS11");
  EXPECT_EQ(ResolvePortDevice("/dev/ttyUSB0", nullptr), "/dev/ttyUSB0");
  EXPECT_EQ(ResolvePortDevice("COM0", nullptr), "");
  EXPECT_EQ(ResolvePortDevice("有効ﾎﾟｰﾄ無し", nullptr), "");

  test::TempFolder folder;
  {
    std::ofstream ini(folder.File("quelvo.INI"));
    ini << "[Setting]\r\nSetNo=1\r\n[Ports]\r\nCOM3=/dev/ttyUSB0\r\n";
  }
  IniFile programIni(folder.File("quelvo.INI"));
  EXPECT_EQ(ResolvePortDevice("COM3", &programIni), "/dev/ttyUSB0");
  EXPECT_EQ(ResolvePortDevice("COM4", &programIni), "/dev/ttyS3");
}

}  // namespace
}  // namespace quelvo
