#pragma once
// The program settings file (<base>.INI beside the program): read once when the
// main window is created, written once when it closes.
#include <array>
#include <string>

#include "core/settings/IniFile.h"

namespace quelvo {

// Windows colour values: 0x00BBGGRR, or the top bit plus a system colour index.
constexpr int kSysColorWindowText = static_cast<int>(0x80000008u);  // -2147483640
constexpr int kSysColorWindow = static_cast<int>(0x80000005u);      // -2147483643

struct WindowBounds {
  int left = 10;
  int top = 10;
  int width = 550;
  int height = 470;
};

struct EditorLook {
  std::string fontName = "ＭＳ ゴシック";
  int fontSize = 10;
  int fontColor = kSysColorWindowText;
  int screenColor = kSysColorWindow;
};

// The Y/N program options, compared with "Y" or "N" exactly by their users.
struct ProgramOptions {
  std::string dc3_0x93 = "Y";  // key DC3(0X93), section Setting
  std::string op1 = "N", op2 = "N", op3 = "N", powerOff = "N", op4 = "N", op5 = "N",
              op6 = "N", op7 = "N", op9 = "N", op10 = "N", op12 = "N", op13 = "N",
              op14 = "N";
  bool op16 = true;  // file preview in the open dialog
};

struct ProgramSettings {
  WindowBounds window;
  EditorLook editor;
  std::array<std::string, 5> recentFiles;  // File1 (most recent) .. File5; empty = none
  std::string dirPath;                     // default: the user's home folder
  int setNo = 1;
  // Names of settings by setting number 1..12 (index 0 unused); keys by slot table.
  std::array<std::string, 13> setNames;
  ProgramOptions options;
  int maskNo = 1;
  std::string user1Name = "ﾕｰｻﾞ1", user1Mask = "*.*";
  std::string user2Name = "ﾕｰｻﾞ2", user2Mask = "*.*";
  std::string modemPort1, modemPort2;

  ProgramSettings();  // fills the defaults (dirPath, setNames)
};

// The name key of setting number n (1..12): SetName1..5, SetNameO (6),
// SetName6..9 (7..10), SetName10 (11), SetNameP (12).
std::string SetNameKey(int setNo);

// <folder>/<base>.INI, the program settings file.
std::string ProgramSettingsPath();

ProgramSettings LoadProgramSettings(const IniFile& ini);
// Writes every key in the designed order; stops at the first failing write and
// returns false (ini.WriteError() holds the message).
bool SaveProgramSettings(IniFile& ini, const ProgramSettings& settings);

// "Sub.ini", section Sub: where the last closed dialog stood, and the split-save
// dialog's folder and choices.
struct DialogPlacement {
  int left = 10;
  int top = 10;
};
DialogPlacement LoadDialogPlacement(const IniFile& subIni);
bool SaveDialogPlacement(IniFile& subIni, const DialogPlacement& placement);  // Top, then Left

// <folder>/Sub.ini.
std::string SubIniPath();

// Key DirPath: the split-save dialog's folder; default the user's home folder.
std::string LoadSubDirPath(const IniFile& subIni);
bool SaveSubDirPath(IniFile& subIni, const std::string& dirPath);

// Keys F_Set, B_Set, N_Set: the split-save dialog's menu choices "先頭に％付加",
// "末尾に％付加", "保存時連番付加"; all off by default.
struct SplitSaveChoices {
  bool percentAtStart = false;
  bool percentAtEnd = false;
  bool serialNumbers = false;
};
SplitSaveChoices LoadSplitSaveChoices(const IniFile& subIni);
bool SaveSplitSaveChoices(IniFile& subIni, const SplitSaveChoices& choices);

}  // namespace quelvo
