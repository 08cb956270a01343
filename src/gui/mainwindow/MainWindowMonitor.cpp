// SPDX-License-Identifier: GPL-3.0-or-later
// "通信モニタ": the line monitor window on the link's tap. It is made at first
// use and stays (hidden when closed), so the record survives a close.
#include "core/transfer/TapeCode.h"
#include "core/transfer/link/PortNames.h"
#include "gui/dialogs/LineMonitorWindow.h"
#include "gui/mainwindow/MainWindow.h"

namespace quelvo {

void MainWindow::OpenLineMonitor() {
  if (lineMonitor == nullptr) {
    lineMonitor = new LineMonitorWindow(MonitorTap, MonitorWatch, Link.RawPort(), this);
    Link.AttachTap(&MonitorTap);
  }
  // The receive line of the active setting is the one an idle watch opens.
  lineMonitor->SetIdleLine(ResolvePortDevice(Comm.Port_R, &PortsIni), IdleWatchLine(Comm),
                              ReceiveTapeCode(Comm.Code_R), QString::fromStdString(Comm.Port_R));
  lineMonitor->show();
  lineMonitor->raise();
  lineMonitor->activateWindow();
}

void MainWindow::MonitorTransferStarting(TransferDirection direction) {
  if (lineMonitor == nullptr) return;
  lineMonitor->TransferStarting(direction == TransferDirection::Send ? SendTapeCode(Comm.Code_S)
                                                                        : ReceiveTapeCode(Comm.Code_R));
}

void MainWindow::MonitorTransferEnded() {
  if (lineMonitor != nullptr) lineMonitor->TransferEnded();
}

}  // namespace quelvo
