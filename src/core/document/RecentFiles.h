// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The five recent files of the "ファイル" menu, File1 (most recent) to File5.
// An empty entry is no entry; entries are never removed.
#include <array>
#include <string>

namespace quelvo {

using RecentFileList = std::array<std::string, 5>;

// Puts path first. A path already in the list (exact, case-sensitive comparison)
// moves to the front; a new one pushes the others down into the first empty
// entry, or drops File5 when none is empty. An empty path changes nothing.
void AddRecentFile(RecentFileList& files, const std::string& path);

struct RecentFileMenu {
  std::array<bool, 5> visible{};          // MenuFile0 .. MenuFile4
  std::array<std::string, 5> captions;    // "&1 " + path .. "&5 " + path
  bool separatorVisible = false;          // shown once File1 is set
};

// The menu items for the list. An "&" in a path is doubled so that the menu shows
// it rather than taking it as an access key.
RecentFileMenu BuildRecentFileMenu(const RecentFileList& files);

}  // namespace quelvo
