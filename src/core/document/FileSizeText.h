// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The size text of the editor status bar: bytes, KB or MB, or, when sizes are
// shown as paper tape, metres of tape (one character is a tenth of an inch).
#include <string>

namespace quelvo {

// metres: the option "メートル表示(Y/N)" (op3) reads "Y".
std::string FileSizeText(double sizeBytes, bool metres);

}  // namespace quelvo
