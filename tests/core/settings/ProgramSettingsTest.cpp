// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ProgramSettings.h"

#include <gtest/gtest.h>

#include "core/common/AtomicFile.h"
#include "core/common/Cp932.h"
#include "core/common/ProgramFiles.h"
#include "support/TempFolder.h"

namespace quelvo {
namespace {

TEST(ProgramSettingsTest, DefaultsWithoutAFile) {
  test::TempFolder dir;
  const ProgramSettings s = LoadProgramSettings(IniFile(dir.File("none.INI")));
  EXPECT_EQ(s.window.left, 10);
  EXPECT_EQ(s.window.top, 10);
  EXPECT_EQ(s.window.width, 550);
  EXPECT_EQ(s.window.height, 470);
  EXPECT_EQ(s.editor.fontName, "ＭＳ ゴシック");
  EXPECT_EQ(s.editor.fontSize, 10);
  EXPECT_EQ(s.editor.fontColor, -2147483640);
  EXPECT_EQ(s.editor.screenColor, -2147483643);
  EXPECT_EQ(s.dirPath, HomeFolder());
  EXPECT_EQ(s.setNo, 1);
  EXPECT_EQ(s.setNames[6], "OSP専用_NO.1");
  EXPECT_EQ(s.setNames[11], "設定１０");
  EXPECT_EQ(s.storedOptions.dc3_0x93, "Y");
  EXPECT_EQ(s.storedOptions.powerOff, "N");
  EXPECT_EQ(s.storedOptions.op14, "N");
  EXPECT_TRUE(s.storedOptions.op16);
  EXPECT_TRUE(s.options.syntaxColors);
  EXPECT_EQ(s.maskNo, 1);
  EXPECT_EQ(s.user2Name, "ﾕｰｻﾞ2");
  EXPECT_EQ(s.modemPort1, "");
}

TEST(ProgramSettingsTest, NameKeysFollowTheSlotTable) {
  const char* const keys[] = {"", "SetName1", "SetName2", "SetName3", "SetName4", "SetName5", "SetNameO",
                              "SetName6", "SetName7", "SetName8", "SetName9", "SetName10", "SetNameP", ""};
  for (int n = 0; n <= 13; ++n) EXPECT_EQ(SetNameKey(n), keys[n]) << n;
}

TEST(ProgramSettingsTest, NewFileHoldsEveryKeyInOrder) {
  test::TempFolder dir;
  IniFile ini(dir.File("quelvo.INI"));
  ProgramSettings s;
  s.dirPath = "/nc";
  s.recentFiles[0] = "/nc/O1.nc";
  ASSERT_TRUE(SaveProgramSettings(ini, s));
  std::string bytes, error;
  ASSERT_TRUE(ReadWholeFile(ini.Path(), &bytes, &error));
  EXPECT_EQ(Cp932ToUtf8(bytes),
            "[Main]\r\nTop=10\r\nLeft=10\r\nWidth=550\r\nHeight=470\r\n\r\n"
            "[Recent File List]\r\nFile1=/nc/O1.nc\r\nFile2=\r\nFile3=\r\nFile4=\r\nFile5=\r\n\r\n"
            "[Edit]\r\nFont Name=ＭＳ ゴシック\r\nFont Size=10\r\nFont Color=-2147483640\r\n"
            "Screen Color=-2147483643\r\n\r\n"
            "[Setting]\r\nDirPath=/nc\r\nSetNo=1\r\nSetName1=設定１\r\nSetName2=設定２\r\n"
            "SetName3=設定３\r\nSetName4=設定４\r\nSetName5=設定５\r\nSetNameO=OSP専用_NO.1\r\n"
            "SetNameP=OSP専用_NO.2\r\nSetName6=設定６\r\nSetName7=設定７\r\nSetName8=設定８\r\n"
            "SetName9=設定９\r\nSetName10=設定１０\r\nDC3(0X93)=Y\r\nMask_No=1\r\n"
            "User1_Name=ﾕｰｻﾞ1\r\nUser1_Mask=*.*\r\nUser2_Name=ﾕｰｻﾞ2\r\nUser2_Mask=*.*\r\n"
            "ModemePort1=\r\nModemePort2=\r\n\r\n"
            "[Options]\r\nop1=N\r\nop2=N\r\nop3=N\r\nPower_Off=N\r\nop4=N\r\nop5=N\r\nop6=N\r\n"
            "op7=N\r\nop9=N\r\nop10=N\r\nop12=N\r\nop13=N\r\nop14=N\r\nop16=1\r\n"
            "Syntax_Color=1\r\n");
}

TEST(ProgramSettingsTest, SavedValuesReadBack) {
  test::TempFolder dir;
  IniFile ini(dir.File("quelvo.INI"));
  ProgramSettings s;
  s.window = {-5, 20, 800, 600};
  s.editor.fontColor = 0x0000FF;
  s.setNo = 12;
  s.setNames[12] = "旋盤";
  s.storedOptions.powerOff = "Y";
  s.storedOptions.op16 = false;
  s.storedOptions.syntaxColors = false;
  s.maskNo = 3;
  s.modemPort2 = "COM2";
  s.serviceLibrary = "/srv/nc/履歴";
  ASSERT_TRUE(SaveProgramSettings(ini, s));
  const ProgramSettings r = LoadProgramSettings(ini);
  EXPECT_EQ(r.serviceLibrary, "/srv/nc/履歴");
  EXPECT_EQ(r.window.left, -5);
  EXPECT_EQ(r.window.width, 800);
  EXPECT_EQ(r.editor.fontColor, 0x0000FF);
  EXPECT_EQ(r.setNo, 12);
  EXPECT_EQ(r.setNames[12], "旋盤");
  EXPECT_EQ(r.storedOptions.powerOff, "Y");
  EXPECT_FALSE(r.storedOptions.op16);
  EXPECT_FALSE(r.options.syntaxColors);
  EXPECT_EQ(r.maskNo, 3);
  EXPECT_EQ(r.modemPort2, "COM2");
}

TEST(ProgramSettingsTest, SaveStopsAtAnUnwritableFile) {
  test::TempFolder dir;
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir.File("f"), "", &error));
  IniFile ini(dir.File("f") + "/quelvo.INI");
  EXPECT_FALSE(SaveProgramSettings(ini, ProgramSettings()));
  EXPECT_EQ(ini.WriteError(), dir.File("f") + "/quelvo.INI に書き込めません");
}

// Each option text decodes into its named field with its own exact comparison
// ("Y" or "N" alone turns it on), touches no other field, and the default texts
// decode into the defaults the engines' fixtures start from.
TEST(ProgramSettingsTest, OptionTextsDecodeIntoTheirNamedFields) {
  struct Row {
    std::string StoredOptions::*text;
    bool ProgramOptions::*field;
    const char* on;
  };
  const Row rows[] = {
      {&StoredOptions::dc3_0x93, &ProgramOptions::pauseCode0x93, "Y"},
      {&StoredOptions::op1, &ProgramOptions::selectiveSend, "Y"},
      {&StoredOptions::op1, &ProgramOptions::sendWholeDocument, "N"},
      {&StoredOptions::op2, &ProgramOptions::splitReceived, "Y"},
      {&StoredOptions::op3, &ProgramOptions::lengthInMeters, "Y"},
      {&StoredOptions::powerOff, &ProgramOptions::powerOffAfterTransfer, "Y"},
      {&StoredOptions::op4, &ProgramOptions::withholdSpaces, "Y"},
      {&StoredOptions::op5, &ProgramOptions::dtrAlwaysOn, "Y"},
      {&StoredOptions::op6, &ProgramOptions::autoPortSelection, "Y"},
      {&StoredOptions::op7, &ProgramOptions::cutComments, "N"},
      {&StoredOptions::op9, &ProgramOptions::abortOnControlStop, "N"},
      {&StoredOptions::op10, &ProgramOptions::saveStoppedReception, "Y"},
      {&StoredOptions::op12, &ProgramOptions::tapePunchEndSignal, "Y"},
      {&StoredOptions::op13, &ProgramOptions::skipDcdCheckWhileSending, "Y"},
      {&StoredOptions::op14, &ProgramOptions::watchDsr, "Y"},
  };
  const ProgramOptions defaults;
  const ProgramOptions decodedDefaults = DecodeOptions(StoredOptions{});
  for (const Row& row : rows) EXPECT_EQ(decodedDefaults.*row.field, defaults.*row.field) << row.on;
  EXPECT_EQ(decodedDefaults.filePreview, defaults.filePreview);

  for (const Row& row : rows) {
    for (const char* text : {"Y", "N", "y", ""}) {
      SCOPED_TRACE(std::string(row.on) + " <- \"" + text + "\"");
      StoredOptions stored;
      stored.*row.text = text;
      const ProgramOptions decoded = DecodeOptions(stored);
      EXPECT_EQ(decoded.*row.field, std::string(text) == row.on);
      for (const Row& other : rows) {
        if (other.text == row.text) continue;
        EXPECT_EQ(decoded.*other.field, defaults.*other.field);
      }
    }
  }
  StoredOptions noPreview;
  noPreview.op16 = false;
  EXPECT_FALSE(DecodeOptions(noPreview).filePreview);
}

TEST(ProgramSettingsTest, LoadingDecodesTheStoredOptions) {
  test::TempFolder dir;
  std::string error;
  ASSERT_TRUE(WriteFileAtomically(dir.File("q.INI"), "[Options]\r\nop1=Y\r\nop9=y\r\nop16=0\r\n", &error));
  const ProgramSettings s = LoadProgramSettings(IniFile(dir.File("q.INI")));
  EXPECT_EQ(s.storedOptions.op9, "y");
  EXPECT_TRUE(s.options.selectiveSend);
  EXPECT_FALSE(s.options.sendWholeDocument);
  EXPECT_FALSE(s.options.abortOnControlStop);
  EXPECT_FALSE(s.options.filePreview);
}

TEST(SubSettingsTest, PlacementFolderAndChoices) {
  test::TempFolder dir;
  IniFile sub(dir.File("Sub.ini"));
  EXPECT_EQ(LoadDialogPlacement(sub).left, 10);
  EXPECT_EQ(LoadDialogPlacement(sub).top, 10);
  EXPECT_EQ(LoadSubDirPath(sub), HomeFolder());
  EXPECT_FALSE(LoadSplitSaveChoices(sub).percentAtEnd);

  ASSERT_TRUE(SaveDialogPlacement(sub, {120, 80}));
  ASSERT_TRUE(SaveSubDirPath(sub, "/nc/split"));
  ASSERT_TRUE(SaveSplitSaveChoices(sub, {false, true, true}));
  EXPECT_EQ(LoadDialogPlacement(sub).left, 120);
  EXPECT_EQ(LoadDialogPlacement(sub).top, 80);
  EXPECT_EQ(LoadSubDirPath(sub), "/nc/split");
  const SplitSaveChoices c = LoadSplitSaveChoices(sub);
  EXPECT_FALSE(c.percentAtStart);
  EXPECT_TRUE(c.percentAtEnd);
  EXPECT_TRUE(c.serialNumbers);
  std::string bytes, error;
  ASSERT_TRUE(ReadWholeFile(sub.Path(), &bytes, &error));
  EXPECT_EQ(bytes, "[Sub]\r\nTop=80\r\nLeft=120\r\nDirPath=/nc/split\r\nF_Set=0\r\nB_Set=1\r\nN_Set=1\r\n");
}

}  // namespace
}  // namespace quelvo
