// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/UpperCaseInput.h"

namespace quelvo {

std::string UpperCaseTyped(std::string text) {
  for (char& c : text)
    if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
  return text;
}

}  // namespace quelvo
