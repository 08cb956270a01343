// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ProgramPicker, the dialog that lists the programs of the document, one checkable line per
// program start line. It serves two commands:
//  - split save ("分割保存"): each checked program is written to a file of its
//    own in a folder the user picks (saveSelectedButton "選択保存", cancelSaveButton "中止");
//  - selective send ("選択送信"): the send command shows it with
//    ShowForSelectiveSend(); sendSelectedButton "選択送信" hands the exclusion list of the
//    unchecked programs to SelectiveSendRequested, cancelSendButton "中止" closes the
//    dialog and reports SelectiveSendCancelled.
// Its position, the split-save folder and the three options live in Sub.ini.
#include <QDialog>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/ProgramList.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/ProgramListHost.h"

class QAction;
class QLabel;
class QListWidget;
class QMenuBar;
class QProgressBar;
class QPushButton;

namespace quelvo {

class ProgramPicker : public QDialog {
  Q_OBJECT
 public:
  explicit ProgramPicker(ProgramListHost& host);

  // Split mode: lists the programs of the document and shows the dialog; the
  // main window takes no input until it closes. Nothing happens for an empty
  // document.
  void ShowForSplitSave();
  // Selective-send mode: lists the programs of documentText and shows the
  // dialog without blocking. Returns the number of listed programs.
  int ShowForSelectiveSend(std::string_view documentText);

  // The list as it stands: the item texts and their check marks.
  std::vector<ProgramListItem> Items() const;
  bool SelectiveMode() const { return selective_; }

  QMenuBar* MainMenu = nullptr;
  QAction* op_f = nullptr;  // "先頭に％付加"
  QAction* op_b = nullptr;  // "末尾に％付加"
  QAction* op_n = nullptr;  // "保存時連番付加"
  QListWidget* programList = nullptr;
  QLabel* listNote = nullptr;
  QPushButton* saveSelectedButton = nullptr;  // "選択保存"
  QPushButton* cancelSaveButton = nullptr;  // "中止" (split)
  QPushButton* uncheckAllButton = nullptr;  // "選択解除"
  QPushButton* checkAllButton = nullptr;  // "全選択"
  QPushButton* sendSelectedButton = nullptr;  // "選択送信"
  QPushButton* cancelSendButton = nullptr;  // "中止" (selective send)
  QProgressBar* saveProgress = nullptr;

  // Split-save folder and options, read from Sub.ini when the dialog is shown.
  std::string DirPath;
  SplitSaveChoices Choices;

  void FormShow();
  void FormClose();
  void SaveSelectedClick();
  void CancelSaveClick();
  void UncheckAllClick();
  void CheckAllClick();
  void SendSelectedClick();
  void CancelSendClick();
  void op_fClick();
  void op_bClick();
  void op_nClick();

  // Closes the dialog when the selective send it started has ended, without
  // reporting SelectiveSendCancelled.
  void CloseAfterSend();

  void done(int result) override;
  // Closing the dialog in selective-send mode (cancelSendButton, Esc, the title bar)
  // cancels the send and reports SelectiveSendCancelled.
  void reject() override;

 signals:
  void SelectiveSendRequested(const quelvo::SkipList& selection);
  void SelectiveSendCancelled();

 protected:
  void showEvent(QShowEvent* event) override;

 private:
  void SetMode(bool selective);
  void FillList(std::string_view documentText);
  void SetEditButtons(bool enabled);
  void SetAllChecked(bool checked);
  void ShowError(const QString& text);
  void ApplyTrimmedText(const std::string& text, bool wasModified);

  ProgramListHost& host_;  // the document, its editor and the prompts
  bool selective_ = false;
  bool closingAfterSend_ = false;
};

}  // namespace quelvo
