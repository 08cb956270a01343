// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A status bar of fixed-width panels, each a label with its own alignment.
#include <QFrame>
#include <QLabel>
#include <QString>
#include <vector>

namespace quelvo {

struct PanelLayout {
  int width;
  Qt::Alignment alignment = Qt::AlignLeft | Qt::AlignVCenter;
  bool bevel = true;
  QString text;
};

class PanelBar : public QFrame {
  Q_OBJECT
 public:
  PanelBar(const std::vector<PanelLayout>& panels, QWidget* parent = nullptr);

  int PanelCount() const { return static_cast<int>(panels_.size()); }
  QLabel* Panel(int index) const { return panels_.at(static_cast<size_t>(index)); }

  static constexpr int kHeight = 25;

 private:
  std::vector<QLabel*> panels_;
};

}  // namespace quelvo
