// SPDX-License-Identifier: GPL-3.0-or-later
// The setting menu of the main window: shortcuts choose a slot by its tag and
// load its file, the menu caption names the active setting, a stored number
// no slot has falls back to setting 1, and the dialogs reach the window.
#include <QAction>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTimer>
#include <QtTest>

#include "core/common/ProgramFiles.h"
#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/OptionsDialog.h"
#include "gui/dialogs/SettingsDialog.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "support/WindowTestHome.h"

using quelvo::MainWindow;

namespace {

// A slot file whose send port names it, so the test sees which file was read.
void WriteSlot(const char* fileName, const std::string& port) {
  quelvo::IniFile ini(quelvo::ProgramFolderFile(fileName));
  QVERIFY(ini.WriteString("Setting_S", "Port", port));
}

void PressShortcut(MainWindow& form, Qt::Key key) {
  QTest::keyClick(&form, key, Qt::AltModifier);
}

}  // namespace

class SettingMenuTest : public QObject {
  Q_OBJECT
 private slots:
  void shortcutsLoadTheSlotOfTheirTag();
  void captionFollowsARenamedSetting();
  void storedNumberWithoutSlotFallsBackToOne();
  void optionsDialogAndPreviewSwitch();
};

void SettingMenuTest::shortcutsLoadTheSlotOfTheirTag() {
  quelvo::test::WindowTestHome home;
  WriteSlot("SetData1.ini", "/dev/one");
  WriteSlot("SetDataO.ini", "/dev/osp1");
  WriteSlot("SetData10.ini", "/dev/ten");
  WriteSlot("SetData6.ini", "/dev/six");
  MainWindow form;
  form.show();
  QVERIFY(QTest::qWaitForWindowActive(&form));
  QCOMPARE(form.Comm.Port_S, std::string("/dev/one"));
  QCOMPARE(form.Commands().Menus.Setting->title(), QString("通信設定切換(設定１)"));

  PressShortcut(form, Qt::Key_O);
  QCOMPARE(form.Settings.setNo, 6);
  QCOMPARE(form.Comm.Port_S, std::string("/dev/osp1"));
  QCOMPARE(form.Commands().Menus.Setting->title(), QString("通信設定切換(OSP専用_NO.1)"));
  QVERIFY(form.Commands().Menus.SetItems[10]->isChecked());

  PressShortcut(form, Qt::Key_A);
  QCOMPARE(form.Settings.setNo, 11);
  QCOMPARE(form.Comm.Port_S, std::string("/dev/ten"));
  QVERIFY(form.Commands().Menus.SetItems[9]->isChecked());
  QVERIFY(!form.Commands().Menus.SetItems[10]->isChecked());

  PressShortcut(form, Qt::Key_6);
  QCOMPARE(form.Settings.setNo, 7);
  QCOMPARE(form.Comm.Port_S, std::string("/dev/six"));

  // A slot without a file has every default.
  PressShortcut(form, Qt::Key_P);
  QCOMPARE(form.Settings.setNo, 12);
  QCOMPARE(form.Comm.Port_S, std::string("COM1"));
}

void SettingMenuTest::captionFollowsARenamedSetting() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  form.Setting().SettingItemClick(3);
  QCOMPARE(form.Commands().Menus.Setting->title(), QString("通信設定切換(設定３)"));

  // Renamed in the settings dialog and saved: the item and the menu follow.
  quelvo::SettingsDialog& dialog = form.Setting().EnsureSettingsDialog();
  dialog.SetPortProber({[](int) { return false; }, {}});
  quelvo::DialogPrompts prompts;
  prompts.askYesNo = [](QWidget*, const QString&, const QString&) { return quelvo::CloseAnswer::Yes; };
  prompts.inform = prompts.warn = [](QWidget*, const QString&, const QString&) {};
  dialog.SetPrompts(prompts);
  QTimer::singleShot(0, &dialog, [&] {
    dialog.NameEdit()->setText("旋盤");
    QVERIFY(dialog.SaveClick());
    dialog.reject();
  });
  form.Setting().OpenSettingsDialog();
  QCOMPARE(form.Settings.setNames[3], std::string("旋盤"));
  QCOMPARE(form.Commands().Menus.SetItems[2]->text(), QString("旋盤"));
  QCOMPARE(form.Commands().Menus.Setting->title(), QString("通信設定切換(旋盤)"));
  QVERIFY(QFile::exists(QString::fromStdString(quelvo::ProgramFolderFile("SetData3.ini"))));
}

void SettingMenuTest::storedNumberWithoutSlotFallsBackToOne() {
  quelvo::test::WindowTestHome home;
  {
    quelvo::IniFile ini(quelvo::ProgramSettingsPath());
    QVERIFY(ini.WriteInteger("Setting", "SetNo", 15));
  }
  MainWindow form;
  std::vector<std::string> messages;
  form.Host.SetMessageFunction([&](const std::string& text, const std::string&, quelvo::MessageKind,
                                   quelvo::MessageButtons) {
    messages.push_back(text);
    return quelvo::MessageAnswer::kOk;
  });
  form.show();
  QCOMPARE(messages, std::vector<std::string>{"通信設定番号\n15は存在しません。"});
  QCOMPARE(form.Settings.setNo, 1);
  QVERIFY(form.Commands().Menus.SetItems[0]->isChecked());
}

void SettingMenuTest::optionsDialogAndPreviewSwitch() {
  quelvo::test::WindowTestHome home;
  MainWindow form;
  form.show();
  form.Document.LastFileSize = 2048;
  form.editorFields.size->setText("x");
  quelvo::OptionsDialog& options = form.Setting().EnsureOptionsDialog();
  QTimer::singleShot(0, &options, [&] { options.reject(); });
  form.Setting().setting_opClick();
  QVERIFY(form.editorFields.size->text() != QString("x"));

  QVERIFY(form.Settings.options.filePreview);
  form.Setting().ToggleFilePreviewOption();
  QVERIFY(!form.Settings.options.filePreview);
  QVERIFY(!form.Commands().Menus.view_op->isChecked());
  QVERIFY(!form.Commands().Menus.view_op->isVisible());
  form.Setting().ToggleFilePreviewOption();
  QVERIFY(form.Settings.options.filePreview);
}

QTEST_MAIN(SettingMenuTest)
#include "SettingMenuTest.moc"
