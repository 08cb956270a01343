// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plot of a path in one view: the wheel zooms about the cursor, a drag
// pans, Fit shows the whole path. The path is drawn into a picture kept for
// the present view; a pan or zoom in progress moves or scales that picture and
// the path is drawn anew once the hand rests, so that millions of moves pan
// smoothly. A click on a move reports it (MoveClicked). Over the path: the
// start marker, a marker where each listed problem stands, the axes' names
// and a scale bar; the model point under the mouse is reported (CursorMoved).
#include <QImage>
#include <QThread>
#include <QTimer>
#include <QWidget>
#include <memory>
#include <vector>

#include "gui/plot/PathRenderer.h"

namespace quelvo {

class PlotView : public QWidget {
  Q_OBJECT
 public:
  explicit PlotView(QWidget* parent = nullptr);
  ~PlotView() override;

  // `fit`: show the whole new path; otherwise keep the present zoom and pan.
  // `summary` is the path's (made where the path was, so that a large path is
  // not gone over again here).
  void SetPath(std::shared_ptr<const ToolPath> path, const PathSummary& summary, bool fit);
  void SetView(PlotViewKind view);
  PlotViewKind View() const { return view_; }
  void Fit();
  // The move drawn highlighted (-1: none).
  void SetHighlight(long move);
  long Highlight() const { return highlight_; }
  const PlotTransform& Transform() const { return transform_; }
  // Pans by `delta` pixels, as a drag does.
  void PanBy(const QPointF& delta);
  // Zooms by `factor` keeping the model point under `at` in place.
  void ZoomAt(const QPointF& at, double factor);
  // Draws the kept picture now, in this thread (the benchmark's measure).
  void RenderCache();
  // True while a large path is being drawn in the background.
  bool Rendering() const { return renderer_ && renderer_->isRunning(); }
  // The kept picture shows the path as the view now stands.
  bool PictureCurrent() const { return cacheValid_; }

 signals:
  void MoveClicked(long move);
  // The coordinates under the mouse as text; empty when it left the plot.
  void CursorMoved(const QString& text);

 protected:
  void paintEvent(QPaintEvent* e) override;
  void resizeEvent(QResizeEvent* e) override;
  void wheelEvent(QWheelEvent* e) override;
  void mousePressEvent(QMouseEvent* e) override;
  void mouseMoveEvent(QMouseEvent* e) override;
  void mouseReleaseEvent(QMouseEvent* e) override;
  void leaveEvent(QEvent* e) override;

 private:
  void Settle();  // the hand rests: draw the path anew later
  void RenderInBackground();

  std::shared_ptr<const ToolPath> path_;
  PathSummary summary_;
  std::vector<Point3> problemPoints_;
  PlotViewKind view_ = PlotViewKind::Top;
  PlotTransform transform_;
  long highlight_ = -1;
  QImage cache_;
  PlotTransform cacheTransform_;
  bool cacheValid_ = false;
  bool fitted_ = true;  // showing the fit: a resize fits again
  QTimer redraw_;
  QThread* renderer_ = nullptr;
  QPointF pressAt_, lastAt_;
  bool dragging_ = false;
};

}  // namespace quelvo
