// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/SettingSlots.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "core/settings/ActiveSetting.h"
#include "core/settings/ProgramSettings.h"
#include "core/settings/SettingNumberArgument.h"

namespace quelvo {
namespace {

TEST(SettingSlots, FilesMenuItemsAndShortcutsBySettingNumber) {
  struct Row {
    const char* file;
    const char* item;
    int shortcut;
  };
  const Row rows[kSettingCount] = {
      {"SetData1.ini", "Set1", 32817},  {"SetData2.ini", "Set2", 32818},
      {"SetData3.ini", "Set3", 32819},  {"SetData4.ini", "Set4", 32820},
      {"SetData5.ini", "Set5", 32821},  {"SetDataO.ini", "SetO", 32847},
      {"SetData6.ini", "Set6", 32822},  {"SetData7.ini", "Set7", 32823},
      {"SetData8.ini", "Set8", 32824},  {"SetData9.ini", "Set9", 32825},
      {"SetData10.ini", "Set10", 32833}, {"SetDataP.ini", "SetP", 32848},
  };
  for (int setNo = 1; setNo <= kSettingCount; ++setNo) {
    const SettingSlot* slot = FindSettingSlot(setNo);
    ASSERT_NE(slot, nullptr);
    EXPECT_EQ(slot->setNo, setNo);
    EXPECT_STREQ(slot->fileName, rows[setNo - 1].file);
    EXPECT_STREQ(slot->menuItem, rows[setNo - 1].item);
    EXPECT_EQ(slot->shortcutCode, rows[setNo - 1].shortcut);
    EXPECT_EQ(IsOspSetting(setNo), setNo == 6 || setNo == 12);
    // The name key and the menu item share their suffix (Set6 / SetName6).
    EXPECT_EQ(SetNameKey(setNo), "SetName" + std::string(slot->menuItem + 3));
  }
  EXPECT_EQ(FindSettingSlot(0), nullptr);
  EXPECT_EQ(FindSettingSlot(13), nullptr);
  EXPECT_EQ(CommSettingFilePath("/x", 6), "/x/SetDataO.ini");
}

TEST(SettingSlots, MenuOrderPutsTheOspSettingsLast) {
  const int tags[kSettingCount] = {1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 6, 12};
  for (int i = 0; i < kSettingCount; ++i) {
    const SettingSlot* slot = SettingMenuOrder()[i];
    EXPECT_EQ(slot->setNo, tags[i]) << i;
    EXPECT_EQ(slot->argumentNumber, i + 1);
    EXPECT_EQ(slot->menuPosition, i < kSettingMenuSeparatorIndex ? i + 1 : i + 2);
  }
  EXPECT_STREQ(SettingMenuOrder()[kSettingMenuSeparatorIndex]->menuItem, "SetO");
}

TEST(SettingSlots, CaptionAndUnknownNumbers) {
  EXPECT_EQ(SetMenuCaption("設定１"), "通信設定切換(設定１)");
  EXPECT_EQ(CheckSetNo(12).setNo, 12);
  EXPECT_TRUE(CheckSetNo(12).message.empty());
  const CheckedSetNo bad = CheckSetNo(40);
  EXPECT_EQ(bad.setNo, 1);
  EXPECT_EQ(bad.message, "通信設定番号\n40は存在しません。");
  EXPECT_EQ(CheckSetNo(-2).setNo, 1);
}

TEST(SettingNumberArgument, MapsMenuPlacesToSettingNumbers) {
  const int expected[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 6, 12};
  for (int n = 1; n <= 12; ++n) {
    const SettingNumberChoice choice = SettingNumberFromArgument(n);
    EXPECT_EQ(choice.setNo, expected[n]) << n;
    EXPECT_TRUE(choice.message.empty());
  }
  for (int n : {0, -1}) {
    EXPECT_EQ(SettingNumberFromArgument(n).setNo, 0);
    EXPECT_TRUE(SettingNumberFromArgument(n).message.empty());
  }
  const SettingNumberChoice tooLarge = SettingNumberFromArgument(13);
  EXPECT_EQ(tooLarge.setNo, 0);
  EXPECT_EQ(tooLarge.message, "通信設定番号\n13は存在しません。");
}

TEST(ActiveSetting, CopiesTheHalfOfTheDirection) {
  CommSetting s;
  s.Port_R = "COM2"; s.Speed_R = 2; s.Code_R = 3; s.STbit_R = 0; s.Signal_R = 1;
  s.Buff_R = 5; s.Control_R = 1; s.Change = 2; s.Word = 1; s.RSignal = 1; s.EndCode = 2;
  s.SE_Char = 2;
  s.Port_S = "COM3"; s.Speed_S = 4; s.Code_S = 2; s.STbit_S = 1; s.Signal_S = 1;
  s.Buff_S = 7; s.Control_S = 2; s.StartChar = 6; s.EndChar = 1; s.Feed = 2; s.InvTime = 30;
  s.ChkCount = 9; s.CRLF_Type = 1;

  const ActiveSetting r = MakeActiveSetting(s, TransferDirection::Receive);
  EXPECT_EQ(r.direction, TransferDirection::Receive);
  EXPECT_EQ(r.Port, "COM2");
  EXPECT_EQ((std::vector<int>{r.Speed, r.Code, r.STbit, r.Change, r.Word, r.Signal, r.RSignal,
                              r.Buff, r.EndCode, r.Control, r.SE_Char}),
            (std::vector<int>{2, 3, 0, 2, 1, 1, 1, 5, 2, 1, 2}));
  EXPECT_EQ(r.InvTime, 0);

  const ActiveSetting w = MakeActiveSetting(s, TransferDirection::Send);
  EXPECT_EQ(w.Port, "COM3");
  EXPECT_EQ((std::vector<int>{w.Speed, w.Code, w.STbit, w.Signal, w.StartChar, w.EndChar, w.Feed,
                              w.Buff, w.InvTime, w.Control, w.ChkCount, w.CRLF_Type}),
            (std::vector<int>{4, 2, 1, 1, 6, 1, 2, 7, 30, 2, 9, 1}));
  EXPECT_EQ(w.SE_Char, 0);
}

}  // namespace
}  // namespace quelvo
