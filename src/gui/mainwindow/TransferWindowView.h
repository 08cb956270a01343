// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window as its transfer host (WindowTransferHost) sees it: what it
// shows of a transfer (TransferView: the status fields, the progress, the
// program line, the DSR/CTS states, the transfer panel, the title), the editor
// a send moves through, the editor's status fields a transfer empties, the
// remaining-time estimate, the completion step and the close at the end of a
// transfer. MainWindow implements it in MainWindowTransferView.cpp; the host
// reaches no widget of the window directly.
#include <QString>

#include "core/transfer/TransferView.h"

class QWidget;

namespace quelvo {

class NcEdit;

// The editor's status fields that a transfer empties.
enum class EditorStatusField { Caret, Modified, Selection };

class TransferWindowView : public TransferView {
 public:
  // The window message boxes are placed over.
  virtual QWidget& MessageParent() = 0;
  // The document a send reads, selects and scrolls.
  virtual NcEdit& TransferEditor() = 0;
  // Marks the document (editor and document state) modified or not.
  virtual void SetDocumentModified(bool modified) = 0;
  // Empties one of the editor's status fields.
  virtual void ClearEditorStatus(EditorStatusField field) = 0;
  // The remaining-time estimate made every `intervalMs`, or no more.
  virtual void SetEstimateTimer(bool enabled, int intervalMs) = 0;
  // The step after a transfer (back to editing) runs shortly.
  virtual void StartCompletionTimer() = 0;
  // A completed transfer asked to close the program: the run succeeded; true
  // when the window did close.
  virtual bool CloseAfterCompletedTransfer() = 0;
};

}  // namespace quelvo
