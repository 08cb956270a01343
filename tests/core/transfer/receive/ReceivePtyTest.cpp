// SPDX-License-Identifier: GPL-3.0-or-later
// A reception through the real port on a pseudo-terminal: the master side
// plays the control and punches its program from a thread of its own.
#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "ReceiveFixture.h"
#include "core/port/PosixSerialPort.h"

namespace quelvo {
namespace {

class ReceivePtyTest : public ::testing::Test {
 protected:
  ReceivePtyTest() {
    master_ = posix_openpt(O_RDWR | O_NOCTTY);
    if (master_ >= 0 && grantpt(master_) == 0 && unlockpt(master_) == 0) setting.Port_R = ptsname(master_);
    mkdir(folder.c_str(), 0755);
    job.TransferFileName = temp.File("recv.nc");
    job.DirPath = folder;
    job.logFilePath = temp.File("quelvo_R.log");
    setting.Word = 1;
    setting.SE_Char = 3;
    // The first pass of the wait loop comes after the port was opened and purged.
    host.onEvents = [this] { opened = true; };
  }
  ~ReceivePtyTest() override {
    if (control.joinable()) control.join();
    if (master_ >= 0) close(master_);
  }

  // The control punches `wire` once the port is open, then hangs up when asked.
  void Punch(const std::string& wire, bool hangUp) {
    control = std::thread([this, wire, hangUp] {
      while (!opened) std::this_thread::sleep_for(std::chrono::milliseconds(5));
      size_t done = 0;
      while (done < wire.size()) {
        const ssize_t n = write(master_, wire.data() + done, wire.size() - done);
        if (n <= 0) return;
        done += static_cast<size_t>(n);
      }
      if (hangUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        close(master_);
        master_ = -1;
      }
    });
  }

  test::TempFolder temp;
  std::string folder = temp.File("dir");
  int master_ = -1;
  std::atomic<bool> opened{false};
  std::thread control;
  VirtualClock clock;
  PosixSerialPort port;
  HookedHost host{clock};
  CommLog log{[this] { return clock.Wall(); }};
  ProgramOptions options;
  CommSetting setting;
  SerialLink link{port, host, log, options};
  ReceiveEngine engine{link, host, log, options};
  ReceiveJob job;
};

TEST_F(ReceivePtyTest, LongIsoProgramArrivesWhole) {
  ASSERT_GE(master_, 0);
  std::string program = "%\nO1234\n", expected = "O1234\r\n";
  for (int n = 1; n <= 6000; ++n) {
    const std::string line = "N" + std::to_string(n) + "G01X" + std::to_string(n % 977) + ".";
    program += line + "\n";
    expected += line + "\r\n";
  }
  program += "M30\n%\n ";
  expected += "M30\r\n";
  Punch(Tape(TapeCode::ISO, program), false);
  const ReceiveOutcome outcome = engine.RunReceive(setting, job);
  EXPECT_TRUE(outcome.ReceiveCompleted);
  EXPECT_EQ(FileBytes(job.TransferFileName), expected);
}

TEST_F(ReceivePtyTest, ControlHangingUpKeepsWhatCameAndSaysWhy) {
  ASSERT_GE(master_, 0);
  std::string program = "%\nO1\n";
  for (int n = 1; n <= 300; ++n) program += "N" + std::to_string(n) + "\n";
  Punch(Tape(TapeCode::EIA, program), true);
  const ReceiveOutcome outcome = engine.RunReceive(setting, job);
  EXPECT_FALSE(outcome.ReceiveCompleted);
  EXPECT_EQ(outcome.ErrorNumber, kReceivePortLost);
  EXPECT_EQ(FileBytes(job.TransferFileName).substr(0, 8), "O1\r\nN1\r\n");
  EXPECT_NE(log.Text().find("  ポートから読み込めない為中止："), std::string::npos) << log.Text();
  EXPECT_FALSE(port.IsOpen());
}

}  // namespace
}  // namespace quelvo
