// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/PanelBar.h"

#include <QHBoxLayout>

namespace quelvo {

PanelBar::PanelBar(const std::vector<PanelLayout>& panels, QWidget* parent) : QFrame(parent) {
  setFixedHeight(kHeight);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 2, 0, 0);
  layout->setSpacing(2);
  for (const PanelLayout& entry : panels) {
    auto* label = new QLabel(entry.text, this);
    label->setFixedWidth(entry.width);
    label->setAlignment(entry.alignment);
    label->setTextFormat(Qt::PlainText);
    if (entry.bevel) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(label);
    panels_.push_back(label);
  }
  layout->addStretch(1);
}

}  // namespace quelvo
