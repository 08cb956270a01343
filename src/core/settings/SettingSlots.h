// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The twelve communication setting slots. A slot is identified by its setting
// number (1..12), which is also the tag of its menu item; the menu lists the ten
// general settings first and the two OSP settings (numbers 6 and 12) last, after
// a separator. The name of a slot lives in the program settings file under the
// key SetNameKey(setNo) (ProgramSettings.h).
#include <array>
#include <string>

namespace quelvo {

constexpr int kSettingCount = 12;
constexpr int kFirstOspSetting = 6;
constexpr int kSecondOspSetting = 12;
// Alt flag of a stored shortcut: the shortcut code is this plus the key's character.
constexpr int kShortcutAltFlag = 32768;

struct SettingSlot {
  int setNo;             // 1..12, the menu item's tag
  const char* fileName;  // in the program folder, e.g. "SetDataO.ini"
  const char* menuItem;  // menu item name, e.g. "SetO"
  int menuPosition;      // 1..13 in the menu, the separator being position 11
  int argumentNumber;    // the number that selects it on the command line ("N=")
  char shortcutKey;      // Alt + this key: '1'..'9', 'A', 'O', 'P'
  int shortcutCode;      // kShortcutAltFlag + shortcutKey
};

// Ordered by setting number: SettingSlots()[n - 1] is setting n.
const std::array<SettingSlot, kSettingCount>& SettingSlots();
// Ordered as the menu shows them; the separator stands before kSettingMenuSeparatorIndex.
const std::array<const SettingSlot*, kSettingCount>& SettingMenuOrder();
constexpr int kSettingMenuSeparatorIndex = 10;  // index into SettingMenuOrder() (SetO)
constexpr int kSettingMenuSeparatorPosition = 11;

// nullptr when setNo is outside 1..12.
const SettingSlot* FindSettingSlot(int setNo);
bool IsOspSetting(int setNo);

// A stored setting number outside 1..12 (a hand-edited program settings file)
// has no slot. The program then uses setting 1 and tells the user with the same
// text that a wrong "N=" number gets.
struct CheckedSetNo {
  int setNo;            // setNo itself when valid, otherwise 1
  std::string message;  // empty when valid
};
CheckedSetNo CheckSetNo(int setNo);

// The full path of a slot's file in `folder`; a number outside 1..12 stands for
// setting 1, as CheckSetNo decides.
std::string CommSettingFilePath(const std::string& folder, int setNo);

// Caption of the "通信設定" menu while setting `name` is active.
std::string SetMenuCaption(const std::string& name);

// "通信設定番号\n" + number + "は存在しません。"
std::string NoSuchSettingMessage(int number);

}  // namespace quelvo
