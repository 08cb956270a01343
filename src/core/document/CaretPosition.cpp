// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/document/CaretPosition.h"

namespace quelvo {

std::string CaretPositionText(long line1, long column1) {
  return std::to_string(line1) + " , " + std::to_string(column1);
}

}  // namespace quelvo
