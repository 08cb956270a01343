// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A send engine wired to the fakes: an in-memory port, a fake window and a
// virtual clock, with the program folder (for the log file) in a fresh folder.
// The setting starts on the control's signal; StartOnDc1 scripts that signal.
#include <cstdlib>
#include <string>
#include <vector>

#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/TapeCode.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/send/SendEngine.h"
#include "support/FakeSendHost.h"
#include "support/FakeSerialPort.h"
#include "support/FakeTransferHost.h"
#include "support/TempFolder.h"
#include "support/VirtualClock.h"

namespace quelvo::test {

class ScopedProgramFolder {
 public:
  explicit ScopedProgramFolder(const std::string& path) {
    const char* old = std::getenv("QUELVO_HOME");
    hadOld_ = old != nullptr;
    if (hadOld_) old_ = old;
    setenv("QUELVO_HOME", path.c_str(), 1);
  }
  ~ScopedProgramFolder() {
    if (hadOld_) {
      setenv("QUELVO_HOME", old_.c_str(), 1);
    } else {
      unsetenv("QUELVO_HOME");
    }
  }

 private:
  bool hadOld_ = false;
  std::string old_;
};

// The program options with op1 "Y" (選択送信), decoded as the window decodes them.
inline ProgramOptions SelectiveSendOptions() {
  StoredOptions stored;
  stored.op1 = "Y";
  return DecodeOptions(stored);
}

struct SendRig {
  TempFolder folder;
  ScopedProgramFolder programFolder{folder.Path()};
  VirtualClock clock;
  FakeSerialPort port{clock};
  FakeTransferHost host{clock};
  FakeSendHost window{host};
  CommLog log{[this] { return host.Now(); }};
  ProgramOptions options;
  SerialLink link{port, host, log, options};
  const bool watched = (host.Watch(link.Stops()), true);
  SendEngine engine{link, host, log, options};
  SendJob job;

  SendRig() {
    job.CurrentFileName = "/home/op/part1.nc";
    job.VersionSuffix = " Ver1.47";
    host.runawayMs = 10 * 60 * 1000;
  }

  // The control's start signal, due just after the port is opened.
  void StartOnDc1(int64_t atMs = 1) { port.QueueIncoming("\x11", atMs); }

  // Runs the send of the fake host's lines (the document as the window held
  // it, its modified mark from the fake window); returns the bytes written to
  // the line.
  std::string Send() {
    job.DocumentModified = window.modified;
    engine.RunSend(job, host.lines);
    return port.written;
  }

  // The log's texts without their date and time, one per line.
  std::vector<std::string> LogTexts() const {
    std::vector<std::string> texts;
    const std::string& text = log.Text();
    size_t pos = 0;
    while (pos < text.size()) {
      const size_t end = text.find('\n', pos);
      texts.push_back(text.substr(pos + 19, end - pos - 19));
      pos = end + 1;
    }
    return texts;
  }
};

// `text` as the line carries it in `code` (characters without a byte are left out).
inline std::string Wire(TapeCode code, const std::string& text) {
  std::string out;
  for (const char ch : text) {
    if (const auto byte = EncodeChar(code, static_cast<uint8_t>(ch))) out += static_cast<char>(*byte);
  }
  return out;
}

}  // namespace quelvo::test
