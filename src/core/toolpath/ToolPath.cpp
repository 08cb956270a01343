// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/ToolPath.h"

#include <algorithm>
#include <cmath>

namespace quelvo {

double OnPathGrid(double mm) {
  // A whole number of steps divided by the steps per millimetre is the double
  // nearest the grid point; adding 0 turns -0 into 0.
  constexpr double kStepsPerMm = 100000;  // 1 / kPathResolution, exactly
  return std::round(mm * kStepsPerMm) / kStepsPerMm + 0.0;
}

Point3 OnPathGrid(const Point3& p) { return {OnPathGrid(p.x), OnPathGrid(p.y), OnPathGrid(p.z)}; }

const ArcCentre* ToolPath::ArcOf(size_t i) const {
  auto it = std::lower_bound(arcs.begin(), arcs.end(), i,
                             [](const ArcCentre& a, size_t move) { return a.move < move; });
  return it != arcs.end() && it->move == i ? &*it : nullptr;
}

long ToolPath::FirstMoveOfLine(int32_t wanted) const {
  // Line numbers rise with the move index.
  auto it = std::lower_bound(line.begin(), line.end(), wanted);
  return it != line.end() && *it == wanted ? static_cast<long>(it - line.begin()) : -1;
}

size_t ToolPath::MemoryBytes() const {
  return (x.capacity() + y.capacity() + z.capacity()) * sizeof(double) + feeds.capacity() * sizeof(FeedChange) +
         line.capacity() * sizeof(int32_t) +
         kind.capacity() * sizeof(MoveKind) + arcs.capacity() * sizeof(ArcCentre);
}

}  // namespace quelvo
