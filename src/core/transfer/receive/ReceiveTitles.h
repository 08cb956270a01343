// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window titles a reception shows. The send side keeps its own.
#include <string>

namespace quelvo {

// "<受信>" + name + " - Quelvo" + version suffix: while receiving into `name`.
std::string ReceivingTitle(const std::string& name, const std::string& versionSuffix);
// "Quelvo" + version suffix + " (Win98/Me/2000/XP)": after a stopped reception.
std::string IdleTitle(const std::string& versionSuffix);

}  // namespace quelvo
