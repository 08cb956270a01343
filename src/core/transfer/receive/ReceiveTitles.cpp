// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/receive/ReceiveTitles.h"

namespace quelvo {

std::string ReceivingTitle(const std::string& name, const std::string& versionSuffix) {
  return "<受信>" + name + " - Quelvo" + versionSuffix;
}

std::string IdleTitle(const std::string& versionSuffix) {
  return "Quelvo" + versionSuffix + " (Win98/Me/2000/XP)";
}

}  // namespace quelvo
