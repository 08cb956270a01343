// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/TapeDeviceRule.h"

namespace quelvo {

TapeEffect TapeRuleEffect(TapeRole role, int speed) {
  const bool tape = speed == kTapeDeviceSpeed;
  switch (role) {
    case TapeRole::LineParameter:
      return tape ? TapeEffect::Disable : TapeEffect::Enable;
    case TapeRole::TapeOnly:
      return tape ? TapeEffect::Enable : TapeEffect::Disable;
    case TapeRole::EnabledOffTape:
      return tape ? TapeEffect::Leave : TapeEffect::Enable;
    case TapeRole::Unaffected:
      break;
  }
  return TapeEffect::Leave;
}

}  // namespace quelvo
