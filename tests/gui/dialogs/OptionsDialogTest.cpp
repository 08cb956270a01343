// SPDX-License-Identifier: GPL-3.0-or-later
#include <QApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QtTest>

#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "gui/dialogs/OptionsDialog.h"

namespace quelvo {

class OptionsDialogTest : public QObject {
  Q_OBJECT

 private:
  // A dialog on fresh settings in a temporary program folder, with its questions
  // answered by `answer_` and counted.
  struct Fixture {
    QTemporaryDir folder;
    ProgramSettings settings;
    OptionsDialog form;
    int questions = 0;
    CloseAnswer answer = CloseAnswer::No;
    Fixture() : form(settings, folder.path().toStdString()) {
      DialogPrompts prompts;
      prompts.askYesNo = [this](QWidget*, const QString& caption, const QString& text) {
        ++questions;
        CheckQuestion(caption, text);
        return answer;
      };
      prompts.inform = prompts.warn = [](QWidget*, const QString&, const QString& text) {
        QFAIL(qPrintable("unexpected message: " + text));
      };
      form.SetPrompts(prompts);
    }
    static void CheckQuestion(const QString& caption, const QString& text) {
      QCOMPARE(caption, QStringLiteral("オプション設定"));
      QCOMPARE(text, QStringLiteral("オプション設定が変更されています。\n保存せずに終了しますか？"));
    }
    void Show() {
      form.show();
      QApplication::setActiveWindow(&form);
      QVERIFY(QTest::qWaitForWindowActive(&form));
    }
  };

 private slots:
  void DefaultsShowNExceptDc3AndApplyIsOff() {
    Fixture f;
    f.Show();
    QCOMPARE(f.form.windowTitle(), QStringLiteral("ｵﾌﾟｼｮﾝ設定"));
    QCOMPARE(f.form.size(), QSize(289, 456));
    QCOMPARE(f.form.geometry().topLeft(), QPoint(10, 10));
    for (int i = 0; i < kOptionFieldCount; ++i) {
      const QString expected = i == 5 ? "Y" : (i == 3 || i == 4) ? "" : "N";
      QCOMPARE(f.form.Field(i)->text(), expected);
    }
    QVERIFY(!f.form.ApplyButton()->isEnabled());
    f.form.reject();
    QCOMPARE(f.questions, 0);
  }

  void KeyFiltersAndUpperCase() {
    Fixture f;
    f.Show();
    QLineEdit* port = f.form.Field(3);
    QTest::keyClicks(port, "cxom3p");
    QCOMPARE(port->text(), QStringLiteral("COM3"));
    QLineEdit* yesNo = f.form.Field(0);
    yesNo->clear();
    QTest::keyClicks(yesNo, "aq");
    QCOMPARE(yesNo->text(), QString());
    QTest::keyClicks(yesNo, "y");
    QCOMPARE(yesNo->text(), QStringLiteral("Y"));
    // Pasted text is cleaned the same way.
    port->clear();
    port->insert("c/om1");
    emit port->textEdited(port->text());
    QCOMPARE(port->text(), QStringLiteral("COM1"));
  }

  void ApplyCopiesFieldsAndEmptiedFieldStaysEmpty() {
    Fixture f;
    f.Show();
    QTest::keyClicks(f.form.Field(3), "com3");
    f.form.Field(11)->clear();  // "選択送信(Y/N)" emptied
    QVERIFY(f.form.ApplyButton()->isEnabled());
    QSignalSpy applied(&f.form, &OptionsDialog::applied);
    QTest::mouseClick(f.form.ApplyButton(), Qt::LeftButton);
    QCOMPARE(applied.count(), 1);
    QVERIFY(!f.form.ApplyButton()->isEnabled());
    QCOMPARE(f.settings.modemPort1, std::string("COM3"));
    // Empty is neither "Y" nor "N": the send command then opens the selection.
    QCOMPARE(f.settings.storedOptions.op1, std::string());
    f.form.reject();
    QCOMPARE(f.questions, 0);
  }

  void ClosingAfterChangeNoAppliesYesDiscards() {
    for (CloseAnswer answer : {CloseAnswer::No, CloseAnswer::Yes, CloseAnswer::Other}) {
      Fixture f;
      f.answer = answer;
      f.Show();
      f.form.Field(0)->clear();
      QTest::keyClicks(f.form.Field(0), "y");
      QTest::mouseClick(f.form.BackButton(), Qt::LeftButton);
      QCOMPARE(f.questions, 1);
      QCOMPARE(f.settings.storedOptions.op3, std::string(answer == CloseAnswer::Yes ? "N" : "Y"));
      QVERIFY(!f.form.isVisible());
    }
  }

  void EnterAndArrowsMoveWithinThePage() {
    Fixture f;
    f.form.Pages()->setCurrentIndex(1);
    f.Show();
    QLineEdit* first = f.form.Field(9);
    QLineEdit* second = f.form.Field(10);
    second->setFocus();
    QTest::keyClick(second, Qt::Key_Down);
    QCOMPARE(QApplication::focusWidget(), first);
    QTest::keyClick(first, Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), second);
    // Enter in an empty field is dropped; in a filled one it moves on.
    second->clear();
    QTest::keyClick(second, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), second);
    QTest::keyClicks(second, "n");
    QTest::keyClick(second, Qt::Key_Return);
    QCOMPARE(QApplication::focusWidget(), first);
    // On the general page Up from the first field wraps to the ninth.
    f.form.Pages()->setCurrentIndex(0);
    f.form.Field(0)->setFocus();
    QTest::keyClick(f.form.Field(0), Qt::Key_Up);
    QCOMPARE(QApplication::focusWidget(), f.form.Field(8));
    f.answer = CloseAnswer::Yes;
    f.form.reject();
  }

  void PlacementComesFromAndGoesToSubIni() {
    Fixture f;
    IniFile sub(f.folder.filePath("Sub.ini").toStdString());
    QVERIFY(sub.WriteInteger("Sub", "Left", 120));
    QVERIFY(sub.WriteInteger("Sub", "Top", 80));
    f.Show();
    QCOMPARE(f.form.geometry().topLeft(), QPoint(120, 80));
    f.form.setGeometry(QRect(QPoint(200, 150), f.form.size()));
    f.form.reject();
    QCOMPARE(sub.ReadInteger("Sub", "Left", 0), 200);
    QCOMPARE(sub.ReadInteger("Sub", "Top", 0), 150);
  }

  // What is stored is what the next showing restores: the dialog opens where
  // it was left, showing after showing, frame or no frame.
  void PlacementStaysThroughRepeatedShowings() {
    Fixture f;
    IniFile sub(f.folder.filePath("Sub.ini").toStdString());
    QVERIFY(sub.WriteInteger("Sub", "Left", 10));
    QVERIFY(sub.WriteInteger("Sub", "Top", 10));
    for (int showing = 1; showing <= 5; ++showing) {
      f.Show();
      f.form.reject();
      QCOMPARE(sub.ReadInteger("Sub", "Left", 0), 10);
      QCOMPARE(sub.ReadInteger("Sub", "Top", 0), 10);
    }
  }

  void ReopeningRefillsAndKeepsThePage() {
    Fixture f;
    f.Show();
    f.form.Pages()->setCurrentIndex(2);
    f.form.reject();
    f.settings.storedOptions.op4 = "Y";
    f.Show();
    QCOMPARE(f.form.Pages()->currentIndex(), 2);
    QCOMPARE(f.form.Field(12)->text(), QStringLiteral("Y"));
    QVERIFY(!f.form.ApplyButton()->isEnabled());
    f.form.reject();
  }
};

}  // namespace quelvo

QTEST_MAIN(quelvo::OptionsDialogTest)
#include "OptionsDialogTest.moc"
