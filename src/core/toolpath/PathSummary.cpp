// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/PathSummary.h"

#include <algorithm>
#include <cmath>

#include "core/toolpath/ArcGeometry.h"

namespace quelvo {

namespace {

ArcSweep SweepOfMove(const ToolPath& path, size_t i, const ArcCentre& c) {
  return SweepOf(path.Start(i), path.End(i), {c.x, c.y, c.z}, c.plane, path.kind[i] == MoveKind::ArcCw);
}

void Include(PathSummary& s, const Point3& p) {
  if (s.empty) {
    s.min = s.max = p;
    s.empty = false;
    return;
  }
  s.min = {std::min(s.min.x, p.x), std::min(s.min.y, p.y), std::min(s.min.z, p.z)};
  s.max = {std::max(s.max.x, p.x), std::max(s.max.y, p.y), std::max(s.max.z, p.z)};
}

// The arc's points at the quarter angles it passes, where it bulges past its ends.
void IncludeArc(PathSummary& s, const ArcSweep& arc, ArcPlane plane) {
  const double quarter = 1.5707963267948966;
  const double lo = std::min(arc.startAngle, arc.startAngle + arc.sweep);
  const double hi = std::max(arc.startAngle, arc.startAngle + arc.sweep);
  for (double a = std::ceil(lo / quarter) * quarter; a <= hi; a += quarter) {
    const double t = (a - arc.startAngle) / arc.sweep;
    Include(s, PointOnArc(arc, plane, t));
  }
}

}  // namespace

double MoveLength(const ToolPath& path, size_t i) {
  if (path.IsArc(i))
    if (const ArcCentre* c = path.ArcOf(i)) return ArcLength(SweepOfMove(path, i, *c));
  const Point3 a = path.Start(i), b = path.End(i);
  return std::sqrt((b.x - a.x) * (b.x - a.x) + (b.y - a.y) * (b.y - a.y) + (b.z - a.z) * (b.z - a.z));
}

PathSummary Summarize(const ToolPath& path, double rapidRate) {
  PathSummary s;
  if (path.size() > 0) Include(s, path.start);
  size_t arc = 0, feedChange = 0;
  float feed = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    if (feedChange < path.feeds.size() && path.feeds[feedChange].move == i) feed = path.feeds[feedChange++].feed;
    Include(s, path.End(i));
    double length;
    if (path.IsArc(i) && arc < path.arcs.size() && path.arcs[arc].move == i) {
      const ArcCentre& c = path.arcs[arc++];
      const ArcSweep sweep = SweepOfMove(path, i, c);
      IncludeArc(s, sweep, c.plane);
      length = ArcLength(sweep);
    } else {
      length = MoveLength(path, i);
    }
    const MoveKind k = path.kind[i];
    if (k == MoveKind::Rapid || k == MoveKind::Home) {
      s.rapidLength += length;
      s.rapidMinutes += length / rapidRate;
    } else if (k != MoveKind::Machine) {
      s.feedLength += length;
      if (feed > 0) s.feedMinutes += length / feed;
    }
  }
  return s;
}

}  // namespace quelvo
