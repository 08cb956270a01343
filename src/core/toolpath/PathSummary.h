// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the plot panel shows beside the path: the extents (arcs' bulges
// included), the rapid and feed lengths and the machining time estimated from
// F (feed moves at their F; rapids at an assumed rapid rate).
#include "core/toolpath/ToolPath.h"

namespace quelvo {

struct PathSummary {
  bool empty = true;
  Point3 min, max;
  double rapidLength = 0, feedLength = 0;  // mm; feed includes arcs and drilling
  double feedMinutes = 0;   // feed moves with an F per minute
  double rapidMinutes = 0;  // at `rapidRate`
};

PathSummary Summarize(const ToolPath& path, double rapidRate = 10000.0);
// The length of move i (arcs along the arc).
double MoveLength(const ToolPath& path, size_t i);

}  // namespace quelvo
