// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/plot/PlotView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QThread>
#include <QWheelEvent>
#include <cmath>

namespace quelvo {

namespace {
constexpr double kClickSlop = 4;    // pixels a click may move and still be a click
constexpr double kPickRadius = 6;   // pixels from a move that a click still picks it
constexpr int kRestMs = 150;        // the hand rests after this long without pan or zoom
}  // namespace

PlotView::PlotView(QWidget* parent) : QWidget(parent) {
  setObjectName("PlotView");
  setMinimumSize(320, 240);
  setMouseTracking(true);  // for the coordinates under the mouse
  setFocusPolicy(Qt::WheelFocus);
  redraw_.setSingleShot(true);
  redraw_.setInterval(kRestMs);
  connect(&redraw_, &QTimer::timeout, this, [this] {
    cacheValid_ = false;
    update();
  });
}

void PlotView::SetPath(std::shared_ptr<const ToolPath> path, const PathSummary& summary, bool fit) {
  path_ = std::move(path);
  summary_ = summary;
  problemPoints_ = path_ ? ProblemPoints(*path_) : std::vector<Point3>();
  highlight_ = -1;
  cacheValid_ = false;
  if (fit) Fit();
  update();
}

void PlotView::SetView(PlotViewKind view) {
  view_ = view;
  Fit();
}

void PlotView::Fit() {
  fitted_ = true;
  transform_ = FitTransform(summary_.empty ? QRectF(-50, -50, 100, 100) : ProjectedBounds(summary_, view_), rect());
  cacheValid_ = false;
  update();
}

void PlotView::SetHighlight(long move) {
  if (move == highlight_) return;
  highlight_ = move;
  update();
}

void PlotView::PanBy(const QPointF& delta) {
  transform_.offset += delta;
  fitted_ = false;
  Settle();
}

void PlotView::ZoomAt(const QPointF& at, double factor) {
  transform_.offset = at - (at - transform_.offset) * factor;
  transform_.scale *= factor;
  fitted_ = false;
  Settle();
}

void PlotView::Settle() {
  redraw_.start();
  update();
}

namespace {

// The path drawn on white with faint axes through the origin, the size of the
// view: what the view keeps and moves about while the hand pans or zooms.
QImage RenderPicture(const ToolPath* path, PlotViewKind view, const PlotTransform& t, QSize size, qreal ratio) {
  QImage image(size * ratio, QImage::Format_ARGB32_Premultiplied);
  image.setDevicePixelRatio(ratio);
  image.fill(Qt::white);
  QPainter p(&image);
  p.setRenderHint(QPainter::Antialiasing, !path || !IsLargePath(*path));
  p.setPen(QPen(QColor(200, 200, 200), 1));
  const QPointF origin = t.ToScreen(ProjectModel({}, view));
  p.drawLine(QPointF(0, origin.y()), QPointF(size.width(), origin.y()));
  p.drawLine(QPointF(origin.x(), 0), QPointF(origin.x(), size.height()));
  if (path) DrawPath(p, *path, view, t);
  return image;
}

bool SameTransform(const PlotTransform& a, const PlotTransform& b) {
  return a.scale == b.scale && a.offset == b.offset;
}

}  // namespace

PlotView::~PlotView() {
  if (renderer_) {
    renderer_->wait();
    delete renderer_;
  }
}

void PlotView::RenderCache() {
  cache_ = RenderPicture(path_.get(), view_, transform_, size(), devicePixelRatioF());
  cacheTransform_ = transform_;
  cacheValid_ = true;
}

// Large paths are drawn in a worker thread so that the window stays
// responsive; the picture kept meanwhile is shown moved and scaled.
void PlotView::RenderInBackground() {
  if (renderer_ && !renderer_->isFinished()) return;  // the next one starts when this one is done
  delete renderer_;
  auto path = path_;
  const PlotViewKind view = view_;
  const PlotTransform t = transform_;
  const QSize size = this->size();
  const qreal ratio = devicePixelRatioF();
  renderer_ = QThread::create([this, path, view, t, size, ratio] {
    QImage image = RenderPicture(path.get(), view, t, size, ratio);
    QMetaObject::invokeMethod(
        this,
        [this, image = std::move(image), path, view, t] {
          cache_ = image;
          cacheTransform_ = t;
          cacheValid_ = path == path_ && view == view_ && SameTransform(t, transform_) &&
                        cache_.size() == this->size() * devicePixelRatioF();
          update();
        },
        Qt::QueuedConnection);
  });
  renderer_->start();
}

void PlotView::paintEvent(QPaintEvent*) {
  if (!cacheValid_ && !redraw_.isActive()) {
    if (path_ && IsLargePath(*path_)) RenderInBackground();
    else RenderCache();
  }
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (!cache_.isNull()) {
    // The kept picture moved and scaled to the present transform.
    const double k = transform_.scale / cacheTransform_.scale;
    const QPointF topLeft = transform_.offset - cacheTransform_.offset * k;
    p.drawImage(QRectF(topLeft, QSizeF(cache_.width() * k / cache_.devicePixelRatio(),
                                       cache_.height() * k / cache_.devicePixelRatio())),
                cache_);
  }
  p.setRenderHint(QPainter::Antialiasing, true);
  if (path_ && path_->size() > 0) {
    DrawStartMarker(p, transform_.ToScreen(ProjectModel(path_->start, view_)));
    for (const Point3& at : problemPoints_) DrawProblemMarker(p, transform_.ToScreen(ProjectModel(at, view_)));
  }
  if (path_ && highlight_ >= 0) DrawHighlight(p, *path_, static_cast<size_t>(highlight_), view_, transform_);
  DrawAxesAndScale(p, view_, transform_, rect());
}

void PlotView::resizeEvent(QResizeEvent*) {
  if (fitted_) Fit();
  cacheValid_ = false;
}

void PlotView::wheelEvent(QWheelEvent* e) {
  const double steps = e->angleDelta().y() / 120.0;
  if (steps != 0) ZoomAt(e->position(), std::pow(1.25, steps));
  e->accept();
}

void PlotView::mousePressEvent(QMouseEvent* e) {
  if (e->button() != Qt::LeftButton) return;
  pressAt_ = lastAt_ = e->position();
  dragging_ = true;
}

void PlotView::mouseMoveEvent(QMouseEvent* e) {
  const QPointF at = e->position();
  emit CursorMoved(CursorText(view_, transform_, at));
  if (!dragging_) return;
  if ((at - pressAt_).manhattanLength() < kClickSlop && transform_.offset == cacheTransform_.offset) return;
  PanBy(at - lastAt_);
  lastAt_ = at;
}

void PlotView::leaveEvent(QEvent*) { emit CursorMoved(QString()); }

void PlotView::mouseReleaseEvent(QMouseEvent* e) {
  if (!dragging_ || e->button() != Qt::LeftButton) return;
  dragging_ = false;
  if ((e->position() - pressAt_).manhattanLength() >= kClickSlop || !path_) return;
  const long move = MoveAt(*path_, view_, transform_, e->position(), kPickRadius);
  if (move >= 0) emit MoveClicked(move);
}

}  // namespace quelvo
