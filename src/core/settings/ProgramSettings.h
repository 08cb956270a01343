// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The program settings file (<base>.INI beside the program): read once when the
// main window is created, written once when it closes.
#include <array>
#include <string>

#include "core/settings/IniFile.h"
#include "core/settings/SystemColors.h"

namespace quelvo {

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

// The program options exactly as they are stored: the texts under their keys
// (DC3(0X93) in section Setting, the rest in section Options) and op16 as a
// boolean. A text may be anything the options dialog let through ("y", empty):
// it is written back as it was read. Only loading, saving and the options dialog
// touch these; everything else reads the decoded ProgramOptions.
struct StoredOptions {
  std::string dc3_0x93 = "Y";
  std::string op1 = "N", op2 = "N", op3 = "N", powerOff = "N", op4 = "N", op5 = "N",
              op6 = "N", op7 = "N", op9 = "N", op10 = "N", op12 = "N", op13 = "N",
              op14 = "N";  // powerOff: key Power_Off
  bool op16 = true;
  bool syntaxColors = true;  // key Syntax_Color; absent means on
};

// What the stored options mean, decoded once by DecodeOptions when the settings
// are read and whenever the options dialog changes them. Each field keeps the
// exact comparison its users have always made: most are on for "Y" alone, the
// ones marked "N" for "N" alone, so a text that is neither (an emptied field,
// "y") turns both kinds off. op1 is compared both ways, hence two fields.
// The defaults are what the default StoredOptions decode to.
struct ProgramOptions {
  bool pauseCode0x93 = true;           // DC3(0X93) "Y": the pause code is 0x93, not 0x13
  bool selectiveSend = false;          // op1 "Y": the send honours the list of skipped programs
  bool sendWholeDocument = true;       // op1 "N": send everything; any other text asks first
  bool splitReceived = false;          // op2 "Y": split a reception by program number
  bool lengthInMeters = false;         // op3 "Y": sizes in meters of tape instead of bytes
  bool powerOffAfterTransfer = false;  // Power_Off "Y": switch the PC off after closing
  bool withholdSpaces = false;         // op4 "Y": a space is never written to the line
  bool dtrAlwaysOn = false;            // op5 "Y": DTR held on
  bool autoPortSelection = false;      // op6 "Y": DTR and RTS held on, selection sequence run
  bool cutComments = true;             // op7 "N": ";" and "'" end what is sent of a line
  bool abortOnControlStop = true;      // op9 "N": DC3/DC4/CAN before the start signal abort
  bool saveStoppedReception = false;   // op10 "Y": a stopped reception is still saved
  bool tapePunchEndSignal = false;     // op12 "Y": DC4 to the tape punch after the data
  bool skipDcdCheckWhileSending = false;  // op13 "Y": DCD is not looked at after the start
  bool watchDsr = false;               // op14 "Y": DSR off ends the transfer
  bool filePreview = true;             // op16: file preview in the open dialog
  bool syntaxColors = true;            // Syntax_Color: NC syntax colours in the editor
};

ProgramOptions DecodeOptions(const StoredOptions& stored);

struct ProgramSettings {
  WindowBounds window;
  EditorLook editor;
  std::array<std::string, 5> recentFiles;  // File1 (most recent) .. File5; empty = none
  std::string dirPath;                     // default: the user's home folder
  int setNo = 1;
  // Names of settings by setting number 1..12 (index 0 unused); keys by slot table.
  std::array<std::string, 13> setNames;
  StoredOptions storedOptions;  // as read; written back as they are
  ProgramOptions options;       // decoded from storedOptions by DecodeStoredOptions()
  int maskNo = 1;
  std::string user1Name = "ﾕｰｻﾞ1", user1Mask = "*.*";
  std::string user2Name = "ﾕｰｻﾞ2", user2Mask = "*.*";
  std::string modemPort1, modemPort2;
  // Key ServiceLibrary of section Setting: the shop service's library folder
  // the window compares with; written only once chosen, so a file that never
  // had it keeps its keys as they were.
  std::string serviceLibrary;

  ProgramSettings();  // fills the defaults (dirPath, setNames)

  // options := DecodeOptions(storedOptions); after every change of storedOptions.
  void DecodeStoredOptions() { options = DecodeOptions(storedOptions); }
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
