// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SettingSlots.h"

namespace quelvo {
namespace {

constexpr SettingSlot Slot(int setNo, const char* fileName, const char* menuItem,
                           int menuPosition, int argumentNumber, char shortcutKey) {
  return SettingSlot{setNo,          fileName,    menuItem,
                     menuPosition,   argumentNumber, shortcutKey,
                     kShortcutAltFlag + shortcutKey};
}

constexpr std::array<SettingSlot, kSettingCount> kSlots = {{
    Slot(1, "SetData1.ini", "Set1", 1, 1, '1'),
    Slot(2, "SetData2.ini", "Set2", 2, 2, '2'),
    Slot(3, "SetData3.ini", "Set3", 3, 3, '3'),
    Slot(4, "SetData4.ini", "Set4", 4, 4, '4'),
    Slot(5, "SetData5.ini", "Set5", 5, 5, '5'),
    Slot(6, "SetDataO.ini", "SetO", 12, 11, 'O'),
    Slot(7, "SetData6.ini", "Set6", 6, 6, '6'),
    Slot(8, "SetData7.ini", "Set7", 7, 7, '7'),
    Slot(9, "SetData8.ini", "Set8", 8, 8, '8'),
    Slot(10, "SetData9.ini", "Set9", 9, 9, '9'),
    Slot(11, "SetData10.ini", "Set10", 10, 10, 'A'),
    Slot(12, "SetDataP.ini", "SetP", 13, 12, 'P'),
}};

std::array<const SettingSlot*, kSettingCount> BuildMenuOrder() {
  std::array<const SettingSlot*, kSettingCount> order{};
  for (const SettingSlot& slot : kSlots) order[slot.argumentNumber - 1] = &slot;
  return order;
}

}  // namespace

const std::array<SettingSlot, kSettingCount>& SettingSlots() { return kSlots; }

const std::array<const SettingSlot*, kSettingCount>& SettingMenuOrder() {
  static const std::array<const SettingSlot*, kSettingCount> order = BuildMenuOrder();
  return order;
}

const SettingSlot* FindSettingSlot(int setNo) {
  if (setNo < 1 || setNo > kSettingCount) return nullptr;
  return &kSlots[static_cast<size_t>(setNo - 1)];
}

bool IsOspSetting(int setNo) { return setNo == kFirstOspSetting || setNo == kSecondOspSetting; }

CheckedSetNo CheckSetNo(int setNo) {
  if (FindSettingSlot(setNo) != nullptr) return {setNo, std::string()};
  return {1, NoSuchSettingMessage(setNo)};
}

std::string CommSettingFilePath(const std::string& folder, int setNo) {
  return folder + "/" + FindSettingSlot(CheckSetNo(setNo).setNo)->fileName;
}

std::string SetMenuCaption(const std::string& name) { return "通信設定切換(" + name + ")"; }

std::string NoSuchSettingMessage(int number) {
  return "通信設定番号\n" + std::to_string(number) + "は存在しません。";
}

}  // namespace quelvo
