// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A receive engine on a fake port and a fake host sharing one virtual clock,
// receiving into a fresh temporary folder.
#include <dirent.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "core/transfer/TapeCode.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/receive/ReceiveEngine.h"
#include "support/FakeSerialPort.h"
#include "support/FakeTransferHost.h"
#include "support/TempFolder.h"

namespace quelvo {

// The fake host with hooks, so a test can act while the engine runs.
class HookedHost : public FakeTransferHost {
 public:
  using FakeTransferHost::FakeTransferHost;
  void Idle() override {
    FakeTransferHost::Idle();
    if (onEvents) onEvents();
  }
  void SetProgressPosition(int64_t position) override {
    FakeTransferHost::SetProgressPosition(position);
    if (onProgress) onProgress(position);
  }
  void SetProgramLine(const std::string& text) override {
    FakeTransferHost::SetProgramLine(text);
    if (onProgramLine) onProgramLine(text);
  }
  MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageKind kind,
                            MessageButtons buttons) override {
    if (onMessage) onMessage(text);
    return FakeTransferHost::ShowMessage(text, caption, kind, buttons);
  }
  std::function<void()> onEvents;
  std::function<void(const std::string&)> onMessage;
  std::function<void(int64_t)> onProgress;
  std::function<void(const std::string&)> onProgramLine;
};

// `text` as the control punches it in `code` (characters the code lacks vanish).
inline std::string Tape(TapeCode code, const std::string& text) {
  std::string wire;
  for (char c : text) {
    if (const auto byte = EncodeChar(code, static_cast<uint8_t>(c))) wire += static_cast<char>(*byte);
  }
  return wire;
}

inline std::string FileBytes(const std::string& path) {
  std::string bytes, error;
  return ReadWholeFile(path, &bytes, &error) ? bytes : std::string("<missing>");
}

inline bool Exists(const std::string& path) { return access(path.c_str(), F_OK) == 0; }

// Names in a folder, "." and ".." left out.
inline std::vector<std::string> FolderEntries(const std::string& folder) {
  std::vector<std::string> names;
  if (DIR* dir = opendir(folder.c_str())) {
    while (const dirent* entry = readdir(dir)) {
      const std::string name = entry->d_name;
      if (name != "." && name != "..") names.push_back(name);
    }
    closedir(dir);
  }
  return names;
}

class ReceiveFixture : public ::testing::Test {
 protected:
  ReceiveFixture() {
    mkdir(dirPath.c_str(), 0755);
    job.TransferFileName = temp.File("recv.nc");
    job.DirPath = dirPath;
    job.versionSuffix = " Ver1.47";
    job.logFilePath = temp.File("quelvo_R.log");
    setting.Signal_R = 0;
    setting.SE_Char = 3;
    setting.Word = 1;
  }

  // Queues `wire` just after the port is opened (opening purges what came
  // before) and runs one reception.
  ReceiveOutcome Receive(const std::string& wire) {
    if (!wire.empty()) port.QueueIncoming(wire, clock.nowMs + 1);
    return engine.RunReceive(setting, job);
  }

  // The log's lines without their date and time and line feed.
  std::vector<std::string> LogLines() const {
    std::vector<std::string> lines;
    const std::string& text = log.Text();
    size_t start = 0;
    while (start < text.size()) {
      const size_t end = text.find('\n', start);
      lines.push_back(text.substr(start + 19, end - start - 19));
      start = end + 1;
    }
    return lines;
  }

  // The log lines from `first` on.
  std::vector<std::string> LogFrom(const std::string& first) const {
    const std::vector<std::string> all = LogLines();
    for (size_t i = 0; i < all.size(); ++i) {
      if (all[i] == first) return std::vector<std::string>(all.begin() + static_cast<long>(i), all.end());
    }
    return {};
  }

  test::TempFolder temp;
  std::string dirPath = temp.File("dir");
  VirtualClock clock;
  FakeSerialPort port{clock};
  HookedHost host{clock};
  CommLog log{[this] { return clock.Wall(); }};
  ProgramOptions options;
  CommSetting setting;
  SerialLink link{port, host, log, options};
  const bool watched = (host.Watch(link.Stops()), true);
  ReceiveEngine engine{link, host, log, options};
  ReceiveJob job;
};

}  // namespace quelvo
