// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/dialogs/FilePrompts.h"

#include <QFileDialog>
#include <QMessageBox>
#include <QStringList>

#include "core/document/FileTexts.h"

namespace quelvo {

namespace {

int ExecPlaced(QMessageBox& box, QWidget* parent) {
  if (parent != nullptr) box.move(parent->x() + 50, parent->y() + 50);
  return box.exec();
}

}  // namespace

QString QtNameFilter(const FileFilterEntry& entry) {
  QStringList patterns;
  for (const std::string& pattern : FilterPatterns(entry)) patterns << QString::fromStdString(pattern);
  return QString::fromStdString(entry.description) + " (" + patterns.join(' ') + ")";
}

QStringList QtNameFilters(const std::vector<FileFilterEntry>& entries) {
  QStringList filters;
  for (const FileFilterEntry& entry : entries) filters << QtNameFilter(entry);
  return filters;
}

FilePrompts StandardFilePrompts() {
  FilePrompts prompts;
  prompts.askSaveChanges = [](QWidget* parent, const QString& text, bool withCancel) {
    QMessageBox::StandardButtons buttons = QMessageBox::Yes | QMessageBox::No;
    if (withCancel) buttons |= QMessageBox::Cancel;
    QMessageBox box(QMessageBox::Warning, kSaveChangesCaption, text, buttons, parent);
    switch (ExecPlaced(box, parent)) {
      case QMessageBox::Yes:
        return SaveAnswer::Yes;
      case QMessageBox::No:
        return SaveAnswer::No;
      default:
        // Closing the box without a button is a Cancel where Cancel is offered,
        // and a No where it is not.
        return withCancel ? SaveAnswer::Cancel : SaveAnswer::No;
    }
  };
  prompts.askFormat = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, "Quelvo", text, QMessageBox::Yes | QMessageBox::No, parent);
    return ExecPlaced(box, parent) == QMessageBox::Yes;
  };
  prompts.askUnencodable = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, kSaveChangesCaption, text, QMessageBox::Yes | QMessageBox::No, parent);
    box.setDefaultButton(QMessageBox::No);
    return ExecPlaced(box, parent) == QMessageBox::Yes;
  };
  prompts.error = [](QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Critical, caption.isEmpty() ? QString("Quelvo") : caption, text,
                    QMessageBox::Yes, parent);
    ExecPlaced(box, parent);
  };
  prompts.warning = [](QWidget* parent, const QString& text) {
    QMessageBox box(QMessageBox::Warning, "Quelvo", text, QMessageBox::Ok, parent);
    box.exec();
  };
  prompts.chooseFolder = [](QWidget* parent, const QString& prompt, const QString& start) {
    return QFileDialog::getExistingDirectory(parent, prompt, start,
                                             QFileDialog::ShowDirsOnly | QFileDialog::DontUseNativeDialog);
  };
  return prompts;
}

}  // namespace quelvo
