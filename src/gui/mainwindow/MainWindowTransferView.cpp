// SPDX-License-Identifier: GPL-3.0-or-later
// MainWindow as the transfer host's view (TransferWindowView): what the engines'
// events become on the window's widgets: the status fields, the progress bar,
// the program line and the DSR/CTS lamps of the line strip.
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QTimer>
#include <algorithm>
#include <climits>

#include "core/commandline/ExitStatus.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/mainwindow/StatusFields.h"

namespace quelvo {
namespace {
QString Q(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

void MainWindow::SetStatusField(TransferStatusField field, const std::string& text) {
  statusFields.Field(field)->setText(Q(text));
}

void MainWindow::ShowStatusNow() {
  // Drawn at once, but not more often than the eye can follow: a fast line
  // changes the status fields for every program line, and drawing the bar each time
  // cost more than sending the line. In between, the next pass of the event
  // loop draws it.
  constexpr auto kForcedDrawInterval = std::chrono::milliseconds(40);
  const auto now = std::chrono::steady_clock::now();
  if (now - statusDrawnAt_ < kForcedDrawInterval) {
    transferStatus->update();
    return;
  }
  transferStatus->repaint();
  statusDrawnAt_ = now;
}

void MainWindow::SetProgressRange(int64_t maximum) {
  progressScale_ = maximum > INT_MAX ? maximum / INT_MAX + 1 : 1;
  if (statusFields.progress != nullptr) {
    statusFields.progress->setRange(0, static_cast<int>(std::max<int64_t>(0, maximum / progressScale_)));
  }
}

void MainWindow::SetProgressPosition(int64_t position) {
  if (statusFields.progress == nullptr) return;
  const int64_t scaled = position / progressScale_;
  statusFields.progress->setValue(static_cast<int>(std::clamp<int64_t>(scaled, 0, statusFields.progress->maximum())));
}

void MainWindow::SetProgramLine(const std::string& text) { programLine->setText(Q(text)); }

void MainWindow::ShowDsrState(bool on) {
  QPalette pal = dsrLamp->palette();
  pal.setColor(QPalette::Text, on ? Qt::blue : Qt::red);
  dsrLamp->setPalette(pal);
}

void MainWindow::ShowCtsState(bool on) { ctsLamp->setText(on ? QStringLiteral(" ●") : QStringLiteral(" ○")); }

void MainWindow::ShowTransferPanel(bool visible) {
  dsrLamp->parentWidget()->setVisible(visible);
  ctsLamp->parentWidget()->setVisible(visible);
  lineStrip->setVisible(visible);
}

void MainWindow::SetTitle(const std::string& title) { setWindowTitle(Q(title)); }

QWidget& MainWindow::MessageParent() { return *this; }

NcEdit& MainWindow::TransferEditor() { return *editor; }

void MainWindow::SetDocumentModified(bool modified) {
  editor->setModified(modified);
  Document.Modified = modified;
}

void MainWindow::ClearEditorStatus(EditorStatusField field) {
  switch (field) {
    case EditorStatusField::Caret: editorFields.caret->clear(); return;
    case EditorStatusField::Modified: editorFields.modified->clear(); return;
    case EditorStatusField::Selection: editorFields.selection->clear(); return;
  }
}

void MainWindow::SetEstimateTimer(bool enabled, int intervalMs) {
  if (enabled) {
    estimateTimer->start(intervalMs);
  } else {
    estimateTimer->stop();
  }
}

void MainWindow::StartCompletionTimer() { completionTimer->start(); }

bool MainWindow::CloseAfterCompletedTransfer() {
  // Called only after a completed transfer: an unattended run succeeded.
  App.ExitStatus = kExitOk;
  return CloseAtTransferEnd();
}

}  // namespace quelvo
