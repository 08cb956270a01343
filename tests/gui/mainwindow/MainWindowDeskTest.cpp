// SPDX-License-Identifier: GPL-3.0-or-later
// Find, printing, launchers and the About box through the main window's
// commands: the menu items and tool buttons reach the editor, the caret panel
// and the printer.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QMessageBox>
#include <QPrinter>
#include <QPushButton>
#include <QTemporaryDir>
#include <QToolButton>
#include <QtTest>

#include <functional>

#include "core/document/DesktopEntry.h"
#include "support/NumberedProgram.h"
#include "gui/dialogs/FindDialog.h"
#include "gui/dialogs/PrintSheet.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/PdfReader.h"
#include "support/WindowTestHome.h"

using quelvo::FindDirection;
using quelvo::PrintChoice;
using quelvo::MainWindow;
using quelvo::PrintSheet;
using quelvo::test::NumberedProgram;
using quelvo::test::PdfText;
using quelvo::test::PdfTitle;

namespace {

struct ShownBox {
  QString text;
  QString title;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QPoint pos;
};

// Runs `action`, answering the first message box it opens; returns what it showed.
ShownBox AnswerBox(const std::function<void()>& action) {
  ShownBox shown;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    shown = {box->text(), box->windowTitle(), box->icon(), box->pos()};
    box->accept();
  });
  action();
  return shown;
}

QPushButton* FindButton(quelvo::FindDialog* dialog) {
  for (QPushButton* b : dialog->findChildren<QPushButton*>())
    if (b->text() == QStringLiteral("次を検索(&F)")) return b;
  return nullptr;
}

}  // namespace

class MainWindowDeskTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void printFormAndFindDialogAreMadeHidden();
  void findFromTheMenuMovesTheCaretPanel();
  void findNotFoundTellsAndKeepsTheSelection();
  void printsTheDocumentThroughTheWindow();
  void helpAndLaunchersFromTheMenus();

 private:
  quelvo::test::WindowTestHome* home_ = nullptr;
  MainWindow* form_ = nullptr;
};

void MainWindowDeskTest::init() {
  home_ = new quelvo::test::WindowTestHome;
  form_ = new MainWindow;
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void MainWindowDeskTest::cleanup() {
  delete form_;
  delete home_;
}

void MainWindowDeskTest::printFormAndFindDialogAreMadeHidden() {
  QVERIFY(form_->Desk().printSheet != nullptr && form_->Desk().findDialog != nullptr);
  QVERIFY(!form_->Desk().printSheet->isVisible());
  QVERIFY(!form_->Desk().findDialog->isVisible());
  // The print form is the first window made after the main window.
  QWidget* firstWindow = nullptr;
  for (QObject* child : form_->children()) {
    auto* w = qobject_cast<QWidget*>(child);
    if (w != nullptr && w->isWindow()) {
      firstWindow = w;
      break;
    }
  }
  QCOMPARE(firstWindow, static_cast<QWidget*>(form_->Desk().printSheet));
}

void MainWindowDeskTest::findFromTheMenuMovesTheCaretPanel() {
  quelvo::NcEdit* edit = form_->editor;
  edit->setText(NumberedProgram(300));
  edit->setCursorPosition(0, 0);

  form_->Commands().Menus.FindDo->trigger();
  quelvo::FindDialog* dialog = form_->Desk().findDialog;
  QVERIFY(dialog->isVisible());
  QCOMPARE(dialog->direction(), FindDirection::Down);
  dialog->setFindText(QStringLiteral("g01"));
  QPushButton* find = FindButton(dialog);
  QVERIFY(find != nullptr);
  find->click();
  QCOMPARE(edit->selectedText(), QStringLiteral("G01"));
  QCOMPARE(form_->editorFields.caret->text(), QStringLiteral("1 , 7"));

  // "次を検索" from the tool button and the menu: the next matches, dialog open or not.
  form_->Commands().tools.findNext->click();
  QCOMPARE(form_->editorFields.caret->text(), QStringLiteral("2 , 7"));
  dialog->hide();
  form_->Commands().Menus.FindNext->trigger();
  QCOMPARE(form_->editorFields.caret->text(), QStringLiteral("3 , 7"));

  // Upward: the match on the line before.
  dialog->setDirection(FindDirection::Up);
  form_->Commands().tools.findNext->click();
  QCOMPARE(form_->editorFields.caret->text(), QStringLiteral("2 , 7"));
  QVERIFY(!dialog->isVisible());

  // A match further down comes to the second visible line.
  dialog->setDirection(FindDirection::Down);
  dialog->setFindText(QStringLiteral("n0150 "));
  form_->Commands().Menus.FindNext->trigger();
  QCOMPARE(form_->editorFields.caret->text(), QStringLiteral("150 , 1"));
  QCOMPARE(edit->firstVisibleLine(), 148);
}

void MainWindowDeskTest::findNotFoundTellsAndKeepsTheSelection() {
  quelvo::NcEdit* edit = form_->editor;
  edit->setText(NumberedProgram(50));
  form_->Desk().findDialog->setFindText(QStringLiteral("X7."));
  form_->Desk().FindNext();
  QCOMPARE(form_->editorFields.caret->text(), QStringLiteral("7 , 11"));

  form_->Desk().findDialog->setFindText(QStringLiteral("G02"));
  const ShownBox shown = AnswerBox([&] { form_->Commands().tools.findNext->click(); });
  QCOMPARE(shown.text, QStringLiteral("検索文字列が見当たりません！"));
  QCOMPARE(shown.title, QStringLiteral("編集"));
  QCOMPARE(shown.icon, QMessageBox::Information);
  QCOMPARE(shown.pos, form_->pos() + QPoint(50, 50));
  QCOMPARE(edit->selectedText(), QStringLiteral("X7."));
  QCOMPARE(form_->editorFields.caret->text(), QStringLiteral("7 , 11"));
}

void MainWindowDeskTest::printsTheDocumentThroughTheWindow() {
  QTemporaryDir folder;
  const int k = PrintSheet::LinesPerPageFor(form_->editor);
  QVERIFY(k > 1);
  form_->editor->setText(NumberedProgram(2 * k));
  form_->Document.CurrentFileName = "/nc/O1234.NC";
  QPrinter* printer = form_->Desk().printSheet->printer();
  printer->setOutputFormat(QPrinter::PdfFormat);

  PrintChoice answer;
  bool accept = true;
  int asked = 0;
  form_->Desk().ChoosePrint = [&](PrintChoice& choice) {
    ++asked;
    choice = answer;
    return accept;
  };

  // The tool button "印刷": all pages under the document's name.
  const QString all = folder.filePath("all.pdf");
  printer->setOutputFileName(all);
  form_->Commands().tools.print->click();
  QCOMPARE(asked, 1);
  QString text = PdfText(all);
  QVERIFY2(text.contains("N0001 G01 X1.") && text.contains(QStringLiteral("X%1.").arg(2 * k)),
           qPrintable(text));
  QCOMPARE(PdfTitle(all), QStringLiteral("/nc/O1234.NC"));

  // The menu item, page 2 only: lines k+1 to 2k, titled with "[2]".
  answer = PrintChoice{PrintChoice::Range::Pages, 2, 2};
  const QString page = folder.filePath("page.pdf");
  printer->setOutputFileName(page);
  form_->Commands().Menus.FilePrint->trigger();
  text = PdfText(page);
  const auto line = [](int n) { return QStringLiteral("N%1 ").arg(n, 4, 10, QLatin1Char('0')); };
  QVERIFY2(!text.contains(line(k)) && text.contains(line(k + 1)) && text.contains(line(2 * k)),
           qPrintable(text));
  QCOMPARE(PdfTitle(page), QStringLiteral("/nc/O1234.NC[2]"));

  // Cancelled: nothing printed.
  accept = false;
  const QString cancelled = folder.filePath("cancelled.pdf");
  printer->setOutputFileName(cancelled);
  form_->Commands().Menus.FilePrint->trigger();
  QCOMPARE(asked, 3);
  QVERIFY(!QFile::exists(cancelled));
}

void MainWindowDeskTest::helpAndLaunchersFromTheMenus() {
  const ShownBox about = AnswerBox([&] { form_->Commands().Menus.Menu_ver->trigger(); });
  QCOMPARE(about.text, QStringLiteral("Quelvo Ver1.47"));

  QTemporaryDir home;
  const QByteArray savedHome = qgetenv("HOME");
  const QByteArray savedData = qgetenv("XDG_DATA_HOME");
  qputenv("HOME", home.path().toUtf8());
  qunsetenv("XDG_DATA_HOME");
  form_->Commands().Menus.DeskTop_set->trigger();
  form_->Commands().Menus.SendTo_set->trigger();
  const QString desktop = QString::fromStdString(quelvo::ShortcutPath(quelvo::ShortcutKind::Desktop));
  const QString sendTo = QString::fromStdString(quelvo::ShortcutPath(quelvo::ShortcutKind::SendTo));
  qputenv("HOME", savedHome);
  if (!savedData.isEmpty()) qputenv("XDG_DATA_HOME", savedData);
  QVERIFY2(desktop.startsWith(home.path()) && QFile::exists(desktop), qPrintable(desktop));
  QVERIFY2(sendTo.startsWith(home.path()) && QFile::exists(sendTo), qPrintable(sendTo));
}

QTEST_MAIN(MainWindowDeskTest)
#include "MainWindowDeskTest.moc"
