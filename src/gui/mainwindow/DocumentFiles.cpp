// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/mainwindow/DocumentFiles.h"

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

DocumentFiles::DocumentFiles(MainWindow& window) : w_(window) {
  FilePrompt = StandardFilePrompts();
  RebuildFileFilter();
  LastDialogFolder = QDir::currentPath();
  programPicker = new ProgramPicker(w_);
  userTypesDialog = new UserTypesDialog(w_.Settings, ProgramFolder(), &w_);
  auto* drops = new FileDropFilter([this](const QStringList& paths) { OnDropFiles(paths); }, &w_);
  drops->Watch(&w_);
  drops->Watch(w_.editor->viewport());
}

void DocumentFiles::RebuildFileFilter() { FileFilter = BuildFileFilter(UserTypesOf(w_.Settings)); }

// ---- Loading ----

double DocumentFiles::LoadFileIntoEditor(const std::string& path) {
  DocumentLoad load = ReadDocumentFile(path);
  if (!load.opened) {
    FilePrompt.error(&w_, QString(), Q(path) + kCannotRead + Q(load.error));
    return -1;
  }
  // A hint for a UTF-8 file: it shows garbled and would be sent so.
  const bool utf8 = load.utf8;
  SetEditorText(w_.editor, load.text);
  std::string().swap(load.text);  // the editor holds its own copy now
  if (utf8) FilePrompt.warning(&w_, Q(path) + "\n" + kNotShiftJisText);
  if (load.needsFormatQuestion && FilePrompt.askFormat(&w_, kFormatQuestion))
    SetEditorText(w_.editor, ReadDocumentFileByLines(path));
  w_.edit_->UpdateSideMargins();
  w_.Settings.dirPath = load.dirPath;
  if (load.size == 0) ClearDocumentText();
  w_.PlotFollowDocument();
  return static_cast<double>(load.size);
}

bool DocumentFiles::LoadDocument(const std::string& path) {
  const double size = LoadFileIntoEditor(path);
  if (size < 0) return false;
  w_.edit_->FormatFileSize(size);
  w_.Document.CurrentFileName = path;
  w_.edit_->SetEditTitle();
  w_.editorFields.modified->setText(QString());
  w_.editorFields.caret->setText("1 , 1");
  AddRecentFile(path);
  return true;
}

void DocumentFiles::ClearDocumentText() {
  SetEditorText(w_.editor, std::string_view());
  w_.PlotFollowDocument();
}

// ---- Saving ----

bool DocumentFiles::ConfirmEncodable(std::string_view text) {
  const std::vector<UnencodableLine> lines = FindUnencodable(text);
  return lines.empty() || FilePrompt.askUnencodable(&w_, Q(UnencodableQuestion(lines)));
}

// Characters the file cannot hold are written only when the user agrees.
bool DocumentFiles::SaveDocumentTo(const std::string& path) {
  if (!ConfirmEncodable(EditorBytes(w_.editor))) return false;
  std::string error;
  if (!SaveDocumentFile(path, EditorBytes(w_.editor), &error)) {
    FilePrompt.error(&w_, QString(), Q(path) + kCannotWrite + Q(error));
    return false;
  }
  w_.Document.CurrentFileName = path;
  w_.edit_->SetEditTitle();
  w_.editorFields.modified->setText(QString());
  w_.editor->setModified(false);
  return true;
}

void DocumentFiles::SaveDialogTypeChanged(int index) {
  if (saveDialog != nullptr) saveDialog->setDefaultSuffix(Q(DefaultExtensionFor(FileFilter, index)));
}

FileChoice DocumentFiles::ExecuteSaveDialog(const QString& proposedName, const QString& title) {
  FileDialogRequest request;
  request.filter = FileFilter;
  request.filterIndex = w_.Settings.maskNo;
  request.folder = LastDialogFolder;
  request.proposedName = proposedName;
  FileChoice choice;
  if (FilePrompt.chooseSaveFile) {
    choice = FilePrompt.chooseSaveFile(&w_, request);
  } else {
    if (saveDialog == nullptr) {
      saveDialog = new QFileDialog(&w_);
      saveDialog->setObjectName("saveDialog");
      saveDialog->setOption(QFileDialog::DontUseNativeDialog, true);
      saveDialog->setOption(QFileDialog::HideNameFilterDetails, true);
      saveDialog->setAcceptMode(QFileDialog::AcceptSave);
      saveDialog->setFileMode(QFileDialog::AnyFile);
      QObject::connect(saveDialog, &QFileDialog::filterSelected, saveDialog,
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
void DocumentFiles::FileSaveClick() {
  if (!w_.editor->isModified()) return;
  if (w_.Document.CurrentFileName == kUntitledName) {
    FileSaveAsClick();
    return;
  }
  SaveDocumentTo(w_.Document.CurrentFileName);
}

void DocumentFiles::FileSaveAsClick() {
  const FileChoice choice = ExecuteSaveDialog(Q(w_.Document.CurrentFileName));
  if (!choice.accepted) return;
  QApplication::processEvents();  // the dialog leaves the screen before the write
  const std::string path = choice.path.toStdString();
  w_.Document.CurrentFileName = path;
  w_.editor->setModified(true);
  if (!SaveDocumentTo(path)) {
    w_.edit_->SetModifiedTitle();
    return;
  }
  w_.Settings.maskNo = choice.filterIndex;
  AddRecentFile(path);
}

// Answering Yes and then cancelling the save dialog, or a save that fails, asks
// again: the changes are dropped only on an explicit No.
void DocumentFiles::PromptSaveChanges(const std::string& name) {
  for (;;) {
    if (FilePrompt.askSaveChanges(&w_, Q(name) + kSaveChangesQuestion, false) != SaveAnswer::Yes) return;
    const FileChoice choice = ExecuteSaveDialog(Q(name));
    if (choice.accepted && SaveDocumentTo(choice.path.toStdString())) return;
  }
}

// ---- Commands ----

void DocumentFiles::FileNewClick() {
  if (w_.editor->isModified()) PromptSaveChanges(w_.Document.CurrentFileName);
  ClearDocumentText();
  w_.Document.CurrentFileName = kUntitledName;
  w_.edit_->SetNewDocumentTitle();
  w_.editorFields.modified->setText(QString());
  w_.editorFields.caret->setText("1 , 1");
  w_.editorFields.size->setText("サイズ");
}

void DocumentFiles::FileOpenClick() {
  if (w_.editor->isModified()) PromptSaveChanges(w_.Document.CurrentFileName);
  FileDialogRequest request;
  request.filter = FileFilter;
  request.filterIndex = w_.Settings.maskNo;
  request.folder = LastDialogFolder;
  request.preview = w_.Settings.options.filePreview;
  const FileChoice choice = FilePrompt.chooseOpenFile ? FilePrompt.chooseOpenFile(&w_, request)
                                                      : OpenFileDialog::Choose(&w_, request, FilePrompt);
  if (choice.accepted) {
    LastDialogFolder = QFileInfo(choice.path).absolutePath();
    if (QFileInfo::exists(choice.path)) {
      if (LoadDocument(choice.path.toStdString())) w_.Settings.maskNo = choice.filterIndex;
    } else {
      FilePrompt.error(&w_, QString(), kFileNotFoundBefore + choice.path + kFileNotFoundAfter);
    }
  }
  w_.edit_->RecreateCaret();
}

void DocumentFiles::RecentFileClick(int index) {
  if (index < 0 || index >= static_cast<int>(w_.Settings.recentFiles.size())) return;
  const std::string path = w_.Settings.recentFiles[static_cast<size_t>(index)];
  if (path.empty()) return;
  if (w_.editor->isModified()) PromptSaveChanges(w_.Document.CurrentFileName);
  if (QFileInfo::exists(Q(path))) LoadDocument(path);
}

// While a transfer runs the "ファイル" menu is disabled, and the document is
// what is being sent or received: a drop then is ignored.
void DocumentFiles::OnDropFiles(const QStringList& paths) {
  if (paths.isEmpty() || paths.size() > 2) return;
  if (!w_.Commands().Menus.File->isEnabled() || !w_.Commands().Menus.File->menuAction()->isEnabled()) return;
  if (w_.editor->isModified()) PromptSaveChanges(w_.Document.CurrentFileName);
  LoadDocument(paths.first().toStdString());
}

void DocumentFiles::AddRecentFile(const std::string& path) {
  quelvo::AddRecentFile(w_.Settings.recentFiles, path);
  ShowRecentFiles();
}

void DocumentFiles::ShowRecentFiles() {
  const RecentFileMenu menu = BuildRecentFileMenu(w_.Settings.recentFiles);
  for (size_t i = 0; i < w_.Commands().Menus.RecentFiles.size(); ++i) {
    // A hidden item keeps its number, ready for its path.
    w_.Commands().Menus.RecentFiles[i]->setText(menu.visible[i] ? Q(menu.captions[i]) : QString("&%1 ").arg(i + 1));
    w_.Commands().Menus.RecentFiles[i]->setVisible(menu.visible[i]);
  }
  w_.Commands().Menus.RecentSeparator->setVisible(menu.separatorVisible);
}

// ---- Closing ----

void DocumentFiles::FileExitClick() {
  if (w_.editor->isModified()) {
    const SaveAnswer answer =
        FilePrompt.askSaveChanges(&w_, Q(w_.Document.CurrentFileName) + kSaveChangesQuestion, true);
    if (answer == SaveAnswer::Cancel) return;
    if (answer == SaveAnswer::Yes) {
      FileSaveAsClick();
      if (w_.editor->isModified()) {
        w_.close();  // the close request asks again
        return;
      }
    }
    ClearDocumentText();
    w_.edit_->SetDiscardedTitle();
  }
  w_.close();
}

bool DocumentFiles::MayClose() {
  if (!w_.editor->isModified()) return true;
  const SaveAnswer answer =
      FilePrompt.askSaveChanges(&w_, Q(w_.Document.CurrentFileName) + kSaveChangesQuestion, true);
  if (answer == SaveAnswer::Cancel) return false;
  if (answer == SaveAnswer::Yes) {
    FileSaveAsClick();
    return !w_.editor->isModified();
  }
  ClearDocumentText();
  return true;
}

// ---- Split save and file types ----

void DocumentFiles::opSaveClick() { programPicker->ShowForSplitSave(); }

void DocumentFiles::User_opClick() {
  userTypesDialog->SetPrompts(FilePrompt);
  userTypesDialog->exec();
  RebuildFileFilter();
}

void DocumentFiles::view_opClick() { w_.settings_->ToggleFilePreviewOption(); }

}  // namespace quelvo
