// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One reception from the simulated NC control: ncsim punches a program file
// through a pseudo-terminal, and the receive engine takes it through the real
// port code (AnySerialPort, SerialLink) into a file. The window is the fake
// host on a virtual clock, so the engine's designed waits cost nothing; the
// line itself runs in real time, without line-speed pacing.
#include <memory>
#include <string>
#include <vector>

#include "core/port/AnySerialPort.h"
#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"
#include "core/transfer/CommLog.h"
#include "core/transfer/link/SerialLink.h"
#include "core/transfer/receive/ReceiveEngine.h"
#include "support/FakeTransferHost.h"
#include "support/VirtualClock.h"

namespace quelvo::ncsim::test {
class NcsimProcess;
}

namespace quelvo::test {

class NcsimReceiveRig {
 public:
  // `folder` holds the link, the received file and the log.
  explicit NcsimReceiveRig(const std::string& folder);
  ~NcsimReceiveRig();

  // Starts ncsim punching `programPath` in `code` ("iso" or "eia") once the
  // port is open; with dropAfter >= 0 it hangs up after that many bytes.
  // False when ncsim did not publish its line.
  // `extraArgs` go to ncsim after the rig's own (a later option wins).
  bool StartControl(const std::string& programPath, const std::string& code, long dropAfter = -1,
                    const std::vector<std::string>& extraArgs = {});
  // The control's line (setting.Port_R unless a test points that elsewhere,
  // such as at a device server in front of this line).
  const std::string& LinkPath() const { return linkPath_; }
  // Receives into `target` (setting: automatic code, spaces deleted, no "%"
  // added, start without the control's signal).
  ReceiveOutcome Receive(const std::string& target);
  // The report line of ncsim that starts with `prefix`, waiting up to timeoutMs.
  std::string ControlReport(const std::string& prefix, int timeoutMs);

  VirtualClock clock;
  FakeTransferHost host{clock};
  CommLog log{[this] { return clock.Wall(); }};
  ProgramOptions options;
  CommSetting setting;

 private:
  std::string folder_;
  std::string linkPath_;
  std::unique_ptr<ncsim::test::NcsimProcess> control_;
  AnySerialPort port_;
  SerialLink link_{port_, host, log, options};
  ReceiveEngine engine_{link_, host, log, options};
};

}  // namespace quelvo::test
