// SPDX-License-Identifier: GPL-3.0-or-later
// The dialogs of the file commands on their own: the preview open dialog, the
// user-defined file types and the program list in selective-send mode.
#include <QCheckBox>
#include <QFile>
#include <QFileSystemModel>
#include <QListView>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QtTest>

#include "core/document/FileFilter.h"
#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "support/ScriptedPrompts.h"
#include "gui/dialogs/OpenFileDialog.h"
#include "gui/dialogs/ProgramPicker.h"
#include "gui/dialogs/UserTypesDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/WindowTestHome.h"

using namespace quelvo;

Q_DECLARE_METATYPE(quelvo::SkipList)

namespace {

QString WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

FileDialogRequest RequestFor(const QString& folder, bool preview) {
  FileDialogRequest request;
  request.filter = BuildFileFilter(UserFileTypes{});
  request.filterIndex = 5;
  request.folder = folder;
  request.preview = preview;
  return request;
}

}  // namespace

class FileDialogsTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void previewShowsTextAndRefusesBinaryFiles();
  void previewFollowsTheCheckBox();
  void previewOptionOffKeepsTheDialogSize();
  void previewFollowsTheSelectionInTheDialog();
  void extensionFieldsFilterKeys();
  void selectiveSendHandsOnTheExclusionList();

 private:
  test::WindowTestHome* home_ = nullptr;
  QTemporaryDir* files_ = nullptr;
  test::ScriptedPrompts* script_ = nullptr;
};

void FileDialogsTest::init() {
  home_ = new test::WindowTestHome;
  files_ = new QTemporaryDir;
  script_ = new test::ScriptedPrompts;
}

void FileDialogsTest::cleanup() {
  const QStringList unexpected = script_->unexpected;
  delete script_;
  delete files_;
  delete home_;
  QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join("; ")));
}

void FileDialogsTest::previewShowsTextAndRefusesBinaryFiles() {
  OpenFileDialog dialog(nullptr, RequestFor(files_->path(), true), script_->Make());
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  QCheckBox* box = dialog.PreviewCheckBox();
  QPlainTextEdit* memo = dialog.PreviewMemo();
  QVERIFY(box && memo);
  QCOMPARE(box->text(), QString("内容をﾌﾟﾚﾋﾞｭｰする。"));
  QVERIFY(box->isChecked() && box->isVisible() && memo->isVisible());
  QCOMPARE(memo->height(), 100);

  // CP932 text, shown decoded with its line breaks.
  dialog.DoSelectionChange(WriteBytes(files_->filePath("TEXT.NC"), "O1(\x8c\x60\x8f\xf3)\r\nG01X1.\r\n"));
  QCOMPARE(memo->toPlainText(), QString("O1(形状)\nG01X1.\n"));

  // A zero byte at the 100th place: not previewable.
  QByteArray zeroAt100(150, 'A');
  zeroAt100[99] = '\0';
  dialog.DoSelectionChange(WriteBytes(files_->filePath("BIN.DAT"), zeroAt100));
  QCOMPARE(script_->warnings, QStringList{"ファイルのプレビューが出来ません。\n(ファイルタイプが違います。)"});
  QCOMPARE(memo->toPlainText(), QString("ﾌﾟﾚﾋﾞｭｰ不可"));

  // The first zero byte at the 101st place: shown up to it.
  QByteArray zeroAt101(150, 'B');
  zeroAt101[100] = '\0';
  dialog.DoSelectionChange(WriteBytes(files_->filePath("ZERO.NC"), zeroAt101));
  QCOMPARE(memo->toPlainText(), QString(100, 'B'));

  // Only the first 1023 bytes are read.
  dialog.DoSelectionChange(WriteBytes(files_->filePath("LONG.NC"), QByteArray(5000, 'C')));
  QCOMPARE(memo->toPlainText().size(), 1023);

  // An empty file: an empty preview, no warning. A folder clears the memo.
  dialog.DoSelectionChange(WriteBytes(files_->filePath("EMPTY.NC"), ""));
  QCOMPARE(memo->toPlainText(), QString());
  dialog.DoSelectionChange(files_->filePath("TEXT.NC"));
  dialog.DoSelectionChange(files_->path());
  QCOMPARE(memo->toPlainText(), QString());
  QCOMPARE(script_->warnings.size(), 1);

  // Closing frees the preview controls.
  dialog.reject();
  QVERIFY(dialog.PreviewCheckBox() == nullptr && dialog.PreviewMemo() == nullptr);
}

void FileDialogsTest::previewFollowsTheCheckBox() {
  const QString text = WriteBytes(files_->filePath("A.NC"), "G1\r\n");
  OpenFileDialog dialog(nullptr, RequestFor(files_->path(), true), script_->Make());
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  dialog.DoSelectionChange(text);
  QCOMPARE(dialog.PreviewMemo()->toPlainText(), QString("G1\n"));
  QTest::mouseClick(dialog.PreviewCheckBox(), Qt::LeftButton, {}, QPoint(8, 12));
  QVERIFY(!dialog.PreviewCheckBox()->isChecked());
  QCOMPARE(dialog.PreviewMemo()->toPlainText(), QString("G1\n"));  // until the next selection
  dialog.DoSelectionChange(text);
  QCOMPARE(dialog.PreviewMemo()->toPlainText(), QString());
  dialog.PreviewCheckBox()->setChecked(true);
  dialog.DoSelectionChange(text);
  QCOMPARE(dialog.PreviewMemo()->toPlainText(), QString("G1\n"));
}

void FileDialogsTest::previewOptionOffKeepsTheDialogSize() {
  OpenFileDialog plain(nullptr, RequestFor(files_->path(), false), script_->Make());
  plain.show();
  QVERIFY(QTest::qWaitForWindowExposed(&plain));
  OpenFileDialog withPreview(nullptr, RequestFor(files_->path(), true), script_->Make());
  withPreview.show();
  QVERIFY(QTest::qWaitForWindowExposed(&withPreview));
  QCOMPARE(withPreview.height() - plain.height(), OpenFileDialog::kPreviewHeight);
  QCOMPARE(plain.ExtraHeight(), 0);
  QVERIFY(!plain.PreviewCheckBox()->isChecked());
  QVERIFY(!plain.PreviewCheckBox()->isVisible());
  plain.DoSelectionChange(WriteBytes(files_->filePath("A.NC"), "G1\r\n"));
  QCOMPARE(plain.PreviewMemo()->toPlainText(), QString());
  QCOMPARE(plain.FilterIndex(), 5);
}

void FileDialogsTest::previewFollowsTheSelectionInTheDialog() {
  const QString path = WriteBytes(files_->filePath("PICK.NC"), "O9\r\n");
  OpenFileDialog dialog(nullptr, RequestFor(files_->path(), true), script_->Make());
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  // As a click in the file list does it.
  auto* list = dialog.findChild<QListView*>("listView");
  QVERIFY(list);
  auto* model = qobject_cast<QFileSystemModel*>(list->model());
  QVERIFY(model);
  QTRY_VERIFY(model->index(path).isValid() && model->rowCount(model->index(files_->path())) == 1);
  list->setCurrentIndex(model->index(path));
  QTRY_COMPARE(dialog.PreviewMemo()->toPlainText(), QString("O9\n"));
}

void FileDialogsTest::extensionFieldsFilterKeys() {
  ProgramSettings settings;
  UserTypesDialog user(settings, home_->Path().toStdString());
  user.SetPrompts(script_->Make());
  user.show();
  QVERIFY(QTest::qWaitForWindowExposed(&user));
  QCOMPARE(user.windowTitle(), QString("ﾕｰｻﾞ定義"));
  QCOMPARE(user.size(), QSize(379, 173));

  user.extension1Edit->clear();
  QTest::keyClicks(user.extension1Edit, "N:C");
  QCOMPARE(user.extension1Edit->text(), QString("NC"));
  QCOMPARE(script_->errors, QStringList{"確認|この文字は拡張子に使えません。\n/:,;?<>|"});
  QTest::keyClick(user.extension1Edit, Qt::Key_Backspace);
  QTest::keyClicks(user.extension1Edit, "D");
  QTest::keyClick(user.extension1Edit, Qt::Key_Return);
  QCOMPARE(user.extension1Edit->text(), QString("*.ND"));
  QCOMPARE(user.focusWidget(), static_cast<QWidget*>(user.applyButton));
  QVERIFY(user.isVisible());  // Enter moves on, it does not press a button

  // Enter in an empty extension field leaves it empty; "変更" makes it "*.*".
  user.extension2Edit->clear();
  QTest::keyClick(user.extension2Edit, Qt::Key_Return);
  QCOMPARE(user.extension2Edit->text(), QString());
  user.name1Edit->clear();
  user.applyButton->click();
  QVERIFY(!user.isVisible());
  QCOMPARE(settings.user1Name, std::string("ﾕｰｻﾞ定義1"));
  QCOMPARE(settings.user1Mask, std::string("*.ND"));
  QCOMPARE(settings.user2Mask, std::string("*.*"));

  // The place is kept in Sub.ini and used the next time.
  const IniFile sub(SubIniPath());
  QCOMPARE(sub.ReadInteger("Sub", "Left", -1), user.geometry().x());
  QCOMPARE(sub.ReadInteger("Sub", "Top", -1), user.geometry().y());
}

void FileDialogsTest::selectiveSendHandsOnTheExclusionList() {
  qRegisterMetaType<quelvo::SkipList>();
  MainWindow form;
  form.Files().FilePrompt = script_->Make();
  ProgramPicker* dialog = form.Files().programPicker;
  QSignalSpy send(dialog, &ProgramPicker::SelectiveSendRequested);
  QSignalSpy cancel(dialog, &ProgramPicker::SelectiveSendCancelled);

  QCOMPARE(dialog->ShowForSelectiveSend("%\r\nO1\r\nM30\r\n:0002(B)\r\nM30\r\nL3\r\nM99\r\nO4"), 3);
  QVERIFY(dialog->isVisible());
  QCOMPARE(dialog->windowTitle(), QString("選択送信"));
  QVERIFY(dialog->sendSelectedButton->isVisible() && dialog->cancelSendButton->isVisible());
  QVERIFY(!dialog->saveSelectedButton->isVisible() && !dialog->cancelSaveButton->isVisible());

  dialog->UncheckAllClick();
  dialog->SendSelectedClick();
  QCOMPARE(script_->errors, QStringList{"選択送信|送信データが見つかりません。\n選択して送信するか中止してください。"});
  QCOMPARE(send.count(), 0);

  dialog->CheckAllClick();
  dialog->programList->item(1)->setCheckState(Qt::Unchecked);
  dialog->SendSelectedClick();
  QCOMPARE(send.count(), 1);
  const auto selection = send.first().first().value<quelvo::SkipList>();
  QCOMPARE(selection.SkipCount(), 1);
  QCOMPARE(selection.SkipLines.front(), std::string(":0002(B)"));
  QCOMPARE(selection.checkedCount, 2);
  QVERIFY(!dialog->uncheckAllButton->isEnabled() && !dialog->checkAllButton->isEnabled());

  dialog->CancelSendClick();
  QCOMPARE(cancel.count(), 1);
  QVERIFY(!dialog->isVisible());

  // A document whose only program start line is its last line lists nothing.
  // Closing through the title bar cancels too; closing after the send does not.
  QCOMPARE(dialog->ShowForSelectiveSend("G1\r\nO5"), 0);
  QVERIFY(!dialog->uncheckAllButton->isEnabled() && !dialog->checkAllButton->isEnabled());
  dialog->close();
  QCOMPARE(cancel.count(), 2);
  dialog->ShowForSelectiveSend("O1\r\nM30\r\n");
  dialog->CloseAfterSend();
  QVERIFY(!dialog->isVisible());
  QCOMPARE(cancel.count(), 2);
}

QTEST_MAIN(FileDialogsTest)
#include "FileDialogsTest.moc"
