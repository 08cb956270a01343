// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Circular arcs in the plane of G17 (XY), G18 (ZX) or G19 (YZ): the centre of
// an arc given by its radius, the angle it sweeps, points along it. In each
// plane (u, v) is ordered so that counter-clockwise runs from u towards v as
// seen from the plane's positive normal, as the controls define G03.
#include <optional>

#include "core/toolpath/ToolPath.h"

namespace quelvo {

struct PlanePoint {
  double u = 0, v = 0, w = 0;  // w: the axis normal to the plane
};

PlanePoint ToPlane(const Point3& p, ArcPlane plane);
Point3 FromPlane(const PlanePoint& p, ArcPlane plane);

// The centre of an arc from `start` to `end` of radius `r` (negative: the arc
// of more than 180 degrees). Empty when the end points coincide or lie more
// than `tolerance` farther apart than the diameter; a chord up to that much
// too long is taken as a half circle.
std::optional<Point3> CentreFromRadius(const Point3& start, const Point3& end, double r, bool clockwise,
                                       ArcPlane plane, double tolerance);

struct ArcSweep {
  PlanePoint centre;
  double radius = 0;
  double startAngle = 0;  // radians, from +u towards +v
  double sweep = 0;       // signed: positive counter-clockwise; a full circle when the end meets the start
  double startW = 0, endW = 0;  // the helix's travel along the normal
};

ArcSweep SweepOf(const Point3& start, const Point3& end, const Point3& centre, ArcPlane plane, bool clockwise);
// The point at fraction t (0..1) of the arc.
Point3 PointOnArc(const ArcSweep& arc, ArcPlane plane, double t);
// The arc's length, with the travel along the normal of a helix.
double ArcLength(const ArcSweep& arc);

}  // namespace quelvo
