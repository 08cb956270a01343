// SPDX-License-Identifier: GPL-3.0-or-later
// File commands of the main window: new, open, save, save as, recent files,
// files dropped on the window, closing with unsaved changes, split save and the
// user-defined file types.
#include <QAction>
#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMenu>

#include "core/common/ProgramFiles.h"
#include "core/document/DocumentFile.h"
#include "core/document/DocumentTitle.h"
#include "core/document/FileTexts.h"
#include "core/document/RecentFiles.h"
#include "core/document/UnencodableText.h"
#include "core/document/Utf8Look.h"
#include "gui/dialogs/OpenFileDialog.h"
#include "gui/dialogs/ProgramPicker.h"
#include "gui/dialogs/UserTypesDialog.h"
#include "gui/editor/EditorBytes.h"
#include "gui/editor/FileDrop.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"

namespace quelvo {

namespace {

QString Q(const std::string& s) { return QString::fromStdString(s); }

// Puts text into the editor as one replacement, without change notifications
// and without undo history: loading a large program costs one copy.
void SetEditorText(NcEdit* editor, std::string_view text) {
  const long events = editor->SendScintilla(QsciScintilla::SCI_GETMODEVENTMASK);
  editor->SendScintilla(QsciScintilla::SCI_SETMODEVENTMASK, 0);
  editor->SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 0);
  editor->SendScintilla(QsciScintilla::SCI_CLEARALL);
  if (!text.empty())
    editor->SendScintilla(QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()), text.data());
  editor->SendScintilla(QsciScintilla::SCI_SETUNDOCOLLECTION, 1);
  editor->SendScintilla(QsciScintilla::SCI_EMPTYUNDOBUFFER);
  editor->SendScintilla(QsciScintilla::SCI_SETMODEVENTMASK, events);
  editor->setModified(false);
  editor->SendScintilla(QsciScintilla::SCI_GOTOPOS, 0);
}

UserFileTypes UserTypesOf(const ProgramSettings& settings) {
  UserFileTypes types;
  types.User1_Name = settings.user1Name;
  types.User1_Mask = settings.user1Mask;
  types.User2_Name = settings.user2Name;
  types.User2_Mask = settings.user2Mask;
  return types;
}

}  // namespace

// ---- Set-up ----

void MainWindow::FormCreateFiles() {
  FilePrompt = StandardFilePrompts();
  RebuildFileFilter();
  LastDialogFolder = QDir::currentPath();
  programPicker = new ProgramPicker(*this);
  userTypesDialog = new UserTypesDialog(Settings, ProgramFolder(), this);
  auto* drops = new FileDropFilter([this](const QStringList& paths) { OnDropFiles(paths); }, this);
  drops->Watch(this);
  drops->Watch(editor->viewport());
}

void MainWindow::RebuildFileFilter() { FileFilter = BuildFileFilter(UserTypesOf(Settings)); }

// ---- Loading ----

double MainWindow::LoadFileIntoEditor(const std::string& path) {
  DocumentLoad load = ReadDocumentFile(path);
  if (!load.opened) {
    FilePrompt.error(this, QString(), Q(path) + kCannotRead + Q(load.error));
    return -1;
  }
  // A hint for a UTF-8 file: it shows garbled and would be sent so.
  const bool utf8 = load.utf8;
  SetEditorText(editor, load.text);
  std::string().swap(load.text);  // the editor holds its own copy now
  if (utf8) FilePrompt.warning(this, Q(path) + "\n" + kNotShiftJisText);
  if (load.needsFormatQuestion && FilePrompt.askFormat(this, kFormatQuestion))
    SetEditorText(editor, ReadDocumentFileByLines(path));
  UpdateSideMargins();
  Settings.dirPath = load.dirPath;
  if (load.size == 0) ClearDocumentText();
  PlotFollowDocument();
  return static_cast<double>(load.size);
}

bool MainWindow::LoadDocument(const std::string& path) {
  const double size = LoadFileIntoEditor(path);
  if (size < 0) return false;
  FormatFileSize(size);
  Document.CurrentFileName = path;
  SetEditTitle();
  editorFields.modified->setText(QString());
  editorFields.caret->setText("1 , 1");
  AddRecentFile(path);
  return true;
}

void MainWindow::ClearDocumentText() {
  SetEditorText(editor, std::string_view());
  PlotFollowDocument();
}

// ---- Saving ----

bool MainWindow::ConfirmEncodable(std::string_view text) {
  const std::vector<UnencodableLine> lines = FindUnencodable(text);
  return lines.empty() || FilePrompt.askUnencodable(this, Q(UnencodableQuestion(lines)));
}

// Characters the file cannot hold are written only when the user agrees.
bool MainWindow::SaveDocumentTo(const std::string& path) {
  if (!ConfirmEncodable(EditorBytes(editor))) return false;
  std::string error;
  if (!SaveDocumentFile(path, EditorBytes(editor), &error)) {
    FilePrompt.error(this, QString(), Q(path) + kCannotWrite + Q(error));
    return false;
  }
  Document.CurrentFileName = path;
  SetEditTitle();
  editorFields.modified->setText(QString());
  editor->setModified(false);
  return true;
}

void MainWindow::SaveDialogTypeChanged(int index) {
  if (saveDialog != nullptr) saveDialog->setDefaultSuffix(Q(DefaultExtensionFor(FileFilter, index)));
}

FileChoice MainWindow::ExecuteSaveDialog(const QString& proposedName, const QString& title) {
  FileDialogRequest request;
  request.filter = FileFilter;
  request.filterIndex = Settings.maskNo;
  request.folder = LastDialogFolder;
  request.proposedName = proposedName;
  FileChoice choice;
  if (FilePrompt.chooseSaveFile) {
    choice = FilePrompt.chooseSaveFile(this, request);
  } else {
    if (saveDialog == nullptr) {
      saveDialog = new QFileDialog(this);
      saveDialog->setObjectName("saveDialog");
      saveDialog->setOption(QFileDialog::DontUseNativeDialog, true);
      saveDialog->setOption(QFileDialog::HideNameFilterDetails, true);
      saveDialog->setAcceptMode(QFileDialog::AcceptSave);
      saveDialog->setFileMode(QFileDialog::AnyFile);
      connect(saveDialog, &QFileDialog::filterSelected, this,
              [this] { SaveDialogTypeChanged(SelectedFilterIndex(*saveDialog)); });
    }
    saveDialog->setWindowTitle(title.isEmpty() ? QString(kSaveDialogTitle) : title);
    const QStringList filters = QtNameFilters(FileFilter);
    saveDialog->setNameFilters(filters);
    if (request.filterIndex >= 1 && request.filterIndex <= filters.size())
      saveDialog->selectNameFilter(filters[request.filterIndex - 1]);
    SaveDialogTypeChanged(request.filterIndex);
    saveDialog->setDirectory(request.folder);
    saveDialog->selectFile(proposedName);
    if (saveDialog->exec() == QDialog::Accepted && !saveDialog->selectedFiles().isEmpty()) {
      choice.accepted = true;
      choice.path = saveDialog->selectedFiles().first();
      choice.filterIndex = SelectedFilterIndex(*saveDialog);
    }
  }
  if (choice.accepted) LastDialogFolder = QFileInfo(choice.path).absolutePath();
  return choice;
}

// A document never saved has no place on disk yet: "上書き保存" asks for one.
void MainWindow::FileSaveClick() {
  if (!editor->isModified()) return;
  if (Document.CurrentFileName == kUntitledName) {
    FileSaveAsClick();
    return;
  }
  SaveDocumentTo(Document.CurrentFileName);
}

void MainWindow::FileSaveAsClick() {
  const FileChoice choice = ExecuteSaveDialog(Q(Document.CurrentFileName));
  if (!choice.accepted) return;
  QApplication::processEvents();  // the dialog leaves the screen before the write
  const std::string path = choice.path.toStdString();
  Document.CurrentFileName = path;
  editor->setModified(true);
  if (!SaveDocumentTo(path)) {
    SetModifiedTitle();
    return;
  }
  Settings.maskNo = choice.filterIndex;
  AddRecentFile(path);
}

// Answering Yes and then cancelling the save dialog, or a save that fails, asks
// again: the changes are dropped only on an explicit No.
void MainWindow::PromptSaveChanges(const std::string& name) {
  for (;;) {
    if (FilePrompt.askSaveChanges(this, Q(name) + kSaveChangesQuestion, false) != SaveAnswer::Yes) return;
    const FileChoice choice = ExecuteSaveDialog(Q(name));
    if (choice.accepted && SaveDocumentTo(choice.path.toStdString())) return;
  }
}

// ---- Commands ----

void MainWindow::FileNewClick() {
  if (editor->isModified()) PromptSaveChanges(Document.CurrentFileName);
  ClearDocumentText();
  Document.CurrentFileName = kUntitledName;
  SetNewDocumentTitle();
  editorFields.modified->setText(QString());
  editorFields.caret->setText("1 , 1");
  editorFields.size->setText("サイズ");
}

void MainWindow::FileOpenClick() {
  if (editor->isModified()) PromptSaveChanges(Document.CurrentFileName);
  FileDialogRequest request;
  request.filter = FileFilter;
  request.filterIndex = Settings.maskNo;
  request.folder = LastDialogFolder;
  request.preview = Settings.options.filePreview;
  const FileChoice choice = FilePrompt.chooseOpenFile ? FilePrompt.chooseOpenFile(this, request)
                                                      : OpenFileDialog::Choose(this, request, FilePrompt);
  if (choice.accepted) {
    LastDialogFolder = QFileInfo(choice.path).absolutePath();
    if (QFileInfo::exists(choice.path)) {
      if (LoadDocument(choice.path.toStdString())) Settings.maskNo = choice.filterIndex;
    } else {
      FilePrompt.error(this, QString(), kFileNotFoundBefore + choice.path + kFileNotFoundAfter);
    }
  }
  RecreateCaret();
}

void MainWindow::RecentFileClick(int index) {
  if (index < 0 || index >= static_cast<int>(Settings.recentFiles.size())) return;
  const std::string path = Settings.recentFiles[static_cast<size_t>(index)];
  if (path.empty()) return;
  if (editor->isModified()) PromptSaveChanges(Document.CurrentFileName);
  if (QFileInfo::exists(Q(path))) LoadDocument(path);
}

// While a transfer runs the "ファイル" menu is disabled, and the document is
// what is being sent or received: a drop then is ignored.
void MainWindow::OnDropFiles(const QStringList& paths) {
  if (paths.isEmpty() || paths.size() > 2) return;
  if (!Menus.File->isEnabled() || !Menus.File->menuAction()->isEnabled()) return;
  if (editor->isModified()) PromptSaveChanges(Document.CurrentFileName);
  LoadDocument(paths.first().toStdString());
}

void MainWindow::AddRecentFile(const std::string& path) {
  quelvo::AddRecentFile(Settings.recentFiles, path);
  ShowRecentFiles();
}

void MainWindow::ShowRecentFiles() {
  const RecentFileMenu menu = BuildRecentFileMenu(Settings.recentFiles);
  for (size_t i = 0; i < Menus.RecentFiles.size(); ++i) {
    // A hidden item keeps its number, ready for its path.
    Menus.RecentFiles[i]->setText(menu.visible[i] ? Q(menu.captions[i]) : QString("&%1 ").arg(i + 1));
    Menus.RecentFiles[i]->setVisible(menu.visible[i]);
  }
  Menus.RecentSeparator->setVisible(menu.separatorVisible);
}

// ---- Closing ----

void MainWindow::FileExitClick() {
  if (editor->isModified()) {
    const SaveAnswer answer =
        FilePrompt.askSaveChanges(this, Q(Document.CurrentFileName) + kSaveChangesQuestion, true);
    if (answer == SaveAnswer::Cancel) return;
    if (answer == SaveAnswer::Yes) {
      FileSaveAsClick();
      if (editor->isModified()) {
        close();  // the close request asks again
        return;
      }
    }
    ClearDocumentText();
    SetDiscardedTitle();
  }
  close();
}

bool MainWindow::FormCloseQuery() {
  if (!editor->isModified()) return true;
  const SaveAnswer answer =
      FilePrompt.askSaveChanges(this, Q(Document.CurrentFileName) + kSaveChangesQuestion, true);
  if (answer == SaveAnswer::Cancel) return false;
  if (answer == SaveAnswer::Yes) {
    FileSaveAsClick();
    return !editor->isModified();
  }
  ClearDocumentText();
  return true;
}

// ---- Split save and file types ----

void MainWindow::opSaveClick() { programPicker->ShowForSplitSave(); }

void MainWindow::User_opClick() {
  userTypesDialog->SetPrompts(FilePrompt);
  userTypesDialog->exec();
  RebuildFileFilter();
}

void MainWindow::view_opClick() { ToggleFilePreviewOption(); }

}  // namespace quelvo
