// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's file commands: new, open, save, save as, the recent files,
// files dropped on the window, closing with unsaved changes, the split save
// ("ｏ番号分割保存") and the user-defined file types. It keeps the file types
// of the file dialogs, the questions and file choosers, and the folder the last
// file dialog ended in. The main window owns one, made once the program
// settings are read.
#include <QString>
#include <QStringList>
#include <string>
#include <string_view>
#include <vector>

#include "core/document/FileFilter.h"
#include "gui/dialogs/FilePrompts.h"

class QFileDialog;

namespace quelvo {

class MainWindow;
class ProgramPicker;
class UserTypesDialog;

class DocumentFiles {
 public:
  // Builds the filter list and the two dialogs and watches the window and its
  // editor for dropped files.
  explicit DocumentFiles(MainWindow& window);

  std::vector<FileFilterEntry> FileFilter;  // the seven file types of the file dialogs
  FilePrompts FilePrompt;                   // questions and file choosers (tests replace them)
  QFileDialog* saveDialog = nullptr;        // made on first use
  ProgramPicker* programPicker = nullptr;   // split save and selective send
  UserTypesDialog* userTypesDialog = nullptr;
  QString LastDialogFolder;                 // where the last file dialog ended

  void RebuildFileFilter();
  // Reads a file into the editor (format question and line-by-line fallback
  // included); the size in bytes, or -1 when the file could not be read (the
  // reason has been shown and the editor is unchanged).
  double LoadFileIntoEditor(const std::string& path);
  // Loads a file as the document: size field, name, title, recent files. False
  // when it could not be read; the document is then unchanged.
  bool LoadDocument(const std::string& path);
  // Asks whether to save the modified document under a new name; returns when
  // it is saved or the user answered No.
  void PromptSaveChanges(const std::string& name);
  void AddRecentFile(const std::string& path);
  void ShowRecentFiles();
  void OnDropFiles(const QStringList& paths);
  // The save dialog "データ保存" (or `title`) with the filter list, Mask_No and proposedName.
  FileChoice ExecuteSaveDialog(const QString& proposedName, const QString& title = QString());
  void SaveDialogTypeChanged(int index);  // 1-based
  // Writes the editor text to path; on success path becomes the document's name
  // and the document is not modified; on failure the reason is shown. False
  // also when the user declines to save characters the file cannot hold.
  bool SaveDocumentTo(const std::string& path);
  // True when text can be written as CP932 as it stands, or the user agreed to
  // have the characters it cannot hold written as "?".
  bool ConfirmEncodable(std::string_view text);
  void ClearDocumentText();  // empties the editor, not modified
  // May the window close? Asks about unsaved changes; Cancel keeps it open.
  bool MayClose();

  // The menu items and tool buttons.
  void FileNewClick();     // "新規作成", tool button "新規"
  void FileOpenClick();    // "開く"
  void FileSaveClick();    // "上書き保存", tool button "保存"
  void FileSaveAsClick();  // "名前を付けて保存"
  void opSaveClick();      // "ｏ番号分割保存"
  void RecentFileClick(int index);  // "&1 " .. "&5 "
  void FileExitClick();    // "終了"
  void User_opClick();     // "ﾕｰｻﾞ定義(拡張子)"
  void view_opClick();     // "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)"

 private:
  MainWindow& w_;
};

}  // namespace quelvo
