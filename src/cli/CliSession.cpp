// SPDX-License-Identifier: GPL-3.0-or-later
#include "cli/CliSession.h"

#include <algorithm>

#include <sys/stat.h>

#include "core/common/ProgramFiles.h"
#include "core/common/AtomicFile.h"
#include "core/document/FileTexts.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/IniFile.h"
#include "core/settings/SettingNumberArgument.h"
#include "core/settings/SettingSlots.h"

namespace quelvo::cli {
namespace {

// A settings file that is there but cannot be read would silently give
// defaults: a transfer must not run on a setting the user did not make.
bool Readable(const std::string& path, std::string* error) {
  struct stat st {};
  if (::stat(path.c_str(), &st) != 0) return true;  // missing: its defaults, as in the window
  std::string bytes, reason;
  if (ReadWholeFile(path, &bytes, &reason)) return true;
  *error = path + kCannotRead + reason;
  return false;
}

}  // namespace

void UseWindowProgramFiles() { UseFilesOfProgram("quelvo"); }

bool LoadSession(const ParsedArgs& args, CliSession* session, std::string* error, std::string* notice,
                 bool* usageError) {
  *usageError = false;
  int setNo = 0;
  if (args.Has("setting")) {
    int place = 0;
    if (!ParseInteger(args.Value("setting"), &place) || place < 1 || place > kSettingCount) {
      *error = "通信設定番号 " + args.Value("setting") + " は存在しません。(1〜12)";
      *usageError = true;
      return false;
    }
    setNo = SettingNumberFromArgument(place).setNo;
  }
  const std::string iniPath = ProgramSettingsPath();
  if (!Readable(iniPath, error)) return false;
  const IniFile ini(iniPath);
  session->settings = LoadProgramSettings(ini);
  if (setNo == 0) {
    const CheckedSetNo checked = CheckSetNo(session->settings.setNo);
    // The window's message box text, on one terminal line.
    if (!checked.message.empty()) *notice = checked.message;
    std::replace(notice->begin(), notice->end(), '\n', ' ');
    setNo = checked.setNo;
  }
  session->setNo = setNo;
  if (!Readable(CommSettingFilePath(ProgramFolder(), setNo), error)) return false;
  session->comm = LoadCommSetting(ProgramFolder(), setNo);
  return true;
}

void ApplyPortOverride(const ParsedArgs& args, CliSession* session, bool sending) {
  if (!args.Has("port")) return;
  (sending ? session->comm.Port_S : session->comm.Port_R) = args.Value("port");
}

}  // namespace quelvo::cli
