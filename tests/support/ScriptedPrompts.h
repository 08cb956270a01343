// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File prompts that answer from a script instead of a person: the answers are
// taken in order, and everything asked or shown is recorded. An answer missing
// from the script counts as a fault of the test (recorded in `unexpected`).
#include <QList>
#include <QString>
#include <QStringList>

#include "gui/dialogs/FilePrompts.h"

namespace quelvo::test {

struct ScriptedPrompts {
  QList<SaveAnswer> saveAnswers;   // for askSaveChanges
  QList<bool> formatAnswers;       // for askFormat
  QList<FileChoice> saveChoices;   // for chooseSaveFile
  QList<FileChoice> openChoices;   // for chooseOpenFile
  QStringList folderChoices;       // for chooseFolder
  QList<bool> unencodableAnswers;  // for askUnencodable

  QStringList questions;           // texts of askSaveChanges
  QList<bool> questionHadCancel;
  int formatQuestions = 0;
  QStringList unencodableQuestions;
  QStringList errors;              // caption + "|" + text
  QStringList warnings;
  QList<FileDialogRequest> saveRequests;
  QList<FileDialogRequest> openRequests;
  QStringList folderPrompts;
  QStringList unexpected;

  FilePrompts Make() {
    FilePrompts p;
    p.askSaveChanges = [this](QWidget*, const QString& text, bool withCancel) {
      questions << text;
      questionHadCancel << withCancel;
      if (saveAnswers.isEmpty()) {
        unexpected << "save question: " + text;
        return SaveAnswer::No;
      }
      return saveAnswers.takeFirst();
    };
    p.askFormat = [this](QWidget*, const QString&) {
      ++formatQuestions;
      if (formatAnswers.isEmpty()) {
        unexpected << "format question";
        return false;
      }
      return formatAnswers.takeFirst();
    };
    p.askUnencodable = [this](QWidget*, const QString& text) {
      unencodableQuestions << text;
      if (unencodableAnswers.isEmpty()) {
        unexpected << "unencodable question: " + text;
        return false;
      }
      return unencodableAnswers.takeFirst();
    };
    p.error = [this](QWidget*, const QString& caption, const QString& text) { errors << caption + "|" + text; };
    p.warning = [this](QWidget*, const QString& text) { warnings << text; };
    p.chooseFolder = [this](QWidget*, const QString& prompt, const QString&) {
      folderPrompts << prompt;
      if (folderChoices.isEmpty()) {
        unexpected << "folder browser";
        return QString();
      }
      return folderChoices.takeFirst();
    };
    p.chooseSaveFile = [this](QWidget*, const FileDialogRequest& request) {
      saveRequests << request;
      if (saveChoices.isEmpty()) {
        unexpected << "save dialog";
        return FileChoice{};
      }
      return saveChoices.takeFirst();
    };
    p.chooseOpenFile = [this](QWidget*, const FileDialogRequest& request) {
      openRequests << request;
      if (openChoices.isEmpty()) {
        unexpected << "open dialog";
        return FileChoice{};
      }
      return openChoices.takeFirst();
    };
    return p;
  }
};

inline FileChoice Chosen(const QString& path, int filterIndex = 1) { return FileChoice{true, path, filterIndex}; }
inline FileChoice Cancelled() { return FileChoice{}; }

}  // namespace quelvo::test
