// SPDX-License-Identifier: GPL-3.0-or-later
#include "core/toolpath/ArcGeometry.h"

#include <cmath>

namespace quelvo {

namespace {
constexpr double kTwoPi = 6.283185307179586;
constexpr double kSamePoint = 1e-9;
}  // namespace

PlanePoint ToPlane(const Point3& p, ArcPlane plane) {
  switch (plane) {
    case ArcPlane::XY: return {p.x, p.y, p.z};
    case ArcPlane::ZX: return {p.z, p.x, p.y};
    case ArcPlane::YZ: return {p.y, p.z, p.x};
  }
  return {};
}

Point3 FromPlane(const PlanePoint& p, ArcPlane plane) {
  switch (plane) {
    case ArcPlane::XY: return {p.u, p.v, p.w};
    case ArcPlane::ZX: return {p.v, p.w, p.u};
    case ArcPlane::YZ: return {p.w, p.u, p.v};
  }
  return {};
}

std::optional<Point3> CentreFromRadius(const Point3& start, const Point3& end, double r, bool clockwise,
                                       ArcPlane plane, double tolerance) {
  const PlanePoint s = ToPlane(start, plane), e = ToPlane(end, plane);
  const double du = e.u - s.u, dv = e.v - s.v;
  const double d = std::hypot(du, dv);
  if (d < kSamePoint || r == 0) return std::nullopt;
  const double half = d / 2;
  double h2 = r * r - half * half;
  if (h2 < 0) {
    if (half - std::fabs(r) > tolerance) return std::nullopt;
    h2 = 0;
  }
  // Counter-clockwise arcs of up to 180 degrees turn about a centre left of
  // the chord; clockwise ones about one on the right; a negative R swaps.
  const double side = (clockwise ? -1.0 : 1.0) * (r > 0 ? 1.0 : -1.0);
  const double h = std::sqrt(h2) * side / d;
  PlanePoint c{(s.u + e.u) / 2 - dv * h, (s.v + e.v) / 2 + du * h, s.w};
  return FromPlane(c, plane);
}

ArcSweep SweepOf(const Point3& start, const Point3& end, const Point3& centre, ArcPlane plane, bool clockwise) {
  const PlanePoint s = ToPlane(start, plane), e = ToPlane(end, plane), c = ToPlane(centre, plane);
  ArcSweep arc;
  arc.centre = c;
  arc.radius = std::hypot(s.u - c.u, s.v - c.v);
  arc.startAngle = std::atan2(s.v - c.v, s.u - c.u);
  const double endAngle = std::atan2(e.v - c.v, e.u - c.u);
  double ccw = std::fmod(endAngle - arc.startAngle + 2 * kTwoPi, kTwoPi);  // 0 .. 2pi
  if (std::hypot(e.u - s.u, e.v - s.v) < kSamePoint) ccw = 0;
  if (clockwise) {
    const double cw = ccw == 0 ? kTwoPi : kTwoPi - ccw;
    arc.sweep = -cw;
  } else {
    arc.sweep = ccw == 0 ? kTwoPi : ccw;
  }
  arc.startW = s.w;
  arc.endW = e.w;
  return arc;
}

Point3 PointOnArc(const ArcSweep& arc, ArcPlane plane, double t) {
  const double a = arc.startAngle + arc.sweep * t;
  PlanePoint p{arc.centre.u + arc.radius * std::cos(a), arc.centre.v + arc.radius * std::sin(a),
               arc.startW + (arc.endW - arc.startW) * t};
  return FromPlane(p, plane);
}

double ArcLength(const ArcSweep& arc) {
  return std::hypot(arc.radius * arc.sweep, arc.endW - arc.startW);
}

}  // namespace quelvo
