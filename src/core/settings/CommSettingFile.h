// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading and writing the slot files of the communication settings
// ("SetData1.ini" .. "SetDataP.ini" in the program folder). The window that
// owns the active record calls these and then shows the active setting in its
// menu.
#include <string>

#include "core/settings/CommSetting.h"

namespace quelvo {

// Reads every key of the slot's file in file order, each with its default: a
// missing file, section or key, or an integer that does not read, silently
// gives the default. A number outside 1..12 reads setting 1 (CheckSetNo).
CommSetting LoadCommSetting(const std::string& folder, int setNo);
// The same for a settings file of that format at any path.
CommSetting LoadCommSettingFile(const std::string& path);

// Writes every key of `setting` in file order, then loads the slot again into
// `setting` so that the record reflects the file. When a write fails the
// remaining keys are not written, `setting` keeps its values, *error gets
// "<path> に書き込めません" and the result is false.
bool SaveCommSetting(const std::string& folder, int setNo, CommSetting& setting,
                     std::string* error);

}  // namespace quelvo
