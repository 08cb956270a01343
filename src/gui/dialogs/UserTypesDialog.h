// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// UserTypesDialog, the dialog "ﾕｰｻﾞ定義": the display names and extensions of the two file types
// the user defines. "変更" stores them in the program settings held by the main
// window, "中止" puts the stored values back and closes, "戻る" closes.
#include <QDialog>
#include <string>

#include "gui/dialogs/FilePrompts.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvo {

struct ProgramSettings;

class UserTypesDialog : public QDialog {
  Q_OBJECT
 public:
  // `settings` must outlive the dialog; `programFolder` holds Sub.ini.
  UserTypesDialog(ProgramSettings& settings, std::string programFolder, QWidget* parent = nullptr);

  void SetPrompts(FilePrompts prompts) { prompts_ = std::move(prompts); }

  QLineEdit* name1Edit = nullptr;  // "ﾕｰｻﾞ定義１(表示名)"
  QLineEdit* extension1Edit = nullptr;  // "拡張子"
  QLineEdit* name2Edit = nullptr;  // "ﾕｰｻﾞ定義２(表示名)"
  QLineEdit* extension2Edit = nullptr;  // "拡張子"
  QPushButton* applyButton = nullptr;     // "変更"
  QPushButton* cancelButton = nullptr;     // "中止"
  QPushButton* backButton = nullptr;     // "戻る"

  void FormShow();
  void FormClose();
  void ApplyClick();
  void CancelClick();
  void BackClick();

  void done(int result) override;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FillFields();
  bool NameFieldKey(int key);
  bool ExtensionFieldKey(QLineEdit* field, int key, const QString& text);

  ProgramSettings& settings_;
  std::string programFolder_;
  FilePrompts prompts_;
};

}  // namespace quelvo
