// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The questions, messages and file choosers of the file commands, behind
// replaceable functions so that tests can answer them without a person at the
// screen. StandardFilePrompts() shows ordinary message boxes, placed 50 pixels
// right of and below the top-left corner of the window that asks.
#include <QString>
#include <functional>
#include <string>
#include <vector>

#include "core/document/FileFilter.h"

class QWidget;

namespace quelvo {

enum class SaveAnswer { Yes, No, Cancel };

// What a file dialog is opened with.
struct FileDialogRequest {
  std::vector<FileFilterEntry> filter;
  int filterIndex = 1;     // 1-based, Mask_No
  QString folder;          // where the dialog starts
  QString proposedName;    // save dialog: the name offered
  bool preview = true;     // open dialog: the preview area (op16)
};

// What the user chose; accepted false when the dialog was cancelled.
struct FileChoice {
  bool accepted = false;
  QString path;
  int filterIndex = 1;  // 1-based index of the file type selected at the end
};

struct FilePrompts {
  // name + " への変更を保存しますか？", caption "編集", exclamation icon; Yes and No,
  // and Cancel when withCancel.
  std::function<SaveAnswer(QWidget* parent, const QString& text, bool withCancel)> askSaveChanges;
  // The format question of an empty load; true for Yes.
  std::function<bool(QWidget* parent, const QString& text)> askFormat;
  // Whether to save although some characters will be written as "?" (the
  // question of editor/UnencodableText.h), caption "編集"; true for Yes.
  std::function<bool(QWidget* parent, const QString& text)> askUnencodable;
  // An error box with a single Yes button.
  std::function<void(QWidget* parent, const QString& caption, const QString& text)> error;
  // A warning with an OK button.
  std::function<void(QWidget* parent, const QString& text)> warning;
  // The folder browser; an empty result means cancelled.
  std::function<QString(QWidget* parent, const QString& prompt, const QString& start)> chooseFolder;
  // The save and open dialogs. Left empty, the real dialogs are used.
  std::function<FileChoice(QWidget* parent, const FileDialogRequest& request)> chooseSaveFile;
  std::function<FileChoice(QWidget* parent, const FileDialogRequest& request)> chooseOpenFile;
};

FilePrompts StandardFilePrompts();

// A filter entry as Qt's file dialogs take it: "テキスト(*.txt) (*.TXT)".
QString QtNameFilter(const FileFilterEntry& entry);
QStringList QtNameFilters(const std::vector<FileFilterEntry>& entries);

}  // namespace quelvo
