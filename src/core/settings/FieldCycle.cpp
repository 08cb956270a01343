// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/settings/FieldCycle.h"

namespace quelvo {

int StepFieldIndex(int index, int count, int step) {
  if (count <= 0) return 0;
  const int moved = (index + step) % count;
  return moved < 0 ? moved + count : moved;
}

}  // namespace quelvo
