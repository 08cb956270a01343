#include "editor/SplitSaveSettings.h"

#include "common/ProgramFiles.h"

namespace quelvo {

namespace {
const char kSection[] = "Sub";
}  // namespace

SplitSaveSettings LoadSplitSaveSettings(const IniFile& subIni) {
  SplitSaveSettings settings;
  settings.DirPath = subIni.ReadString(kSection, "DirPath", HomeFolder());
  settings.options.F_Set = subIni.ReadBool(kSection, "F_Set", false);
  settings.options.B_Set = subIni.ReadBool(kSection, "B_Set", false);
  settings.options.N_Set = subIni.ReadBool(kSection, "N_Set", false);
  return settings;
}

bool SaveSplitSaveSettings(IniFile& subIni, const SplitSaveSettings& settings) {
  return subIni.WriteString(kSection, "DirPath", settings.DirPath) &&
         subIni.WriteBool(kSection, "F_Set", settings.options.F_Set) &&
         subIni.WriteBool(kSection, "B_Set", settings.options.B_Set) &&
         subIni.WriteBool(kSection, "N_Set", settings.options.N_Set);
}

}  // namespace quelvo
