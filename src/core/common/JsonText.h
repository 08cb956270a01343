// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// JSON text for the programs' machine-readable output (quelvo-cli --json, the
// shop service's status).
#include <string>

namespace quelvo {

// A JSON string literal of UTF-8 text: quotes and backslashes escaped, control
// characters as \u00XX.
std::string JsonString(const std::string& text);

}  // namespace quelvo
