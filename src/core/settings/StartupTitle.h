// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window title before any document is loaded, and the operating system
// label it may carry. The system detection knows only the Windows family names;
// on this system it finds none, so OsCode is -1 and the label stays off.
#include <string>

namespace quelvo {

struct OsInfo {
  std::string OsLabel;  // "OS=" + name, name ending in one blank; "OS=" when unknown
  int OsCode = -1;      // 32, 95, 98, 40 or -1
};

OsInfo DetectOs();
std::string StartupTitle(const std::string& versionSuffix, const OsInfo& os);

}  // namespace quelvo
