// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Typed text reaches the document upper-cased: the letters a to z become A to Z,
// every other character (multi-byte UTF-8 included) stays as it is.
#include <string>

namespace quelvo {

std::string UpperCaseTyped(std::string text);

}  // namespace quelvo
