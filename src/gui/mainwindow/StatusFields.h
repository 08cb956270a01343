// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two status bars of the main window and their fields by name. Below the
// editor stands either the editor's status (size, caret, modified, insert mode,
// selection) or, during a transfer, the transfer's status (progress, then the
// fields of TransferStatusField). Callers name the field, never its place.
#include "core/transfer/TransferView.h"

class QLabel;
class QProgressBar;
class QWidget;

namespace quelvo {

class PanelBar;

struct EditorStatusFields {
  QLabel* size = nullptr;        // "ｻｲｽﾞ : ..."
  QLabel* caret = nullptr;       // "line , column"
  QLabel* modified = nullptr;    // "＜変更＞"
  QLabel* insertMode = nullptr;  // "挿入" or "上書"
  QLabel* selection = nullptr;   // "選択範囲" while text is selected
};

struct TransferStatusFields {
  QProgressBar* progress = nullptr;  // made at the window's first show
  QLabel* remaining = nullptr;
  QLabel* phase = nullptr;
  QLabel* lineSettings = nullptr;
  QLabel* port = nullptr;
  QLabel* startSignal = nullptr;
  QLabel* repeatPass = nullptr;  // "送信:" until a repeated send counts its passes

  QLabel* Field(TransferStatusField field) const;
};

// The editor's status bar; `fields` name its fields.
PanelBar* MakeEditorStatusBar(QWidget* parent, EditorStatusFields& fields);
// The transfer's status bar; `fields` name its fields (all but the progress bar).
PanelBar* MakeTransferStatusBar(QWidget* parent, TransferStatusFields& fields);
// The progress bar inside the transfer status bar's first field.
void AddProgressBar(PanelBar& bar, TransferStatusFields& fields);

}  // namespace quelvo
