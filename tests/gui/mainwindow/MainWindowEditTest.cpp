// SPDX-License-Identifier: GPL-3.0-or-later
// The document in the main window: titles and panels through edits, wrap, font
// and colour changes; upper-casing; insert mode; caret position.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTimer>
#include <QInputMethodEvent>
#include <QRegularExpression>
#include <QToolButton>
#include <QtTest>

#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/WindowTestHome.h"

using quelvo::MainWindow;

namespace {
const QString kEditTitle = "<編集>無題 - Quelvo Ver1.47";
const QString kModifiedTitle = "<編集><変更>無題 - Quelvo Ver1.47";
}  // namespace

class MainWindowEditTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void typedTextIsUpperCasedPastedTextIsNot();
  void editsMarkTheDocumentModified();
  void caretPositionCountsLinesAndCharacters();
  void insertKeyTogglesModeAndCaret();
  void selectionShowsInPanelAndEnablesCommands();
  void wrapKeepsTheModifiedFlag();
  void fontChangeKeepsTheModifiedFlag();
  void colourChangesKeepTheModifiedFlag();
  void sizePanelFollowsTheMetreOption();
  void dateAndTimeReplacesTheSelection();
  void undoDeleteAndSelectAll();
  void onlyTheEditorsOwnKeysAreBound_data();
  void onlyTheEditorsOwnKeysAreBound();
  void rightClickMenuIsTheEditMenu();

 private:
  quelvo::test::WindowTestHome* home_ = nullptr;
  MainWindow* form_ = nullptr;
};

void MainWindowEditTest::init() {
  home_ = new quelvo::test::WindowTestHome;
  form_ = new MainWindow;
  form_->show();
  QVERIFY(QTest::qWaitForWindowExposed(form_));
}

void MainWindowEditTest::cleanup() {
  delete form_;
  delete home_;
}

void MainWindowEditTest::typedTextIsUpperCasedPastedTextIsNot() {
  quelvo::NcEdit* edit = form_->editor;
  QTest::keyClicks(edit, "g01x10.");
  QCOMPARE(edit->text(), QString("G01X10."));
  QTest::keyClick(edit, Qt::Key_Return);
  QApplication::clipboard()->setText("g01 (note)");
  form_->Edit().EditPasteClick();
  QCOMPARE(edit->text(), QString("G01X10.\r\ng01 (note)"));
  // Control keys are commands, not text: Ctrl+A selects everything.
  QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QVERIFY(edit->hasSelectedText());
  // Text committed by an input method is typed text too.
  edit->setText(QString());
  QInputMethodEvent commit;
  commit.setCommitString("m30");
  QApplication::sendEvent(edit, &commit);
  QCOMPARE(edit->text(), QString("M30"));
  // Loaded text (set by the program) is not changed either.
  edit->setText("o1234");
  QCOMPARE(edit->text(), QString("o1234"));
}

void MainWindowEditTest::editsMarkTheDocumentModified() {
  QCOMPARE(form_->editorFields.modified->text(), QString());
  QTest::keyClicks(form_->editor, "x");
  QVERIFY(form_->editor->isModified());
  QVERIFY(form_->Document.Modified);
  QCOMPARE(form_->windowTitle(), kModifiedTitle);
  QCOMPARE(form_->editorFields.modified->text(), QString("＜変更＞"));
}

void MainWindowEditTest::caretPositionCountsLinesAndCharacters() {
  quelvo::NcEdit* edit = form_->editor;
  edit->setText("O1\r\nN10 G00\r\nN20 X1.\r\n(あいう)");
  edit->setCursorPosition(2, 0);
  QTest::keyClick(edit, Qt::Key_Shift);  // any key refreshes the panel
  QCOMPARE(form_->editorFields.caret->text(), QString("3 , 1"));
  QTest::keyClick(edit, Qt::Key_End);
  QCOMPARE(form_->editorFields.caret->text(), QString("3 , 8"));
  // Columns count characters, not the bytes of the UTF-8 text.
  QTest::keyClick(edit, Qt::Key_End, Qt::ControlModifier);
  QCOMPARE(form_->editorFields.caret->text(), QString("4 , 6"));
  // Mouse clicks refresh it too.
  edit->setCursorPosition(1, 2);
  QTest::mouseClick(edit->viewport(), Qt::LeftButton, {}, QPoint(1, 1));
  QCOMPARE(form_->editorFields.caret->text(), QString("1 , 1"));
}

void MainWindowEditTest::insertKeyTogglesModeAndCaret() {
  quelvo::NcEdit* edit = form_->editor;
  edit->setText("ABC");
  edit->setCursorPosition(0, 0);
  QVERIFY(!edit->BlockCaret());
  QTest::keyClick(edit, Qt::Key_Insert);
  QCOMPARE(form_->editorFields.insertMode->text(), QString("上書"));
  QVERIFY(!form_->Document.InsertMode);
  QVERIFY(edit->overwriteMode());
  QVERIFY(edit->BlockCaret());
  QTest::keyClicks(edit, "x");
  QCOMPARE(edit->text(), QString("XBC"));
  QTest::keyClick(edit, Qt::Key_Insert);
  QCOMPARE(form_->editorFields.insertMode->text(), QString("挿入"));
  QVERIFY(form_->Document.InsertMode);
  QVERIFY(!edit->overwriteMode());
  QVERIFY(!edit->BlockCaret());
  QTest::keyClicks(edit, "y");
  QCOMPARE(edit->text(), QString("XYBC"));
}

void MainWindowEditTest::selectionShowsInPanelAndEnablesCommands() {
  quelvo::NcEdit* edit = form_->editor;
  edit->setText("G01");
  edit->setCursorPosition(0, 0);
  QTest::keyClick(edit, Qt::Key_Right);
  QCOMPARE(form_->editorFields.selection->text(), QString());
  QVERIFY(!form_->Commands().Menus.EditCut->isEnabled());
  QVERIFY(!form_->Commands().tools.copy->isEnabled());
  QVERIFY(form_->Commands().Menus.EditPaste->isEnabled());
  QTest::keyClick(edit, Qt::Key_Right, Qt::ShiftModifier);
  QCOMPARE(form_->editorFields.selection->text(), QString("選択範囲"));
  QVERIFY(form_->Commands().Menus.EditCut->isEnabled() && form_->Commands().Menus.EditCopy->isEnabled());
  QVERIFY(form_->Commands().Menus.EditDelete->isEnabled());
  QVERIFY(form_->Commands().tools.cut->isEnabled() && form_->Commands().tools.copy->isEnabled());
  form_->Edit().EditCopyClick();
  QCOMPARE(QApplication::clipboard()->text(), QString("0"));
  QTest::keyClick(edit, Qt::Key_Left);
  QCOMPARE(form_->editorFields.selection->text(), QString());
  QVERIFY(!form_->Commands().Menus.EditCopy->isEnabled());
}

void MainWindowEditTest::wrapKeepsTheModifiedFlag() {
  // Not modified: stays unmodified, title without <変更>.
  form_->Commands().Menus.EditWrap->trigger();
  QVERIFY(form_->Commands().Menus.EditWrap->isChecked());
  QCOMPARE(form_->editor->wrapMode(), QsciScintilla::WrapWord);
  QVERIFY(!form_->editor->isModified());
  QVERIFY(!form_->Document.Modified);
  QCOMPARE(form_->windowTitle(), kEditTitle);
  // Modified: keeps the modified title.
  QTest::keyClicks(form_->editor, "n");
  form_->Commands().Menus.EditWrap->trigger();
  QVERIFY(!form_->Commands().Menus.EditWrap->isChecked());
  QCOMPARE(form_->editor->wrapMode(), QsciScintilla::WrapNone);
  QVERIFY(form_->editor->isModified());
  QCOMPARE(form_->windowTitle(), kModifiedTitle);
  QCOMPARE(form_->editorFields.modified->text(), QString("＜変更＞"));
}

void MainWindowEditTest::fontChangeKeepsTheModifiedFlag() {
  form_->editor->setText("N1\r\nN2");
  form_->editor->setCursorPosition(1, 1);
  form_->Edit().Dialogs.ChooseFont = [](QWidget*, QFont& f) {
    f = QFont("DejaVu Sans Mono", 16);
    return true;
  };
  QVERIFY(form_->Document.Modified);  // setting the text was an edit
  form_->editor->setModified(false);
  QVERIFY(!form_->Document.Modified);
  form_->Edit().EditFontClick();
  QCOMPARE(form_->editor->font().pointSize(), 16);
  QCOMPARE(form_->Settings.editor.fontSize, 16);
  QCOMPARE(form_->Commands().Menus.FontName->text(),
           QString::fromStdString(form_->Settings.editor.fontName) + "  16");
  QCOMPARE(form_->editor->SelectionStart(), 0L);  // caret back at the start
  QVERIFY(!form_->editor->isModified());
  QCOMPARE(form_->windowTitle(), kEditTitle);
  // The text colour survives a font change.
  QCOMPARE(form_->editor->color(), form_->Edit().EditorTextColor());

  QTest::keyClicks(form_->editor, "z");
  form_->Edit().Dialogs.ChooseFont = [](QWidget*, QFont&) { return false; };  // cancelled
  form_->Edit().EditFontClick();
  QCOMPARE(form_->editor->font().pointSize(), 16);
  QCOMPARE(form_->windowTitle(), kModifiedTitle);
}

void MainWindowEditTest::colourChangesKeepTheModifiedFlag() {
  form_->Edit().Dialogs.ChooseColor = [](QWidget*, QColor& c) {
    c = QColor(0, 0, 128);
    return true;
  };
  form_->Edit().screen_colorClick();
  QCOMPARE(form_->editor->paper(), QColor(0, 0, 128));
  QCOMPARE(form_->Settings.editor.screenColor, 0x00800000);
  QCOMPARE(form_->windowTitle(), kEditTitle);

  form_->Edit().Dialogs.ChooseColor = [](QWidget*, QColor& c) {
    c = QColor(255, 255, 0);
    return true;
  };
  QTest::keyClicks(form_->editor, "g");
  form_->Edit().font_colorClick();
  QCOMPARE(form_->editor->color(), QColor(255, 255, 0));
  QCOMPARE(form_->Settings.editor.fontColor, 0x0000FFFF);
  QCOMPARE(form_->windowTitle(), kModifiedTitle);
  QCOMPARE(form_->editorFields.modified->text(), QString("＜変更＞"));

  form_->Edit().Dialogs.ChooseColor = [](QWidget*, QColor&) { return false; };
  form_->Edit().screen_colorClick();
  QCOMPARE(form_->editor->paper(), QColor(0, 0, 128));
}

void MainWindowEditTest::sizePanelFollowsTheMetreOption() {
  form_->Edit().FormatFileSize(0);
  QCOMPARE(form_->editorFields.size->text(), QString("ｻｲｽﾞ : 0ﾊﾞｲﾄ"));
  form_->Edit().FormatFileSize(1048576);
  QCOMPARE(form_->editorFields.size->text(), QString("ｻｲｽﾞ : 1.000MB"));
  QCOMPARE(form_->Document.LastFileSize, 1048576.0);
  form_->Settings.storedOptions.op3 = "Y";
  form_->Settings.DecodeStoredOptions();
  form_->Edit().FormatFileSize(0);
  QCOMPARE(form_->editorFields.size->text(), QString("ｻｲｽﾞ : 0.00ﾒｰﾄﾙ"));
  form_->Settings.storedOptions.op3 = "y";  // only "Y" switches to metres
  form_->Settings.DecodeStoredOptions();
  form_->Edit().FormatFileSize(1024);
  QCOMPARE(form_->editorFields.size->text(), QString("ｻｲｽﾞ : 1.000KB"));
}

void MainWindowEditTest::dateAndTimeReplacesTheSelection() {
  quelvo::NcEdit* edit = form_->editor;
  edit->setText("(DATE)");
  edit->setSelection(0, 1, 0, 5);
  form_->Edit().EditDateClick();
  QVERIFY2(QRegularExpression("^\\(\\d\\d:\\d\\d:\\d\\d \\d{4}/\\d\\d/\\d\\d\\)$").match(edit->text()).hasMatch(),
           qPrintable(edit->text()));
  QCOMPARE(form_->windowTitle(), kModifiedTitle);
}

void MainWindowEditTest::undoDeleteAndSelectAll() {
  quelvo::NcEdit* edit = form_->editor;
  form_->Edit().EditMenuClick();
  QVERIFY(!form_->Commands().Menus.EditUndo->isEnabled());
  QVERIFY(!form_->Commands().tools.undo->isEnabled());
  form_->Edit().EditUndoClick();  // nothing to undo: nothing happens
  QTest::keyClicks(edit, "m3");
  QVERIFY(form_->Commands().Menus.EditUndo->isEnabled());
  QVERIFY(form_->Commands().tools.undo->isEnabled());
  form_->Edit().EditAllClick();
  QVERIFY(edit->hasSelectedText());
  form_->Edit().EditDeleteClick();
  QCOMPARE(edit->text(), QString());
  form_->Edit().EditUndoClick();
  QCOMPARE(edit->text(), QString("M3"));
}

void MainWindowEditTest::onlyTheEditorsOwnKeysAreBound_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("modifiers");
  QTest::addColumn<bool>("selectAll");  // else the caret stands at the end
  QTest::addColumn<QString>("expected");
  const int ctrl = Qt::ControlModifier;
  const int ctrlShift = Qt::ControlModifier | Qt::ShiftModifier;
  const QString kept = "o1000\r\ng01x1";
  // Keys the control would bind to commands the menus do not offer.
  QTest::newRow("Ctrl+U lower case") << int(Qt::Key_U) << ctrl << true << kept;
  QTest::newRow("Ctrl+Shift+U upper case") << int(Qt::Key_U) << ctrlShift << true << kept;
  QTest::newRow("Ctrl+L line cut") << int(Qt::Key_L) << ctrl << false << kept;
  QTest::newRow("Ctrl+Shift+L line delete") << int(Qt::Key_L) << ctrlShift << false << kept;
  QTest::newRow("Ctrl+T line swap") << int(Qt::Key_T) << ctrl << false << kept;
  QTest::newRow("Ctrl+D duplicate") << int(Qt::Key_D) << ctrl << true << kept;
  // The edit menu's keys, movement and selection stay.
  QTest::newRow("Ctrl+X cut") << int(Qt::Key_X) << ctrl << true << QString();
  QTest::newRow("Delete") << int(Qt::Key_Delete) << 0 << true << QString();
  QTest::newRow("Shift+Home, then typed") << int(Qt::Key_Home) << int(Qt::ShiftModifier) << false
                                          << "o1000\r\nZ";
}

// o1000 must stay a program number line: no key changes the text in a way
// the menus do not offer.
void MainWindowEditTest::onlyTheEditorsOwnKeysAreBound() {
  QFETCH(int, key);
  QFETCH(int, modifiers);
  QFETCH(bool, selectAll);
  QFETCH(QString, expected);
  quelvo::NcEdit* edit = form_->editor;
  edit->setText("o1000\r\ng01x1");
  edit->SendScintilla(QsciScintilla::SCI_DOCUMENTEND);
  if (selectAll) QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
  QTest::keyClick(edit, Qt::Key(key), Qt::KeyboardModifiers(modifiers));
  if (key == Qt::Key_Home) QTest::keyClicks(edit, "z");
  QCOMPARE(edit->text(), expected);
}

void MainWindowEditTest::rightClickMenuIsTheEditMenu() {
  quelvo::NcEdit* edit = form_->editor;
  edit->setText("G01");
  QStringList captions;
  QList<bool> enabled;
  QTimer::singleShot(0, this, [&] {
    QMenu* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
    if (menu == nullptr) return;
    for (QAction* action : menu->actions()) {
      captions << (action->isSeparator() ? QString("-") : action->text());
      enabled << action->isEnabled();
    }
    menu->actions().at(7)->trigger();  // すべて選択
    menu->close();
  });
  QContextMenuEvent event(QContextMenuEvent::Mouse, QPoint(5, 5), edit->viewport()->mapToGlobal(QPoint(5, 5)));
  QApplication::sendEvent(edit->viewport(), &event);
  QTRY_COMPARE(captions, (QStringList{"元に戻す", "-", "切り取り", "コピー", "貼り付け", "削除", "-", "すべて選択", "-",
                                      "途中から送信…"}));
  // The states of the "編集" menu: nothing selected, nothing to undo yet.
  QCOMPARE(enabled, (QList<bool>{false, true, false, false, true, false, true, true, true, true}));
  QCOMPARE(edit->selectedText(), QString("G01"));
}

QTEST_MAIN(MainWindowEditTest)
#include "MainWindowEditTest.moc"
