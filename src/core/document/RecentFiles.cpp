// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/RecentFiles.h"

namespace quelvo {

void AddRecentFile(RecentFileList& files, const std::string& path) {
  if (path.empty()) return;
  // The entry that gives way: the path's own place, else the first empty entry,
  // else the last one, which falls off.
  std::size_t vacated = files.size() - 1;
  bool found = false;
  for (std::size_t k = 0; k < files.size() && !found; ++k) {
    if (files[k] == path) {
      vacated = k;
      found = true;
    }
  }
  if (!found) {
    for (std::size_t k = 0; k < files.size(); ++k) {
      if (files[k].empty()) {
        vacated = k;
        break;
      }
    }
  }
  for (std::size_t k = vacated; k > 0; --k) files[k] = std::move(files[k - 1]);
  files[0] = path;
}

RecentFileMenu BuildRecentFileMenu(const RecentFileList& files) {
  RecentFileMenu menu;
  for (std::size_t k = 0; k < files.size(); ++k) {
    if (files[k].empty()) continue;
    std::string caption = "&" + std::to_string(k + 1) + " ";
    for (char c : files[k]) {
      if (c == '&') caption.push_back('&');
      caption.push_back(c);
    }
    menu.visible[k] = true;
    menu.captions[k] = std::move(caption);
  }
  menu.separatorVisible = !files[0].empty();
  return menu;
}

}  // namespace quelvo
