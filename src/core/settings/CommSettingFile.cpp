// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/CommSettingFile.h"

#include "core/settings/CommSettingFields.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingSlots.h"

namespace quelvo {

CommSetting LoadCommSetting(const std::string& folder, int setNo) {
  return LoadCommSettingFile(CommSettingFilePath(folder, setNo));
}

CommSetting LoadCommSettingFile(const std::string& path) {
  const IniFile ini(path);
  const CommSetting defaults;
  CommSetting setting;
  for (const CommSettingField& field : CommSettingFields()) {
    if (field.IsText()) {
      setting.*field.textMember =
          ini.ReadString(field.section, field.key, defaults.*field.textMember);
    } else {
      setting.*field.intMember =
          ini.ReadInteger(field.section, field.key, defaults.*field.intMember);
    }
  }
  return setting;
}

bool SaveCommSetting(const std::string& folder, int setNo, CommSetting& setting,
                     std::string* error) {
  IniFile ini(CommSettingFilePath(folder, setNo));
  for (const CommSettingField& field : CommSettingFields()) {
    const bool written =
        field.IsText() ? ini.WriteString(field.section, field.key, setting.*field.textMember)
                       : ini.WriteInteger(field.section, field.key, setting.*field.intMember);
    if (!written) {
      if (error != nullptr) *error = ini.WriteError();
      return false;
    }
  }
  setting = LoadCommSetting(folder, setNo);
  return true;
}

}  // namespace quelvo
