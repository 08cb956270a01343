// SPDX-License-Identifier: GPL-3.0-or-later
// The editor's find, scrolling and printing on real editor controls, printing
// into PDF files that poppler's tools read back.
#include <Qsci/qsciscintilla.h>

#include <QAccessible>
#include <QCheckBox>
#include <QClipboard>
#include <QFile>
#include <QImage>
#include <QMessageBox>
#include <QPrinter>
#include <QPrinterInfo>
#include <QTemporaryDir>
#include <QtTest>

#include "support/NumberedProgram.h"
#include "gui/desktop/ProgramIcon.h"
#include "gui/desktop/ShellHelp.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/PrintSheet.h"
#include "gui/editor/EditorFind.h"
#include "gui/editor/NcEdit.h"
#include "support/PdfReader.h"

using namespace quelvo;
using quelvo::test::NumberedProgram;
using quelvo::test::PdfText;
using quelvo::test::PdfTitle;
using quelvo::test::RunTool;

namespace {

void SetUpEditor(QsciScintilla& editor, const QString& text) {
  editor.SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, QsciScintillaBase::SC_CP_UTF8);
  editor.setEolMode(QsciScintilla::EolWindows);
  QFont font(QStringLiteral("Noto Sans Mono CJK JP"));
  font.setPixelSize(13);
  editor.setFont(font);
  editor.setColor(Qt::red);
  editor.setPaper(Qt::darkBlue);
  editor.setText(text);
}

// True when some pixel of the rendered pages is neither grey nor white: the
// text must come out black whatever the editor's colours.
bool HasColour(const QString& pdf, const QString& folder) {
  RunTool("pdftoppm", {"-r", "40", "-png", pdf, folder + "/page"});
  QDir dir(folder);
  const QStringList pages = dir.entryList({"page*.png"});
  if (pages.isEmpty()) return true;
  for (const QString& name : pages) {
    const QImage image(dir.filePath(name));
    for (int y = 0; y < image.height(); ++y)
      for (int x = 0; x < image.width(); ++x) {
        const QColor c = image.pixelColor(x, y);
        if (qAbs(c.red() - c.green()) > 40 || qAbs(c.blue() - c.green()) > 40) return true;
      }
    QFile::remove(dir.filePath(name));
  }
  return false;
}

}  // namespace

class EditorWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void findsForwardAndBackwardAndScrollsTheMatchToTheSecondLine();
  void findDialogKeepsTextAndDirection();
  void printsAllPagesInBlackUnderTheDocumentName();
  void printsAPageRangePageByPage();
  void printsTheSelectionWithoutTheClipboard();
  void aboutBoxNamesProgramAndVersion();
  void launcherStartsTheRunningProgram();
  void editorTellsNoCaretOffsetsUntilAssistiveTechnologyListens();
};

void EditorWindowTest::findsForwardAndBackwardAndScrollsTheMatchToTheSecondLine() {
  QsciScintilla editor;
  SetUpEditor(editor, NumberedProgram(300) + QStringLiteral("(工具) M30\r\n"));
  editor.resize(500, 200);
  editor.show();
  QVERIFY(QTest::qWaitForWindowExposed(&editor));

  QVERIFY(FindInEditor(&editor, QStringLiteral("n0010 g01"), FindDirection::Down));
  int line = 0, index = 0;
  editor.getCursorPosition(&line, &index);
  QCOMPARE(line, 9);
  QCOMPARE(editor.selectedText(), QStringLiteral("N0010 G01"));
  QCOMPARE(editor.firstVisibleLine(), 8);

  // Bytes, not characters: the match after "(工具) " starts at byte 9 of its line.
  QVERIFY(FindInEditor(&editor, QStringLiteral("m30"), FindDirection::Down));
  QCOMPARE(editor.selectedText(), QStringLiteral("M30"));
  QCOMPARE(editor.SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART),
           editor.SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, 300L) + 9);

  // Backward from the start of line 201: the G01 of line 200; no match changes nothing.
  editor.setCursorPosition(200, 0);
  QVERIFY(FindInEditor(&editor, QStringLiteral("g01"), FindDirection::Up));
  editor.getCursorPosition(&line, &index);
  QCOMPARE(line, 199);
  QCOMPARE(editor.firstVisibleLine(), 198);
  QVERIFY(!FindInEditor(&editor, QStringLiteral("G02"), FindDirection::Up));
  QCOMPARE(editor.selectedText(), QStringLiteral("G01"));
  QCOMPARE(editor.firstVisibleLine(), 198);

  // A match on the first line is shown on the top line.
  editor.setCursorPosition(30, 0);
  QVERIFY(FindInEditor(&editor, QStringLiteral("N0001"), FindDirection::Up));
  QCOMPARE(editor.firstVisibleLine(), 0);
}

void EditorWindowTest::findDialogKeepsTextAndDirection() {
  FindDialog dialog;
  QVERIFY(!dialog.isModal());
  QCOMPARE(dialog.direction(), FindDirection::Down);
  const auto boxes = dialog.findChildren<QCheckBox*>();
  QCOMPARE(boxes.size(), 2);
  for (QCheckBox* box : boxes) {
    QVERIFY(!box->isEnabled());
    QVERIFY(!box->isChecked());
  }
  dialog.setFindText(QStringLiteral("G01"));
  dialog.setDirection(FindDirection::Up);
  QSignalSpy requested(&dialog, &FindDialog::findRequested);
  dialog.showFind();
  QTest::keyClick(dialog.focusWidget(), Qt::Key_Return);
  QCOMPARE(requested.count(), 1);
  dialog.hide();
  QCOMPARE(dialog.findText(), QStringLiteral("G01"));
  QCOMPARE(dialog.direction(), FindDirection::Up);
}

void EditorWindowTest::printsAllPagesInBlackUnderTheDocumentName() {
  QTemporaryDir folder;
  QsciScintilla editor;
  SetUpEditor(editor, NumberedProgram(158));
  QCOMPARE(PrintSheet::LinesPerPageFor(&editor), 79);
  PrintSheet form;
  QVERIFY(!form.isVisible());
  // A machine without printers gets a PDF file.
  if (QPrinterInfo::availablePrinters().isEmpty())
    QCOMPARE(form.printer()->outputFormat(), QPrinter::PdfFormat);
  form.printer()->setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = folder.filePath("all.pdf");
  form.printer()->setOutputFileName(pdf);

  QCOMPARE(form.Print(&editor, QStringLiteral("/nc/O1234.NC"), {}), 1);
  const QString text = PdfText(pdf);
  QVERIFY2(text.contains("N0001 G01 X1.") && text.contains("N0158 G01 X158."), qPrintable(text));
  QCOMPARE(PdfTitle(pdf), QStringLiteral("/nc/O1234.NC"));
  QVERIFY(!HasColour(pdf, folder.path()));
}

void EditorWindowTest::printsAPageRangePageByPage() {
  QTemporaryDir folder;
  QsciScintilla editor;
  SetUpEditor(editor, NumberedProgram(158));
  PrintSheet form;
  form.printer()->setOutputFormat(QPrinter::PdfFormat);

  // One page: the chosen file, lines 80 to 158, titled with "[2]".
  const QString single = folder.filePath("page.pdf");
  form.printer()->setOutputFileName(single);
  PrintChoice second{PrintChoice::Range::Pages, 2, 2};
  QCOMPARE(form.Print(&editor, QStringLiteral("O1234.NC"), second), 1);
  QString text = PdfText(single);
  QVERIFY2(!text.contains("N0079") && text.contains("N0080") && text.contains("N0158"),
           qPrintable(text));
  QCOMPARE(PdfTitle(single), QStringLiteral("O1234.NC[2]"));
  QVERIFY(!HasColour(single, folder.path()));

  // Several pages: one file per page; the empty third page prints nothing.
  const QString several = folder.filePath("range.pdf");
  form.printer()->setOutputFileName(several);
  QCOMPARE(form.Print(&editor, QStringLiteral("O1234.NC"), {PrintChoice::Range::Pages, 1, 3}), 2);
  const QString first = folder.filePath("range[1].pdf");
  text = PdfText(first);
  QVERIFY2(text.contains("N0001") && text.contains("N0079") && !text.contains("N0080"),
           qPrintable(text));
  QCOMPARE(PdfTitle(first), QStringLiteral("O1234.NC[1]"));
  QCOMPARE(PdfTitle(folder.filePath("range[2].pdf")), QStringLiteral("O1234.NC[2]"));
  QVERIFY(!QFile::exists(folder.filePath("range[3].pdf")));
  QCOMPARE(form.printer()->outputFileName(), several);
}

void EditorWindowTest::printsTheSelectionWithoutTheClipboard() {
  QTemporaryDir folder;
  QsciScintilla editor;
  SetUpEditor(editor, NumberedProgram(20));
  QApplication::clipboard()->setText(QStringLiteral("kept"));
  editor.setSelection(4, 0, 6, 0);
  PrintSheet form;
  form.printer()->setOutputFormat(QPrinter::PdfFormat);
  const QString pdf = folder.filePath("selection.pdf");
  form.printer()->setOutputFileName(pdf);
  QCOMPARE(form.Print(&editor, QStringLiteral("O1234.NC"), {PrintChoice::Range::Selection}), 1);
  const QString text = PdfText(pdf);
  QVERIFY2(text.contains("N0005") && text.contains("N0006") && !text.contains("N0004") &&
               !text.contains("N0007"),
           qPrintable(text));
  QCOMPARE(PdfTitle(pdf), QStringLiteral("O1234.NC"));
  QCOMPARE(QApplication::clipboard()->text(), QStringLiteral("kept"));
}

void EditorWindowTest::aboutBoxNamesProgramAndVersion() {
  QWidget owner;
  QString shown;
  QImage picture;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    shown = box->text();
    picture = box->iconPixmap().toImage();
    box->accept();
  });
  ShowAboutBox(&owner, QStringLiteral(" Ver1.47"));
  QCOMPARE(shown, QStringLiteral("Quelvo Ver1.47"));
  // The program's own icon, drawn from its SVG: the tape's paper colour shows.
  QVERIFY(!picture.isNull());
  QCOMPARE(picture.pixelColor(picture.width() / 2, picture.height() * 37 / 64), QColor("#f4e7b8"));
}

void EditorWindowTest::launcherStartsTheRunningProgram() {
  QTemporaryDir home;
  const QByteArray savedHome = qgetenv("HOME");
  const QByteArray savedData = qgetenv("XDG_DATA_HOME");
  qputenv("HOME", home.path().toUtf8());
  qunsetenv("XDG_DATA_HOME");
  CreateShellShortcut(ShortcutKind::SendTo);
  qputenv("HOME", savedHome);
  if (!savedData.isEmpty()) qputenv("XDG_DATA_HOME", savedData);
  QFile entry(home.filePath(".local/share/applications/quelvo.desktop"));
  QVERIFY(entry.open(QIODevice::ReadOnly));
  const QString text = QString::fromUtf8(entry.readAll());
  QVERIFY2(text.contains("Exec=\"" + QCoreApplication::applicationFilePath() + "\" %f\n"),
           qPrintable(text));
  QVERIFY2(text.contains("Icon=quelvo\n"), qPrintable(text));
  // The icon the entry names, in the user's icon theme, is the program's own.
  QFile icon(home.filePath(".local/share/icons/hicolor/scalable/apps/quelvo.svg"));
  QVERIFY(icon.open(QIODevice::ReadOnly));
  QCOMPARE(icon.readAll(), quelvo::ProgramIconSvg());
  QVERIFY(!quelvo::ProgramIconSvg().isEmpty());
}

// Without assistive technology the editor's accessible object has no text
// interface (whose caret offset costs a count from the start of the document
// at every caret move); the notice that one became active drops that object,
// so the next query builds the full one.
void EditorWindowTest::editorTellsNoCaretOffsetsUntilAssistiveTechnologyListens() {
  if (QAccessible::isActive()) QSKIP("assistive technology is active on this desktop");
  NcEdit editor;
  editor.setText(NumberedProgram(2000));
  editor.show();
  editor.setFocus();
  editor.SendScintilla(QsciScintillaBase::SCI_GOTOPOS, 30000UL);
  QApplication::processEvents();
  QAccessibleInterface* plain = QAccessible::queryAccessibleInterface(&editor);
  QVERIFY(plain != nullptr);
  QCOMPARE(plain->role(), QAccessible::EditableText);
  QVERIFY(plain->textInterface() == nullptr);
  const QAccessible::Id plainId = QAccessible::uniqueId(plain);

  QAccessible::setActive(true);  // the platform's notice; isActive() stays as the platform says
  QAccessible::setActive(false);
  QAccessibleInterface* again = QAccessible::queryAccessibleInterface(&editor);
  QVERIFY(again != nullptr);
  QVERIFY(QAccessible::uniqueId(again) != plainId);
}

QTEST_MAIN(EditorWindowTest)
#include "EditorWindowTest.moc"
