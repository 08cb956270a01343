// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The number given with the command-line argument "N=" selects a setting by its
// place in the menu, separator not counted: 1..10 the general settings, 11 and
// 12 the two OSP settings. It maps onto the setting number (the menu tag):
// 1..5 -> 1..5, 6..10 -> 7..11, 11 -> 6, 12 -> 12.
#include <string>

namespace quelvo {

struct SettingNumberChoice {
  int setNo = 0;        // the setting to make active; 0 leaves the active one
  std::string message;  // error text to show (number above 12); empty otherwise
};

// Numbers of 0 or less change nothing and say nothing.
SettingNumberChoice SettingNumberFromArgument(int number);

}  // namespace quelvo
