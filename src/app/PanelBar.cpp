#include "app/PanelBar.h"

#include <QHBoxLayout>

namespace quelvo {

PanelBar::PanelBar(const std::vector<PanelSpec>& panels, QWidget* parent) : QFrame(parent) {
  setFixedHeight(kHeight);
  auto* layout = new QHBoxLayout(this);
  layout->setContentsMargins(0, 2, 0, 0);
  layout->setSpacing(2);
  for (const PanelSpec& spec : panels) {
    auto* label = new QLabel(spec.text, this);
    label->setFixedWidth(spec.width);
    label->setAlignment(spec.alignment);
    label->setTextFormat(Qt::PlainText);
    if (spec.bevel) label->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    layout->addWidget(label);
    panels_.push_back(label);
  }
  layout->addStretch(1);
}

QString PanelBar::PanelText(int index) const { return Panel(index)->text(); }

void PanelBar::SetPanelText(int index, const QString& text) { Panel(index)->setText(text); }

}  // namespace quelvo
