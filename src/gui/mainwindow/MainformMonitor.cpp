// SPDX-License-Identifier: GPL-3.0-or-later
// "通信モニタ": the line monitor window on the link's tap. It is made at first
// use and stays (hidden when closed), so the record survives a close.
#include "core/transfer/TapeCode.h"
#include "core/transfer/link/PortNames.h"
#include "gui/dialogs/LineMonitorWindow.h"
#include "gui/mainwindow/Mainform.h"

namespace quelvo {

void TForm1::OpenLineMonitor() {
  if (LineMonitorWin == nullptr) {
    LineMonitorWin = new LineMonitorWindow(MonitorTap, MonitorWatch, Link.RawPort(), this);
    Link.AttachTap(&MonitorTap);
  }
  // The receive line of the active setting is the one an idle watch opens.
  LineMonitorWin->SetIdleLine(ResolvePortDevice(Comm.Port_R, &PortsIni), IdleWatchLine(Comm),
                              ReceiveTapeCode(Comm.Code_R), QString::fromStdString(Comm.Port_R));
  LineMonitorWin->show();
  LineMonitorWin->raise();
  LineMonitorWin->activateWindow();
}

void TForm1::MonitorTransferStarting(TransferDirection direction) {
  if (LineMonitorWin == nullptr) return;
  LineMonitorWin->TransferStarting(direction == TransferDirection::Send ? SendTapeCode(Comm.Code_S)
                                                                        : ReceiveTapeCode(Comm.Code_R));
}

void TForm1::MonitorTransferEnded() {
  if (LineMonitorWin != nullptr) LineMonitorWin->TransferEnded();
}

}  // namespace quelvo
