// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/StatusFields.h"

#include <QLabel>
#include <QProgressBar>

#include "gui/mainwindow/PanelBar.h"

namespace quelvo {

QLabel* TransferStatusFields::Field(TransferStatusField field) const {
  switch (field) {
    case TransferStatusField::Remaining: return remaining;
    case TransferStatusField::Phase: return phase;
    case TransferStatusField::LineSettings: return lineSettings;
    case TransferStatusField::Port: return port;
    case TransferStatusField::StartSignal: return startSignal;
    case TransferStatusField::RepeatPass: return repeatPass;
  }
  return remaining;
}

PanelBar* MakeEditorStatusBar(QWidget* parent, EditorStatusFields& fields) {
  const auto left = Qt::AlignLeft | Qt::AlignVCenter;
  // The last two fields stay empty; they keep the bar's look.
  auto* bar = new PanelBar({{120, left, true, "ｻｲｽﾞ"},
                            {60, Qt::AlignCenter, true, {}},
                            {55, left, true, {}},
                            {50, Qt::AlignCenter, true, {}},
                            {55, left, true, {}},
                            {100, left, true, {}},
                            {50, left, true, {}}},
                           parent);
  fields = EditorStatusFields{bar->Panel(0), bar->Panel(1), bar->Panel(2), bar->Panel(3), bar->Panel(4)};
  return bar;
}

PanelBar* MakeTransferStatusBar(QWidget* parent, TransferStatusFields& fields) {
  const auto left = Qt::AlignLeft | Qt::AlignVCenter;
  auto* bar = new PanelBar({{100, left, false, {}},
                            {180, left, true, {}},
                            {100, Qt::AlignCenter, true, {}},
                            {80, left, true, {}},
                            {40, Qt::AlignCenter, true, {}},
                            {20, left, true, {}},
                            {50, left, true, "送信:"}},
                           parent);
  fields.remaining = bar->Panel(1);
  fields.phase = bar->Panel(2);
  fields.lineSettings = bar->Panel(3);
  fields.port = bar->Panel(4);
  fields.startSignal = bar->Panel(5);
  fields.repeatPass = bar->Panel(6);
  return bar;
}

void AddProgressBar(PanelBar& bar, TransferStatusFields& fields) {
  QLabel* first = bar.Panel(0);
  fields.progress = new QProgressBar(first);
  fields.progress->setObjectName("progressBar");
  fields.progress->setTextVisible(false);
  fields.progress->setGeometry(1, 2, 99, PanelBar::kHeight - 2 - 2);
}

}  // namespace quelvo
