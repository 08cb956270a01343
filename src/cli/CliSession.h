// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every transfer command starts from: the window program's files (the
// program folder as the window finds it, quelvo.INI, SetData*.ini) and the
// chosen communication setting.
#include <string>

#include "cli/CliOptions.h"
#include "core/settings/CommSetting.h"
#include "core/settings/ProgramSettings.h"

namespace quelvo::cli {

// Makes the program files those of the window program "quelvo". Called once
// at the start of the program.
void UseWindowProgramFiles();

struct CliSession {
  ProgramSettings settings;  // quelvo.INI
  int setNo = 1;             // the setting number (1..12), not the menu place
  CommSetting comm;          // SetData<N>.ini
};

// Reads the program settings and the setting chosen by --setting N (N the menu
// place, 1..12) or else the active one (SetNo). False with the message in
// *error when N is no setting (*usageError set) or a settings file is there but
// cannot be read. A stored SetNo without a slot falls back to setting 1 and
// *notice says so.
bool LoadSession(const ParsedArgs& args, CliSession* session, std::string* error, std::string* notice,
                 bool* usageError);

// --port PORT replaces the port of the direction's half for this run only.
void ApplyPortOverride(const ParsedArgs& args, CliSession* session, bool sending);

}  // namespace quelvo::cli
