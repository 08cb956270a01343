// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// TUser, the dialog "ﾕｰｻﾞ定義": the display names and extensions of the two file types
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

class TUser : public QDialog {
  Q_OBJECT
 public:
  // `settings` must outlive the dialog; `programFolder` holds Sub.ini.
  TUser(ProgramSettings& settings, std::string programFolder, QWidget* parent = nullptr);

  void SetPrompts(FilePrompts prompts) { prompts_ = std::move(prompts); }

  QLineEdit* LabeledEdit1 = nullptr;  // "ﾕｰｻﾞ定義１(表示名)"
  QLineEdit* LabeledEdit2 = nullptr;  // "拡張子"
  QLineEdit* LabeledEdit3 = nullptr;  // "ﾕｰｻﾞ定義２(表示名)"
  QLineEdit* LabeledEdit4 = nullptr;  // "拡張子"
  QPushButton* Button1 = nullptr;     // "変更"
  QPushButton* Button2 = nullptr;     // "中止"
  QPushButton* Button3 = nullptr;     // "戻る"

  void FormShow();
  void FormClose();
  void Button1Click();
  void Button2Click();
  void Button3Click();

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
