// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// OptionsDialog, the options dialog "ｵﾌﾟｼｮﾝ設定": the program-wide Y/N switches and the modem
// ports, on three pages. "変更" applies the fields to the program settings held
// by the main window; nothing is written to the settings file here.
#include <QDialog>
#include <array>
#include <string>

#include "core/settings/OptionFields.h"
#include "gui/dialogs/DialogPrompts.h"

class QLineEdit;
class QPushButton;
class QTabWidget;

namespace quelvo {

struct ProgramSettings;

class OptionsDialog : public QDialog {
  Q_OBJECT

 public:
  // `settings` must outlive the dialog; `programFolder` holds Sub.ini.
  OptionsDialog(ProgramSettings& settings, std::string programFolder, QWidget* parent = nullptr);

  void SetPrompts(DialogPrompts prompts) { prompts_ = std::move(prompts); }

  // Component access for the main window and for tests.
  QTabWidget* Pages() const { return pages_; }
  QPushButton* ApplyButton() const { return applyButton_; }  // "変更"
  QPushButton* BackButton() const { return backButton_; }  // "戻る"
  QLineEdit* Field(int index) const { return fields_[index]; }  // OptionFieldTable() order

  void reject() override;  // every way of closing comes here

 signals:
  void applied();  // the field texts were copied into the program settings

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  void ApplyClick();
  void FieldEdited(int index);
  void MoveFocus(int index, int step);
  int FieldIndexOf(QObject* watched) const;

  ProgramSettings& settings_;
  std::string programFolder_;
  DialogPrompts prompts_;
  QTabWidget* pages_ = nullptr;
  QPushButton* applyButton_ = nullptr;
  QPushButton* backButton_ = nullptr;
  std::array<QLineEdit*, kOptionFieldCount> fields_{};
};

}  // namespace quelvo
