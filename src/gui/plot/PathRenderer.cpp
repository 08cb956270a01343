// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/plot/PathRenderer.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <algorithm>
#include <cmath>

#include "core/toolpath/ArcGeometry.h"

namespace quelvo {

namespace {

constexpr double kCos30 = 0.8660254037844386;

// Screen points of move i: its start and end, or the arc's points in between.
template <typename Sink>
void MovePoints(const ToolPath& path, size_t i, const ArcCentre* arc, PlotViewKind view, const PlotTransform& t,
                Sink&& sink) {
  if (arc) {
    const ArcSweep sweep =
        SweepOf(path.Start(i), path.End(i), {arc->x, arc->y, arc->z}, arc->plane, path.kind[i] == MoveKind::ArcCw);
    const double pixels = std::fabs(sweep.sweep) * sweep.radius * t.scale;
    const int steps = std::clamp(static_cast<int>(pixels / 4), 2, 256);
    for (int s = 1; s <= steps; ++s)
      sink(t.ToScreen(ProjectModel(PointOnArc(sweep, arc->plane, double(s) / steps), view)));
  } else {
    sink(t.ToScreen(ProjectModel(path.End(i), view)));
  }
}

constexpr size_t kLargePath = 200000;  // moves from which the plot draws thin lines

bool SameKindGroup(MoveKind a, MoveKind b) {
  auto group = [](MoveKind k) { return k == MoveKind::ArcCw || k == MoveKind::ArcCcw ? MoveKind::Feed : k; };
  return group(a) == group(b);
}

}  // namespace

// `thin`: one-pixel lines, much faster to draw for very large paths.
QPen PenFor(MoveKind kind, bool thin) {
  switch (kind) {
    case MoveKind::Rapid: return QPen(QColor(230, 120, 0), thin ? 0 : 1, Qt::DashLine);
    case MoveKind::Home:
    case MoveKind::Machine: return QPen(QColor(200, 0, 0), thin ? 0 : 1.5, Qt::DashDotLine);
    case MoveKind::Drill: return QPen(QColor(160, 0, 200), thin ? 0 : 2);
    default: return QPen(QColor(0, 90, 220), thin ? 0 : 1.2);
  }
}

QPointF ProjectModel(const Point3& p, PlotViewKind view) {
  switch (view) {
    case PlotViewKind::Top: return {p.x, p.y};
    case PlotViewKind::Front: return {p.x, p.z};
    case PlotViewKind::Side: return {p.y, p.z};
    case PlotViewKind::Iso: return {(p.x - p.y) * kCos30, p.z + (p.x + p.y) * 0.5};
    case PlotViewKind::Lathe: return {p.z, p.x};
  }
  return {};
}

QRectF ProjectedBounds(const PathSummary& s, PlotViewKind view) {
  if (s.empty) return {};
  double minU = 1e300, maxU = -1e300, minV = 1e300, maxV = -1e300;
  for (int c = 0; c < 8; ++c) {
    const Point3 p{c & 1 ? s.max.x : s.min.x, c & 2 ? s.max.y : s.min.y, c & 4 ? s.max.z : s.min.z};
    const QPointF q = ProjectModel(p, view);
    minU = std::min(minU, q.x());
    maxU = std::max(maxU, q.x());
    minV = std::min(minV, q.y());
    maxV = std::max(maxV, q.y());
  }
  return QRectF(QPointF(minU, minV), QPointF(maxU, maxV));
}

PlotTransform FitTransform(const QRectF& bounds, const QRectF& area) {
  PlotTransform t;
  const double margin = 20;
  const double w = std::max(bounds.width(), 1e-3), h = std::max(bounds.height(), 1e-3);
  t.scale = std::min((area.width() - 2 * margin) / w, (area.height() - 2 * margin) / h);
  if (!(t.scale > 0)) t.scale = 1;
  const QPointF centre = bounds.center();
  t.offset = QPointF(area.center().x() - centre.x() * t.scale, area.center().y() + centre.y() * t.scale);
  return t;
}

bool IsLargePath(const ToolPath& path) { return path.size() >= kLargePath; }

void DrawPath(QPainter& painter, const ToolPath& path, PlotViewKind view, const PlotTransform& t) {
  if (path.size() == 0) return;
  const bool thin = IsLargePath(path);
  QPolygonF run;
  MoveKind runKind = path.kind[0];
  QPointF last = t.ToScreen(ProjectModel(path.start, view));
  run.append(last);
  auto flush = [&] {
    if (run.size() > 1) {
      painter.setPen(PenFor(runKind, thin));
      painter.drawPolyline(run);
    }
    run.clear();
    run.append(last);
  };
  size_t arc = 0;
  std::vector<QPointF> marks, holes;
  for (size_t i = 0; i < path.size(); ++i) {
    const MoveKind kind = path.kind[i];
    if (!SameKindGroup(kind, runKind)) {
      flush();
      runKind = kind;
    }
    const ArcCentre* centre = nullptr;
    if (path.IsArc(i) && arc < path.arcs.size() && path.arcs[arc].move == i) centre = &path.arcs[arc++];
    MovePoints(path, i, centre, view, t, [&](const QPointF& p) {
      // Points within half a pixel of the last kept one add nothing visible.
      if (std::fabs(p.x() - last.x()) < 0.5 && std::fabs(p.y() - last.y()) < 0.5) return;
      run.append(p);
      last = p;
    });
    if (kind == MoveKind::Home || kind == MoveKind::Machine) marks.push_back(t.ToScreen(ProjectModel(path.End(i), view)));
    if (kind == MoveKind::Drill) holes.push_back(t.ToScreen(ProjectModel(path.End(i), view)));
  }
  flush();
  // Holes as circles at their bottoms, so that they show where the drill is seen end on.
  painter.setPen(PenFor(MoveKind::Drill, thin));
  painter.setBrush(Qt::NoBrush);
  for (const QPointF& h : holes) painter.drawEllipse(h, 4, 4);
  painter.setPen(QPen(QColor(200, 0, 0), 1.5));
  for (const QPointF& m : marks) {
    painter.drawLine(m + QPointF(-5, -5), m + QPointF(5, 5));
    painter.drawLine(m + QPointF(-5, 5), m + QPointF(5, -5));
  }
}

void DrawHighlight(QPainter& painter, const ToolPath& path, size_t index, PlotViewKind view, const PlotTransform& t) {
  if (index >= path.size()) return;
  QPolygonF line;
  line.append(t.ToScreen(ProjectModel(path.Start(index), view)));
  MovePoints(path, index, path.IsArc(index) ? path.ArcOf(index) : nullptr, view, t,
             [&](const QPointF& p) { line.append(p); });
  QPen pen(QColor(255, 0, 110), 4);
  pen.setCapStyle(Qt::RoundCap);
  painter.setPen(pen);
  painter.drawPolyline(line);
  painter.setBrush(QColor(255, 0, 110));
  painter.drawEllipse(line.back(), 4, 4);
}

long MoveAt(const ToolPath& path, PlotViewKind view, const PlotTransform& t, const QPointF& at, double radius) {
  long best = -1;
  double bestDistance = radius;
  size_t arc = 0;
  for (size_t i = 0; i < path.size(); ++i) {
    const ArcCentre* centre = nullptr;
    if (path.IsArc(i) && arc < path.arcs.size() && path.arcs[arc].move == i) centre = &path.arcs[arc++];
    QPointF from = t.ToScreen(ProjectModel(path.Start(i), view));
    MovePoints(path, i, centre, view, t, [&](const QPointF& to) {
      // Distance from `at` to the segment from..to.
      const QPointF d = to - from;
      const double len2 = QPointF::dotProduct(d, d);
      const double u = len2 > 0 ? std::clamp(QPointF::dotProduct(at - from, d) / len2, 0.0, 1.0) : 0.0;
      const QPointF q = from + d * u - at;
      const double dist = std::hypot(q.x(), q.y());
      if (dist < bestDistance) {
        bestDistance = dist;
        best = static_cast<long>(i);
      }
      from = to;
    });
  }
  return best;
}

}  // namespace quelvo

namespace quelvo {

std::vector<Point3> ProblemPoints(const ToolPath& path) {
  std::vector<Point3> points;
  points.reserve(path.problems.size());
  for (const PathNote& note : path.problems) {
    // The moves of lines up to the problem's: the tool stands at the last one's end.
    const size_t after = static_cast<size_t>(std::upper_bound(path.line.begin(), path.line.end(), note.line) -
                                             path.line.begin());
    points.push_back(after == 0 ? path.start : path.End(after - 1));
  }
  return points;
}

void DrawStartMarker(QPainter& painter, const QPointF& at) {
  painter.setPen(QPen(QColor(0, 150, 60), 2.5));
  painter.setBrush(Qt::white);
  painter.drawEllipse(at, 6, 6);
  painter.setBrush(QColor(0, 150, 60));
  painter.drawEllipse(at, 2, 2);
}

void DrawProblemMarker(QPainter& painter, const QPointF& at) {
  painter.setPen(QPen(Qt::white, 1));
  painter.setBrush(QColor(220, 0, 0));
  const QPointF diamond[] = {at + QPointF(0, -7), at + QPointF(6, 0), at + QPointF(0, 7), at + QPointF(-6, 0)};
  painter.drawPolygon(diamond, 4);
}

QString RightAxisName(PlotViewKind view) {
  switch (view) {
    case PlotViewKind::Top: case PlotViewKind::Front: return "X";
    case PlotViewKind::Side: return "Y";
    case PlotViewKind::Lathe: return "Z";
    case PlotViewKind::Iso: break;
  }
  return {};
}

QString UpAxisName(PlotViewKind view) {
  switch (view) {
    case PlotViewKind::Top: return "Y";
    case PlotViewKind::Front: case PlotViewKind::Side: return "Z";
    case PlotViewKind::Lathe: return "X";
    case PlotViewKind::Iso: break;
  }
  return {};
}

double ScaleBarLength(double pixelsPerMm, double pixels) {
  if (!(pixelsPerMm > 0) || !std::isfinite(pixelsPerMm)) return 0;
  const double wanted = pixels / pixelsPerMm;
  const double decade = std::pow(10.0, std::floor(std::log10(wanted)));
  for (double step : {5.0, 2.0, 1.0})
    if (step * decade <= wanted) return step * decade;
  return decade;
}

QString CursorText(PlotViewKind view, const PlotTransform& t, const QPointF& at) {
  const QPointF m = t.ToModel(at);
  auto number = [](double v) { return QString::number(v, 'f', 3); };
  if (view == PlotViewKind::Iso) return {};
  if (view == PlotViewKind::Lathe)  // the plot's up axis is the radius; programs give diameters
    return QString("Z %1  X %2 (直径)").arg(number(m.x()), number(2 * m.y()));
  return QString("%1 %2  %3 %4").arg(RightAxisName(view), number(m.x()), UpAxisName(view), number(m.y()));
}

void DrawAxesAndScale(QPainter& painter, PlotViewKind view, const PlotTransform& t, const QRectF& area) {
  painter.save();
  painter.setRenderHint(QPainter::Antialiasing, true);
  QFont font = painter.font();
  font.setPointSizeF(std::max(7.0, font.pointSizeF() - 1));
  painter.setFont(font);
  const QColor ink(70, 70, 70);
  auto arrow = [&](const QPointF& from, const QPointF& direction, const QString& name) {
    const QPointF to = from + direction * 34;
    painter.setPen(QPen(ink, 1.5));
    painter.drawLine(from, to);
    const QPointF back = -direction * 7, side(-direction.y() * 4, direction.x() * 4);
    const QPointF head[] = {to, to + back + side, to + back - side};
    painter.setBrush(ink);
    painter.drawPolygon(head, 3);
    painter.drawText(QRectF(to + direction * 10 - QPointF(10, 9), QSizeF(20, 18)), Qt::AlignCenter, name);
  };
  const QPointF corner(area.left() + 24, area.bottom() - 24);
  if (view == PlotViewKind::Iso) {
    // The model axes as the isometric projection shows them.
    for (const auto& [axis, name] : {std::pair{Point3{1, 0, 0}, "X"}, {Point3{0, 1, 0}, "Y"}, {Point3{0, 0, 1}, "Z"}}) {
      const QPointF p = ProjectModel(axis, view);
      arrow(corner + QPointF(30, -6), QPointF(p.x(), -p.y()) / std::hypot(p.x(), p.y()), name);
    }
  } else {
    arrow(corner, QPointF(1, 0), RightAxisName(view));
    arrow(corner, QPointF(0, -1), UpAxisName(view));
  }
  const double length = ScaleBarLength(t.scale, 100);
  if (length > 0) {
    const double pixels = length * t.scale;
    const QPointF right(area.right() - 16, area.bottom() - 18);
    const QPointF left = right - QPointF(pixels, 0);
    painter.setPen(QPen(ink, 2));
    painter.drawLine(left, right);
    painter.drawLine(left + QPointF(0, -5), left + QPointF(0, 5));
    painter.drawLine(right + QPointF(0, -5), right + QPointF(0, 5));
    painter.drawText(QRectF(left.x(), left.y() - 22, pixels, 18), Qt::AlignCenter,
                     QString("%1 mm").arg(QString::number(length, 'g', 6)));
  }
  painter.restore();
}

}  // namespace quelvo
