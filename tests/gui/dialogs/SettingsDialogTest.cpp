// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>
#include <set>

#include "core/settings/CommSetting.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/ControlPresets.h"
#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/OptionsDialog.h"
#include "gui/dialogs/SettingsDialog.h"

namespace quelvo {

namespace {

QStringList Items(const QComboBox* combo) {
  QStringList items;
  for (int i = 0; i < combo->count(); ++i) items << combo->itemText(i);
  return items;
}

bool Red(const QLabel* label) {
  return label->palette().color(QPalette::WindowText) == QColor(Qt::red);
}

// Picks a list item as the user does: the selection changes and `activated` fires.
void Pick(QComboBox* combo, int index) {
  combo->setCurrentIndex(index);
  emit combo->activated(index);
}

// The list of the dialog that shows `member`.
QComboBox* ComboOf(const SettingsDialog& form, int CommSetting::*member) {
  for (const SetdataRow& row : SetdataRows()) {
    if (row.intMember == member && row.kind == SetdataRowKind::List) {
      return form.findChild<QComboBox*>(QString::fromLatin1(row.component));
    }
  }
  return nullptr;
}

}  // namespace

class SettingsDialogTest : public QObject {
  Q_OBJECT

 private:
  // A dialog on the active setting of a temporary program folder, with ports
  // COM1 and COM3 present, questions answered by `answer` and messages and
  // mails recorded.
  struct Fixture {
    QTemporaryDir folder;
    ProgramSettings settings;
    CommSetting setting;
    SettingsDialog form;
    std::set<int> ports{1, 3};
    std::vector<std::string> adapters;
    CloseAnswer answer = CloseAnswer::No;
    QStringList questions, messages, mails;

    Fixture() : form(settings, setting, folder.path().toStdString()) {
      DialogPrompts prompts;
      prompts.askYesNo = [this](QWidget*, const QString& caption, const QString& text) {
        questions << caption + "|" + text;
        return answer;
      };
      prompts.inform = prompts.warn = [this](QWidget*, const QString& caption,
                                             const QString& text) {
        messages << caption + "|" + text;
      };
      form.SetPrompts(prompts);
      form.SetPortProber({[this](int n) { return ports.count(n) > 0; }, [this] { return adapters; }});
      form.SetMailSender([this](const std::string& to, const std::string& subject,
                                const std::string& body) {
        mails << QString::fromStdString(to + "|" + subject + "|" + body);
      });
    }
    std::string Folder() const { return folder.path().toStdString(); }
    bool FileExists(const char* name) const { return QFile::exists(folder.filePath(name)); }
    CommSetting Stored(int setNo) const { return LoadCommSetting(Folder(), setNo); }
    void Show() {
      form.show();
      QApplication::setActiveWindow(&form);
      QVERIFY(QTest::qWaitForWindowActive(&form));
    }
  };

 private slots:
  void PortListsLeaveOutModemPortsAndMarkAMissingPort() {
    Fixture f;
    f.settings.modemPort1 = "com3";
    f.setting.Port_R = "COM2";
    f.Show();
    QCOMPARE(f.form.size(), QSize(372, 466));
    QCOMPARE(Items(f.form.List("receivePort")), QStringList({"COM1", "設定ﾎﾟｰﾄ無し"}));
    QCOMPARE(f.form.List("receivePort")->currentIndex(), 1);
    QCOMPARE(Items(f.form.List("sendPort")), QStringList({"COM1", "設定ﾎﾟｰﾄ無し"}));
    QCOMPARE(f.form.List("sendPort")->currentIndex(), 0);
    QVERIFY(!f.form.SaveButton()->isEnabled());
    f.form.reject();

    // With no port at all the placeholder is shown; a save keeps the ports
    // stored, and only a port that was never set takes the placeholder.
    f.ports.clear();
    f.setting.Port_S.clear();
    f.Show();
    QCOMPARE(Items(f.form.List("receivePort")), QStringList({"有効ﾎﾟｰﾄ無し"}));
    f.form.NameEdit()->setText("x");
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(f.settings.setNo).Port_R, std::string("COM2"));
    QCOMPARE(f.setting.Port_S, std::string("有効ﾎﾟｰﾄ無し"));
    f.form.reject();
  }

  // Device paths, stored or typed, survive any save of either half; the stable
  // by-id names of the adapters present are offered.
  void DevicePathsAreShownKeptAndTaken() {
    Fixture f;
    const std::string byId = "/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A50285BI-if00-port0";
    f.adapters = {"/dev/ttyUSB0", byId};
    f.setting.Port_R = "/dev/pts/7";  // the simulated control's link, not found by the search
    f.setting.Port_S = byId;
    f.Show();
    QCOMPARE(Items(f.form.List("receivePort")),
             QStringList({"COM1", "COM3", "/dev/ttyUSB0", QString::fromStdString(byId), "/dev/pts/7"}));
    QCOMPARE(f.form.List("receivePort")->currentText(), QStringLiteral("/dev/pts/7"));
    QCOMPARE(f.form.List("sendPort")->currentText(), QString::fromStdString(byId));
    QVERIFY(!f.form.SaveButton()->isEnabled());

    // Any change, saved: both halves keep their ports.
    Pick(f.form.List("receiveSpeed"), 3);
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(f.settings.setNo).Port_R, std::string("/dev/pts/7"));
    QCOMPARE(f.Stored(f.settings.setNo).Port_S, byId);
    f.form.reject();

    // A path typed into the send list is taken as typed and offered next time.
    f.Show();
    QLineEdit* typed = f.form.List("sendPort")->lineEdit();
    typed->selectAll();
    QTest::keyClicks(typed, "/dev/ttyACM9");
    QVERIFY(f.form.SaveButton()->isEnabled());
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(f.settings.setNo).Port_S, std::string("/dev/ttyACM9"));
    QCOMPARE(f.Stored(f.settings.setNo).Port_R, std::string("/dev/pts/7"));
    f.form.reject();
    f.Show();
    QCOMPARE(f.form.List("sendPort")->currentText(), QStringLiteral("/dev/ttyACM9"));
    f.form.reject();

    // A COM port not present shows the placeholder, yet a save keeps it.
    f.setting.Port_R = "COM2";
    f.Show();
    QCOMPARE(f.form.List("receivePort")->currentText(), QStringLiteral("設定ﾎﾟｰﾄ無し"));
    f.form.NameEdit()->setText("y");
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(f.settings.setNo).Port_R, std::string("COM2"));
    f.form.reject();
  }

  void NetworkPortTypedIntoThePortFieldIsKeptAsTyped() {
    Fixture f;
    f.Show();
    QComboBox* send = f.form.List("sendPort");
    QVERIFY(send->isEditable());
    send->lineEdit()->selectAll();
    QTest::keyClicks(send->lineEdit(), "rfc2217://Lathe-3:2001");
    f.form.NameEdit()->setText("x");
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.setting.Port_S, std::string("rfc2217://Lathe-3:2001"));
    QCOMPARE(f.Stored(f.settings.setNo).Port_S, std::string("rfc2217://Lathe-3:2001"));
    f.form.reject();

    // Shown again as typed, after the ports present.
    f.Show();
    QCOMPARE(Items(f.form.List("sendPort")), QStringList({"COM1", "COM3", "rfc2217://Lathe-3:2001"}));
    QCOMPARE(f.form.List("sendPort")->currentText(), QStringLiteral("rfc2217://Lathe-3:2001"));
    f.form.reject();
  }

  void ModemPortTypedInTheOptionsDialogLeavesThePortLists() {
    Fixture f;
    OptionsDialog options(f.settings, f.Folder());
    options.show();
    QTest::keyClicks(options.Field(3), "com3");
    QCOMPARE(options.Field(3)->text(), QStringLiteral("COM3"));
    QTest::mouseClick(options.ApplyButton(), Qt::LeftButton);
    options.reject();
    f.Show();
    QCOMPARE(Items(f.form.List("receivePort")), QStringList({"COM1", "設定ﾎﾟｰﾄ無し"}));
    f.form.reject();
  }

  void TapeReaderFixesSevenReceiveListsAndSavesTheirForcedValues() {
    Fixture f;
    f.setting.Code_R = 2;
    f.setting.Word = 2;
    f.setting.Buff_R = 6;
    f.setting.RSignal = 0;
    f.Show();
    const char* fixed[] = {"receiveCode", "receiveStopBits", "programNumber", "spaceHandling",
                           "receiveStartSignal", "receiveBuffer", "receiveLineEnd"};
    QVERIFY(!f.form.List("tapeReader")->isEnabled());
    QVERIFY(Red(f.form.LabelOf("tapeReader")));
    Pick(f.form.List("receiveSpeed"), 5);
    for (const char* name : fixed) {
      QVERIFY2(!f.form.findChild<QComboBox*>(name)->isEnabled(), name);
      QVERIFY2(Red(f.form.LabelOf(name)), name);
    }
    QVERIFY(f.form.List("tapeReader")->isEnabled());
    QVERIFY(!Red(f.form.LabelOf("tapeReader")));
    QVERIFY(f.form.List("receivePort")->isEnabled());
    QVERIFY(!Red(f.form.LabelOf("receiveFlowControl")));
    QVERIFY(f.form.SaveButton()->isEnabled());
    QVERIFY(f.form.SaveClick());
    const CommSetting stored = f.Stored(1);
    QCOMPARE(stored.Speed_R, 5);
    QCOMPARE(stored.Code_R, 0);
    QCOMPARE(stored.Word, 1);
    QCOMPARE(stored.Buff_R, 3);
    QCOMPARE(stored.RSignal, 0);  // kept only with a tape reader
    QCOMPARE(f.setting.Code_R, 0);  // the record is reloaded from the file
    f.form.reject();
  }

  void TapePunchFixesSignalAndBufferAndOtherSpeedsClearFeed() {
    Fixture f;
    f.setting.Buff_S = 7;
    f.setting.Feed = 2;
    f.Show();
    QVERIFY(!f.form.List("feedLength")->isEnabled());
    QVERIFY(Red(f.form.LabelOf("feedLength")));
    Pick(f.form.List("sendSpeed"), 5);
    QVERIFY(!f.form.List("sendStartSignal")->isEnabled() && Red(f.form.LabelOf("sendStartSignal")));
    QVERIFY(!f.form.List("sendBuffer")->isEnabled() && Red(f.form.LabelOf("sendBuffer")));
    QVERIFY(f.form.List("feedLength")->isEnabled() && !Red(f.form.LabelOf("feedLength")));
    QVERIFY(f.form.List("sendStopBits")->isEnabled());
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(1).Signal_S, 1);
    QCOMPARE(f.Stored(1).Buff_S, 0);
    QCOMPARE(f.Stored(1).Feed, 2);
    Pick(f.form.List("sendSpeed"), 2);
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(1).Feed, 0);
    f.form.reject();
  }

  void ClosingAfterChangeNoSavesYesDiscards_data() {
    QTest::addColumn<CloseAnswer>("answer");
    QTest::newRow("No saves") << CloseAnswer::No;
    QTest::newRow("Yes discards") << CloseAnswer::Yes;
  }

  void ClosingAfterChangeNoSavesYesDiscards() {
    QFETCH(CloseAnswer, answer);
    Fixture f;
    f.answer = answer;
    f.Show();
    Pick(f.form.List("sendCode"), 2);
    QTest::mouseClick(f.form.BackButton(), Qt::LeftButton);
    QCOMPARE(f.questions, QStringList({"通信設定|通信設定が変更されています。\n保存せずに終了しますか？"}));
    QCOMPARE(f.FileExists("SetData1.ini"), answer == CloseAnswer::No);
    QCOMPARE(f.setting.Code_S, answer == CloseAnswer::No ? 2 : 0);
    QVERIFY(!f.form.isVisible());
  }

  void LockedNameOfOspSettingIsStillSaved() {
    Fixture f;
    f.settings.setNo = 6;
    f.settings.setNames[6] = "旋盤OSP";
    QSignalSpy saved(&f.form, &SettingsDialog::settingSaved);
    f.Show();
    QVERIFY(!f.form.NameEdit()->isEnabled());
    QVERIFY(!f.form.List("dncRun")->isEnabled());
    QVERIFY(f.form.List("dncRun")->isHidden());
    QCOMPARE(f.form.NameEdit()->text(), QStringLiteral("旋盤OSP"));
    f.settings.setNames[6] = "changed meanwhile";
    Pick(f.form.List("dataStart"), 1);
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.settings.setNames[6], std::string("旋盤OSP"));
    QVERIFY(f.FileExists("SetDataO.ini"));
    QCOMPARE(saved.count(), 1);
    QCOMPARE(saved.at(0).at(0).toInt(), 6);
    f.form.reject();
    // Any other setting's name can be edited.
    f.settings.setNo = 7;
    f.Show();
    QVERIFY(f.form.NameEdit()->isEnabled());
    QCOMPARE(f.form.NameEdit()->text(), QStringLiteral("設定６"));
    f.form.reject();
  }

  void WaitTimeTakesDigitsOnlyAndRefusesOversizedNumbers() {
    Fixture f;
    f.setting.InvTime = 5;
    f.Show();
    QLineEdit* edit2 = f.form.LineEdit("waitTime");
    QTest::keyClicks(edit2, "ab-");
    QCOMPARE(edit2->text(), QStringLiteral("5"));
    QVERIFY(!f.form.SaveButton()->isEnabled());
    QTest::keyClicks(edit2, "0");
    QVERIFY(f.form.SaveButton()->isEnabled());

    // Too large for the stored field: refused with a message, nothing stored.
    Pick(f.form.List("receiveSpeed"), 5);
    edit2->setText("2147483648");
    QVERIFY(!f.form.SaveClick());
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].contains("2147483647"));
    QCOMPARE(f.setting.Speed_R, 1);
    QVERIFY(!f.FileExists("SetData1.ini"));
    QVERIFY(f.form.SaveButton()->isEnabled());

    // Empty: nothing stored, no message, the field gets the focus.
    f.form.List("receiveSpeed")->setFocus();
    edit2->clear();
    QVERIFY(!f.form.SaveClick());
    QCOMPARE(f.messages.size(), 1);
    QCOMPARE(QApplication::focusWidget(), edit2);

    // Answering No with an unsavable wait time keeps the dialog open.
    QTest::mouseClick(f.form.BackButton(), Qt::LeftButton);
    QVERIFY(f.form.isVisible());
    edit2->setText("2147483647");
    QTest::mouseClick(f.form.BackButton(), Qt::LeftButton);
    QVERIFY(!f.form.isVisible());
    QCOMPARE(f.Stored(1).InvTime, 2147483647);
  }

  void SendOptionFieldsFollowTheFile() {
    Fixture f;
    IniFile file(f.folder.filePath("SetData1.ini").toStdString());
    QVERIFY(file.WriteString("Setting_S", "N_non", "N"));
    f.setting = LoadCommSetting(f.Folder(), 1);
    f.Show();
    QVERIFY(!f.form.LineEdit("noFeedPoint")->isEnabled());  // no F_non in the file
    QLineEdit* nNon = f.form.LineEdit("noSequenceNumbers");
    QVERIFY(nNon->isEnabled());
    nNon->clear();
    QTest::keyClicks(nNon, "xy");
    QCOMPARE(nNon->text(), QStringLiteral("Y"));
    QLineEdit* sendMsg = f.form.LineEdit("skippedText");
    QTest::keyClicks(sendMsg, "g04 x");
    QCOMPARE(sendMsg->text(), QStringLiteral("G04 X"));
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(1).N_non, std::string("Y"));
    QCOMPARE(f.Stored(1).SendMsg, std::string("G04 X"));
    QCOMPARE(f.Stored(1).F_non, std::string());
    f.form.reject();
  }

  void ValuesOutsideTheListsSelectNothingAndSurviveASave() {
    Fixture f;
    f.setting.Code_R = 9;
    f.setting.ChkCount = -3;
    f.setting.DNC_Send = 1;
    f.Show();
    QCOMPARE(f.form.List("receiveCode")->currentIndex(), -1);
    QCOMPARE(f.form.List("checkCounter")->currentIndex(), -1);
    f.form.List("checkCounter")->setEditText("77");  // typed text is never stored
    QVERIFY(f.form.SaveButton()->isEnabled());
    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(1).Code_R, 9);
    QCOMPARE(f.Stored(1).ChkCount, -3);
    QCOMPARE(f.Stored(1).DNC_Send, 1);
    f.form.reject();
  }

  void TestMailNeedsAnAddress() {
    Fixture f;
    f.Show();
    f.form.LineEdit("mailAddress")->setText("nobody.example");
    QTest::mouseClick(f.form.TestMailButton(), Qt::LeftButton);
    QCOMPARE(f.messages, QStringList({"テスト送信|メールアドレス確認"}));
    QVERIFY(f.mails.isEmpty());
    f.form.LineEdit("mailAddress")->setText("lathe@example.com");
    f.form.LineEdit("mailSubject")->setText("件名です");
    QTest::mouseClick(f.form.TestMailButton(), Qt::LeftButton);
    QCOMPARE(f.mails.size(), 1);
    QVERIFY(f.mails[0].startsWith("lathe@example.com|件名です|"));
    QVERIFY(f.mails[0].endsWith("\nテスト送信"));
    QVERIFY(!f.FileExists("SetData1.ini"));  // unsaved texts are used, not stored
    f.answer = CloseAnswer::Yes;
    f.form.reject();
  }

  void AFailedWriteKeepsSaveEnabled() {
    Fixture f;
    QVERIFY(QDir(f.folder.path()).mkdir("SetData1.ini"));  // a folder cannot be written as a file
    f.Show();
    Pick(f.form.List("sendCode"), 1);
    QVERIFY(!f.form.SaveClick());
    QCOMPARE(f.messages.size(), 1);
    QVERIFY(f.messages[0].contains("に書き込めません"));
    QVERIFY(f.form.SaveButton()->isEnabled());
    QCOMPARE(f.setting.Code_S, 1);
    f.answer = CloseAnswer::Yes;
    f.form.reject();
  }

  void PlacementPageAndSplitFolderPersist() {
    Fixture f;
    IniFile sub(f.folder.filePath("Sub.ini").toStdString());
    QVERIFY(sub.WriteInteger("Sub", "Left", 40));
    QVERIFY(sub.WriteString("Sub", "DirPath", "/nc/split"));
    f.Show();
    QCOMPARE(f.form.geometry().topLeft(), QPoint(40, 10));
    QCOMPARE(f.form.Pages()->currentIndex(), 0);
    f.form.Pages()->setCurrentIndex(2);
    QVERIFY(sub.WriteString("Sub", "DirPath", "/elsewhere"));
    f.form.setGeometry(QRect(QPoint(70, 60), f.form.size()));
    f.form.reject();
    QCOMPARE(sub.ReadInteger("Sub", "Left", 0), 70);
    QCOMPARE(sub.ReadInteger("Sub", "Top", 0), 60);
    QCOMPARE(sub.ReadString("Sub", "DirPath", ""), std::string("/nc/split"));
    f.Show();
    QCOMPARE(f.form.Pages()->currentIndex(), 2);
    f.form.reject();
  }

  // "回線から検出": the receive page's port is listened on; the proposal fills
  // the receive page only after a yes, the send page never, and nothing is
  // stored until "保存". A result that cannot tell is only shown.
  void DetectFillsTheReceivePageAfterAYesAndSavesNothing() {
    Fixture f;
    f.setting.Port_R = "/dev/pts/7";
    f.setting.Speed_R = 2, f.setting.Code_R = 0, f.setting.STbit_R = 0;
    f.setting.Speed_S = 2, f.setting.Code_S = 0;
    std::vector<std::string> devices;
    std::optional<LineDetection> found = LineDetection{};
    found->speedFound = true;
    found->speed = 4800;
    found->codes = {TapeCode::EIA};
    f.form.SetLineDetectRunner([&](QWidget*, const std::string& device, int speedIndex) {
      devices.push_back(device + "@" + std::to_string(speedIndex));
      return found;
    });
    f.Show();
    QVERIFY(f.form.DetectButton()->isVisible());
    QCOMPARE(f.form.DetectButton()->text(), QStringLiteral("回線から検出"));

    f.answer = CloseAnswer::No;
    f.form.DetectButton()->click();
    QCOMPARE(devices, (std::vector<std::string>{"/dev/pts/7@2"}));
    QCOMPARE(f.questions.size(), 1);
    QVERIFY(f.questions[0].contains("通信速度: 4800"));
    QVERIFY(f.questions[0].contains("コード: EIA"));
    QCOMPARE(ComboOf(f.form, &CommSetting::Speed_R)->currentIndex(), 2);
    QVERIFY(!f.form.SaveButton()->isEnabled());

    f.answer = CloseAnswer::Yes;
    f.form.DetectButton()->click();
    QCOMPARE(ComboOf(f.form, &CommSetting::Speed_R)->currentIndex(), 1);
    QCOMPARE(ComboOf(f.form, &CommSetting::Code_R)->currentIndex(), 2);
    QCOMPARE(ComboOf(f.form, &CommSetting::STbit_R)->currentIndex(), 1);
    QCOMPARE(ComboOf(f.form, &CommSetting::Speed_S)->currentIndex(), 2);
    QCOMPARE(ComboOf(f.form, &CommSetting::Code_S)->currentIndex(), 0);
    QVERIFY(f.form.SaveButton()->isEnabled());
    QCOMPARE(f.setting.Speed_R, 2);  // the record is untouched
    QVERIFY(!f.FileExists("SetData1.ini"));

    QVERIFY(f.form.SaveClick());
    QCOMPARE(f.Stored(f.settings.setNo).Speed_R, 1);
    QCOMPARE(f.Stored(f.settings.setNo).Code_R, 2);
    QCOMPARE(f.Stored(f.settings.setNo).Port_R, std::string("/dev/pts/7"));

    // Two codes fit: said, not asked; stopped: nothing at all.
    found->codes = {TapeCode::ISO, TapeCode::ASCII};
    f.form.DetectButton()->click();
    QCOMPARE(f.questions.size(), 2);
    QVERIFY(f.messages.last().contains("判別できません"));
    found.reset();
    const int messages = static_cast<int>(f.messages.size());
    f.form.DetectButton()->click();
    QCOMPARE(f.messages.size(), messages);
    QVERIFY(!f.form.SaveButton()->isEnabled());
    f.form.reject();
  }

  // "プリセットから作成": the chosen preset fills the slot's fields (ports
  // kept), and only "保存" stores it; a cancelled choice changes nothing.
  void PresetFillsTheSlotUntilSaved() {
    Fixture f;
    f.setting.Port_R = "/dev/pts/7";
    f.setting.Port_S = "/dev/pts/8";
    QStringList offered;
    int pick = -1;
    f.form.SetPresetChooser([&](QWidget*, const QStringList& labels) {
      offered = labels;
      return pick;
    });
    f.Show();
    QCOMPARE(f.form.PresetButton()->text(), QStringLiteral("プリセットから作成"));
    f.form.PresetButton()->click();
    QCOMPARE(offered.size(), static_cast<int>(ControlPresets().size()));
    QVERIFY(!f.form.SaveButton()->isEnabled());

    const size_t last = ControlPresets().size() - 1;
    pick = static_cast<int>(last);
    f.form.PresetButton()->click();
    const CommSetting expected = ApplyPreset(ControlPresets()[last], f.setting);
    QVERIFY(f.form.SaveButton()->isEnabled());
    QVERIFY(!f.FileExists("SetData1.ini"));
    for (int CommSetting::*member : {&CommSetting::Speed_R, &CommSetting::Code_R, &CommSetting::Speed_S,
                                     &CommSetting::Code_S, &CommSetting::STbit_S}) {
      QCOMPARE(ComboOf(f.form, member)->currentIndex(), expected.*member);
    }
    QVERIFY(f.form.SaveClick());
    const CommSetting stored = f.Stored(f.settings.setNo);
    QCOMPARE(stored.Speed_S, expected.Speed_S);
    QCOMPARE(stored.Code_R, expected.Code_R);
    QCOMPARE(stored.Port_R, std::string("/dev/pts/7"));
    QCOMPARE(stored.Port_S, std::string("/dev/pts/8"));
    f.form.reject();
  }
};

}  // namespace quelvo

QTEST_MAIN(quelvo::SettingsDialogTest)
#include "SettingsDialogTest.moc"
