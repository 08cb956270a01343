// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SettingNumberArgument.h"

#include "core/settings/SettingSlots.h"

namespace quelvo {

SettingNumberChoice SettingNumberFromArgument(int number) {
  SettingNumberChoice choice;
  if (number <= 0) return choice;
  if (number > kSettingCount) {
    choice.message = NoSuchSettingMessage(number);
    return choice;
  }
  for (const SettingSlot& slot : SettingSlots()) {
    if (slot.argumentNumber == number) choice.setNo = slot.setNo;
  }
  return choice;
}

}  // namespace quelvo
