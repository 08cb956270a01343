// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/plot/PlotLegend.h"

#include <QPainter>

#include "gui/plot/PathRenderer.h"

namespace quelvo {

namespace {
constexpr int kRow = 20;     // pixels a row
constexpr int kSample = 36;  // width of a line sample
}  // namespace

PlotLegend::PlotLegend(QWidget* parent) : QWidget(parent) {
  setObjectName("PlotLegend");
  setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Fixed);
}

QStringList PlotLegend::Names() {
  return {"早送り", "切削送り", "穴あけ", "原点復帰・機械座標", "始点", "解釈できない行"};
}

QSize PlotLegend::sizeHint() const { return QSize(180, kRow * static_cast<int>(Names().size()) + 4); }

void PlotLegend::paintEvent(QPaintEvent*) {
  QPainter p(this);
  p.setRenderHint(QPainter::Antialiasing, true);
  const QStringList names = Names();
  for (int row = 0; row < names.size(); ++row) {
    const double y = 2 + row * kRow + kRow / 2.0;
    const QPointF left(4, y), right(4 + kSample, y), middle(4 + kSample / 2.0, y);
    p.setBrush(Qt::NoBrush);
    switch (row) {
      case 0: p.setPen(PenFor(MoveKind::Rapid, false)); p.drawLine(left, right); break;
      case 1: p.setPen(PenFor(MoveKind::Feed, false)); p.drawLine(left, right); break;
      case 2:
        p.setPen(PenFor(MoveKind::Drill, false));
        p.drawLine(left, middle);
        p.drawEllipse(middle, 4, 4);
        break;
      case 3:
        p.setPen(PenFor(MoveKind::Home, false));
        p.drawLine(left, middle);
        p.setPen(QPen(QColor(200, 0, 0), 1.5));
        p.drawLine(middle + QPointF(-5, -5), middle + QPointF(5, 5));
        p.drawLine(middle + QPointF(-5, 5), middle + QPointF(5, -5));
        break;
      case 4: DrawStartMarker(p, middle); break;
      default: DrawProblemMarker(p, middle); break;
    }
    p.setPen(palette().color(QPalette::WindowText));
    p.drawText(QRectF(12 + kSample, y - kRow / 2.0, width() - 12 - kSample, kRow), Qt::AlignLeft | Qt::AlignVCenter,
               names[row]);
  }
}

}  // namespace quelvo
