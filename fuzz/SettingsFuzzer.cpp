// SPDX-License-Identifier: GPL-3.0-or-later
// The settings loaders on arbitrary file content: the file is read as a
// communication setting slot, as the program settings file and as the dialog
// file. A value written into it must then read back as written, whatever the
// rest of the file holds.
#include "FuzzCheck.h"
#include "FuzzFolder.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/ProgramSettings.h"
#include "core/settings/SettingSlots.h"

using namespace quelvo;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string& folder = fuzz::FuzzFolder();
  const std::string path = CommSettingFilePath(folder, 1);
  fuzz::WriteFuzzFile(path, std::string(reinterpret_cast<const char*>(data), size));

  LoadCommSetting(folder, 1);
  IniFile ini(path);
  LoadProgramSettings(ini);
  LoadDialogPlacement(ini);
  LoadSubDirPath(ini);
  LoadSplitSaveChoices(ini);

  const std::string value = "ﾎﾟｰﾄ 値 0x1F";
  if (!ini.WriteString("Setting_S", "Port", value)) return 0;  // a folder in the way, say
  fuzz::Check(ini.ReadString("Setting_S", "Port", "") == value, "a written value reads back");
  fuzz::Check(ini.ReadInteger("Setting_S", "Port", 7) == 7, "a text that is no number reads as the default");
  return 0;
}
