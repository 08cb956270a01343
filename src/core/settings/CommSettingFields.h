// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The keys of a communication setting file, in file order (receive section,
// then send section), each tied to its field of CommSetting and to the items
// the settings dialog offers for it. Loading, saving and the dialog all work
// from this one table.
#include <string>
#include <vector>

#include "core/settings/CommSetting.h"

namespace quelvo {

inline constexpr const char* kReceiveSection = "Setting_R";
inline constexpr const char* kSendSection = "Setting_S";

struct CommSettingField {
  const char* section;
  const char* key;                          // as stored, e.g. "S&E_Char", "Chk Count"
  int CommSetting::*intMember;              // set for integer fields
  std::string CommSetting::*textMember;     // set for text fields
  // The items offered for an index field, item i standing for value i. Empty
  // for free values: the ports (offered from the ports present), InvTime and
  // the text fields.
  std::vector<std::string> choices;

  bool IsText() const { return textMember != nullptr; }
};

const std::vector<CommSettingField>& CommSettingFields();

// The table entry of one field; every member of CommSetting has one.
const CommSettingField& CommSettingFieldOf(int CommSetting::*member);
const CommSettingField& CommSettingFieldOf(std::string CommSetting::*member);

// Shorthand for the items of an index field.
const std::vector<std::string>& ChoicesOf(int CommSetting::*member);

}  // namespace quelvo
