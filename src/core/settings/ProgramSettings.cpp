// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/ProgramSettings.h"

#include <utility>

#include "core/common/ProgramFiles.h"

namespace quelvo {
namespace {

const char kMain[] = "Main";
const char kEdit[] = "Edit";
const char kRecent[] = "Recent File List";
const char kSetting[] = "Setting";
const char kOptions[] = "Options";
const char kSyntaxColorKey[] = "Syntax_Color";
const char kServiceLibraryKey[] = "ServiceLibrary";

// Setting numbers in the order their names are read and written: 1 to 5, O (6),
// P (12), then 6 to 10 (7 to 11).
constexpr int kNameOrder[] = {1, 2, 3, 4, 5, 6, 12, 7, 8, 9, 10, 11};

// The thirteen Y/N text options of section Options, in file order.
using OptionField = std::string StoredOptions::*;
const std::pair<const char*, OptionField> kTextOptions[] = {
    {"op1", &StoredOptions::op1},   {"op2", &StoredOptions::op2},
    {"op3", &StoredOptions::op3},   {"Power_Off", &StoredOptions::powerOff},
    {"op4", &StoredOptions::op4},   {"op5", &StoredOptions::op5},
    {"op6", &StoredOptions::op6},   {"op7", &StoredOptions::op7},
    {"op9", &StoredOptions::op9},   {"op10", &StoredOptions::op10},
    {"op12", &StoredOptions::op12}, {"op13", &StoredOptions::op13},
    {"op14", &StoredOptions::op14},
};

// The Setting keys that follow the options, in file order.
using TextField = std::string ProgramSettings::*;
const std::pair<const char*, TextField> kTrailingTexts[] = {
    {"User1_Name", &ProgramSettings::user1Name}, {"User1_Mask", &ProgramSettings::user1Mask},
    {"User2_Name", &ProgramSettings::user2Name}, {"User2_Mask", &ProgramSettings::user2Mask},
    {"ModemePort1", &ProgramSettings::modemPort1}, {"ModemePort2", &ProgramSettings::modemPort2},
};

std::string RecentKey(size_t index) { return "File" + std::to_string(index + 1); }

}  // namespace

ProgramSettings::ProgramSettings() : dirPath(HomeFolder()) {
  static const char* const kDefaultNames[13] = {
      "",      "設定１", "設定２", "設定３", "設定４", "設定５", "OSP専用_NO.1",
      "設定６", "設定７", "設定８", "設定９", "設定１０", "OSP専用_NO.2"};
  for (size_t n = 0; n < setNames.size(); ++n) setNames[n] = kDefaultNames[n];
}

ProgramOptions DecodeOptions(const StoredOptions& stored) {
  ProgramOptions o;
  o.pauseCode0x93 = stored.dc3_0x93 == "Y";
  o.selectiveSend = stored.op1 == "Y";
  o.sendWholeDocument = stored.op1 == "N";
  o.splitReceived = stored.op2 == "Y";
  o.lengthInMeters = stored.op3 == "Y";
  o.powerOffAfterTransfer = stored.powerOff == "Y";
  o.withholdSpaces = stored.op4 == "Y";
  o.dtrAlwaysOn = stored.op5 == "Y";
  o.autoPortSelection = stored.op6 == "Y";
  o.cutComments = stored.op7 == "N";
  o.abortOnControlStop = stored.op9 == "N";
  o.saveStoppedReception = stored.op10 == "Y";
  o.tapePunchEndSignal = stored.op12 == "Y";
  o.skipDcdCheckWhileSending = stored.op13 == "Y";
  o.watchDsr = stored.op14 == "Y";
  o.filePreview = stored.op16;
  o.syntaxColors = stored.syntaxColors;
  return o;
}

std::string SetNameKey(int setNo) {
  if (setNo >= 1 && setNo <= 5) return "SetName" + std::to_string(setNo);
  if (setNo == 6) return "SetNameO";
  if (setNo >= 7 && setNo <= 11) return "SetName" + std::to_string(setNo - 1);
  if (setNo == 12) return "SetNameP";
  return {};
}

std::string ProgramSettingsPath() { return ProgramFilePath(".INI"); }

ProgramSettings LoadProgramSettings(const IniFile& ini) {
  ProgramSettings s;
  s.window.left = ini.ReadInteger(kMain, "Left", s.window.left);
  s.window.top = ini.ReadInteger(kMain, "Top", s.window.top);
  s.window.width = ini.ReadInteger(kMain, "Width", s.window.width);
  s.window.height = ini.ReadInteger(kMain, "Height", s.window.height);

  s.editor.fontName = ini.ReadString(kEdit, "Font Name", s.editor.fontName);
  s.editor.fontSize = ini.ReadInteger(kEdit, "Font Size", s.editor.fontSize);
  s.editor.fontColor = ini.ReadInteger(kEdit, "Font Color", s.editor.fontColor);
  s.editor.screenColor = ini.ReadInteger(kEdit, "Screen Color", s.editor.screenColor);

  for (size_t i = 0; i < s.recentFiles.size(); ++i) {
    s.recentFiles[i] = ini.ReadString(kRecent, RecentKey(i), s.recentFiles[i]);
  }

  s.dirPath = ini.ReadString(kSetting, "DirPath", s.dirPath);
  s.setNo = ini.ReadInteger(kSetting, "SetNo", s.setNo);
  for (int n : kNameOrder) s.setNames[n] = ini.ReadString(kSetting, SetNameKey(n), s.setNames[n]);
  s.storedOptions.dc3_0x93 = ini.ReadString(kSetting, "DC3(0X93)", s.storedOptions.dc3_0x93);

  for (const auto& [key, field] : kTextOptions) {
    s.storedOptions.*field = ini.ReadString(kOptions, key, s.storedOptions.*field);
  }
  s.storedOptions.op16 = ini.ReadBool(kOptions, "op16", s.storedOptions.op16);
  s.storedOptions.syntaxColors = ini.ReadBool(kOptions, kSyntaxColorKey, s.storedOptions.syntaxColors);

  s.DecodeStoredOptions();

  s.maskNo = ini.ReadInteger(kSetting, "Mask_No", s.maskNo);
  for (const auto& [key, field] : kTrailingTexts) s.*field = ini.ReadString(kSetting, key, s.*field);
  s.serviceLibrary = ini.ReadString(kSetting, kServiceLibraryKey, s.serviceLibrary);
  return s;
}

bool SaveProgramSettings(IniFile& ini, const ProgramSettings& s) {
  bool ok = ini.WriteInteger(kMain, "Top", s.window.top) && ini.WriteInteger(kMain, "Left", s.window.left) &&
            ini.WriteInteger(kMain, "Width", s.window.width) &&
            ini.WriteInteger(kMain, "Height", s.window.height);

  for (size_t i = 0; ok && i < s.recentFiles.size(); ++i) {
    ok = ini.WriteString(kRecent, RecentKey(i), s.recentFiles[i]);
  }

  ok = ok && ini.WriteString(kEdit, "Font Name", s.editor.fontName) &&
       ini.WriteInteger(kEdit, "Font Size", s.editor.fontSize) &&
       ini.WriteInteger(kEdit, "Font Color", s.editor.fontColor) &&
       ini.WriteInteger(kEdit, "Screen Color", s.editor.screenColor);

  ok = ok && ini.WriteString(kSetting, "DirPath", s.dirPath) && ini.WriteInteger(kSetting, "SetNo", s.setNo);
  for (int n : kNameOrder) ok = ok && ini.WriteString(kSetting, SetNameKey(n), s.setNames[n]);
  ok = ok && ini.WriteString(kSetting, "DC3(0X93)", s.storedOptions.dc3_0x93);

  for (const auto& [key, field] : kTextOptions) ok = ok && ini.WriteString(kOptions, key, s.storedOptions.*field);
  ok = ok && ini.WriteBool(kOptions, "op16", s.storedOptions.op16);
  ok = ok && ini.WriteBool(kOptions, kSyntaxColorKey, s.storedOptions.syntaxColors);

  ok = ok && ini.WriteInteger(kSetting, "Mask_No", s.maskNo);
  for (const auto& [key, field] : kTrailingTexts) ok = ok && ini.WriteString(kSetting, key, s.*field);
  if (!s.serviceLibrary.empty()) ok = ok && ini.WriteString(kSetting, kServiceLibraryKey, s.serviceLibrary);
  return ok;
}

}  // namespace quelvo
