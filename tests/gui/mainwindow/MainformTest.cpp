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
#include "gui/mainwindow/Mainform.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/WindowTestHome.h"

using quelvo::TForm1;

class MainformTest : public QObject {
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

void MainformTest::defaultsWithoutSettingsFile() {
  quelvo::test::WindowTestHome home;
  TForm1 form;
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
  QCOMPARE(form.RichEdit1->font().pointSize(), 10);
  QCOMPARE(form.Settings.setNo, 1);
  const auto& o = form.Settings.storedOptions;
  for (const std::string* v : {&o.op1, &o.op2, &o.op3, &o.powerOff, &o.op4, &o.op5, &o.op6, &o.op7,
                               &o.op9, &o.op10, &o.op12, &o.op13, &o.op14})
    QCOMPARE(*v, std::string("N"));
  QCOMPARE(o.dc3_0x93, std::string("Y"));
  QVERIFY(o.op16);
  QVERIFY(form.Menus.view_op->isChecked());
  QVERIFY(!form.Menus.view_op->isVisible());
  QCOMPARE(form.windowTitle(), QString("Quelvo Ver1.47 (Win98/Me/2000/XP)"));
  QCOMPARE(form.Document.CurrentFileName, std::string("無題"));
  QVERIFY(form.Document.InsertMode);
  QCOMPARE(form.Document.LastFileSize, 0.0);
  QVERIFY(!form.App.CloseAfterTransfer);
  QCOMPARE(form.RichEdit1->color(), QApplication::palette().color(QPalette::Text));
  QCOMPARE(form.RichEdit1->paper(), QApplication::palette().color(QPalette::Base));
  QVERIFY(!form.RichEdit1->isUndoAvailable());
  QVERIFY(!form.Timer1->isActive() && !form.Timer2->isActive() && !form.Timer3->isActive());
  QCOMPARE(form.Timer1->interval(), 2000);
  QCOMPARE(form.Timer3->interval(), 1000);
}

void MainformTest::toolBarAsTheCommandTable() {
  quelvo::test::WindowTestHome home;
  TForm1 form;
  form.show();
  // Left to right, with the three bevels after 保存, 検索 and 印刷.
  const QStringList expected = {"SpeedButton1:新規", "SpeedButton2:開く", "SpeedButton3:保存", "|",
                                "SpeedButton4:切取", "SpeedButton5:ｺﾋﾟｰ", "SpeedButton6:貼付",
                                "SpeedButton7:戻す", "SpeedButton12:検索", "|", "SpeedButton8:印刷", "|",
                                "SpeedButton9:受信", "SpeedButton10:送信", "SpeedButton15:ﾘﾋﾟｰﾄ",
                                "SpeedButton11:設定", "SpeedButton13:中止"};
  QList<QWidget*> items = form.Panel1->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly);
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
  QCOMPARE(form.Buttons[10]->property("tag").toInt(), 1);
  QCOMPARE(form.Buttons[15]->property("tag").toInt(), 2);
  QVERIFY(!form.Buttons[13]->isEnabled());
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

void MainformTest::menusAsTheCommandTable() {
  quelvo::test::WindowTestHome home;
  TForm1 form;
  form.show();
  QStringList bar;
  for (QAction* a : form.menuBar()->actions()) bar << a->text();
  // Once shown, the setting menu names the active setting.
  QCOMPARE(bar, (QStringList{"ファイル", "編集", "検索", "通信設定切換(設定１)", "ｵﾌﾟｼｮﾝ", "通信ログ", "ﾍﾙﾌﾟ"}));
  QCOMPARE(Captions(form.Menus.File),
           (QStringList{"新規作成", "開く", "上書き保存", "名前を付けて保存", "ｏ番号分割保存", "プリンタ設定", "印刷",
                        "ﾃﾞｨｽｸﾄｯﾌﾟにｼｮｰﾄｶｯﾄ作成", "SendTo(送る)に登録", "比較…", "&1 ", "&2 ", "&3 ", "&4 ", "&5 ", "終了",
                        "途中から送信…", "ライブラリの最終受信と比較…"}));
  for (QAction* item : form.Menus.MenuFile) QVERIFY(!item->isVisible());
  QCOMPARE(Captions(form.Menus.Edit), (QStringList{"元に戻す", "切り取り", "コピー", "貼り付け", "削除", "すべて選択",
                                                   "日付と時刻", "右端で折り返す", "[フォント選択]", "[画面カラー]",
                                                   "ツールパス表示"}));
  QVERIFY(form.Menus.EditWrap->isCheckable() && !form.Menus.EditWrap->isChecked());
  QCOMPARE(Captions(form.Menus.FontSelect), (QStringList{"フォント設定", "ＭＳ ゴシック  10"}));
  QCOMPARE(Captions(form.Menus.ScreenColor), (QStringList{"背景色設定", "文字色設定"}));
  QCOMPARE(Captions(form.Menus.Find), (QStringList{"検索", "次を検索"}));
  QCOMPARE(Captions(form.Menus.Setting),
           (QStringList{"設定１", "設定２", "設定３", "設定４", "設定５", "設定６", "設定７", "設定８", "設定９",
                        "設定１０", "OSP専用_NO.1", "OSP専用_NO.2"}));
  // One separator, at menu position 11 (1-based), before the two OSP settings.
  QList<int> separators;
  const QList<QAction*> setActions = form.Menus.Setting->actions();
  for (int i = 0; i < setActions.size(); ++i)
    if (setActions[i]->isSeparator()) separators << i + 1;
  QCOMPARE(separators, QList<int>{11});
  QCOMPARE(setActions.size(), 13);
  QStringList keys;
  QList<int> tags;
  for (QAction* a : form.Menus.SetItems) {
    keys << a->shortcut().toString(QKeySequence::PortableText);
    tags << a->data().toInt();
    QVERIFY(a->isCheckable());
  }
  QCOMPARE(keys, (QStringList{"Alt+1", "Alt+2", "Alt+3", "Alt+4", "Alt+5", "Alt+6", "Alt+7", "Alt+8", "Alt+9",
                              "Alt+A", "Alt+O", "Alt+P"}));
  QCOMPARE(tags, (QList<int>{1, 2, 3, 4, 5, 7, 8, 9, 10, 11, 6, 12}));
  QCOMPARE(Captions(form.Menus.Option),
           (QStringList{"ﾕｰｻﾞ定義(拡張子)", "各種設定", "ﾌｧｲﾙﾌﾟﾚﾋﾞｭｰ(ﾀﾞｲｱﾛｸﾞ)", "ｺｰﾄﾞ色分け表示"}));
  QCOMPARE(Captions(form.Menus.Log), (QStringList{"送信(PCからNC)", "受信(NCからPC)", "ログ表示終了", "通信モニタ"}));
  QCOMPARE(Captions(form.Menus.Help), (QStringList{"ﾊﾞｰｼﾞｮﾝ"}));
  // Only the set items carry shortcuts.
  for (QMenu* menu : {form.Menus.File, form.Menus.Edit, form.Menus.Find, form.Menus.Option, form.Menus.Log,
                      form.Menus.Help})
    for (QAction* a : menu->actions()) QVERIFY2(a->shortcut().isEmpty(), qPrintable(a->text()));
}

void MainformTest::statusBarsAndHiddenParts() {
  quelvo::test::WindowTestHome home;
  TForm1 form;
  form.show();
  QList<int> widths1, widths2;
  for (int i = 0; i < 7; ++i) {
    widths1 << form.StatusBar1->Panel(i)->width();
    widths2 << form.StatusBar2->Panel(i)->width();
  }
  QCOMPARE(widths1, (QList<int>{120, 60, 55, 50, 55, 100, 50}));
  QCOMPARE(widths2, (QList<int>{100, 180, 100, 80, 40, 20, 50}));
  QCOMPARE(form.StatusBar1->height(), 25);
  QCOMPARE(form.StatusBar1->PanelText(0), QString("ｻｲｽﾞ"));
  QCOMPARE(form.StatusBar1->PanelText(1), QString("1 , 1"));
  QCOMPARE(form.StatusBar1->PanelText(3), QString("挿入"));
  QCOMPARE(form.StatusBar2->PanelText(6), QString("送信:"));
  QVERIFY(form.StatusBar1->isVisible());
  QVERIFY(!form.StatusBar2->isVisible());
  QVERIFY(form.ProgressBar != nullptr);
  QCOMPARE(form.ProgressBar->parentWidget(), form.StatusBar2->Panel(0));
  QCOMPARE(form.ProgressBar->geometry().topLeft(), QPoint(1, 2));
  QCOMPARE(form.ProgressBar->width(), 99);
  QVERIFY(!form.Panel2->isVisible());
  QCOMPARE(form.Panel2->height(), 33);
  QCOMPARE(form.Label2->width(), 485);
  QCOMPARE(form.LabeledEdit1->text(), QString(" ●"));
  QCOMPARE(form.LabeledEdit2->text(), QString(" ○"));
  QVERIFY(form.RichEdit1->isVisible());
  QVERIFY(!form.RichEdit2->isVisible());
}

void MainformTest::settingsWrittenAtCloseAndReadBack() {
  quelvo::test::WindowTestHome home;
  {
    TForm1 form;
    form.show();
    form.move(30, 40);
    form.resize(700, 500);
    form.Dialogs.ChooseFont = [](QWidget*, QFont& f) {
      f.setPointSize(14);
      return true;
    };
    form.EditFontClick();
    form.Dialogs.ChooseColor = [](QWidget*, QColor& c) {
      c = QColor(0x12, 0x34, 0x56);
      return true;
    };
    form.screen_colorClick();
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

  TForm1 again;
  again.show();
  QCOMPARE(again.pos(), QPoint(30, 40));
  QCOMPARE(again.size(), QSize(700, 500));
  QCOMPARE(again.RichEdit1->font().pointSize(), 14);
  QCOMPARE(again.RichEdit1->paper(), QColor(0x12, 0x34, 0x56));
  QCOMPARE(again.Settings.setNo, 3);
  QCOMPARE(again.Settings.storedOptions.op3, std::string("Y"));
  QVERIFY(again.Menus.MenuFile[0]->isVisible());
  QCOMPARE(again.Menus.MenuFile[0]->text(), QString("&1 /nc/O0001.NC"));
  QVERIFY(again.Menus.RecentSeparator->isVisible());
  QVERIFY(!again.Menus.MenuFile[1]->isVisible());
}

void MainformTest::failedWriteAtCloseIsReported() {
  quelvo::test::WindowTestHome home;
  TForm1 form;
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

void MainformTest::toolkitTextsAreJapanese() {
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

void MainformTest::stopButtonPressesEsc() {
  quelvo::test::WindowTestHome home;
  TForm1 form;
  form.show();
  EscWatcher watcher;
  qApp->installEventFilter(&watcher);
  form.Buttons[13]->setEnabled(true);  // as while a transfer runs
  form.Buttons[13]->click();
  QTRY_COMPARE(watcher.presses, 1);
  qApp->removeEventFilter(&watcher);
}

QTEST_MAIN(MainformTest)
#include "MainformTest.moc"
