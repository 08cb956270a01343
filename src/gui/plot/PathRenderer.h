// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing an interpreted path in one of the plot's four views: projection of
// the model (millimetres) onto the screen, the drawing itself (rapids dashed,
// feeds solid, arcs as arcs) and finding the move under a point.
//
// The drawing skips the parts of runs of moves that fall within one pixel, so
// that millions of short moves cost a pass over the arrays, not a line each.
#include <QPen>
#include <QPointF>
#include <QRectF>
#include <QString>
#include <vector>

#include "core/toolpath/PathSummary.h"
#include "core/toolpath/ToolPath.h"

class QPainter;

namespace quelvo {

// XY, XZ, YZ, isometric, and the lathe's ZX (Z to the right, X upwards)
enum class PlotViewKind { Top, Front, Side, Iso, Lathe };

// The model point seen in `view`, v upwards.
QPointF ProjectModel(const Point3& p, PlotViewKind view);

// Model (projected) to screen: screen = offset + (u, -v) * scale.
struct PlotTransform {
  double scale = 1;
  QPointF offset;
  QPointF ToScreen(const QPointF& model) const { return {offset.x() + model.x() * scale, offset.y() - model.y() * scale}; }
  QPointF ToModel(const QPointF& screen) const {
    return {(screen.x() - offset.x()) / scale, -(screen.y() - offset.y()) / scale};
  }
};

// The projected bounds of a path's extents (its summary); empty for no moves.
QRectF ProjectedBounds(const PathSummary& summary, PlotViewKind view);
// The transform that shows `bounds` whole in `area`, centred, with a margin.
PlotTransform FitTransform(const QRectF& bounds, const QRectF& area);

// Large paths are drawn with thin lines and without smoothing, for speed.
bool IsLargePath(const ToolPath& path);
void DrawPath(QPainter& painter, const ToolPath& path, PlotViewKind view, const PlotTransform& t);
// Draws move `index` over the path, thick, with its end marked.
void DrawHighlight(QPainter& painter, const ToolPath& path, size_t index, PlotViewKind view, const PlotTransform& t);
// The move nearest to screen point `at` within `radius` pixels, or -1.
long MoveAt(const ToolPath& path, PlotViewKind view, const PlotTransform& t, const QPointF& at, double radius);

// The pen of a kind of move (`thin`: one pixel, for large paths); the plot and
// its legend draw with the same.
QPen PenFor(MoveKind kind, bool thin);
// Where the tool stands after the line of each listed problem, to mark it.
std::vector<Point3> ProblemPoints(const ToolPath& path);
// The start marker (a green ring) and a problem marker (a red diamond) at `at`.
void DrawStartMarker(QPainter& painter, const QPointF& at);
void DrawProblemMarker(QPainter& painter, const QPointF& at);

// The names of the screen's right and up axes in `view` ("X", "Y"; on the
// lathe "Z", "X"); empty for the isometric view, which has no plane.
QString RightAxisName(PlotViewKind view);
QString UpAxisName(PlotViewKind view);
// The length in millimetres of a scale bar about `pixels` long: 1, 2 or 5
// times a power of ten.
double ScaleBarLength(double pixelsPerMm, double pixels);
// The model coordinates under screen point `at`, for the status line
// ("X 12.500  Y -3.000"; on the lathe X as a diameter); empty in the
// isometric view, where a point of the screen is no point of the model.
QString CursorText(PlotViewKind view, const PlotTransform& t, const QPointF& at);
// Axis arrows with their names at the lower left and the scale bar at the
// lower right of `area`, over the plot.
void DrawAxesAndScale(QPainter& painter, PlotViewKind view, const PlotTransform& t, const QRectF& area);

}  // namespace quelvo
