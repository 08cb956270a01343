#pragma once
// The split-save dialog's folder and choices, kept in "Sub.ini", section "Sub"
// (keys DirPath, F_Set, B_Set, N_Set), beside the dialog positions.
#include <string>

#include "editor/SplitSave.h"
#include "settings/IniFile.h"

namespace quelvo {

struct SplitSaveSettings {
  std::string DirPath;  // the folder last used; the user's home folder by default
  SplitSaveOptions options;
};

SplitSaveSettings LoadSplitSaveSettings(const IniFile& subIni);
// False when Sub.ini cannot be written (subIni.WriteError() holds the message).
bool SaveSplitSaveSettings(IniFile& subIni, const SplitSaveSettings& settings);

}  // namespace quelvo
