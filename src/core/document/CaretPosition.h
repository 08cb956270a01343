// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The caret position text of the editor status bar: line and column, both
// counted from 1, as "3 , 1".
#include <string>

namespace quelvo {

std::string CaretPositionText(long line1, long column1);

}  // namespace quelvo
