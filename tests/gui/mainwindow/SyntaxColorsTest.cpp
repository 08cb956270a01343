// SPDX-License-Identifier: GPL-3.0-or-later
// The NC syntax colours of the document editor in the main window: off looks
// exactly as the editor always did, on styles the words in colours made for
// the stored background, marks what the active send code cannot carry, follows
// the user's font and colours, is stored as an option, and styles only what is
// shown.
#include <QAction>
#include <QImage>
#include <QtTest>

#include "core/common/ProgramFiles.h"
#include "core/document/ColorValue.h"
#include "core/document/NcSyntax.h"
#include "core/settings/CommSettingFile.h"
#include "core/settings/IniFile.h"
#include "core/settings/ProgramSettings.h"
#include "gui/editor/NcEdit.h"
#include "gui/editor/NcLexer.h"
#include "gui/mainwindow/MainWindow.h"
#include "support/WindowTestHome.h"

using quelvo::NcEdit;
using quelvo::NcLexer;
using quelvo::MainWindow;

namespace {

const QString kProgram =
    "%\r\nO1000(PLATE)\r\nN10G90G54G00X-12.5Y30.\r\nN20M03S1200T0101\r\n#101=#102+1.\r\n"
    "N30G01Z-2.F150.(あ)\r\nN40G02X10.Y0I5.J0\r\nM30\r\n%";

// The stored look of a setting file: (text, background) as colour values.
void WriteLook(int fontColor, int screenColor, int syntaxColors) {
  quelvo::IniFile ini(quelvo::ProgramSettingsPath());
  ini.WriteInteger("Edit", "Font Color", fontColor);
  ini.WriteInteger("Edit", "Screen Color", screenColor);
  if (syntaxColors >= 0) ini.WriteInteger("Options", "Syntax_Color", syntaxColors);
}

struct EditorLook {
  QImage image;
  QList<long> styleAttributes;  // fore, back, size, weight, font name length of each style
  QList<long> styleBytes;
  long marked = 0;
};

EditorLook Capture(NcEdit* edit) {
  EditorLook look;
  edit->SendScintilla(QsciScintillaBase::SCI_SETCARETPERIOD, 0L);
  look.image = edit->grab().toImage();
  for (int style = 0; style <= QsciScintillaBase::STYLE_LASTPREDEFINED; ++style) {
    char name[128] = {};
    edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETFONT, style, name);
    look.styleAttributes << edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style)
                         << edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style)
                         << edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZEFRACTIONAL, style)
                         << edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETWEIGHT, style)
                         << qHash(QByteArray(name));
  }
  const long length = edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  for (long pos = 0; pos < length; ++pos) {
    look.styleBytes << edit->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos);
    look.marked += edit->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, NcLexer::kUncarriedIndicator, pos);
  }
  return look;
}

long StyleAt(NcEdit* edit, const QString& word) {
  const long pos = edit->text().toUtf8().indexOf(word.toUtf8());
  return pos < 0 ? -1 : edit->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos);
}

QColor StyleFore(NcEdit* edit, int style) {
  const long bgr = edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETFORE, style);
  return QColor(bgr & 0xFF, (bgr >> 8) & 0xFF, (bgr >> 16) & 0xFF);
}

bool MarkedAt(NcEdit* edit, const QString& word) {
  const long pos = edit->text().toUtf8().indexOf(word.toUtf8());
  return edit->SendScintilla(QsciScintillaBase::SCI_INDICATORVALUEAT, NcLexer::kUncarriedIndicator, pos) != 0;
}

// A window with the stored look, the program in its editor, shown and painted.
std::unique_ptr<MainWindow> OpenWindow() {
  auto form = std::make_unique<MainWindow>();
  form->resize(600, 400);
  form->show();
  if (!QTest::qWaitForWindowExposed(form.get())) return nullptr;
  form->editor->setText(kProgram);
  form->editor->setModified(false);
  form->editor->repaint();
  return form;
}

}  // namespace

class SyntaxColorsTest : public QObject {
  Q_OBJECT
 private slots:
  void offLooksAsTheEditorAlwaysDid_data();
  void offLooksAsTheEditorAlwaysDid();
  void onStylesWordsAndKeepsTheStoredLook();
  void marksFollowTheActiveSendCode();
  void optionIsStoredAndTheMenuShowsIt();
  void onlyWhatIsShownIsStyled();
};

void SyntaxColorsTest::offLooksAsTheEditorAlwaysDid_data() {
  QTest::addColumn<int>("fontColor");
  QTest::addColumn<int>("screenColor");
  QTest::newRow("system colours") << quelvo::kSysColorWindowText << quelvo::kSysColorWindow;
  QTest::newRow("dark") << 0xE0E0E0 << 0x1E1E1E;
}

// A window whose colours were never on, and one turned off from the menu: the
// same pixels, the same styles, every byte in style 0, no mark.
void SyntaxColorsTest::offLooksAsTheEditorAlwaysDid() {
  QFETCH(int, fontColor);
  QFETCH(int, screenColor);
  quelvo::test::WindowTestHome home;
  WriteLook(fontColor, screenColor, 0);
  EditorLook never;
  {
    auto form = OpenWindow();
    QVERIFY(form);
    QVERIFY(!form->editor->SyntaxColors());
    QVERIFY(!form->Commands().Menus.color_op->isChecked());
    never = Capture(form->editor);
  }
  WriteLook(fontColor, screenColor, 1);
  auto form = OpenWindow();
  QVERIFY(form);
  QVERIFY(form->editor->SyntaxColors());
  const EditorLook on = Capture(form->editor);
  QVERIFY(on.image != never.image);
  QVERIFY(on.marked > 0);  // "あ" under ISO
  form->Commands().Menus.color_op->trigger();
  QVERIFY(!form->editor->SyntaxColors());
  form->editor->repaint();
  const EditorLook off = Capture(form->editor);
  QCOMPARE(off.styleAttributes, never.styleAttributes);
  QCOMPARE(off.styleBytes, never.styleBytes);
  QCOMPARE(off.styleBytes, QList<long>(off.styleBytes.size(), 0));
  QCOMPARE(off.marked, 0L);
  QVERIFY(off.image == never.image);
  QVERIFY(!form->editor->isModified());
}

void SyntaxColorsTest::onStylesWordsAndKeepsTheStoredLook() {
  quelvo::test::WindowTestHome home;
  WriteLook(0x00FFFF /* yellow */, 0x400000 /* dark blue */, -1);  // no key: on
  auto form = OpenWindow();
  QVERIFY(form);
  NcEdit* edit = form->editor;
  QVERIFY(edit->SyntaxColors());
  QCOMPARE(StyleAt(edit, "O1000"), long(quelvo::NcStyle::ProgramNumber));
  QCOMPARE(StyleAt(edit, "(PLATE)"), long(quelvo::NcStyle::Comment));
  QCOMPARE(StyleAt(edit, "G90"), long(quelvo::NcStyle::GCode));
  QCOMPARE(StyleAt(edit, "M03"), long(quelvo::NcStyle::MCode));
  QCOMPARE(StyleAt(edit, "X-12.5"), long(quelvo::NcStyle::Axis));
  QCOMPARE(StyleAt(edit, "S1200"), long(quelvo::NcStyle::Word));
  QCOMPARE(StyleAt(edit, "#101"), long(quelvo::NcStyle::Macro));
  // The default style is the stored text on the stored background.
  QCOMPARE(StyleFore(edit, 0), QColor(255, 255, 0));
  QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, QsciScintillaBase::STYLE_DEFAULT), 0x400000L);
  QVERIFY(StyleFore(edit, int(quelvo::NcStyle::GCode)) != StyleFore(edit, 0));

  // "文字色設定", "背景色設定" and "フォント設定" still reach the editor.
  form->Edit().Dialogs.ChooseColor = [](QWidget*, QColor& c) { return c = QColor(10, 20, 30), true; };
  form->Edit().font_colorClick();
  QCOMPARE(edit->color(), QColor(10, 20, 30));
  // Near-black text would not read on the dark blue: the text and the caret
  // show it lighter, as the syntax colours are made; the stored colour stays.
  const QColor shown = edit->ShownTextColor();
  QVERIFY(shown.lightness() > QColor(10, 20, 30).lightness() + 64);
  QCOMPARE(StyleFore(edit, 0), shown);
  QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_GETCARETFORE), long(shown.red() | shown.green() << 8 | shown.blue() << 16));
  form->Edit().Dialogs.ChooseColor = [](QWidget*, QColor& c) { return c = QColor(250, 250, 240), true; };
  form->Edit().screen_colorClick();
  QCOMPARE(edit->paper(), QColor(250, 250, 240));
  // On the light background it reads as stored.
  QCOMPARE(StyleFore(edit, 0), QColor(10, 20, 30));
  QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_GETCARETFORE), long(10 | 20 << 8 | 30 << 16));
  for (int style : {0, int(quelvo::NcStyle::GCode), int(QsciScintillaBase::STYLE_DEFAULT)})
    QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETBACK, style), 0xF0FAFAL);
  QFont big = edit->font();
  big.setPointSize(17);
  form->Edit().Dialogs.ChooseFont = [big](QWidget*, QFont& f) { return f = big, true; };
  form->Edit().EditFontClick();
  QCOMPARE(edit->font().pointSize(), 17);
  QCOMPARE(edit->SendScintilla(QsciScintillaBase::SCI_STYLEGETSIZE, int(quelvo::NcStyle::Axis)), 17L);
}

void SyntaxColorsTest::marksFollowTheActiveSendCode() {
  quelvo::test::WindowTestHome home;
  const std::string folder = quelvo::ProgramFolder();
  std::string error;
  quelvo::CommSetting ascii = quelvo::LoadCommSetting(folder, 2);
  ascii.Code_S = 2;
  QVERIFY(quelvo::SaveCommSetting(folder, 2, ascii, &error));
  quelvo::CommSetting eia = quelvo::LoadCommSetting(folder, 3);
  eia.Code_S = 1;
  QVERIFY(quelvo::SaveCommSetting(folder, 3, eia, &error));

  auto form = OpenWindow();
  QVERIFY(form);
  NcEdit* edit = form->editor;
  edit->setText("G01X1.(あ)\r\n#1=2(ab)");
  edit->repaint();
  QCOMPARE(form->Settings.setNo, 1);  // ISO: no kanji, every ASCII character
  QVERIFY(MarkedAt(edit, "あ"));
  QVERIFY(!MarkedAt(edit, "#1"));
  form->Setting().SettingItemClick(2);  // ASCII carries the kanji
  QVERIFY(!MarkedAt(edit, "あ"));
  form->Setting().SettingItemClick(3);  // EIA has neither the kanji, "#", "=" nor lower case
  QVERIFY(MarkedAt(edit, "あ"));
  QVERIFY(MarkedAt(edit, "#1"));
  QVERIFY(MarkedAt(edit, "=2"));
  QVERIFY(MarkedAt(edit, "ab"));
  QVERIFY(!MarkedAt(edit, "G01"));
}

void SyntaxColorsTest::optionIsStoredAndTheMenuShowsIt() {
  quelvo::test::WindowTestHome home;
  {
    auto form = OpenWindow();
    QVERIFY(form);
    QVERIFY(form->Commands().Menus.color_op->isCheckable());
    QVERIFY(form->Commands().Menus.color_op->isChecked());  // on without the key
    form->editor->insert("X");
    form->Commands().Menus.color_op->trigger();
    QVERIFY(!form->Commands().Menus.color_op->isChecked());
    QVERIFY(form->editor->isModified());  // the look changes, nothing else
    form->editor->setModified(false);
    QVERIFY(form->close());
  }
  quelvo::IniFile ini(quelvo::ProgramSettingsPath());
  QCOMPARE(ini.ReadString("Options", "Syntax_Color", "missing"), std::string("0"));
  auto again = OpenWindow();
  QVERIFY(again);
  QVERIFY(!again->editor->SyntaxColors());
  QVERIFY(!again->Commands().Menus.color_op->isChecked());
}

// Opening a long program styles the lines on screen, not the whole text; a
// jump to the end leaves the text between unstyled until it comes into view,
// also after an edit above it.
void SyntaxColorsTest::onlyWhatIsShownIsStyled() {
  quelvo::test::WindowTestHome home;
  auto form = OpenWindow();
  QVERIFY(form);
  NcEdit* edit = form->editor;
  QString text;
  for (int i = 0; i < 20000; ++i) text += "G01X" + QString::number(i) + ".Y2.\r\n";
  edit->setText(text);
  edit->repaint();
  const long length = edit->SendScintilla(QsciScintillaBase::SCI_GETLENGTH);
  QVERIFY(edit->SendScintilla(QsciScintillaBase::SCI_GETENDSTYLED) < length / 100);
  auto lineStyle = [edit](long line) {
    const long pos = edit->SendScintilla(QsciScintillaBase::SCI_POSITIONFROMLINE, line);
    return edit->SendScintilla(QsciScintillaBase::SCI_GETSTYLEAT, pos);
  };
  const long gCode = long(quelvo::NcStyle::GCode);
  QCOMPARE(lineStyle(0), gCode);
  edit->setCursorPosition(19990, 0);
  edit->repaint();
  QCOMPARE(lineStyle(19990), gCode);
  QCOMPARE(lineStyle(10000), 0L);  // not shown, not styled
  edit->setFirstVisibleLine(10000);
  edit->repaint();
  QCOMPARE(lineStyle(10000), gCode);
  QCOMPARE(lineStyle(10000 - 2), 0L);
  edit->SendScintilla(QsciScintillaBase::SCI_INSERTTEXT, 0UL, "M03(あ)\r\n");
  edit->setFirstVisibleLine(15000);
  edit->repaint();
  QCOMPARE(lineStyle(15001), gCode);
  QCOMPARE(lineStyle(15001 - 2), 0L);
  edit->setFirstVisibleLine(0);
  edit->repaint();
  QCOMPARE(lineStyle(0), long(quelvo::NcStyle::MCode));
  QCOMPARE(lineStyle(1), gCode);
  QVERIFY(MarkedAt(edit, "あ"));
}

QTEST_MAIN(SyntaxColorsTest)
#include "SyntaxColorsTest.moc"
