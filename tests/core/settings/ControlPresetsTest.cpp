// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ControlPresets.h"

#include <gtest/gtest.h>

#include <set>
#include <string>

#include "core/settings/CommSettingFields.h"
#include "core/settings/CommSettingFile.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

// The label states what the line does; a preset whose figures drift from its
// fields would send a machinist to the wrong parameter values.
TEST(ControlPresets, LabelsStateTheSendHalfAndEveryPresetSurvivesItsFile) {
  const char* labels[] = {
      "一般的なISO制御 (9600, 7E2, DC1/DC3)",
      "旧型のISO制御 (4800, 7E2, DC1/DC3)",
      "PC型・小型ﾏｼﾆﾝｸﾞｾﾝﾀ制御 (9600, 7E1, DC1/DC3)",
      "RTS/CTS手順の制御 (19200, 7E2, RTS/CTS)",
      "EIAｺｰﾄﾞの旧型制御 (4800, EIA2, DC1/DC3)",
      "ASCII(ﾊﾟﾘﾃｨ無し)の制御 (9600, 7N1, DC1/DC3)",
  };
  const std::vector<ControlPreset>& presets = ControlPresets();
  ASSERT_EQ(presets.size(), std::size(labels));
  test::TempFolder folder;
  std::set<std::string> kinds;
  for (size_t i = 0; i < presets.size(); ++i) {
    SCOPED_TRACE(presets[i].kind);
    EXPECT_EQ(PresetLabel(presets[i]), labels[i]);
    EXPECT_TRUE(kinds.insert(presets[i].kind).second) << "two presets of one kind";
    // Every index field holds an item its list offers, so the settings
    // dialog can show it.
    for (const CommSettingField& field : CommSettingFields()) {
      if (field.IsText() || field.choices.empty()) continue;
      const int value = presets[i].setting.*field.intMember;
      EXPECT_GE(value, 0) << field.key;
      EXPECT_LT(static_cast<size_t>(value), field.choices.size()) << field.key;
    }
    // Saved into a slot and read back, the preset is unchanged: nothing of it
    // is lost to the file or to the normalisation a save applies.
    CommSetting saved = presets[i].setting;
    std::string error;
    ASSERT_TRUE(SaveCommSetting(folder.Path(), 1, saved, &error)) << error;
    EXPECT_TRUE(LoadCommSetting(folder.Path(), 1) == presets[i].setting);
    // Both halves agree on the line: a control talks at one speed and format.
    EXPECT_EQ(saved.Speed_R, saved.Speed_S);
    EXPECT_EQ(saved.STbit_R, saved.STbit_S);
  }
}

TEST(ControlPresets, ApplyingKeepsThePortsAndTheMailNotice) {
  CommSetting target;
  target.Port_R = "/dev/ttyUSB0";
  target.Port_S = "tcp://10.0.0.5:4001";
  target.Mail_Flg = "Y";
  target.Mail_Address = "shop@example.org";
  target.Mail_Subject = "送信完了";
  target.Speed_S = 0;
  target.ChkCount = 7;
  const ControlPreset& preset = ControlPresets().at(3);
  const CommSetting applied = ApplyPreset(preset, target);
  EXPECT_EQ(applied.Port_R, "/dev/ttyUSB0");
  EXPECT_EQ(applied.Port_S, "tcp://10.0.0.5:4001");
  EXPECT_EQ(applied.Mail_Flg, "Y");
  EXPECT_EQ(applied.Mail_Address, "shop@example.org");
  EXPECT_EQ(applied.Mail_Subject, "送信完了");
  CommSetting expected = preset.setting;
  expected.Port_R = target.Port_R;
  expected.Port_S = target.Port_S;
  expected.Mail_Flg = target.Mail_Flg;
  expected.Mail_Address = target.Mail_Address;
  expected.Mail_Subject = target.Mail_Subject;
  EXPECT_TRUE(applied == expected);
}

}  // namespace
}  // namespace quelvo
