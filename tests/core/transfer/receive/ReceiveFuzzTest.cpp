// SPDX-License-Identifier: GPL-3.0-or-later
// Arbitrary byte streams and settings for a few seconds: the engine must end
// every reception without crashing and never write outside its folder.
#include <sys/stat.h>

#include <cerrno>
#include <chrono>
#include <filesystem>
#include <random>

#include "ReceiveFixture.h"

namespace quelvo {
namespace {

// Characters that steer the engine, so random streams reach its branches.
const std::string kInteresting = "%$OL:NG()/.\\ 0123456789XMT&HEFW\"\n\r\x14\x18\x11\x13";

std::string RandomStream(std::mt19937& rng) {
  std::uniform_int_distribution<int> length(0, 600), pick(0, 9), byte(0, 255);
  std::uniform_int_distribution<size_t> interesting(0, kInteresting.size() - 1);
  const TapeCode code = static_cast<TapeCode>(std::uniform_int_distribution<int>(0, 3)(rng));
  std::string stream;
  for (int n = length(rng); n > 0; --n) {
    if (pick(rng) < 7) {
      const char c = kInteresting[interesting(rng)];
      stream += code == TapeCode::Undecided ? std::string(1, c) : Tape(code, std::string(1, c));
    } else {
      stream += static_cast<char>(byte(rng));
    }
  }
  return stream;
}

bool OnlyInside(const std::string& root, const std::string& folder) {
  std::error_code error;
  for (auto it = std::filesystem::recursive_directory_iterator(root, error);
       it != std::filesystem::recursive_directory_iterator(); it.increment(error)) {
    if (!it->is_directory() && it->path().parent_path() != folder) {
      ADD_FAILURE() << it->path() << " lies outside " << folder;
      return false;
    }
  }
  return true;
}

TEST(ReceiveFuzz, ArbitraryStreamsAndSettingsEndCleanlyInsideTheFolder) {
  // Every reception saves its log with fsync: many more runs fit into the
  // time on a memory file system.
  const test::TempFolder temp(test::MemoryTempBase());
  const std::string folder = temp.File("a/b");
  std::filesystem::create_directories(folder);
  std::mt19937 rng(20261207);
  auto chance = [&rng](int percent) { return std::uniform_int_distribution<int>(0, 99)(rng) < percent; };
  auto between = [&rng](int low, int high) { return std::uniform_int_distribution<int>(low, high)(rng); };

  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(3);
  int runs = 0;
  // A few seconds, and at least a few dozen receptions on a slow machine.
  while (runs < 40 || (std::chrono::steady_clock::now() < deadline && runs < 20000)) {
    ++runs;
    VirtualClock clock;
    FakeSerialPort port{clock};
    HookedHost host{clock};
    CommLog log{[&clock] { return clock.Wall(); }};
    ProgramOptions options;
    options.saveStoppedReception = chance(50);
    options.watchDsr = chance(20);
    options.pauseCode0x93 = chance(50);
    CommSetting setting;
    setting.Code_R = between(-1, 4);
    setting.Speed_R = between(0, 5);
    setting.STbit_R = between(0, 2);
    setting.Word = between(-1, 3);
    setting.Change = between(0, 3);
    setting.EndCode = between(0, 3);
    setting.SE_Char = between(0, 4);
    setting.Signal_R = between(0, 1);
    port.dsr = chance(80);
    port.dcd = chance(90);
    port.modemReadable = chance(80);
    SerialLink link{port, host, log, options};
    host.Watch(link.Stops());
    ReceiveEngine engine{link, host, log, options};
    ReceiveJob job;
    job.TransferFileName = folder + (chance(50) ? "/osp_data.tmp" : "/recv.nc");
    job.DirPath = folder;
    job.ospSetting = chance(30);
    job.logFilePath = folder + "/quelvo_R.log";

    port.QueueIncoming(RandomStream(rng), 1);
    if (chance(30)) port.QueueIncoming(RandomStream(rng), between(2, 20000));
    if (chance(60)) host.HoldKeyFrom(chance(50) ? StopKey::kEsc : StopKey::kF3, between(0, 30000));
    if (chance(10)) {
      const int64_t at = between(0, 5000);
      host.onEvents = [&port, &clock, at] {
        if (clock.nowMs >= at) port.readErrno = EIO;
      };
    }
    host.runawayMs = 60000;

    EXPECT_NO_THROW(engine.RunReceive(setting, job));
    EXPECT_FALSE(port.IsOpen());
    if (!OnlyInside(temp.Path(), folder)) break;
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  RecordProperty("runs", runs);
}

}  // namespace
}  // namespace quelvo
