// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/transfer/receive/ReceiveFileName.h"

#include <algorithm>

namespace quelvo {

std::string PlainFileName(const std::string& sent) {
  const size_t separator = sent.find_last_of("/\\");
  std::string name = separator == std::string::npos ? sent : sent.substr(separator + 1);
  if (name == "." || name == "..") name.clear();
  return name;
}

std::string SavedControlFileName(const std::string& ncFileName) {
  std::string name = ncFileName;
  if (name.find('.') == std::string::npos) name += ".MIN";
  name.erase(std::remove(name.begin(), name.end(), ' '), name.end());
  return name;
}

std::string JoinFolderAndName(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  if (folder.back() == '/') return folder + name;
  return folder + "/" + name;
}

std::string FolderOfPath(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return "";
  if (slash == 0) return "/";
  return path.substr(0, slash);
}

}  // namespace quelvo
