// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// AutoNumberDialog, "自動切替": asks for the number a line selector switches to before a
// transfer. Only the characters "012345-" can be typed (cascaded selectors
// take one number per stage, separated by "-"); any other character is
// refused with a message. "ＯＮ" accepts the input as SelectionNumber.
#include <QDialog>
#include <QString>
#include <functional>
#include <optional>
#include <string>

class QLabel;
class QLineEdit;
class QPushButton;

namespace quelvo {

class AutoNumberDialog : public QDialog {
  Q_OBJECT
 public:
  // The dialog is placed centred over `mainWindow` each time it is shown.
  explicit AutoNumberDialog(QWidget* mainWindow);

  // The number accepted by "ＯＮ"; kept between transfers.
  std::string SelectionNumber;

  // Shows the dialog modally: the accepted number, or nothing when it was
  // cancelled or closed. The selection sequence of the serial link calls this.
  std::optional<std::string> Ask();

  // The refusal of a wrong character; replaceable so that tests need no person.
  std::function<void(QWidget* parent, const QString& text)> RefuseKey;

  QLabel* hint = nullptr;
  QLineEdit* numberEdit = nullptr;
  QPushButton* onButton = nullptr;  // "ＯＮ"
  QPushButton* cancelButton = nullptr;  // "ｷｬﾝｾﾙ"

  static constexpr int kClientWidth = 210;
  static constexpr int kClientHeight = 115;

 protected:
  void showEvent(QShowEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  void FormShow();
  // True when the key press must not reach the input field.
  bool NumberKeyPress(int key, const QString& text);
  void AcceptClick();

  QWidget* mainWindow_;
};

}  // namespace quelvo
