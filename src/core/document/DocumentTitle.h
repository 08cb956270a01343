// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Window title texts of the document states. Every title ends with
// " - Quelvo" and the version suffix.
#include <string>

namespace quelvo {

inline constexpr const char* kVersionSuffix = " Ver1.47";
inline constexpr const char* kUntitledName = "無題";

std::string NewDocumentTitle();                           // "<新規作成>無題 - Quelvo Ver1.47"
std::string EditTitle(const std::string& fileName);       // "<編集>" + name + ...
std::string ModifiedTitle(const std::string& fileName);   // "<編集><変更>" + name + ...
std::string DiscardedTitle();                             // "<編集> - Quelvo Ver1.47"
std::string ReceiveTitle(const std::string& fileName);    // "<受信>" + name + ...

}  // namespace quelvo
