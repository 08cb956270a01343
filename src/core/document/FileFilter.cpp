// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/FileFilter.h"

namespace quelvo {

namespace {

FileFilterEntry UserEntry(const std::string& name, const std::string& mask) {
  return {name + "(" + mask + ")", mask, DefaultExtensionFromMask(mask)};
}

}  // namespace

std::vector<FileFilterEntry> BuildFileFilter(const UserFileTypes& types) {
  return {
      {"ＮＣ文章(*.nc;*.nc1;*.nc0)", "*.NC;*.NC1;*.NC0", "nc"},
      {"テキスト(*.txt)", "*.TXT", "txt"},
      UserEntry(types.User1_Name, types.User1_Mask),
      UserEntry(types.User2_Name, types.User2_Mask),
      {"すべて表示(*.*)", "*.*", "nc"},
      {"OSP用(*.MIN;*.SUB;*.SDF;*.RBT;*.SSB;*.RPD)", "*.MIN;*.SUB;*.SDF;*.RBT;*.SSB;*.RPD", "MIN"},
      {"拡張子無し    ", "", ""},
  };
}

std::string FileFilterText(const std::vector<FileFilterEntry>& entries) {
  std::string text;
  for (const FileFilterEntry& entry : entries) text += entry.description + "|" + entry.pattern + "|";
  return text;
}

std::string DefaultExtensionFor(const std::vector<FileFilterEntry>& entries, int maskNo) {
  if (maskNo < 1 || maskNo > static_cast<int>(entries.size())) return std::string();
  return entries[static_cast<std::size_t>(maskNo - 1)].defaultExtension;
}

std::string DefaultExtensionFromMask(const std::string& mask) {
  std::string extension = mask.compare(0, 2, "*.") == 0 ? mask.substr(2) : mask;
  if (extension.find_first_of("*?") != std::string::npos) return std::string();
  return extension;
}

std::vector<std::string> FilterPatterns(const FileFilterEntry& entry) {
  std::vector<std::string> patterns;
  std::size_t start = 0;
  while (start <= entry.pattern.size()) {
    std::size_t end = entry.pattern.find(';', start);
    if (end == std::string::npos) end = entry.pattern.size();
    if (end > start) patterns.push_back(entry.pattern.substr(start, end - start));
    start = end + 1;
  }
  return patterns;
}

}  // namespace quelvo
