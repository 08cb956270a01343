// SPDX-License-Identifier: GPL-3.0-or-later
// The command line and the automatic transfers it can request. The argument
// rules live in CommandLineRules; this file carries out the actions they return.
#include <QCoreApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QTimer>

#include "core/commandline/CollectionFile.h"
#include "core/commandline/ExitStatus.h"
#include "core/common/ProgramFiles.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"

namespace quelvo {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::vector<std::string> ProcessArguments() {
  std::vector<std::string> args;
  const QStringList list = QCoreApplication::arguments();
  for (qsizetype i = 1; i < list.size(); ++i) args.push_back(list[i].toStdString());
  return args;
}

}  // namespace

void MainWindow::ProcessCommandLine() {
  CollectionFile = ProgramFilePath(".tmp");
  collectionUsable_ = ResetCollectionFile(CollectionFile, nullptr);
  // A collection file that could not be emptied may still hold an earlier run's
  // files: it counts as missing, so "SE=Y" never sends stale data.
  const FileExistsFn exists = [this](const std::string& path) {
    if (path == CollectionFile && !collectionUsable_) return false;
    const QFileInfo info(Q(path));
    return info.exists() && !info.isDir();
  };
  const std::vector<std::string> args = CommandLineArguments.empty() ? ProcessArguments() : CommandLineArguments;

  CommandLine = CommandLineState{};
  CommandLine.dirPath = Settings.dirPath;
  for (;;) {
    const CommandLineStep step = ReadCommandLine(args, CommandLine, CollectionFile, exists);
    CommandLine = step.state;
    for (const CommandLineAction& action : step.actions) RunCommandLineAction(action);
    // Loading files moved DirPath; later bare names follow the real folder.
    CommandLine.dirPath = Settings.dirPath;
    if (!step.waitsForAnswer) break;
    AnswerOverwrite(CommandLine, AskCommandLineQuestion(step.actions.back().text));
  }
  CommandLine.pathArgumentTaken = false;
  App.ExitStatus = RequestsUnattendedTransfer(args) ? kExitTransferNotCompleted : kExitOk;
}

bool MainWindow::AutomaticTransferRequested() const {
  return CommandLine.sendRequested || CommandLine.receiveRequested;
}

void MainWindow::RunCommandLineAction(const CommandLineAction& action) {
  switch (action.kind) {
    case CommandLineActionKind::CollectFile:
      CollectCommandLineFile(action.path);
      break;
    case CommandLineActionKind::LoadDocument:
      LoadCommandLineDocument(action.path, action.promptSave);
      break;
    case CommandLineActionKind::NotFound:
      App.TransferFileName = action.path;
      ShowCommandLineError(action.text);
      break;
    case CommandLineActionKind::AskOverwrite:
    case CommandLineActionKind::RequestReceive:
      App.TransferFileName = action.path;
      break;
    case CommandLineActionKind::RequestSend:
      break;  // the request is in CommandLine; commandLineTimer acts on it
    case CommandLineActionKind::CloseAfterTransfer:
      App.CloseAfterTransfer = true;
      App.CloseUnattended = true;
      break;
    case CommandLineActionKind::SelectSetting:
      Settings.setNo = action.setNo;  // loaded when the window is first shown
      break;
    case CommandLineActionKind::Message:
      ShowCommandLineError(action.text);
      break;
  }
}

void MainWindow::CollectCommandLineFile(const std::string& path) {
  App.TransferFileName = path;
  editor->clear();
  const bool loaded = files_->LoadFileIntoEditor(path) >= 0;
  editor->setModified(false);
  if (!loaded || !collectionUsable_) return;
  std::string error;
  if (!AppendToCollection(CollectionFile, editor->text().toStdString(), &error)) {
    // An incomplete collection must not be sent.
    collectionUsable_ = false;
    ShowCommandLineError(CollectionFile + "\n" + error);
  }
}

void MainWindow::LoadCommandLineDocument(const std::string& path, bool promptSave) {
  App.TransferFileName = path;
  if (promptSave) {
    if (editor->isModified()) files_->PromptSaveChanges(Document.CurrentFileName);
    editor->clear();
  }
  files_->LoadDocument(path);
  editor->setModified(false);
  Document.Modified = false;
}

bool MainWindow::AskCommandLineQuestion(const std::string& text) {
  QMessageBox box(QMessageBox::Warning, "Quelvo", Q(text), QMessageBox::Yes | QMessageBox::No, this);
  box.move(x() + 50, y() + 50);
  return box.exec() == QMessageBox::Yes;
}

void MainWindow::ShowCommandLineError(const std::string& text) {
  QMessageBox box(QMessageBox::Critical, "Quelvo", Q(text), QMessageBox::Yes, this);
  box.move(x() + 50, y() + 50);
  box.exec();
}

void MainWindow::StartCommandLineTransfer() {
  commandLineTimer->stop();
  if (CommandLine.sendRequested) {
    CommandLine.sendRequested = false;
    transfers_->SendCommand(1);  // exactly as a press of "送信"
  }
  if (CommandLine.receiveRequested) {
    CommandLine.receiveRequested = false;
    // The file the receive argument named, even when a later plain path was
    // opened as the document: that file must not be received over.
    App.TransferFileName = CommandLine.receiveTarget;
    transfers_->RunAutomaticReceive();  // its own switch to the transferring state, then the engine
  }
}

}  // namespace quelvo
