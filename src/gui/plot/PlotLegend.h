// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The plot's legend beside it: a sample of each kind of line and marker the
// plot draws, with its name, drawn with the plot's own pens.
#include <QWidget>

namespace quelvo {

class PlotLegend : public QWidget {
  Q_OBJECT
 public:
  explicit PlotLegend(QWidget* parent = nullptr);
  // The names in the order shown.
  static QStringList Names();
  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* e) override;
};

}  // namespace quelvo
