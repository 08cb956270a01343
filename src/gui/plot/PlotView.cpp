#include "gui/plot/PlotView.h"

#include <QMouseEvent>
#include <QPainter>
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
  setMouseTracking(false);
  setFocusPolicy(Qt::WheelFocus);
  redraw_.setSingleShot(true);
  redraw_.setInterval(kRestMs);
  connect(&redraw_, &QTimer::timeout, this, [this] {
    cacheValid_ = false;
    update();
  });
}

void PlotView::SetPath(std::shared_ptr<const ToolPath> path, bool fit) {
  path_ = std::move(path);
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
  const bool any = path_ && path_->size() > 0;
  transform_ = FitTransform(any ? ProjectedBounds(*path_, view_) : QRectF(-50, -50, 100, 100), rect());
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

void PlotView::RenderCache() {
  const qreal ratio = devicePixelRatioF();
  cache_ = QImage((size() * ratio), QImage::Format_ARGB32_Premultiplied);
  cache_.setDevicePixelRatio(ratio);
  cache_.fill(Qt::white);
  QPainter p(&cache_);
  // Smooth lines cost too much for very large paths.
  p.setRenderHint(QPainter::Antialiasing, !path_ || !IsLargePath(*path_));
  // Axes through the origin, faint.
  p.setPen(QPen(QColor(200, 200, 200), 1));
  const QPointF origin = transform_.ToScreen(ProjectModel({}, view_));
  p.drawLine(QPointF(0, origin.y()), QPointF(width(), origin.y()));
  p.drawLine(QPointF(origin.x(), 0), QPointF(origin.x(), height()));
  if (path_) DrawPath(p, *path_, view_, transform_);
  cacheTransform_ = transform_;
  cacheValid_ = true;
}

void PlotView::paintEvent(QPaintEvent*) {
  if (!cacheValid_ && !redraw_.isActive()) RenderCache();
  QPainter p(this);
  p.fillRect(rect(), Qt::white);
  if (cacheValid_ || !cache_.isNull()) {
    // The kept picture moved and scaled to the present transform.
    const double k = transform_.scale / cacheTransform_.scale;
    const QPointF topLeft = transform_.offset - cacheTransform_.offset * k;
    p.drawImage(QRectF(topLeft, QSizeF(cache_.width() * k / cache_.devicePixelRatio(),
                                       cache_.height() * k / cache_.devicePixelRatio())),
                cache_);
  }
  if (path_ && highlight_ >= 0) {
    p.setRenderHint(QPainter::Antialiasing, true);
    DrawHighlight(p, *path_, static_cast<size_t>(highlight_), view_, transform_);
  }
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
  if (!dragging_) return;
  const QPointF at = e->position();
  if ((at - pressAt_).manhattanLength() < kClickSlop && transform_.offset == cacheTransform_.offset) return;
  PanBy(at - lastAt_);
  lastAt_ = at;
}

void PlotView::mouseReleaseEvent(QMouseEvent* e) {
  if (!dragging_ || e->button() != Qt::LeftButton) return;
  dragging_ = false;
  if ((e->position() - pressAt_).manhattanLength() >= kClickSlop || !path_) return;
  const long move = MoveAt(*path_, view_, transform_, e->position(), kPickRadius);
  if (move >= 0) emit MoveClicked(move);
}

}  // namespace quelvo
