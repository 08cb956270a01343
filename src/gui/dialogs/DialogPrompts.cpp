// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/DialogPrompts.h"

#include <QMessageBox>

namespace quelvo {

DialogPrompts StandardDialogPrompts() {
  DialogPrompts prompts;
  prompts.askYesNo = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Information, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    switch (box.exec()) {
      case QMessageBox::Yes:
        return CloseAnswer::Yes;
      case QMessageBox::No:
        return CloseAnswer::No;
      default:
        return CloseAnswer::Other;
    }
  };
  prompts.inform = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::information(parent, caption, text);
  };
  prompts.warn = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox::critical(parent, caption, text);
  };
  return prompts;
}

}  // namespace quelvo
