// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/UserFileTypes.h"

namespace quelvo {

namespace {

std::string MaskFromField(const std::string& field) {
  if (field.empty()) return "*.*";
  return NormalizeExtensionField(field);
}

}  // namespace

std::string NormalizeExtensionField(const std::string& field) {
  if (field.find("*.") != std::string::npos) return field;
  if (field.find('.') != std::string::npos) return "*" + field;
  return "*." + field;
}

bool IsForbiddenExtensionChar(char32_t c) {
  switch (c) {
    case U'/': case U':': case U',': case U';':
    case U'?': case U'<': case U'>': case U'|':
      return true;
    default:
      return false;
  }
}

UserFileTypes UserFileTypesFromFields(const std::string& name1, const std::string& extension1,
                                      const std::string& name2, const std::string& extension2) {
  UserFileTypes types;
  types.User1_Name = name1.empty() ? "ﾕｰｻﾞ定義1" : name1;
  types.User1_Mask = MaskFromField(extension1);
  types.User2_Name = name2.empty() ? "ﾕｰｻﾞ定義2" : name2;
  types.User2_Mask = MaskFromField(extension2);
  return types;
}

}  // namespace quelvo
