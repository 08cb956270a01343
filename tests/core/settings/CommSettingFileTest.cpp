// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/CommSettingFile.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

#include "core/common/Cp932.h"
#include "core/settings/CommSettingFields.h"
#include "core/settings/SettingSlots.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

namespace fs = std::filesystem;

class CommSettingFileTest : public ::testing::Test {
 protected:
  void WriteFile(const std::string& name, const std::string& utf8) {
    std::ofstream(temp_.File(name), std::ios::binary) << Utf8ToCp932(utf8);
  }
  std::string ReadFile(const std::string& name) {
    std::ifstream in(temp_.File(name), std::ios::binary);
    std::stringstream bytes;
    bytes << in.rdbuf();
    return Cp932ToUtf8(bytes.str());
  }

  test::TempFolder temp_;
  const std::string folder_ = temp_.Path();
};

// A record with every field away from its default.
CommSetting EveryFieldChanged() {
  CommSetting s;
  s.Speed_R = 4; s.Code_R = 2; s.STbit_R = 0; s.Port_R = "COM7"; s.Change = 1; s.Word = 2;
  s.Signal_R = 1; s.RSignal = 1; s.Buff_R = 6; s.EndCode = 2; s.Control_R = 1; s.SE_Char = 0;
  s.Speed_S = 3; s.Code_S = 1; s.STbit_S = 0; s.Port_S = "/dev/ttyUSB0"; s.Signal_S = 1;
  s.StartChar = 7; s.EndChar = 2; s.Feed = 3; s.Buff_S = 19; s.InvTime = 250; s.Control_S = 2;
  s.ChkCount = 29; s.CRLF_Type = 3; s.DNC_Send = 1; s.SendMsg = "ＡＢＣ"; s.F_non = "Y";
  s.N_non = "Y"; s.Mail_Flg = "Y"; s.Mail_Address = "cell@example.org";
  s.Mail_Subject = "送信完了";
  return s;
}

TEST_F(CommSettingFileTest, EmptyFolderGivesDefaultsInEverySlot) {
  for (int setNo = 1; setNo <= kSettingCount; ++setNo) {
    const CommSetting s = LoadCommSetting(folder_, setNo);
    EXPECT_EQ(s, CommSetting()) << setNo;
  }
  const CommSetting s = LoadCommSetting(folder_, 1);
  EXPECT_EQ(s.Port_R, "COM1");
  EXPECT_EQ(s.Port_S, "COM1");
  EXPECT_EQ(ChoicesOf(&CommSetting::Speed_R)[s.Speed_R], "4800");
  EXPECT_EQ(ChoicesOf(&CommSetting::Speed_S)[s.Speed_S], "4800");
  EXPECT_EQ(ChoicesOf(&CommSetting::Code_R)[s.Code_R], "EIAまたはISOｺｰﾄﾞ（自動判別）");
  EXPECT_EQ(ChoicesOf(&CommSetting::Code_S)[s.Code_S], "ISO");
  EXPECT_EQ(ChoicesOf(&CommSetting::STbit_R)[s.STbit_R], "2");
  EXPECT_EQ(ChoicesOf(&CommSetting::STbit_S)[s.STbit_S], "2");
  EXPECT_EQ(ChoicesOf(&CommSetting::Buff_R)[s.Buff_R], "1024");
  EXPECT_EQ(ChoicesOf(&CommSetting::SE_Char)[s.SE_Char], "前後とも％を付けない");
  EXPECT_EQ(s.Mail_Flg, "N");
  EXPECT_FALSE(fs::exists(folder_ + "/SetData1.ini"));
}

TEST_F(CommSettingFileTest, SaveWritesEveryKeyInOrderAndReloads) {
  CommSetting s = EveryFieldChanged();
  std::string error;
  ASSERT_TRUE(SaveCommSetting(folder_, 3, s, &error)) << error;
  EXPECT_EQ(s, EveryFieldChanged());
  EXPECT_EQ(LoadCommSetting(folder_, 3), EveryFieldChanged());

  const std::string text = ReadFile("SetData3.ini");
  std::size_t at = 0;
  const char* section = nullptr;
  for (const CommSettingField& field : CommSettingFields()) {
    if (section == nullptr || std::string(section) != field.section) {
      section = field.section;
      at = text.find("[" + std::string(section) + "]", at);
      ASSERT_NE(at, std::string::npos) << section;
    }
    at = text.find("\n" + std::string(field.key) + "=", at);
    ASSERT_NE(at, std::string::npos) << field.key;
  }
  EXPECT_NE(text.find("Chk Count=29"), std::string::npos);
  EXPECT_NE(text.find("S&E_Char=0"), std::string::npos);
  EXPECT_NE(text.find("SendMsg=ＡＢＣ"), std::string::npos);

  // Network port texts are stored and read back as typed.
  s.Port_R = "rfc2217://[fe80::1]:2001";
  s.Port_S = "TCP://Lathe-3:4001";
  ASSERT_TRUE(SaveCommSetting(folder_, 4, s, &error)) << error;
  EXPECT_EQ(LoadCommSetting(folder_, 4).Port_R, s.Port_R);
  EXPECT_EQ(LoadCommSetting(folder_, 4).Port_S, s.Port_S);
}

TEST_F(CommSettingFileTest, ReadsAHandWrittenFile) {
  WriteFile("SetData2.ini",
            "[setting_r]\r\nSpeed=2\r\nPort=COM4\r\nS&E_Char=1\r\nBuff=abc\r\n"
            "[Setting_S]\r\nChk Count =13\r\nCode=2\r\nSendMsg=ｽﾄｯﾌﾟ\r\n");
  const CommSetting s = LoadCommSetting(folder_, 2);
  EXPECT_EQ(s.Speed_R, 2);
  EXPECT_EQ(s.Port_R, "COM4");
  EXPECT_EQ(s.SE_Char, 1);
  EXPECT_EQ(s.Buff_R, 3);      // not an integer: the default
  EXPECT_EQ(s.ChkCount, 13);   // key written with a trailing blank
  EXPECT_EQ(s.Code_S, 2);
  EXPECT_EQ(s.SendMsg, "ｽﾄｯﾌﾟ");
  EXPECT_EQ(s.Speed_S, 1);     // missing key: the default
}

TEST_F(CommSettingFileTest, SlotsReadTheirOwnFiles) {
  WriteFile("SetDataO.ini", "[Setting_S]\r\nInvTime=6\r\n");
  WriteFile("SetData6.ini", "[Setting_S]\r\nInvTime=7\r\n");
  WriteFile("SetData10.ini", "[Setting_S]\r\nInvTime=11\r\n");
  WriteFile("SetDataP.ini", "[Setting_S]\r\nInvTime=12\r\n");
  EXPECT_EQ(LoadCommSetting(folder_, 6).InvTime, 6);
  EXPECT_EQ(LoadCommSetting(folder_, 7).InvTime, 7);
  EXPECT_EQ(LoadCommSetting(folder_, 11).InvTime, 11);
  EXPECT_EQ(LoadCommSetting(folder_, 12).InvTime, 12);
  EXPECT_EQ(LoadCommSetting(folder_, 10).InvTime, 0);
}

TEST_F(CommSettingFileTest, OutOfRangeNumberUsesSettingOne) {
  WriteFile("SetData1.ini", "[Setting_R]\r\nPort=COM9\r\n");
  EXPECT_EQ(LoadCommSetting(folder_, 0).Port_R, "COM9");
  EXPECT_EQ(LoadCommSetting(folder_, 13).Port_R, "COM9");
  CommSetting s;
  s.Port_S = "COM2";
  ASSERT_TRUE(SaveCommSetting(folder_, -4, s, nullptr));
  EXPECT_EQ(LoadCommSetting(folder_, 1).Port_S, "COM2");
}

TEST_F(CommSettingFileTest, DncSendSurvivesLoadAndSave) {
  WriteFile("SetData5.ini", "[Setting_S]\r\nDNC_Send=1\r\n");
  CommSetting s = LoadCommSetting(folder_, 5);
  EXPECT_EQ(s.DNC_Send, 1);
  NormaliseForSave(s);
  ASSERT_TRUE(SaveCommSetting(folder_, 5, s, nullptr));
  EXPECT_EQ(s.DNC_Send, 1);
  EXPECT_EQ(LoadCommSetting(folder_, 5).DNC_Send, 1);
}

TEST_F(CommSettingFileTest, UnwritableFolderIsReportedAndRecordKept) {
  // A folder path running through a plain file cannot be written, also for root.
  WriteFile("plain", "x");
  const std::string badFolder = folder_ + "/plain";
  CommSetting s = EveryFieldChanged();
  std::string error;
  EXPECT_FALSE(SaveCommSetting(badFolder, 4, s, &error));
  EXPECT_EQ(error, badFolder + "/SetData4.ini に書き込めません");
  EXPECT_EQ(s, EveryFieldChanged());
}

TEST(CommSettingNormalise, TapeReader) {
  CommSetting s = EveryFieldChanged();
  s.Speed_R = kTapeDeviceSpeed;
  s.RSignal = 0;
  NormaliseForSave(s);
  EXPECT_EQ(s.Code_R, 0);
  EXPECT_EQ(s.STbit_R, 1);
  EXPECT_EQ(s.Change, 0);
  EXPECT_EQ(s.Word, 1);
  EXPECT_EQ(s.Signal_R, 0);
  EXPECT_EQ(s.Buff_R, 3);
  EXPECT_EQ(s.EndCode, 0);
  EXPECT_EQ(s.RSignal, 0);  // kept only with a tape reader
  EXPECT_EQ(s.Control_R, 1);
  EXPECT_EQ(s.SE_Char, 0);

  CommSetting other = EveryFieldChanged();
  other.RSignal = 0;
  NormaliseForSave(other);
  EXPECT_EQ(other.RSignal, 1);
  EXPECT_EQ(other.Code_R, 2);
}

TEST(CommSettingNormalise, TapePunch) {
  CommSetting s = EveryFieldChanged();
  s.Speed_S = kTapeDeviceSpeed;
  s.Signal_S = 0;
  s.Buff_S = 9;
  NormaliseForSave(s);
  EXPECT_EQ(s.Signal_S, 1);
  EXPECT_EQ(s.Buff_S, 0);
  EXPECT_EQ(s.Feed, 3);  // kept only with a tape punch

  CommSetting other = EveryFieldChanged();
  NormaliseForSave(other);
  EXPECT_EQ(other.Feed, 0);
  EXPECT_EQ(other.Signal_S, 1);
  EXPECT_EQ(other.Buff_S, 19);
}

TEST(CommSettingFields, EveryFieldOnceAndDefaultsOnTheirLists) {
  const CommSetting defaults;
  int ints = 0, texts = 0;
  for (const CommSettingField& field : CommSettingFields()) {
    if (field.IsText()) {
      ++texts;
      EXPECT_EQ(&CommSettingFieldOf(field.textMember), &field);
    } else {
      ++ints;
      EXPECT_EQ(&CommSettingFieldOf(field.intMember), &field);
      if (!field.choices.empty()) {
        EXPECT_LT(static_cast<size_t>(defaults.*field.intMember), field.choices.size())
            << field.key;
      }
    }
  }
  EXPECT_EQ(ints, 24);
  EXPECT_EQ(texts, 8);
  EXPECT_EQ(ChoicesOf(&CommSetting::Speed_S).back(), "ﾃｰﾌﾟﾊﾟﾝﾁに送信");
  EXPECT_EQ(ChoicesOf(&CommSetting::Buff_S).size(), 20u);
  EXPECT_EQ(ChoicesOf(&CommSetting::ChkCount).size(), 30u);
  EXPECT_EQ(ChoicesOf(&CommSetting::EndChar).front(), "%");
  EXPECT_TRUE(ChoicesOf(&CommSetting::InvTime).empty());
}

}  // namespace
}  // namespace quelvo
