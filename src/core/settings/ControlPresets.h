// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Named, read-only starting points for the communication setting of common
// kinds of NC control. A preset is a whole setting; applying one to a slot
// keeps what belongs to the PC and the user rather than to the control: the
// two ports and the mail notice.
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"

namespace quelvo {

struct ControlPreset {
  std::string kind;      // what kind of control it suits, e.g. "一般的なISO制御"
  CommSetting setting;   // every field set; ports left at their defaults
};

const std::vector<ControlPreset>& ControlPresets();

// "一般的なISO制御 (9600, 7E2, DC1/DC3)": the kind, then speed, character
// format and handshake of the send half as the control's manual states them.
std::string PresetLabel(const ControlPreset& preset);

// The character format a half's code and stop bits give on the line, written
// the way control manuals write it: "7E2" for ISO (even parity in bit 8),
// "7N1" for ASCII, "EIA2" for EIA (odd parity in channel 5).
std::string LineFormatText(int sendCode, int stopBitIndex);

// `target` with every field of the preset except the ports and the mail notice.
CommSetting ApplyPreset(const ControlPreset& preset, const CommSetting& target);

}  // namespace quelvo
