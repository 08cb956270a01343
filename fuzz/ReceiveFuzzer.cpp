// SPDX-License-Identifier: GPL-3.0-or-later
// The receive engine on an in-memory port: the first bytes of the input pick
// the settings, options and modem lines, the rest is what the control sends.
// Every reception must end (the fake host throws on a runaway loop), close the
// port and leave files only in its own folder.
#include <filesystem>

#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "FuzzInput.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/receive/ReceiveEngine.h"
#include "support/FakeSerialPort.h"
#include "support/FakeTransferHost.h"

namespace {

namespace fs = std::filesystem;
using namespace quelvo;

// True when nothing but files directly in `folder` lies under `root`.
bool OnlyInside(const fs::path& root, const fs::path& folder) {
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(root)) {
    if (!entry.is_directory() && entry.path().parent_path() != folder) return false;
  }
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  fuzz::FuzzInput in(data, size);
  const fs::path root = fuzz::FuzzFolder();
  const fs::path folder = root / "a" / "b";
  fs::remove_all(root / "a");
  fs::create_directories(folder);

  VirtualClock clock;
  FakeSerialPort port{clock};
  FakeTransferHost host{clock};
  host.runawayMs = 60000;
  CommLog log{[&clock] { return clock.Wall(); }};
  ProgramOptions options;
  options.saveStoppedReception = in.Chance(50);
  options.watchDsr = in.Chance(20);
  options.pauseCode0x93 = in.Chance(50);
  CommSetting setting;
  setting.Code_R = in.Between(-1, 4);
  setting.Speed_R = in.Between(0, 5);
  setting.STbit_R = in.Between(0, 2);
  setting.Word = in.Between(-1, 3);
  setting.Change = in.Between(0, 3);
  setting.EndCode = in.Between(0, 3);
  setting.SE_Char = in.Between(0, 4);
  setting.Signal_R = in.Between(0, 1);
  port.dsr = in.Chance(80);
  port.dcd = in.Chance(90);
  port.modemReadable = in.Chance(80);
  const bool stopKey = in.Chance(50);
  const int stopAt = in.Between(0, 255) * 100;
  const int laterAt = 2 + in.Between(0, 255) * 80;
  const int split = in.Between(0, 255);

  ReceiveJob job;
  job.TransferFileName = (folder / (in.Chance(50) ? "osp_data.tmp" : "recv.nc")).string();
  job.DirPath = folder.string();
  job.ospSetting = in.Chance(30);
  job.logFilePath = (folder / "quelvo_R.log").string();

  const std::string stream = in.Rest();
  const size_t first = std::min(stream.size(), static_cast<size_t>(split) * 8);
  port.QueueIncoming(stream.substr(0, first), 1);
  if (first < stream.size()) port.QueueIncoming(stream.substr(first), laterAt);
  if (stopKey) host.HoldKeyFrom(StopKey::kEsc, stopAt);

  SerialLink link{port, host, log, options};
  host.Watch(link.Stops());
  ReceiveEngine engine{link, host, log, options};
  engine.RunReceive(setting, job);
  fuzz::Check(!port.IsOpen(), "the reception closes the port");
  fuzz::Check(OnlyInside(root, folder), "files are written only in the receive folder");
  return 0;
}
