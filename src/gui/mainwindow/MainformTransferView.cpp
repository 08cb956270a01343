// SPDX-License-Identifier: GPL-3.0-or-later
// TForm1 as the transfer host's view (TransferWindowView): what the engines'
// events become on the window's widgets.
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "core/commandline/ExitStatus.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/Mainform.h"
#include "gui/mainwindow/PanelBar.h"

namespace quelvo {
namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

void TForm1::SetStatusPanel(int index, const std::string& text) { StatusBar2->SetPanelText(index, Q(text)); }

void TForm1::RepaintStatus() {
  // Drawn at once, but not more often than the eye can follow: a fast line
  // changes the panels for every program line, and drawing the bar each time
  // cost more than sending the line. In between, the next pass of the event
  // loop draws it.
  constexpr auto kForcedDrawInterval = std::chrono::milliseconds(40);
  const auto now = std::chrono::steady_clock::now();
  if (now - statusDrawnAt_ < kForcedDrawInterval) {
    StatusBar2->update();
    return;
  }
  StatusBar2->repaint();
  statusDrawnAt_ = now;
}

void TForm1::SetProgressRange(int64_t maximum) {
  progressScale_ = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
  if (ProgressBar != nullptr) {
    ProgressBar->setRange(0, static_cast<int>(std::max<int64_t>(0, maximum / progressScale_)));
  }
}

void TForm1::SetProgressPosition(int64_t position) {
  if (ProgressBar == nullptr) return;
  const int64_t scaled = position / progressScale_;
  ProgressBar->setValue(static_cast<int>(std::clamp<int64_t>(scaled, 0, ProgressBar->maximum())));
}

void TForm1::SetLabel2(const std::string& text) { Label2->setText(Q(text)); }

void TForm1::SetDsrIndicator(bool on) {
  QPalette pal = LabeledEdit1->palette();
  pal.setColor(QPalette::Text, on ? Qt::blue : Qt::red);
  LabeledEdit1->setPalette(pal);
}

void TForm1::SetCtsIndicator(bool on) { LabeledEdit2->setText(on ? QStringLiteral(" ●") : QStringLiteral(" ○")); }

void TForm1::ShowTransferPanel(bool visible) {
  LabeledEdit1->parentWidget()->setVisible(visible);
  LabeledEdit2->parentWidget()->setVisible(visible);
  Panel2->setVisible(visible);
}

void TForm1::SetTitle(const std::string& title) { setWindowTitle(Q(title)); }

QWidget& TForm1::MessageParent() { return *this; }

NcEdit& TForm1::TransferEditor() { return *RichEdit1; }

void TForm1::SetDocumentModified(bool modified) {
  RichEdit1->setModified(modified);
  Document.Modified = modified;
}

void TForm1::SetEditorStatusPanel(int index, const QString& text) { StatusBar1->SetPanelText(index, text); }

void TForm1::SetEstimateTimer(bool enabled, int intervalMs) {
  if (enabled) {
    Timer2->start(intervalMs);
  } else {
    Timer2->stop();
  }
}

void TForm1::StartCompletionTimer() { Timer1->start(); }

bool TForm1::CloseAfterCompletedTransfer() {
  // Called only after a completed transfer: an unattended run succeeded.
  App.ExitStatus = kExitOk;
  return CloseAtTransferEnd();
}

}  // namespace quelvo
