#pragma once
// Drawing an interpreted path in one of the plot's four views: projection of
// the model (millimetres) onto the screen, the drawing itself (rapids dashed,
// feeds solid, arcs as arcs) and finding the move under a point.
//
// The drawing skips the parts of runs of moves that fall within one pixel, so
// that millions of short moves cost a pass over the arrays, not a line each.
#include <QPointF>
#include <QRectF>

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

}  // namespace quelvo
