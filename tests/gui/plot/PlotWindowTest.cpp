// SPDX-License-Identifier: GPL-3.0-or-later
// The plot window beside an editor, offscreen: the highlighted move follows
// the caret, a click on a move or on a listed problem moves the caret, the
// plot follows the program under the caret, the views fit the path, a long
// interpretation can be stopped while the editor stays usable; and the main
// window's menu item opens it on the document, which it follows to another
// file or a new document. Beside the path: markers, axes, scale bar and the
// coordinates under the mouse.
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPushButton>
#include <QtTest>

#include <QFile>

#include "core/document/CaretPosition.h"
#include "core/toolpath/ArcGeometry.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"
#include "gui/mainwindow/PanelBar.h"
#include "gui/plot/PathRenderer.h"
#include "gui/plot/PlotLegend.h"
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

// The view shows the path whole: its transform is the fit of the path's extents.
bool Fitted(const PlotWindow& w) {
  const PlotView& v = *w.View();
  const PlotTransform fit = FitTransform(ProjectedBounds(Summarize(*w.Path()), v.View()), v.rect());
  return std::fabs(fit.scale - v.Transform().scale) < 1e-9 * fit.scale &&
         (fit.offset - v.Transform().offset).manhattanLength() < 1e-6;
}

bool ColourNear(const QImage& image, QPointF at, const QColor& colour, int radius) {
  for (int dy = -radius; dy <= radius; ++dy)
    for (int dx = -radius; dx <= radius; ++dx)
      if (image.pixelColor(at.toPoint() + QPoint(dx, dy)) == colour) return true;
  return false;
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
  void plotFollowsTheDocumentAndFitsIt();
  void latheSwitchShowsTheNewPathWhole();
  void clickInThePlotUpdatesTheCaretPanel();
  void cursorCoordinatesFollowTheMouse_data();
  void cursorCoordinatesFollowTheMouse();
  void startAndProblemsAreMarked();
  void scaleBarTakesARoundLength_data();
  void scaleBarTakesARoundLength();

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
  MainWindow form;
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QCOMPARE(form.Commands().Menus.Edit->actions().last(), form.Commands().Menus.PlotOpen);
  QCOMPARE(form.Commands().Menus.PlotOpen->text(), QString("ツールパス表示"));
  form.editor->setText("G00 X5. Y5.\nG01 X10. F100.\n");
  form.Commands().Menus.PlotOpen->trigger();
  QVERIFY(form.plotWindow && form.plotWindow->isVisible());
  QTRY_COMPARE_WITH_TIMEOUT(form.plotWindow->Path() ? form.plotWindow->Path()->size() : size_t(0), size_t(2), 10000);
  form.editor->setModified(false);
}

// Another file (opened, or from the recent files) or a new document replaces
// the plot's path and shows it whole, whatever the zoom was.
void PlotWindowTest::plotFollowsTheDocumentAndFitsIt() {
  test::WindowTestHome home;
  const QString small = home.File("small.nc"), large = home.File("large.nc");
  for (const auto& [name, text] : {std::pair{small, "G00 X5. Y5.\nG01 X10. F100.\n"},
                                   {large, "G00 X0 Y0\nG01 X800. F100.\nY600.\nX0\n"}}) {
    QFile file(name);
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(text);
  }
  MainWindow form;
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  QVERIFY(form.Files().LoadDocument(small.toStdString()));
  form.Commands().Menus.PlotOpen->trigger();
  PlotWindow& plot = *form.plotWindow;
  QTRY_COMPARE_WITH_TIMEOUT(plot.Path() ? plot.Path()->size() : size_t(0), size_t(2), 10000);
  const struct {
    const char* step;
    std::function<void()> act;
    size_t moves;
  } steps[] = {
      {"open another file", [&] { QVERIFY(form.Files().LoadDocument(large.toStdString())); }, 4},
      {"recent file", [&] { form.Files().RecentFileClick(1); }, 2},  // the list: large, small
      {"new document", [&] { form.Files().FileNewClick(); }, 0},
      {"open after new", [&] { QVERIFY(form.Files().LoadDocument(large.toStdString())); }, 4},
  };
  for (const auto& step : steps) {
    plot.View()->ZoomAt(QPointF(100, 100), 3);  // the user zoomed in on the old path
    QSignalSpy done(&plot, &PlotWindow::Interpreted);
    step.act();
    QVERIFY2(done.wait(10000), step.step);
    QCOMPARE(plot.Path()->size(), step.moves);
    if (step.moves > 0) QVERIFY2(Fitted(plot), step.step);
  }
  form.editor->setModified(false);
}

void PlotWindowTest::latheSwitchShowsTheNewPathWhole() {
  Open("G00 X80. Z5.\nG01 Z-60. F0.2\nX120.\n", 0);
  plot_->View()->ZoomAt(QPointF(50, 50), 4);
  QVERIFY(!Fitted(*plot_));
  QSignalSpy done(plot_, &PlotWindow::Interpreted);
  plot_->LatheBox()->setChecked(true);
  QVERIFY(done.wait(10000));
  QCOMPARE(plot_->View()->View(), PlotViewKind::Lathe);
  QVERIFY(Fitted(*plot_));
  // The lathe's path starts at its first point, not on the spindle axis.
  QCOMPARE(plot_->Path()->start.x, 40.0);
  QCOMPARE(plot_->Path()->start.z, 5.0);
  plot_->View()->ZoomAt(QPointF(50, 50), 4);
  plot_->WholeUnitsBox()->setChecked(true);
  QVERIFY(done.wait(10000));
  QVERIFY(Fitted(*plot_));
}

void PlotWindowTest::clickInThePlotUpdatesTheCaretPanel() {
  test::WindowTestHome home;
  MainWindow form;
  form.show();
  QVERIFY(QTest::qWaitForWindowExposed(&form));
  form.editor->setText(kMill);
  form.Commands().Menus.PlotOpen->trigger();
  PlotWindow& plot = *form.plotWindow;
  QTRY_COMPARE_WITH_TIMEOUT(plot.Path() ? plot.Path()->size() : size_t(0), size_t(9), 10000);
  QVERIFY(QTest::qWaitForWindowExposed(&plot));
  QTest::mouseClick(plot.View(), Qt::LeftButton, {}, MiddleOf(plot, 5).toPoint());
  QCOMPARE(form.editorFields.caret->text(), QString::fromStdString(CaretPositionText(8, 1)));
  plot.Problems()->addItem("");  // a listed problem moves the caret as well
  QListWidgetItem* item = plot.Problems()->item(0);
  item->setData(Qt::UserRole, 11);
  emit plot.Problems()->itemClicked(item);
  QCOMPARE(form.editorFields.caret->text(), QString::fromStdString(CaretPositionText(11, 1)));
  form.editor->setModified(false);
}

void PlotWindowTest::cursorCoordinatesFollowTheMouse_data() {
  QTest::addColumn<bool>("lathe");
  QTest::addColumn<int>("view");
  QTest::addColumn<double>("right");  // model coordinates pointed at
  QTest::addColumn<double>("up");
  QTest::addColumn<QString>("pattern");  // the label, numbers as %1 %2
  QTest::newRow("top") << false << 0 << 40.0 << 20.0 << "X %1  Y %2";
  QTest::newRow("front") << false << 1 << 10.0 << -1.0 << "X %1  Z %2";
  QTest::newRow("side") << false << 2 << 30.0 << 5.0 << "Y %1  Z %2";
  QTest::newRow("lathe: X as a diameter") << true << 4 << -20.0 << 30.0 << "Z %1  X %2 (直径)";
  QTest::newRow("isometric: none") << false << 3 << 0.0 << 0.0 << "";
}

void PlotWindowTest::cursorCoordinatesFollowTheMouse() {
  QFETCH(bool, lathe);
  QFETCH(int, view);
  QFETCH(double, right);
  QFETCH(double, up);
  QFETCH(QString, pattern);
  Open(lathe ? "G00 X100. Z5.\nG01 Z-40. F0.2\n" : kMill);
  if (lathe) {
    QSignalSpy done(plot_, &PlotWindow::Interpreted);
    plot_->LatheBox()->setChecked(true);
    QVERIFY(done.wait(10000));
  }
  plot_->ViewBox()->setCurrentIndex(view);
  const PlotTransform& t = plot_->View()->Transform();
  const QPoint at = t.ToScreen(QPointF(right, up)).toPoint();
  // Sent straight to the plot: the offscreen platform drops a move to where
  // it believes the mouse already is.
  QMouseEvent move(QEvent::MouseMove, QPointF(at), plot_->View()->mapToGlobal(QPointF(at)), Qt::NoButton, {}, {});
  QApplication::sendEvent(plot_->View(), &move);
  const QString shown = plot_->CursorLabel()->text();
  if (pattern.isEmpty()) {
    QVERIFY(shown.isEmpty());
    return;
  }
  // Within the pixel the mouse stands on.
  const QStringList words = shown.split(' ', Qt::SkipEmptyParts);
  QCOMPARE(shown, pattern.arg(words[1], words[3]));
  const double pixel = 1 / t.scale;
  QVERIFY2(std::fabs(words[1].toDouble() - right) <= pixel, qPrintable(shown));
  QVERIFY2(std::fabs(words[3].toDouble() - (lathe ? 2 * up : up)) <= (lathe ? 2 : 1) * pixel, qPrintable(shown));
}

// The start (green ring) and where each problem stands (red diamond) are
// drawn at their points; the legend names every kind of mark.
void PlotWindowTest::startAndProblemsAreMarked() {
  Open("G00 X10. Y10.\nG12\nG01 X40. Y30. F100.\nG02 I0. J0.\n", 1);  // no move highlighted
  QCOMPARE(plot_->Path()->problems.size(), size_t(2));
  QTRY_VERIFY(plot_->View()->PictureCurrent());
  const QImage shown = plot_->View()->grab().toImage();
  const PlotTransform& t = plot_->View()->Transform();
  QVERIFY(ColourNear(shown, t.ToScreen({0, 0}), QColor(0, 150, 60), 7));
  QVERIFY(ColourNear(shown, t.ToScreen({10, 10}), QColor(220, 0, 0), 4));
  QVERIFY(ColourNear(shown, t.ToScreen({40, 30}), QColor(220, 0, 0), 4));
  QVERIFY(!ColourNear(shown, t.ToScreen({25, 20}), QColor(220, 0, 0), 4));
  const QStringList names = PlotLegend::Names();
  for (const char* name : {"早送り", "切削送り", "穴あけ", "始点", "解釈できない行"}) QVERIFY(names.contains(name));
  QVERIFY(plot_->findChild<PlotLegend*>()->isVisible());
}

void PlotWindowTest::scaleBarTakesARoundLength_data() {
  QTest::addColumn<double>("pixelsPerMm");
  QTest::addColumn<double>("length");
  QTest::newRow("1 px/mm") << 1.0 << 100.0;
  QTest::newRow("3 px/mm: 33 mm wanted") << 3.0 << 20.0;
  QTest::newRow("0.37 px/mm: 270 mm wanted") << 0.37 << 200.0;
  QTest::newRow("18 px/mm: 5.6 mm wanted") << 18.0 << 5.0;
  QTest::newRow("1500 px/mm: 0.067 mm wanted") << 1500.0 << 0.05;
  QTest::newRow("no scale") << 0.0 << 0.0;
}

void PlotWindowTest::scaleBarTakesARoundLength() {
  QFETCH(double, pixelsPerMm);
  QFETCH(double, length);
  QCOMPARE(ScaleBarLength(pixelsPerMm, 100), length);
}

QTEST_MAIN(PlotWindowTest)
#include "PlotWindowTest.moc"
