// SPDX-License-Identifier: GPL-3.0-or-later
// The compare window: the document against a chosen file from the file menu,
// rows side by side with their colours, the two views scrolling together, the
// change stops, the options as check boxes and the summary line.
#include <Qsci/qsciscintilla.h>

#include <QCheckBox>
#include <QFile>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <QtTest>

#include "core/dnc/ProgramHistory.h"
#include "gui/dialogs/CompareDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/ScriptedPrompts.h"
#include "support/WindowTestHome.h"

using namespace quelvo;

namespace {

QString WriteBytes(const QString& path, const QByteArray& bytes) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly)) file.write(bytes);
  return path;
}

QString Kinds(const CompareDialog& dialog) {
  QString kinds;
  for (const CompareRow& row : dialog.Rows()) kinds += QChar("SCARI"[static_cast<int>(row.kind)]);
  return kinds;
}

std::string Numbered(int count, int changedAt) {
  std::string text;
  for (int i = 1; i <= count; ++i)
    text += "N" + std::to_string(i) + " G01 X" + std::to_string(i == changedAt ? 999 : i) + ".\r\n";
  return text;
}

}  // namespace

class CompareDialogTest : public QObject {
  Q_OBJECT
 private slots:
  void fromTheFileMenu();
  void rowsColoursAndChangedWords();
  void optionsCompareAgain();
  void viewsScrollTogetherAndStopAtChanges();
  void withTheLastReceivedRevisionOfTheLibrary();
};

void CompareDialogTest::fromTheFileMenu() {
  quelvo::test::WindowTestHome home;
  QTemporaryDir files;
  quelvo::test::ScriptedPrompts script;
  MainWindow form;
  form.Files().FilePrompt = script.Make();
  form.show();
  // "比較…" ends the group of file commands; the recent files and "終了" follow it as before.
  const QList<QAction*> items = form.Commands().Menus.File->actions();
  QCOMPARE(items.indexOf(form.Commands().Menus.FileCompare), items.indexOf(form.Commands().Menus.SendTo_set) + 1);
  QCOMPARE(items.indexOf(form.Commands().Menus.RecentFiles[0]), items.indexOf(form.Commands().Menus.FileCompare) + 1);
  QCOMPARE(form.Commands().Menus.FileCompare->text(), QString("比較…"));

  // The document in the editor (CP932 on disk) against a file with one block changed and one added.
  const QString open = WriteBytes(files.filePath("O1234.NC"), "O1234 (\x8d\x48\x8b\xef 1)\r\nG01 X1.\r\nM30\r\n");
  QVERIFY(form.Files().LoadDocument(open.toStdString()));
  const QString other = WriteBytes(files.filePath("back.nc"), "O1234 (\x8d\x48\x8b\xef 1)\nG01 X2.\nM08\nM30\n");
  script.openChoices << FileChoice{true, other, 1};
  form.Commands().Menus.FileCompare->trigger();
  QVERIFY(form.compareDialog && form.compareDialog->isVisible());
  QCOMPARE(form.compareDialog->Summary(), QString("変更 1 ブロック、追加 1、削除 0"));
  QCOMPARE(form.compareDialog->findChild<QLabel*>("leftHeader")->text(), open);
  QCOMPARE(form.compareDialog->findChild<QLabel*>("rightHeader")->text(), other);
  QCOMPARE(form.compareDialog->LeftView()->text(0), QString("O1234 (工具 1)\n"));

  // A file that cannot be read is said so; the window stays as it was.
  script.openChoices << FileChoice{true, files.filePath("missing.nc"), 1};
  form.Commands().Menus.FileCompare->trigger();
  QCOMPARE(script.errors.size(), 1);
  QVERIFY(script.errors[0].contains("missing.nc を読み込めません。"));
  // Cancelled: nothing happens.
  script.openChoices << FileChoice{};
  form.Commands().Menus.FileCompare->trigger();
  QCOMPARE(script.errors.size(), 1);
  QVERIFY(script.unexpected.isEmpty());
}

void CompareDialogTest::rowsColoursAndChangedWords() {
  CompareDialog dialog;
  dialog.SetPrograms("a", "O1\r\nG00 X0.\r\nG01 X10. Y20.\r\nM08\r\nM30\r\n", "b", "O1\nG00 X0.\nG01 X10. Y25.\nG04 P1.\nM30\n");
  QCOMPARE(Kinds(dialog), QString("SSCRAS"));  // M08 and G04 P1. are nothing alike
  dialog.SetPrograms("a", "O1\r\nG00 X0.\r\nG90\r\nG01 X10. Y20.\r\nM30\r\n", "b", "O1\nG90\nG01 X10. Y25.\nM08\nM30\n");
  QCOMPARE(Kinds(dialog), QString("SRSCAS"));
  QCOMPARE(dialog.Summary(), QString("変更 1 ブロック、追加 1、削除 1"));
  QsciScintilla* left = dialog.LeftView();
  QsciScintilla* right = dialog.RightView();
  QCOMPARE(left->lines(), right->lines());
  // The removed block stands opposite a gap, the added one likewise.
  QCOMPARE(left->text(1).trimmed(), QString("G00 X0."));
  QCOMPARE(right->text(1).trimmed(), QString());
  QCOMPARE(left->text(4).trimmed(), QString());
  QCOMPARE(right->text(4).trimmed(), QString("M08"));
  // Markers: changed (1), added (2), removed (3), gap (5) as bits of each line's marker set.
  QCOMPARE(left->markersAtLine(1), 1u << 3);
  QCOMPARE(right->markersAtLine(1), 1u << 5);
  QCOMPARE(left->markersAtLine(3), 1u << 1);
  QCOMPARE(right->markersAtLine(4), 1u << 2);
  QCOMPARE(left->markersAtLine(0), 0u);
  // The changed word "Y25." carries the word indicator, "X10." does not.
  const long row2 = right->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 3UL);
  QCOMPARE(right->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8UL, row2 + 9), 1L);
  QCOMPARE(right->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, 8UL, row2 + 4), 0L);
}

void CompareDialogTest::optionsCompareAgain() {
  CompareDialog dialog;
  dialog.SetPrograms("a", "N10 G01 X10. (ROUGH)\r\nN20 Y.5\r\n", "b", "N100 G01 X10.000 (FINISH)\r\nN110 Y0.5\r\n");
  QVERIFY(dialog.findChild<QCheckBox*>("ignoreBlanks")->isChecked());
  QCOMPARE(dialog.Summary(), QString("変更 2 ブロック、追加 0、削除 0"));
  dialog.findChild<QCheckBox*>("ignoreSequenceNumbers")->click();
  dialog.findChild<QCheckBox*>("numbersByValue")->click();
  QCOMPARE(dialog.Summary(), QString("変更 1 ブロック、追加 0、削除 0"));
  dialog.findChild<QCheckBox*>("ignoreComments")->click();
  QCOMPARE(dialog.Summary(), QString("変更 0 ブロック、追加 0、削除 0"));
  QVERIFY(!dialog.findChild<QPushButton*>("nextChange")->isEnabled());
  // The least-increment reading turns reading by value on, and turning that off turns it off.
  dialog.findChild<QCheckBox*>("numbersByValue")->click();
  QVERIFY(!dialog.Options().numbersByValue);
  dialog.findChild<QCheckBox*>("pointlessInIncrement")->click();
  QVERIFY(dialog.Options().numbersByValue && dialog.Options().pointlessInIncrement);
  dialog.findChild<QCheckBox*>("numbersByValue")->click();
  QVERIFY(!dialog.Options().pointlessInIncrement);
}

void CompareDialogTest::viewsScrollTogetherAndStopAtChanges() {
  CompareDialog dialog;
  dialog.resize(800, 400);
  dialog.show();
  QVERIFY(QTest::qWaitForWindowExposed(&dialog));
  dialog.SetPrograms("a", Numbered(500, 0), "b", Numbered(500, 250) + "M30\r\n");
  QCOMPARE(dialog.CurrentRow(), 0);
  dialog.NextChange();
  QCOMPARE(dialog.CurrentRow(), 249);
  QCOMPARE(dialog.RightView()->firstVisibleLine(), dialog.LeftView()->firstVisibleLine());
  QVERIFY(dialog.LeftView()->firstVisibleLine() > 200);
  dialog.findChild<QPushButton*>("nextChange")->click();
  QCOMPARE(dialog.CurrentRow(), 500);
  dialog.NextChange();  // no further change: stays
  QCOMPARE(dialog.CurrentRow(), 500);
  dialog.findChild<QPushButton*>("previousChange")->click();
  QCOMPARE(dialog.CurrentRow(), 249);
  // Scrolling one view scrolls the other.
  dialog.RightView()->setFirstVisibleLine(40);
  QTRY_COMPARE(dialog.LeftView()->firstVisibleLine(), 40);
  dialog.LeftView()->verticalScrollBar()->setValue(120);
  QTRY_COMPARE(dialog.RightView()->firstVisibleLine(), 120);
}

QTEST_MAIN(CompareDialogTest)
// The service's library (a git repository the service writes): the document
// against the revision of its program a control sent back last; the folder
// is asked for, starting where it was last, and kept in the settings.
void CompareDialogTest::withTheLastReceivedRevisionOfTheLibrary() {
  quelvo::test::WindowTestHome home;
  QTemporaryDir files;
  const std::string library = files.filePath("library").toStdString();
  {
    ProgramHistory history;
    std::string error, commit;
    QVERIFY(history.Open(library, &error));
    QVERIFY(history.RecordReceived("O1234", "mc01", "O1234\r\nG01 X1.\r\nM30\r\n", "punch", 1765000000, &commit, &error));
    QVERIFY(history.RecordReceived("O1234", "mc02", "O1234\r\nG01 X3.\r\nM08\r\nM30\r\n", "punch", 1765000100, &commit,
                                   &error));
    QVERIFY(history.RecordSent("O1234", "mc01", "O1234\r\nG01 X9.\r\nM30\r\n", "queue", 1765000200, &error));
  }
  quelvo::test::ScriptedPrompts script;
  MainWindow form;
  form.Files().FilePrompt = script.Make();
  form.show();
  const QList<QAction*> items = form.Commands().Menus.File->actions();
  QCOMPARE(items.indexOf(form.Commands().Menus.CompareLibrary), items.indexOf(form.Commands().Menus.RestartSend) + 1);

  const QString open = WriteBytes(files.filePath("O1234.NC"), "O1234\r\nG01 X1.\r\nM30\r\n");
  QVERIFY(form.Files().LoadDocument(open.toStdString()));
  script.folderChoices << QString::fromStdString(library);
  form.Commands().Menus.CompareLibrary->trigger();
  QVERIFY(form.compareDialog && form.compareDialog->isVisible());
  QCOMPARE(form.compareDialog->Summary(), QString("変更 1 ブロック、追加 1、削除 0"));
  QVERIFY(form.compareDialog->findChild<QLabel*>("rightHeader")->text().startsWith("O1234 mc02 から受信 "));
  QCOMPARE(form.Settings.serviceLibrary, library);

  // A program the library never received, and a folder that is no library: said so.
  WriteBytes(open, "O5555\r\nM30\r\n");
  QVERIFY(form.Files().LoadDocument(open.toStdString()));
  script.folderChoices << QString::fromStdString(library) << files.path();
  form.Commands().Menus.CompareLibrary->trigger();
  form.Commands().Menus.CompareLibrary->trigger();
  QCOMPARE(script.errors.size(), 2);
  QVERIFY(script.errors[0].contains("no revision of O5555 received"));
  QVERIFY(script.errors[1].contains("not a git repository"));
  QCOMPARE(form.Settings.serviceLibrary, files.path().toStdString());
  script.folderChoices << QString();  // cancelled: nothing happens
  form.Commands().Menus.CompareLibrary->trigger();
  QCOMPARE(script.errors.size(), 2);
  QVERIFY(script.unexpected.isEmpty());
}

#include "CompareDialogTest.moc"
