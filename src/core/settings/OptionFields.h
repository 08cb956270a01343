// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The sixteen fields of the options dialog: page, label, length, key filter and
// the program value each edits, in the order they stand on their page.
#include <array>
#include <string>
#include <vector>

#include "core/settings/InputFilter.h"
#include "core/settings/ProgramSettings.h"

namespace quelvo {

constexpr int kOptionFieldCount = 16;

// Page titles, in page order.
extern const std::array<const char*, 3> kOptionPageTitles;

struct OptionField {
  int page;           // index into kOptionPageTitles
  const char* label;  // shown above the field
  int maxLength;      // characters the field holds
  InputFilter filter;
  std::string& (*value)(ProgramSettings&);  // the value the field edits
};

// All sixteen fields, page by page, each page in its field order.
const std::array<OptionField, kOptionFieldCount>& OptionFieldTable();

// The indexes into OptionFieldTable() of the fields of one page, in order.
std::vector<int> OptionFieldsOfPage(int page);

using OptionTexts = std::array<std::string, kOptionFieldCount>;

OptionTexts ReadOptionTexts(ProgramSettings& settings);
// Stores the texts as they stand (an emptied field becomes the empty text) and
// decodes the options anew.
void ApplyOptionTexts(ProgramSettings& settings, const OptionTexts& texts);

}  // namespace quelvo
