// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's creation, command table and closing.
#include <QAction>
#include <QApplication>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressBar>
#include <QTimer>
#include <QToolButton>
#include <QtTest>
#include <sys/stat.h>

#include "core/common/ProgramFiles.h"
#include "core/settings/IniFile.h"
#include "gui/desktop/ProgramIcon.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/Application.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/WindowTestHome.h"

using quelvo::MainWindow;

class MainWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void defaultsWithoutSettingsFile();
  void toolBarAsTheCommandTable();
  void menusAsTheCommandTable();
  void statusBarsAndHiddenParts();
  void settingsWrittenAtCloseAndReadBack();
  void failedWriteAtCloseIsReported();
  void toolkitTextsAreJapanese();
  void stopButtonPressesEsc();
};

void MainWindowTest::defaultsWithoutSettingsFile() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  QCOMPARE(form.pos(), QPoint(10, 10));
  // The program's own icon, drawn at the smallest size a panel uses.
  const QImage icon = form.windowIcon().pixmap(16, 16).toImage();
  QVERIFY(!icon.isNull());
  QCOMPARE(icon, quelvo::ProgramIcon().pixmap(16, 16).toImage());
  // The stored default 550 is narrower than the window may be; the minimum wins.
  QCOMPARE(form.minimumSize(), QSize(590, 240));
  QCOMPARE(form.size(), QSize(590, 470));
  QCOMPARE(form.Settings.window.width, 550);
  QCOMPARE(form.Settings.editor.fontName, std::string("ＭＳ ゴシック"));
  QCOMPARE(form.Settings.editor.fontSize, 10);
  QCOMPARE(form.editor->font().pointSize(), 10);
  QCOMPARE(form.Settings.setNo, 1);
  const auto& o = form.Settings.storedOptions;
  for (const std::string* v : {&o.op1, &o.op2, &o.op3, &o.powerOff, &o.op4, &o.op5, &o.op6, &o.op7,
                               &o.op9, &o.op10, &o.op12, &o.op13, &o.op14})
    QCOMPARE(*v, std::string("N"));
  QCOMPARE(o.dc3_0x93, std::string("Y"));
  QVERIFY(o.op16);
  QVERIFY(form.Commands().Menus.view_op->isChecked());
  QVERIFY(!form.Commands().Menus.view_op->isVisible());
  QCOMPARE(form.windowTitle(), QString("Quelvo Ver1.47 (Win98/Me/2000/XP)"));
  QCOMPARE(form.Document.CurrentFileName, std::string("無題"));
  QVERIFY(form.Document.InsertMode);
  QCOMPARE(form.Document.LastFileSize, 0.0);
  QVERIFY(!form.App.CloseAfterTransfer);
  QCOMPARE(form.editor->color(), QApplication::palette().color(QPalette::Text));
  QCOMPARE(form.editor->paper(), QApplication::palette().color(QPalette::Base));
  QVERIFY(!form.editor->isUndoAvailable());
  QVERIFY(!form.completionTimer->isActive() && !form.estimateTimer->isActive() && !form.commandLineTimer->isActive());
  QCOMPARE(form.completionTimer->interval(), 2000);
  QCOMPARE(form.commandLineTimer->interval(), 1000);
}

void MainWindowTest::toolBarAsTheCommandTable() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  // Left to right, with the three bevels after 保存, 検索 and 印刷.
  const QStringList expected = {"newFile:新規", "open:開く", "save:保存", "|",
                                "cut:切取", "copy:ｺﾋﾟｰ", "paste:貼付",
                                "undo:戻す", "findNext:検索", "|", "print:印刷", "|",
                                "receive:受信", "send:送信", "repeat:ﾘﾋﾟｰﾄ",
                                "settings:設定", "stop:中止"};
  QList<QWidget*> items = form.Commands().toolBar->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
  std::sort(items.begin(), items.end(), [](QWidget* a, QWidget* b) { return a->x() < b->x(); });
  QStringList seen;
  for (QWidget* w : items) {
    if (auto* b = qobject_cast<QToolButton*>(w)) {
      seen << b->objectName() + ":" + b->text();
      QCOMPARE(b->size(), QSize(40, 40));
      QCOMPARE(b->toolButtonStyle(), Qt::ToolButtonTextUnderIcon);
      QVERIFY(!b->icon().isNull());
    } else {
      seen << "|";
    }
  }
  QCOMPARE(seen, expected);
  QCOMPARE(form.Commands().tools.send->property("tag").toInt(), 1);
  QCOMPARE(form.Commands().tools.repeat->property("tag").toInt(), 2);
  QVERIFY(!form.Commands().tools.stop->isEnabled());
}

namespace {
QStringList Captions(QMenu* menu) {
  QStringList out;
  for (QAction* a : menu->actions()) {
    if (a->isSeparator()) continue;
    out << (a->menu() ? "[" + a->text() + "]" : a->text());
  }
  return out;
}
}  // namespace

void MainWindowTest::menusAsTheCommandTable() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  QStringList bar;
  for (QAction* a : form.menuBar()->actions()) bar << a->text();
  // Once shown, the setting menu names the active setting.
  QCOMPARE(bar, (QStringList{"ファイル", "編集", "検索", "通信設定切換(設定１)", "ｵﾌﾟｼｮﾝ", "通信ログ", "ﾍﾙﾌﾟ"}));
  QCOMPARE(Captions(form.Commands().Menus.File),
           (QStringList{"新規作成", "開く", "上書き保存", "名前を付けて保存", "ｏ番号分割保存", "プリンタ設定", "印刷",
                        "ﾃﾞｨｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ作成", "SendTo(送る)に登録", "比較…", "&1 ", "&2 ", "&3 ", "&4 ", "&5 ", "終了",
                        "途中から送信…", "ライブラリの最終受信と比較…"}));
  for (QAction* item : form.Commands().Menus.RecentFiles) QVERIFY(!item->isVisible());
  QCOMPARE(Captions(form.Commands().Menus.Edit), (QStringList{"元に戻す", "切り取り", "コピー", "貼り付け", "削除", "すべて選択",
                                                   "日付と時刻", "右端で折り返す", "[フォント選択]", "[画面カラー]",
                                                   "ツールパス表示"}));
  QVERIFY(form.Commands().Menus.EditWrap->isCheckable() && !form.Commands().Menus.EditWrap->isChecked());
  QCOMPARE(Captions(form.Commands().Menus.FontSelect), (QStringList{"フォント設定", "ＭＳ ゴシック  10"}));
  QCOMPARE(Captions(form.Commands().Menus.ScreenColor), (QStringList{"背景色設定", "文字色設定"}));
  QCOMPARE(Captions(form.Commands().Menus.Find), (QStringList{"検索", "次を検索"}));
  QCOMPARE(Captions(form.Commands().Menus.Setting),
           (QStringList{"設定１", "設定２", "設定３", "設定４", "設定５", "設定６", "設定７", "設定８", "設定９",
                        "設定１０", "OSP専用_NO.1", "OSP専用_NO.2"}));
  // One separator, at menu position 11 (1-based), before the two OSP settings.
  QList<int> separators;
  const QList<QAction*> setActions = form.Commands().Menus.Setting->actions();
  for (int i = 0; i < setActions.size(); ++i)
    if (setActions[i]->isSeparator()) separators << i + 1;
  QCOMPARE(separators, QList<int>{11});
  QCOMPARE(setActions.size(), 13);
  QStringList keys;
  QList<int> tags;
  for (QAction* a : form.Commands().Menus.SetItems) {
    keys << a->shortcut().toString(QKeySequence::PortableText);
    tags << a->data().toInt();
    QVERIFY(a->isCheckable());
  }
  QCOMPARE(keys, (QStringList{"Alt+1", "Alt+2", "Alt+3", "Alt+4", "Alt+5", "Alt+6", "Alt+7", "Alt+8", "Alt+9",
                              "Alt+A", "Alt+O", "Alt+P"}));
  QCOMPARE(tags, (QList<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 6, 12}));
  QCOMPARE(Captions(form.Commands().Menus.Option),
           (QStringList{"ﾕｰｻﾞ定義(拡張子)", "各種設定", "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)", "ｺｰﾄﾞ色分け表示"}));
  QCOMPARE(Captions(form.Commands().Menus.Log), (QStringList{"送信(PCからNC)", "受信(NCからPC)", "ログ表示終了", "通信モニタ"}));
  QCOMPARE(Captions(form.Commands().Menus.Help), (QStringList{"ﾊﾞｰｼﾞｮﾝ"}));
  // Only the set items carry shortcuts.
  for (QMenu* menu : {form.Commands().Menus.File, form.Commands().Menus.Edit, form.Commands().Menus.Find, form.Commands().Menus.Option, form.Commands().Menus.Log,
                      form.Commands().Menus.Help})
    for (QAction* a : menu->actions()) QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->text()));
}

void MainWindowTest::statusBarsAndHiddenParts() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  QList<int> widths1, widths2;
  for (int i = 0; i < 7; ++i) {
    widths1 << form.editorStatus->Panel(i)->width();
    widths2 << form.transferStatus->Panel(i)->width();
  }
  QCOMPARE(widths1, (QList<int>{120, 60, 55, 50, 55, 100, 50}));
  QCOMPARE(widths2, (QList<int>{100, 180, 100, 80, 40, 20, 50}));
  QCOMPARE(form.editorStatus->height(), 25);
  // Each named field is the panel at its place in its bar, left to right;
  // a transfer's status field lands where the machinist has always read it.
  const quelvo::EditorStatusFields& e = form.editorFields;
  const QList<QLabel*> editorPlaces{e.size, e.caret, e.modified, e.insertMode, e.selection};
  for (int i = 0; i < editorPlaces.size(); ++i) QCOMPARE(editorPlaces[i], form.editorStatus->Panel(i));
  using quelvo::TransferStatusField;
  const std::pair<TransferStatusField, int> transferPlaces[] = {
      {TransferStatusField::Remaining, 1},    {TransferStatusField::Phase, 2},
      {TransferStatusField::LineSettings, 3}, {TransferStatusField::Port, 4},
      {TransferStatusField::StartSignal, 5},  {TransferStatusField::RepeatPass, 6}};
  for (const auto& [field, place] : transferPlaces) {
    QCOMPARE(form.statusFields.Field(field), form.transferStatus->Panel(place));
  }
  QCOMPARE(form.editorFields.size->text(), QString("ｻｲｽﾞ"));
  QCOMPARE(form.editorFields.caret->text(), QString("1 , 1"));
  QCOMPARE(form.editorFields.insertMode->text(), QString("挿入"));
  QCOMPARE(form.statusFields.repeatPass->text(), QString("送信:"));
  QVERIFY(form.editorStatus->isVisible());
  QVERIFY(!form.transferStatus->isVisible());
  QVERIFY(form.statusFields.progress != nullptr);
  QCOMPARE(form.statusFields.progress->parentWidget(), form.transferStatus->Panel(0));
  QCOMPARE(form.statusFields.progress->geometry().topLeft(), QPoint(1, 2));
  QCOMPARE(form.statusFields.progress->width(), 99);
  QVERIFY(!form.lineStrip->isVisible());
  QCOMPARE(form.lineStrip->height(), 33);
  QCOMPARE(form.programLine->width(), 485);
  QCOMPARE(form.dsrLamp->text(), QString(" ●"));
  QCOMPARE(form.ctsLamp->text(), QString(" ○"));
  QVERIFY(form.editor->isVisible());
  QVERIFY(!form.logView->isVisible());
}

void MainWindowTest::settingsWrittenAtCloseAndReadBack() {
  quelvo::test::WindowTestHome home;
  {
    MainWindow form;
    form.show();
    form.move(30, 40);
    form.resize(700, 500);
    form.Edit().Dialogs.ChooseFont = [](QWidget*, QFont& f) {
      f.setPointSize(14);
      return true;
    };
    form.Edit().EditFontClick();
    form.Edit().Dialogs.ChooseColor = [](QWidget*, QColor& c) {
      c = QColor(0x12, 0x34, 0x56);
      return true;
    };
    form.Edit().screen_colorClick();
    form.Settings.setNo = 3;
    form.Settings.recentFiles[0] = "/nc/O0001.NC";
    form.Settings.storedOptions.op3 = "Y";
    QVERIFY(form.close());
  }
  const QString path = QString::fromStdString(quelvo::ProgramFilePath(".INI"));
  QVERIFY(QFile::exists(path));
  quelvo::IniFile ini(path.toStdString());
  QCOMPARE(ini.ReadInteger("Main", "Left", 0), 30);
  QCOMPARE(ini.ReadInteger("Main", "Height", 0), 500);
  QCOMPARE(ini.ReadInteger("Edit", "Font Size", 0), 14);
  QCOMPARE(ini.ReadInteger("Edit", "Screen Color", 0), 0x563412);
  QCOMPARE(ini.ReadInteger("Edit", "Font Color", 0), -2147483640);  // still the system colour
  QCOMPARE(ini.ReadString("Recent File List", "File2", "missing"), std::string());

  MainWindow again;
  again.show();
  QCOMPARE(again.pos(), QPoint(30, 40));
  QCOMPARE(again.size(), QSize(700, 500));
  QCOMPARE(again.editor->font().pointSize(), 14);
  QCOMPARE(again.editor->paper(), QColor(0x12, 0x34, 0x56));
  QCOMPARE(again.Settings.setNo, 3);
  QCOMPARE(again.Settings.storedOptions.op3, std::string("Y"));
  QVERIFY(again.Commands().Menus.RecentFiles[0]->isVisible());
  QCOMPARE(again.Commands().Menus.RecentFiles[0]->text(), QString("&1 /nc/O0001.NC"));
  QVERIFY(again.Commands().Menus.RecentSeparator->isVisible());
  QVERIFY(!again.Commands().Menus.RecentFiles[1]->isVisible());
}

void MainWindowTest::failedWriteAtCloseIsReported() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  const QString path = QString::fromStdString(quelvo::ProgramFilePath(".INI"));
  QFile file(path);
  QVERIFY(file.open(QIODevice::WriteOnly));
  file.write("[Main]\r\nLeft=77\r\n");
  file.close();
  chmod(path.toLocal8Bit().constData(), 0444);
  chmod(home.Path().toLocal8Bit().constData(), 0555);
  QString shown;
  QPoint boxPos;
  QTimer::singleShot(0, [&] {
    auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
    if (box == nullptr) return;
    shown = box->text();
    boxPos = box->pos();
    box->accept();
  });
  QVERIFY(form.close());  // the window still closes
  chmod(home.Path().toLocal8Bit().constData(), 0700);
  QCOMPARE(shown, path + " に書き込めません");
  QCOMPARE(boxPos, form.pos() + QPoint(50, 50));
  quelvo::IniFile ini(path.toStdString());
  QCOMPARE(ini.ReadInteger("Main", "Left", 0), 77);  // the old file is intact
}

void MainWindowTest::toolkitTextsAreJapanese() {
  QTranslator translator;
  QVERIFY(quelvo::Application::InstallToolkitTranslation(translator));
  QMessageBox box(QMessageBox::Question, "Quelvo", "?", QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
  QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("はい(&Y)"));
  QCOMPARE(box.button(QMessageBox::No)->text(), QString("いいえ(&N)"));
  QCOMPARE(box.button(QMessageBox::Cancel)->text(), QString("キャンセル"));
  QCoreApplication::removeTranslator(&translator);
}

namespace {
class EscWatcher : public QObject {
 public:
  int presses = 0;
  bool eventFilter(QObject*, QEvent* e) override {
    if (e->type() == QEvent::KeyPress && static_cast<QKeyEvent*>(e)->key() == Qt::Key_Escape) ++presses;
    return false;
  }
};
}  // namespace

void MainWindowTest::stopButtonPressesEsc() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  EscWatcher watcher;
  qApp->installEventFilter(&watcher);
  form.Commands().tools.stop->setEnabled(true);  // as while a transfer runs
  form.Commands().tools.stop->click();
  QTRY_COMPARE(watcher.presses, 1);
  qApp->removeEventFilter(&watcher);
}

QTEST_MAIN(MainWindowTest)
#include "MainWindowTest.moc"
