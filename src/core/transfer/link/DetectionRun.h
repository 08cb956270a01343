// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One detection of a control's line settings on a port: the user punches a
// program at the control once per listening; each punch is heard at the
// detector's next speed until it is done (see LineDetect.h). The result is a
// proposal for the receive half of a setting: nothing is saved here.
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "core/port/SerialPort.h"
#include "core/settings/CommSetting.h"
#include "core/transfer/LineDetect.h"

namespace quelvo {

// The speeds of the settings' speed list, in list order (Speed_R 0..4).
const std::vector<int>& OfferedSpeeds();

struct DetectionCallbacks {
  // Asked between reads; false ends the detection (the user's stop).
  std::function<bool()> keepGoing;
  // A new listening begins: punch number (1, 2, ...), speed and data bits.
  std::function<void(int punch, int speed, int dataBits)> listening;
};

// Listens on `device` through `port` until the detector is done; nullopt when
// stopped or when the port failed (*error then says why). A raw TCP port
// keeps its device server's speed: only the code is found.
std::optional<LineDetection> RunLineDetection(SerialPort& port, const std::string& device, int settingSpeedIndex,
                                              const DetectionCallbacks& callbacks, std::string* error);

// `setting` with the found line in its receive half: speed (unless
// `keepSpeed`), the code, and two stop bits (the bytes never show the stop
// size, and a control set to one reads two as a short pause). Needs a found
// speed and a single code.
CommSetting ProposedReceiveHalf(CommSetting setting, const LineDetection& found, bool keepSpeed);

// The proposal in the user's words, several lines.
std::string DetectionProposalText(const LineDetection& found, bool keepSpeed);

}  // namespace quelvo
