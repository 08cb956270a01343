// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OpenFileDialog, the open dialog of the "開く" command: Qt's own file dialog with a preview
// area below it. The area holds the check box "内容をﾌﾟﾚﾋﾞｭｰする。" and a memo
// that shows the beginning of the selected file when it looks like text. The
// area exists only when the preview option (op16) is on; otherwise the dialog
// keeps its size and the check box stays off. Made for one use and then freed.
#include <QCheckBox>
#include <QFileDialog>
#include <QPlainTextEdit>
#include <QPointer>

#include "gui/dialogs/FilePrompts.h"

namespace quelvo {

class OpenFileDialog : public QFileDialog {
  Q_OBJECT
 public:
  // Extra height of the preview area.
  static constexpr int kPreviewHeight = 145;

  OpenFileDialog(QWidget* parent, const FileDialogRequest& request, FilePrompts prompts);

  // Runs the dialog once and tells what was chosen.
  static FileChoice Choose(QWidget* parent, const FileDialogRequest& request, const FilePrompts& prompts);

  // The 1-based index of the selected file type.
  int FilterIndex() const;

  // The preview controls while the dialog is shown (null before and after).
  QCheckBox* PreviewCheckBox() const { return checkBox_; }
  QPlainTextEdit* PreviewMemo() const { return memo_; }
  int ExtraHeight() const { return preview_ ? kPreviewHeight : 0; }

  // Handlers: shown, selected file changed, closing.
  void DoShow();
  void DoSelectionChange(const QString& path);
  void DoClose();

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  bool preview_;
  FilePrompts prompts_;
  QPointer<QWidget> area_;
  QPointer<QCheckBox> checkBox_;
  QPointer<QPlainTextEdit> memo_;
  bool shown_ = false;
};

// The 1-based index of the file type selected in a Qt file dialog.
int SelectedFilterIndex(const QFileDialog& dialog);

}  // namespace quelvo
