// SPDX-License-Identifier: GPL-3.0-or-later
// The dialog position file "Sub.ini", section Sub.
#include "core/common/ProgramFiles.h"
#include "core/settings/ProgramSettings.h"

namespace quelvo {
namespace {

const char kSub[] = "Sub";

}  // namespace

std::string SubIniPath() { return ProgramFolderFile("Sub.ini"); }

DialogPlacement LoadDialogPlacement(const IniFile& subIni) {
  DialogPlacement p;
  p.left = subIni.ReadInteger(kSub, "Left", p.left);
  p.top = subIni.ReadInteger(kSub, "Top", p.top);
  return p;
}

bool SaveDialogPlacement(IniFile& subIni, const DialogPlacement& placement) {
  return subIni.WriteInteger(kSub, "Top", placement.top) && subIni.WriteInteger(kSub, "Left", placement.left);
}

std::string LoadSubDirPath(const IniFile& subIni) { return subIni.ReadString(kSub, "DirPath", HomeFolder()); }

bool SaveSubDirPath(IniFile& subIni, const std::string& dirPath) {
  return subIni.WriteString(kSub, "DirPath", dirPath);
}

SplitSaveChoices LoadSplitSaveChoices(const IniFile& subIni) {
  SplitSaveChoices c;
  c.percentAtStart = subIni.ReadBool(kSub, "F_Set", c.percentAtStart);
  c.percentAtEnd = subIni.ReadBool(kSub, "B_Set", c.percentAtEnd);
  c.serialNumbers = subIni.ReadBool(kSub, "N_Set", c.serialNumbers);
  return c;
}

bool SaveSplitSaveChoices(IniFile& subIni, const SplitSaveChoices& choices) {
  return subIni.WriteBool(kSub, "F_Set", choices.percentAtStart) &&
         subIni.WriteBool(kSub, "B_Set", choices.percentAtEnd) &&
         subIni.WriteBool(kSub, "N_Set", choices.serialNumbers);
}

}  // namespace quelvo
