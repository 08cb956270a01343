// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// FindDialog, the non-modal find dialog: the search text and the direction. Matching always
// ignores case, so the whole-word and match-case boxes are shown off and
// disabled. The dialog keeps its text and direction while hidden, so "次を検索"
// can repeat the last search without showing it.
#include <QDialog>
#include <QString>

#include "core/document/FindText.h"

class QCheckBox;
class QLineEdit;
class QPushButton;
class QRadioButton;

namespace quelvo {

class FindDialog : public QDialog {
  Q_OBJECT
 public:
  explicit FindDialog(QWidget* parent = nullptr);

  QString findText() const;
  void setFindText(const QString& text);
  FindDirection direction() const;
  void setDirection(FindDirection direction);

  // Shows the dialog without blocking, or raises it when already open.
  void showFind();

 signals:
  // The user asked for the next match ("次を検索").
  void findRequested();

 private:
  QLineEdit* text_;
  QRadioButton* up_;
  QRadioButton* down_;
  QCheckBox* wholeWord_;
  QCheckBox* matchCase_;
  QPushButton* findNext_;
};

}  // namespace quelvo
