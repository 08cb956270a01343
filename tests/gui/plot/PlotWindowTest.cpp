// The plot window beside an editor, offscreen: the highlighted move follows
// the caret, a click on a move or on a listed problem moves the caret, the
// plot follows the program under the caret, the views fit the path, a long
// interpretation can be stopped while the editor stays usable; and the main
// window's menu item opens it on the document.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include "core/toolpath/ArcGeometry.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/Mainform.h"
#include "gui/plot/PlotWindow.h"
#include "support/WindowTestHome.h"

using namespace quelvo;

Q_DECLARE_METATYPE(quelvo::PlotViewKind)

namespace {

const char kMill[] =
    "%\n"
    "O1000(PLATE)\n"          // 2
    "G90 G00 X0 Y0 Z10.\n"    // 3: move 0
    "G01 Z-1. F300.\n"        // 4: move 1
    "X40.\n"                  // 5: move 2
    "G03 X60. Y20. R20.\n"    // 6: move 3
    "G01 Y40.\n"              // 7: move 4
    "G02 X40. Y60. I-20. J0\n"  // 8: move 5
    "G01 X0\n"                // 9: move 6
    "Y0\n"                    // 10: move 7
    "G00 Z10.\n"              // 11: move 8
    "M30\n"
    "O2000(SECOND)\n"         // 13
    "G00 X100. Y100.\n"       // 14
    "G01 X120. F100.\n"       // 15
    "M30\n%\n";

// The screen point halfway along move `i`.
QPointF MiddleOf(const PlotWindow& w, size_t i) {
  const ToolPath& path = *w.Path();
  const PlotView& v = *w.View();
  Point3 mid;
  if (path.IsArc(i)) {
    const ArcCentre* c = path.ArcOf(i);
    mid = PointOnArc(SweepOf(path.Start(i), path.End(i), {c->x, c->y, c->z}, c->plane,
                             path.kind[i] == MoveKind::ArcCw),
                     c->plane, 0.5);
  } else {
    const Point3 a = path.Start(i), b = path.End(i);
    mid = {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
  }
  return v.Transform().ToScreen(ProjectModel(mid, v.View()));
}

}  // namespace

class PlotWindowTest : public QObject {
  Q_OBJECT
 private slots:
  void init();
  void cleanup();
  void caretHighlightsItsMove_data();
  void caretHighlightsItsMove();
  void clickOnAMovePutsTheCaretOnItsLine_data();
  void clickOnAMovePutsTheCaretOnItsLine();
  void plotFollowsTheProgramUnderTheCaret();
  void problemsListJumpsToTheLine();
  void conventionIsShownAndSwitches();
  void longInterpretationCanBeStopped();
  void largePathIsDrawnInTheBackground();
  void menuItemOpensThePlotOfTheDocument();

 private:
  void Open(const QString& text, int caretLine0 = 2);
  NcEdit* editor_ = nullptr;
  PlotWindow* plot_ = nullptr;
};

void PlotWindowTest::init() {
  editor_ = new NcEdit;
  editor_->resize(400, 300);
  editor_->show();
  plot_ = new PlotWindow(editor_);
  plot_->resize(900, 600);
  plot_->show();
  QVERIFY(QTest::qWaitForWindowExposed(plot_));
}

void PlotWindowTest::cleanup() {
  delete plot_;
  delete editor_;
}

void PlotWindowTest::Open(const QString& text, int caretLine0) {
  editor_->setText(text);
  editor_->setCursorPosition(caretLine0, 0);
  QSignalSpy done(plot_, &PlotWindow::Interpreted);
  plot_->Refresh();
  QVERIFY(done.wait(10000));
}

void PlotWindowTest::caretHighlightsItsMove_data() {
  QTest::addColumn<int>("line0");
  QTest::addColumn<long>("move");
  QTest::newRow("first rapid") << 2 << 0L;
  QTest::newRow("counter-clockwise arc") << 5 << 3L;
  QTest::newRow("arc with I J") << 7 << 5L;
  QTest::newRow("program number: no move") << 1 << -1L;
  QTest::newRow("last move") << 10 << 8L;
}

void PlotWindowTest::caretHighlightsItsMove() {
  QFETCH(int, line0);
  QFETCH(long, move);
  Open(kMill);
  editor_->setCursorPosition(line0, 3);
  // The editor tells of caret moves when it next updates its view.
  QTRY_COMPARE(plot_->View()->Highlight(), move);
}

void PlotWindowTest::clickOnAMovePutsTheCaretOnItsLine_data() {
  QTest::addColumn<PlotViewKind>("view");
  QTest::addColumn<int>("move");
  QTest::newRow("top, straight") << PlotViewKind::Top << 2;
  QTest::newRow("top, arc") << PlotViewKind::Top << 3;
  QTest::newRow("top, clockwise arc") << PlotViewKind::Top << 5;
  QTest::newRow("front, rapid up") << PlotViewKind::Front << 0;
  QTest::newRow("side, straight") << PlotViewKind::Side << 4;
  QTest::newRow("isometric, arc") << PlotViewKind::Iso << 5;
  QTest::newRow("lathe, arc") << PlotViewKind::Lathe << 3;
}

void PlotWindowTest::clickOnAMovePutsTheCaretOnItsLine() {
  QFETCH(PlotViewKind, view);
  QFETCH(int, move);
  Open(kMill);
  plot_->ViewBox()->setCurrentIndex(static_cast<int>(view));
  // Fitted: every end point of the path lies inside the plot.
  const ToolPath& path = *plot_->Path();
  for (size_t i = 0; i < path.size(); ++i) {
    const QPointF p = plot_->View()->Transform().ToScreen(ProjectModel(path.End(i), view));
    QVERIFY2(plot_->View()->rect().contains(p.toPoint()), qPrintable(QString("move %1").arg(i)));
  }
  QTest::mouseClick(plot_->View(), Qt::LeftButton, {}, MiddleOf(*plot_, static_cast<size_t>(move)).toPoint());
  int line0 = -1, index = -1;
  editor_->getCursorPosition(&line0, &index);
  QCOMPARE(line0 + 1, path.line[static_cast<size_t>(move)]);
  QCOMPARE(plot_->View()->Highlight(), static_cast<long>(move));
}

void PlotWindowTest::plotFollowsTheProgramUnderTheCaret() {
  Open(kMill);
  QCOMPARE(plot_->Program().firstLine, 1);
  QCOMPARE(plot_->Path()->size(), size_t(9));
  QSignalSpy done(plot_, &PlotWindow::Interpreted);
  editor_->setCursorPosition(14, 0);  // "G01 X120. F100." of O2000
  QVERIFY(done.wait(10000));
  QCOMPARE(plot_->Program().firstLine, 13);
  QCOMPARE(plot_->Path()->size(), size_t(2));
  QTRY_COMPARE(plot_->View()->Highlight(), 1L);
}

void PlotWindowTest::problemsListJumpsToTheLine() {
  Open("G00 X0 Y0\nG01 X10.\nG02 X20. R3. F100\nM98 P10\n", 0);
  QListWidget* list = plot_->Problems();
  QCOMPARE(list->count(), 3);
  QVERIFY(list->item(1)->text().startsWith("3 行: "));
  list->setCurrentRow(1);
  QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
  int line0 = -1, index = -1;
  editor_->getCursorPosition(&line0, &index);
  QCOMPARE(line0, 2);
}

void PlotWindowTest::conventionIsShownAndSwitches() {
  Open("G00 X10 Y20.\n", 0);
  QVERIFY(plot_->ConventionLabel()->text().contains("最小設定単位"));
  QCOMPARE(plot_->Path()->x[0], 0.01);
  QCOMPARE(plot_->Problems()->count(), 1);  // the hint about X10
  QVERIFY(plot_->Problems()->item(0)->text().startsWith("ヒント 1 行: X10"));
  QSignalSpy done(plot_, &PlotWindow::Interpreted);
  plot_->WholeUnitsBox()->setChecked(true);
  QVERIFY(done.wait(10000));
  QVERIFY(plot_->ConventionLabel()->text().contains("電卓式"));
  QCOMPARE(plot_->Path()->x[0], 10.0);
  QVERIFY(plot_->SummaryLabel()->text().contains("10.000"));
}

void PlotWindowTest::longInterpretationCanBeStopped() {
  QByteArray text = "G01 F100.\n";
  for (int i = 0; i < 1500000; ++i) text += (i % 2 ? "X1.\n" : "X0\n");
  editor_->setText(QString::fromLatin1(text));
  QSignalSpy done(plot_, &PlotWindow::Interpreted);
  plot_->Refresh();
  QVERIFY(plot_->Busy());
  editor_->insert("(STILL EDITABLE)");  // the editor is not held by the interpretation
  QTest::mouseClick(plot_->CancelButton(), Qt::LeftButton);
  QVERIFY(done.wait(20000));
  QVERIFY(plot_->Path()->cancelled);
  QVERIFY(plot_->Path()->size() < 1500000);
  QVERIFY(plot_->StatusLabel()->text().startsWith("中止しました"));
  QVERIFY(editor_->text().startsWith("(STILL EDITABLE)"));
}

void PlotWindowTest::largePathIsDrawnInTheBackground() {
  QByteArray text = "G01 F100.\n";
  for (int i = 0; i < 250000; ++i) text += "X" + QByteArray::number(i % 2 * 50) + ". Y" + QByteArray::number(i / 1000) + ".\n";
  Open(QString::fromLatin1(text), 0);
  QCOMPARE(plot_->Path()->size(), size_t(250000));
  plot_->View()->update();
  QTRY_VERIFY_WITH_TIMEOUT(plot_->View()->PictureCurrent(), 20000);
  // The path's feed colour is in the view once the worker's picture arrived.
  const QImage shown = plot_->View()->grab().toImage();
  bool feedColour = false;
  for (int y = 0; y < shown.height() && !feedColour; y += 2)
    for (int x = 0; x < shown.width() && !feedColour; x += 2) feedColour = shown.pixelColor(x, y) == QColor(0, 90, 220);
  QVERIFY(feedColour);
}

void PlotWindowTest::menuItemOpensThePlotOfTheDocument() {
  test::WindowTestHome home;
  TForm1 form;
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.Menus.Edit->actions().last(), form.Menus.PlotOpen);
  QCOMPARE(form.Menus.PlotOpen->text(), QString("ツールパス表示"));
  form.RichEdit1->setText("G00 X5. Y5.\nG01 X10. F100.\n");
  form.Menus.PlotOpen->trigger();
  QVERIFY(form.PlotForm && form.PlotForm->isVisible());
  QTRY_COMPARE_WITH_TIMEOUT(form.PlotForm->Path() ? form.PlotForm->Path()->size() : size_t(0), size_t(2), 10000);
  form.RichEdit1->setModified(false);
}

QTEST_MAIN(PlotWindowTest)
#include "PlotWindowTest.moc"
