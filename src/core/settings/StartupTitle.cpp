// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/StartupTitle.h"

namespace quelvo {

OsInfo DetectOs() { return OsInfo{"OS=", -1}; }

std::string StartupTitle(const std::string& versionSuffix, const OsInfo& os) {
  std::string title = "Quelvo" + versionSuffix + " (Win98/Me/2000/XP)";
  if (os.OsCode != -1) title += "          " + os.OsLabel;
  return title;
}

}  // namespace quelvo
