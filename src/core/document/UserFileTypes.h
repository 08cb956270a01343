// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two file types the user defines ("ﾕｰｻﾞ定義(拡張子)"): a display name and a
// mask "*." + extension each, shown as entries 3 and 4 of the file filter list.
#include <string>

namespace quelvo {

struct UserFileTypes {
  std::string User1_Name = "ﾕｰｻﾞ1";
  std::string User1_Mask = "*.*";
  std::string User2_Name = "ﾕｰｻﾞ2";
  std::string User2_Mask = "*.*";
};

// What the user typed into the extension field, as a mask: left as it is when it
// holds "*.", else "*" is put before a text holding ".", else "*.".
// "NCD" and ".NCD" both give "*.NCD".
std::string NormalizeExtensionField(const std::string& field);

// The characters refused in an extension field: "/:,;?<>|".
bool IsForbiddenExtensionChar(char32_t c);

// The four fields of the dialog turned into the stored values by "変更": masks
// normalised, an empty mask "*.*", an empty name "ﾕｰｻﾞ定義1" or "ﾕｰｻﾞ定義2".
UserFileTypes UserFileTypesFromFields(const std::string& name1, const std::string& extension1,
                                      const std::string& name2, const std::string& extension2);

}  // namespace quelvo
