// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The file types offered by the open and save dialogs, in their fixed order
// (index 1 to 7, the index stored as Mask_No).
#include <string>
#include <vector>

#include "core/document/UserFileTypes.h"

namespace quelvo {

struct FileFilterEntry {
  std::string description;               // as shown, e.g. "テキスト(*.txt)"
  std::string pattern;                   // ";"-separated, e.g. "*.TXT"; empty for index 7
  std::string defaultExtension;          // without dot; empty: none
};

constexpr int kFileFilterCount = 7;

// The seven entries, the user-defined types as entries 3 and 4.
std::vector<FileFilterEntry> BuildFileFilter(const UserFileTypes& types);

// The whole list as one text: each entry as description + "|" + pattern + "|".
std::string FileFilterText(const std::vector<FileFilterEntry>& entries);

// The save dialog's default extension for a 1-based filter index; empty for an
// index outside the list.
std::string DefaultExtensionFor(const std::vector<FileFilterEntry>& entries, int maskNo);

// A mask as a default extension: "*.NCD" -> "NCD"; a mask with wildcards left
// after its "*." ("*.*") gives none.
std::string DefaultExtensionFromMask(const std::string& mask);

// The patterns of an entry one by one ("*.NC;*.NC1" -> {"*.NC", "*.NC1"}).
std::vector<std::string> FilterPatterns(const FileFilterEntry& entry);

}  // namespace quelvo
