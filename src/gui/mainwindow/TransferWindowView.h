// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window as its transfer host (WindowTransferHost) sees it: the
// transfer widgets (TransferView: StatusBar2, the progress bar, Label2, the
// DSR/CTS indicators, Panel2, the title), the editor a send moves through,
// the editor status bar, the two transfer timers and the close at the end of
// a transfer. TForm1 implements it in MainformTransferView.cpp; the host
// reaches no widget of the window directly.
#include <QString>

#include "core/transfer/TransferView.h"

class QWidget;

namespace quelvo {

class NcEdit;

class TransferWindowView : public TransferView {
 public:
  // The window message boxes are placed over.
  virtual QWidget& MessageParent() = 0;
  // RichEdit1: the document a send reads, selects and scrolls.
  virtual NcEdit& TransferEditor() = 0;
  // Marks the document (editor and document state) modified or not.
  virtual void SetDocumentModified(bool modified) = 0;
  // Panel `index` of the editor status bar StatusBar1.
  virtual void SetEditorStatusPanel(int index, const QString& text) = 0;
  // Timer2 running every `intervalMs`, or stopped.
  virtual void SetEstimateTimer(bool enabled, int intervalMs) = 0;
  virtual void StartCompletionTimer() = 0;  // Timer1
  // A completed transfer asked to close the program: the run succeeded; true
  // when the window did close.
  virtual bool CloseAfterCompletedTransfer() = 0;
};

}  // namespace quelvo
