// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which settings-dialog lists a tape device makes meaningless. With speed
// position 5 the receive half reads from a tape reader and the send half
// punches tape; the line is then fixed, so the lists that would set it are
// disabled (their labels drawn in red), and the tape-only lists enabled.
#include "core/settings/CommSetting.h"

namespace quelvo {

enum class TapeRole {
  Unaffected,       // port, flow control, "%" and the rest
  LineParameter,    // disabled for a tape device, enabled otherwise
  TapeOnly,         // enabled for a tape device, disabled otherwise
  EnabledOffTape,   // enabled for other speeds, left as it is for a tape device
};

enum class TapeEffect { Leave, Enable, Disable };

TapeEffect TapeRuleEffect(TapeRole role, int speed);

}  // namespace quelvo
