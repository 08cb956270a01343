// SPDX-License-Identifier: GPL-3.0-or-later
// The file commands of the main window: new, open, save, save as, recent
// files, dropped files and closing, with the questions answered by a script.
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QFileDialog>
#include <QLineEdit>
#include <QMenu>
#include <QListWidget>
#include <QMimeData>
#include <QPushButton>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

#include "support/ScriptedPrompts.h"
#include "gui/dialogs/ProgramPicker.h"
#include "gui/dialogs/UserTypesDialog.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/WindowTestHome.h"

using quelvo::SaveAnswer;
using quelvo::MainWindow;
using quelvo::test::Cancelled;
using quelvo::test::Chosen;

namespace {

const QString kSuffix = " - Quelvo Ver1.47";
const QString kAsk = " への変更を保存しますか？";

QByteArray ReadBytes(const QString& path) {
  QFile file(path);
  if (!file.open(QIODevice::ReadOnly)) return "<missing>";
  return file.readAll();
}

QString WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

}  // namespace

class MainWindowFilesTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void newDocumentAsksAboutChanges();
  void saveWritesOnlyAModifiedDocument();
  void anUndoneEditStillCountsAsAnEdit();
  void charactersTheFileCannotHoldAreWrittenOnlyOnYes();
  void failedSaveKeepsTheDocumentModified();
  void openLoadsTheChosenFile();
  void loadAsksAboutFilesWithoutText();
  void recentFilesFollowTheLoads();
  void droppedFilesAreOpened();
  void exitAsksAgainAfterACancelledSave();
  void closeQueryAnswers();
  void saveDialogTypesAndExtensions();
  void fileTypesDialogRebuildsTheFilter();
  void splitSaveWritesOneFilePerProgram();
  void splitSaveStopsAtAFolderItCannotWrite();
  void everyByteComesBackThroughTheEditor();

 private:
  QString Path(const QString& name) const { return files_->filePath(name); }
  void Modify(const QString& typed = "g01") { QTest::keyClicks(form_->editor, typed); }
  bool Modified() const { return form_->editor->isModified(); }

  quelvo::test::WindowTestHome* home_ = nullptr;
  QTemporaryDir* files_ = nullptr;
  quelvo::test::ScriptedPrompts* script_ = nullptr;
  MainWindow* form_ = nullptr;
};

void MainWindowFilesTest::init() {
  home_ = new quelvo::test::WindowTestHome;
  files_ = new QTemporaryDir;
  script_ = new quelvo::test::ScriptedPrompts;
  form_ = new MainWindow;
  form_->Files().FilePrompt = script_->Make();
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void MainWindowFilesTest::cleanup() {
  const QStringList unexpected = script_->unexpected;
  delete form_;
  delete script_;
  chmod(files_->path().toLocal8Bit().constData(), 0700);
  delete files_;
  delete home_;
  QVERIFY2(unexpected.isEmpty(), qPrintable(unexpected.join("; ")));
}

void MainWindowFilesTest::newDocumentAsksAboutChanges() {
  // No: the changes go, nothing is written.
  Modify();
  script_->saveAnswers = {SaveAnswer::No};
  form_->Files().FileNewClick();
  QCOMPARE(script_->questions, QStringList{"無題" + kAsk});
  QCOMPARE(script_->questionHadCancel.first(), false);
  QCOMPARE(form_->editor->text(), QString());
  QVERIFY(!Modified());
  QCOMPARE(form_->windowTitle(), "<新規作成>無題" + kSuffix);
  QCOMPARE(form_->editorFields.size->text(), QString("サイズ"));
  QCOMPARE(form_->editorFields.caret->text(), QString("1 , 1"));
  QCOMPARE(form_->editorFields.modified->text(), QString());

  // Yes, a cancelled save dialog asks again; Yes and a name save the text there.
  Modify("m30");
  const QString kept = Path("KEPT.NC");
  script_->saveAnswers = {SaveAnswer::Yes, SaveAnswer::Yes};
  script_->saveChoices = {Cancelled(), Chosen(kept)};
  form_->Files().FileNewClick();
  QCOMPARE(script_->questions.size(), 3);
  QCOMPARE(script_->saveRequests.size(), 2);
  QCOMPARE(script_->saveRequests.first().proposedName, QString("無題"));
  QCOMPARE(ReadBytes(kept), QByteArray("M30"));
  QCOMPARE(form_->editor->text(), QString());
  QCOMPARE(form_->Document.CurrentFileName, std::string("無題"));

  // An unmodified document is cleared without a question.
  form_->Files().FileNewClick();
  QCOMPARE(script_->questions.size(), 3);
}

void MainWindowFilesTest::saveWritesOnlyAModifiedDocument() {
  const QString path = WriteBytes(Path("A.NC"), "O1\r\nG0\r\n");
  QVERIFY(form_->Files().LoadDocument(path.toStdString()));
  QFile::remove(path);
  form_->Files().FileSaveClick();  // not modified: not even a write
  QVERIFY(!QFile::exists(path));

  Modify("x");
  QVERIFY(form_->windowTitle().startsWith("<編集><変更>"));
  form_->Files().FileSaveClick();
  QCOMPARE(ReadBytes(path), QByteArray("XO1\r\nG0\r\n"));
  QVERIFY(!Modified());
  QCOMPARE(form_->windowTitle(), "<編集>" + path + kSuffix);
  QCOMPARE(form_->editorFields.modified->text(), QString());

  // A document never saved goes to "名前を付けて保存"; the choice becomes its name,
  // Mask_No and the first recent file.
  script_->saveAnswers.clear();
  form_->Files().FileNewClick();
  form_->Files().FileSaveClick();
  QVERIFY(script_->saveRequests.isEmpty());
  Modify("n1");
  const QString named = Path("B.TXT");
  script_->saveChoices = {Chosen(named, 2)};
  form_->Files().FileSaveClick();
  QCOMPARE(script_->saveRequests.size(), 1);
  QCOMPARE(ReadBytes(named), QByteArray("N1"));
  QCOMPARE(form_->Document.CurrentFileName, named.toStdString());
  QCOMPARE(form_->Settings.maskNo, 2);
  QCOMPARE(form_->Settings.recentFiles[0], named.toStdString());
}

// The marks and Save follow one flag: an edit undone is still an edit.
void MainWindowFilesTest::anUndoneEditStillCountsAsAnEdit() {
  const QString path = WriteBytes(Path("U.NC"), "O1\r\nG0\r\n");
  QVERIFY(form_->Files().LoadDocument(path.toStdString()));
  QFile::remove(path);
  Modify("x");
  QTest::keyClick(form_->editor, Qt::Key_Z, Qt::ControlModifier);
  QCOMPARE(form_->editor->text(), QString("O1\r\nG0\r\n"));
  QVERIFY(Modified());
  QVERIFY(form_->Document.Modified);
  QCOMPARE(form_->windowTitle(), "<編集><変更>" + path + kSuffix);
  QCOMPARE(form_->editorFields.modified->text(), QString("＜変更＞"));
  form_->Files().FileSaveClick();
  QCOMPARE(ReadBytes(path), QByteArray("O1\r\nG0\r\n"));
  QVERIFY(!Modified());
  QCOMPARE(form_->windowTitle(), "<編集>" + path + kSuffix);
  QCOMPARE(form_->editorFields.modified->text(), QString());
}

// Pasted characters without a CP932 form: the user is told which on which
// line; No writes nothing (save, and split save), Yes writes them as "?".
void MainWindowFilesTest::charactersTheFileCannotHoldAreWrittenOnlyOnYes() {
  const QString path = WriteBytes(Path("V.NC"), "O1\r\n");
  QVERIFY(form_->Files().LoadDocument(path.toStdString()));
  form_->editor->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
  QApplication::clipboard()->setText("G1(Ä€)\r\n(😀Ä)\r\nO2\r\nM30");
  form_->Edit().EditPasteClick();
  script_->unencodableAnswers = {false};
  form_->Files().FileSaveClick();
  QCOMPARE(script_->unencodableQuestions.size(), 1);
  QVERIFY2(script_->unencodableQuestions.first().contains("「?」になります。\n\n2行目: Ä €\n3行目: 😀 Ä\n\n"),
           qPrintable(script_->unencodableQuestions.first()));
  QCOMPARE(ReadBytes(path), QByteArray("O1\r\n"));
  QVERIFY(Modified());
  QVERIFY(script_->errors.isEmpty());

  const QString out = Path("SPLIT");
  QVERIFY(QDir().mkdir(out));
  form_->Files().opSaveClick();
  script_->folderChoices = {out};
  script_->unencodableAnswers = {false};
  form_->Files().programPicker->SaveSelectedClick();
  QVERIFY(QDir(out).entryList(QDir::Files).isEmpty());
  QVERIFY(form_->Files().programPicker->isVisible() && form_->Files().programPicker->saveSelectedButton->isEnabled());
  form_->Files().programPicker->CancelSaveClick();

  script_->unencodableAnswers = {true};
  form_->Files().FileSaveClick();
  QCOMPARE(ReadBytes(path), QByteArray("O1\r\nG1(?" "?)\r\n(?" "?)\r\nO2\r\nM30"));
  QVERIFY(!Modified());
}

void MainWindowFilesTest::failedSaveKeepsTheDocumentModified() {
  const QString path = WriteBytes(Path("C.NC"), "G1\r\n");
  QVERIFY(form_->Files().LoadDocument(path.toStdString()));
  Modify("y");
  QVERIFY(chmod(files_->path().toLocal8Bit().constData(), 0500) == 0);
  form_->Files().FileSaveClick();
  QCOMPARE(script_->errors.size(), 1);
  QVERIFY2(script_->errors.first().contains(path + " に書き込めません。\n"), qPrintable(script_->errors.first()));
  QVERIFY(script_->errors.first().contains("denied"));
  QVERIFY(Modified());
  QCOMPARE(form_->windowTitle(), "<編集><変更>" + path + kSuffix);
  QCOMPARE(ReadBytes(path), QByteArray("G1\r\n"));

  // Save As into the same place: the name is taken, Mask_No and the recent
  // files are not.
  const int maskNo = form_->Settings.maskNo;
  const auto recent = form_->Settings.recentFiles;
  script_->saveChoices = {Chosen(Path("D.NC"), 5)};
  form_->Files().FileSaveAsClick();
  QCOMPARE(script_->errors.size(), 2);
  QVERIFY(Modified());
  QCOMPARE(form_->Document.CurrentFileName, Path("D.NC").toStdString());
  QCOMPARE(form_->Settings.maskNo, maskNo);
  QVERIFY(form_->Settings.recentFiles == recent);

  // Closing then: Yes, the save fails again, the window stays.
  script_->saveAnswers = {SaveAnswer::Yes};
  script_->saveChoices = {Chosen(Path("E.NC"))};
  QVERIFY(!form_->close());
  QVERIFY(form_->isVisible());
  QVERIFY(Modified());
}

void MainWindowFilesTest::openLoadsTheChosenFile() {
  const QString path = WriteBytes(Path("PART.NC"), "O1234\r\nG01X10.\r\n");
  form_->Settings.maskNo = 3;
  script_->openChoices = {Chosen(path, 6)};
  form_->Files().FileOpenClick();
  QCOMPARE(script_->openRequests.first().filterIndex, 3);
  QCOMPARE(script_->openRequests.first().filter.size(), size_t(7));
  QCOMPARE(form_->editor->text(), QString("O1234\r\nG01X10.\r\n"));
  QCOMPARE(form_->windowTitle(), "<編集>" + path + kSuffix);
  QCOMPARE(form_->editorFields.size->text(), QString("ｻｲｽﾞ : 16ﾊﾞｲﾄ"));
  QCOMPARE(form_->editorFields.caret->text(), QString("1 , 1"));
  QCOMPARE(form_->Settings.maskNo, 6);
  QCOMPARE(form_->Settings.dirPath, (files_->path() + "/").toStdString());
  QVERIFY(!Modified());
  QCOMPARE(form_->Commands().Menus.RecentFiles[0]->text(), "&1 " + path);
  QVERIFY(form_->Commands().Menus.RecentFiles[0]->isVisible());
  QVERIFY(!form_->Commands().Menus.RecentFiles[1]->isVisible());
  QVERIFY(form_->Commands().Menus.RecentSeparator->isVisible());

  // A modified document is offered for saving first; a file that is gone is
  // reported and changes nothing.
  Modify("q");
  script_->saveAnswers = {SaveAnswer::No};
  const QString gone = Path("GONE.NC");
  script_->openChoices = {Chosen(gone, 2)};
  form_->Files().FileOpenClick();
  QCOMPARE(script_->questions, QStringList{path + kAsk});
  QCOMPARE(script_->errors, QStringList{"|呼出データ\n" + gone + "が見つかりません。"});
  QCOMPARE(form_->Settings.maskNo, 6);
  QCOMPARE(form_->Document.CurrentFileName, path.toStdString());

  // A file that cannot be read is reported with the reason; the document stays.
  const QString folder = Path("FOLDER.NC");
  QVERIFY(QDir().mkdir(folder));
  script_->saveAnswers = {SaveAnswer::No};
  script_->openChoices = {Chosen(folder)};
  form_->Files().FileOpenClick();
  QCOMPARE(script_->errors.size(), 2);
  QVERIFY(script_->errors.last().startsWith("|" + folder + " を読み込めません。\n"));
  QCOMPARE(form_->Document.CurrentFileName, path.toStdString());
  QVERIFY(form_->editor->text().startsWith("Q"));
}

void MainWindowFilesTest::loadAsksAboutFilesWithoutText() {
  // An empty file: the question, and either answer leaves an empty document of size 0.
  const QString empty = WriteBytes(Path("EMPTY.NC"), "");
  script_->formatAnswers = {true};
  QCOMPARE(form_->Files().LoadFileIntoEditor(empty.toStdString()), 0.0);
  QCOMPARE(script_->formatQuestions, 1);
  QCOMPARE(form_->editor->text(), QString());

  // A zero byte first: Yes reads line by line, dropping what the zero bytes cut.
  const QString zero = WriteBytes(Path("ZERO.NC"), QByteArray("\0AB\n\nCD\n", 8));
  script_->formatAnswers = {true};
  QCOMPARE(form_->Files().LoadFileIntoEditor(zero.toStdString()), 8.0);
  QCOMPARE(form_->editor->text(), QString("CD\r\n"));
  QVERIFY(!Modified());
  script_->formatAnswers = {false};
  form_->Files().LoadFileIntoEditor(zero.toStdString());
  QCOMPARE(form_->editor->text(), QString());

  // A zero byte after text: the text before it, without a question.
  const QString after = WriteBytes(Path("AFTER.NC"), QByteArray("G1\r\nG2\0G3", 9));
  form_->Files().LoadFileIntoEditor(after.toStdString());
  QCOMPARE(script_->formatQuestions, 3);
  QCOMPARE(form_->editor->text(), QString("G1\r\nG2"));

  // LF line ends arrive as CR LF; CP932 text is decoded.
  const QString lf = WriteBytes(Path("LF.NC"), "O1(\x83\x65\x83\x58\x83\x67)\nM30\n");
  form_->Files().LoadFileIntoEditor(lf.toStdString());
  QCOMPARE(form_->editor->text(), QString("O1(テスト)\r\nM30\r\n"));
  QVERIFY(script_->warnings.isEmpty());

  // A UTF-8 file is loaded as it is read (CP932), with a hint saying what it is.
  const QString utf8 = WriteBytes(Path("UTF8.NC"), QString("O1(テスト)\r\nM30\r\n").toUtf8());
  form_->Files().LoadFileIntoEditor(utf8.toStdString());
  QCOMPARE(script_->warnings.size(), 1);
  QVERIFY2(script_->warnings[0].contains("Shift-JIS ではなく UTF-8"), qPrintable(script_->warnings[0]));
  QVERIFY(script_->warnings[0].contains("UTF8.NC"));
}

void MainWindowFilesTest::recentFilesFollowTheLoads() {
  QStringList paths;
  for (const char* name : {"A.NC", "B.NC", "C.NC", "D.NC", "E.NC", "F.NC"})
    paths << WriteBytes(Path(name), QByteArray(name) + "\r\n");
  for (int i : {0, 1, 2, 0}) QVERIFY(form_->Files().LoadDocument(paths[i].toStdString()));
  QCOMPARE(form_->Commands().Menus.RecentFiles[0]->text(), "&1 " + paths[0]);
  QCOMPARE(form_->Commands().Menus.RecentFiles[1]->text(), "&2 " + paths[2]);
  QCOMPARE(form_->Commands().Menus.RecentFiles[2]->text(), "&3 " + paths[1]);
  QVERIFY(!form_->Commands().Menus.RecentFiles[3]->isVisible());

  // The third item opens C; a modified document is asked about first.
  Modify("z");
  script_->saveAnswers = {SaveAnswer::No};
  form_->Commands().Menus.RecentFiles[2]->trigger();
  QCOMPARE(script_->questions.size(), 1);
  QCOMPARE(form_->Document.CurrentFileName, paths[1].toStdString());
  QCOMPARE(form_->Commands().Menus.RecentFiles[0]->text(), "&1 " + paths[1]);

  // Six files keep the last five; a recent file that is gone is ignored and stays.
  for (int i = 0; i < 6; ++i) QVERIFY(form_->Files().LoadDocument(paths[i].toStdString()));
  QCOMPARE(form_->Settings.recentFiles[4], paths[1].toStdString());
  QFile::remove(paths[1]);
  form_->Files().RecentFileClick(4);
  QCOMPARE(form_->Document.CurrentFileName, paths[5].toStdString());
  QCOMPARE(form_->Settings.recentFiles[4], paths[1].toStdString());
}

void MainWindowFilesTest::droppedFilesAreOpened() {
  const QString one = WriteBytes(Path("ONE.NC"), "O1\r\n");
  const QString two = WriteBytes(Path("TWO.NC"), "O2\r\n");
  const QString three = WriteBytes(Path("THREE.NC"), "O3\r\n");
  Modify("k");

  // Three files: nothing, not even a question.
  form_->Files().OnDropFiles({one, two, three});
  QCOMPARE(script_->questions.size(), 0);
  QCOMPARE(form_->editor->text(), QString("K"));

  // Dropped on the editor: the question first, then the first file is opened.
  QMimeData data;
  data.setUrls({QUrl::fromLocalFile(two), QUrl::fromLocalFile(one)});
  QWidget* target = form_->editor->viewport();
  QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(target, &enter);
  QVERIFY(enter.isAccepted());
  QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  script_->saveAnswers = {SaveAnswer::No};
  QApplication::sendEvent(target, &drop);
  QTRY_COMPARE(form_->Document.CurrentFileName, two.toStdString());
  QCOMPARE(script_->questions, QStringList{"無題" + kAsk});
  QCOMPARE(form_->editor->text(), QString("O2\r\n"));
  QVERIFY(form_->acceptDrops());

  // During a transfer (the file menu disabled) a drop changes nothing.
  form_->Commands().Menus.File->setEnabled(false);
  form_->Files().OnDropFiles({one});
  QCOMPARE(form_->Document.CurrentFileName, two.toStdString());
}

void MainWindowFilesTest::exitAsksAgainAfterACancelledSave() {
  Modify("g");
  // Yes, the save dialog cancelled: the close request asks again; Cancel there keeps the window.
  script_->saveAnswers = {SaveAnswer::Yes, SaveAnswer::Cancel};
  script_->saveChoices = {Cancelled()};
  form_->Files().FileExitClick();
  QCOMPARE(script_->questions.size(), 2);
  QCOMPARE(script_->questionHadCancel, (QList<bool>{true, true}));
  QVERIFY(form_->isVisible());
  QVERIFY(Modified());

  // Cancel at once: nothing happens.
  script_->saveAnswers = {SaveAnswer::Cancel};
  form_->Files().FileExitClick();
  QVERIFY(form_->isVisible());

  // Yes and a name: saved, then the window closes.
  const QString path = Path("EXIT.NC");
  script_->saveAnswers = {SaveAnswer::Yes};
  script_->saveChoices = {Chosen(path)};
  form_->Files().FileExitClick();
  QCOMPARE(ReadBytes(path), QByteArray("G"));
  QVERIFY(!form_->isVisible());
  QCOMPARE(form_->windowTitle(), "<編集>" + kSuffix);
}

void MainWindowFilesTest::closeQueryAnswers() {
  QVERIFY(form_->Files().MayClose());  // nothing to lose: no question
  Modify("a");
  script_->saveAnswers = {SaveAnswer::Cancel};
  QVERIFY(!form_->Files().MayClose());
  script_->saveAnswers = {SaveAnswer::Yes};
  script_->saveChoices = {Cancelled()};
  QVERIFY(!form_->Files().MayClose());
  QVERIFY(Modified());
  script_->saveAnswers = {SaveAnswer::No};
  QVERIFY(form_->close());
  QCOMPARE(form_->editor->text(), QString());
  QCOMPARE(script_->questions.size(), 3);
}

// The real save dialog, driven as a user would: the type "拡張子無し" saves under
// exactly the typed name; another type adds its extension.
void MainWindowFilesTest::saveDialogTypesAndExtensions() {
  form_->Files().FilePrompt.chooseSaveFile = nullptr;
  form_->Files().LastDialogFolder = files_->path();
  auto fillIn = [](int typeIndex, const QString& name) {
    QTimer::singleShot(100, [typeIndex, name] {
      auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
      QVERIFY(dialog);
      QCOMPARE(dialog->windowTitle(), QString("データ保存"));
      auto* types = dialog->findChild<QComboBox*>("fileTypeCombo");
      QVERIFY(types);
      QCOMPARE(types->count(), 7);
      // Chosen with the keyboard, as a user may.
      QTest::keyClick(types, Qt::Key_Home);
      for (int i = 0; i < typeIndex; ++i) QTest::keyClick(types, Qt::Key_Down);
      QCOMPARE(types->currentIndex(), typeIndex);
      QLineEdit* nameEdit = dialog->findChild<QLineEdit*>("fileNameEdit");
      QVERIFY(nameEdit);
      nameEdit->setText(name);
      QTest::keyClick(nameEdit, Qt::Key_Return);
    });
  };
  Modify("g1");
  fillIn(6, "PLAIN");
  form_->Files().FileSaveAsClick();
  QCOMPARE(ReadBytes(Path("PLAIN")), QByteArray("G1"));
  QCOMPARE(form_->Settings.maskNo, 7);
  QCOMPARE(form_->Files().saveDialog->defaultSuffix(), QString());

  fillIn(1, "NOTE");
  form_->Files().FileSaveAsClick();
  QCOMPARE(ReadBytes(Path("NOTE.txt")), QByteArray("G1"));
  QCOMPARE(form_->Settings.maskNo, 2);
  QCOMPARE(form_->Document.CurrentFileName, Path("NOTE.txt").toStdString());
}

void MainWindowFilesTest::fileTypesDialogRebuildsTheFilter() {
  QTimer::singleShot(100, [] {
    auto* user = qobject_cast<quelvo::UserTypesDialog*>(QApplication::activeModalWidget());
    QVERIFY(user);
    QCOMPARE(user->extension1Edit->text(), QString("*.*"));
    user->name1Edit->setText("ﾏｼﾝA");
    user->extension1Edit->setText("NCD");
    user->name2Edit->clear();
    user->extension2Edit->clear();
    user->applyButton->click();
  });
  form_->Files().User_opClick();
  QCOMPARE(form_->Files().FileFilter[2].description, std::string("ﾏｼﾝA(*.NCD)"));
  QCOMPARE(form_->Files().FileFilter[2].pattern, std::string("*.NCD"));
  QCOMPARE(form_->Files().FileFilter[3].description, std::string("ﾕｰｻﾞ定義2(*.*)"));
  QCOMPARE(form_->Settings.user1Mask, std::string("*.NCD"));

  // "中止" after edits: the stored values stay, the list is rebuilt from them.
  QTimer::singleShot(100, [] {
    auto* user = qobject_cast<quelvo::UserTypesDialog*>(QApplication::activeModalWidget());
    QVERIFY(user);
    user->extension1Edit->setText("XYZ");
    user->cancelButton->click();
  });
  form_->Files().User_opClick();
  QCOMPARE(form_->Settings.user1Mask, std::string("*.NCD"));
  QCOMPARE(form_->Files().FileFilter[2].pattern, std::string("*.NCD"));
  QCOMPARE(form_->Files().userTypesDialog->extension1Edit->text(), QString("*.NCD"));
}

void MainWindowFilesTest::splitSaveWritesOneFilePerProgram() {
  const QString source = WriteBytes(Path("PARTS.NC"),
                                    "%\r\nO1000(PART A)\r\n   G00X0\r\nM30\r\n%\r\nO2000\r\nM30\r\n%");
  QVERIFY(form_->Files().LoadDocument(source.toStdString()));
  const QString out = Path("OUT");
  QVERIFY(QDir().mkdir(out));
  form_->Files().opSaveClick();
  quelvo::ProgramPicker* dialog = form_->Files().programPicker;
  QVERIFY(dialog->isVisible());
  QCOMPARE(dialog->windowTitle(), QString("分割保存"));
  QVERIFY(dialog->saveSelectedButton->isVisible() && !dialog->sendSelectedButton->isVisible());
  QCOMPARE(dialog->programList->count(), 2);
  QCOMPARE(dialog->programList->item(0)->text(), QString("O1000(PART A)"));

  script_->folderChoices = {out};
  dialog->op_nClick();  // serial numbers
  dialog->SaveSelectedClick();
  QVERIFY(!dialog->isVisible());
  QCOMPARE(ReadBytes(out + "/O1000_001.NC"), QByteArray("O1000(PART A)\r\nG00X0\r\nM30\r\n"));
  QCOMPARE(ReadBytes(out + "/O2000_002.NC"), QByteArray("O2000\r\nM30\r\n"));
  QVERIFY(script_->folderPrompts.first().startsWith("現ﾃﾞｨﾚｸﾄﾘ "));
  // The document loses its leading blanks but stays unmodified.
  QVERIFY(form_->editor->text().contains("\r\nG00X0\r\n"));
  QVERIFY(!Modified());
  QCOMPARE(form_->windowTitle(), "<編集>" + source + kSuffix);

  // Folder and options are kept for the next time; an unchecked program gets no file.
  form_->Files().opSaveClick();
  QCOMPARE(dialog->DirPath, out.toStdString());
  QVERIFY(dialog->op_n->isChecked());
  dialog->op_nClick();
  dialog->programList->item(1)->setCheckState(Qt::Unchecked);
  const QString again = Path("AGAIN");
  QVERIFY(QDir().mkdir(again));
  script_->folderChoices = {again};
  dialog->SaveSelectedClick();
  QCOMPARE(QDir(again).entryList(QDir::Files), QStringList{"O1000.NC"});

  // Nothing checked: the message, and the dialog stays open.
  form_->Files().opSaveClick();
  dialog->UncheckAllClick();
  script_->folderChoices = {again};
  dialog->SaveSelectedClick();
  QCOMPARE(script_->errors,
           QStringList{"分割保存|分割保存するデータが見つかりません。\n選択して分割保存するか中止してください。"});
  QVERIFY(dialog->isVisible());
  dialog->CancelSaveClick();
  QVERIFY(!dialog->isVisible());
}

void MainWindowFilesTest::splitSaveStopsAtAFolderItCannotWrite() {
  const QString source = WriteBytes(Path("TWO.NC"), "O1\r\nG1\r\nO2\r\nG2\r\n");
  QVERIFY(form_->Files().LoadDocument(source.toStdString()));
  const QString locked = Path("LOCKED");
  QVERIFY(QDir().mkdir(locked));
  QVERIFY(chmod(locked.toLocal8Bit().constData(), 0500) == 0);
  form_->Files().opSaveClick();
  script_->folderChoices = {locked};
  form_->Files().programPicker->SaveSelectedClick();
  QCOMPARE(script_->errors.size(), 1);
  QVERIFY2(script_->errors.first().contains(locked + "/O1.NC に書き込めません。\n"), qPrintable(script_->errors.first()));
  QVERIFY(form_->Files().programPicker->isVisible());
  QVERIFY(form_->Files().programPicker->saveSelectedButton->isEnabled());
  QVERIFY(QDir(locked).entryList(QDir::Files).isEmpty());
  form_->Files().programPicker->CancelSaveClick();
  chmod(locked.toLocal8Bit().constData(), 0700);
}

// Every byte value except the zero byte, CR and LF, loaded and saved under a
// new name without edits, comes back unchanged.
void MainWindowFilesTest::everyByteComesBackThroughTheEditor() {
  QByteArray bytes;
  for (int b = 1; b < 256; ++b) {
    if (b == '\r' || b == '\n') continue;
    bytes.append(static_cast<char>(b));
    if (b % 16 == 0) bytes.append("\r\n");
  }
  bytes.append("\x82\xA0\x81\r\n\x83", 6);  // a whole character, a lone lead byte, a lead byte at the end
  const QString source = WriteBytes(Path("BYTES.NC"), bytes);
  QVERIFY(form_->Files().LoadDocument(source.toStdString()));
  const QString copy = Path("COPY.NC");
  script_->saveChoices = {Chosen(copy)};
  form_->Files().FileSaveAsClick();
  QCOMPARE(ReadBytes(copy), bytes);
}

QTEST_MAIN(MainWindowFilesTest)
#include "MainWindowFilesTest.moc"
