// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Moving between the fields of one dialog page with Enter and the arrow keys:
// the step wraps around at both ends.

namespace quelvo {

// The index `step` places away from `index` among `count` fields, wrapped into
// 0..count-1. A count of zero or less gives 0.
int StepFieldIndex(int index, int count, int step);

}  // namespace quelvo
