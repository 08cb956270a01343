// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A SerialLink on a fake port and a fake host sharing one virtual clock.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "core/transfer/link/SerialLink.h"
#include "support/FakeSerialPort.h"
#include "support/FakeTransferHost.h"

namespace quelvo {

class LinkFixture : public ::testing::Test {
 protected:
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

  VirtualClock clock;
  FakeSerialPort port{clock};
  FakeTransferHost host{clock};
  CommLog log{[this] { return clock.Wall(); }};
  ProgramOptions options;
  CommSetting setting;
  SerialLink link{port, host, log, options};
  // The scripted keys reach the link as the window's keys do: as stop requests.
  const bool watched = (host.Watch(link.Stops()), true);
};

}  // namespace quelvo
