// SPDX-License-Identifier: GPL-3.0-or-later
// The toolpath of a 100 MB NC program (about four million moves): the time to
// interpret it, the memory its path holds beside the text's size, and the frame
// rate of panning and zooming its plot offscreen (the kept picture moved), with
// the time a full redraw of the plot takes once the hand rests.
#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "core/toolpath/NcInterpreter.h"
#include "core/toolpath/PathSummary.h"
#include "gui/editor/NcEdit.h"
#include "gui/plot/PlotView.h"
#include "gui/plot/PlotWindow.h"

namespace {

constexpr size_t kBytes = 100u * 1000 * 1000;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

// A line of /proc/self/status in kilobytes ("VmRSS:", "VmHWM:").
long StatusKilobytes(const char* key) {
  FILE* f = std::fopen("/proc/self/status", "r");
  if (!f) return 0;
  char line[256];
  long value = 0;
  while (std::fgets(line, sizeof line, f))
    if (std::strncmp(line, key, std::strlen(key)) == 0) value = std::atol(line + std::strlen(key));
  std::fclose(f);
  return value;
}

// Starts the peak (VmHWM) afresh from the present resident size.
void ResetPeak() {
  if (FILE* f = std::fopen("/proc/self/clear_refs", "w")) {
    std::fputs("5", f);
    std::fclose(f);
  }
}

// Zig-zag passes over a 200 x 150 mm face with a rounded turn (an arc) at the
// end of every pass and a numbered block on every line, as CAM output looks.
std::string Program() {
  std::string text = "%\nO5000(BENCH)\nG21 G90 G17\nG00 X0 Y0 Z5.\nG01 Z-1. F1200.\n";
  text.reserve(kBytes + 64);
  char line[80];
  long n = 10;
  double y = 0;
  while (text.size() < kBytes) {
    for (int i = 1; i <= 400 && text.size() < kBytes; ++i, n += 10) {
      const double x = (static_cast<long>(y) % 2 == 0) ? i * 0.5 : 200 - i * 0.5;
      const int length = std::snprintf(line, sizeof line, "N%ld X%.3f Y%.3f\n", n, x, y + (i % 7) * 0.001);
      text.append(line, static_cast<size_t>(length));
    }
    if (text.size() >= kBytes) break;  // no turn after a pass cut short
    const double x = (static_cast<long>(y) % 2 == 0) ? 200 : 0;
    const int length = std::snprintf(line, sizeof line, "N%ld G0%d X%.3f Y%.3f R0.5\n", ++n,
                                     x > 0 ? 3 : 2, x, y + 1.0);
    text.append(line, static_cast<size_t>(length));
    text += "G01\n";
    y = y + 1.0 > 150 ? 0 : y + 1.0;
  }
  text += "M30\n%\n";
  return text;
}

}  // namespace

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const std::string text = Program();
  ResetPeak();
  const long before = StatusKilobytes("VmRSS:");
  auto start = std::chrono::steady_clock::now();
  auto path = std::make_shared<quelvo::ToolPath>(quelvo::Interpret(text, 1, {}));
  const double interpret = Seconds(start);
  const long peak = StatusKilobytes("VmHWM:"), after = StatusKilobytes("VmRSS:");
  std::printf("toolpath: interpret %.1f MB, %zu moves: %.2f s (%.0f moves/s)\n", text.size() / 1e6, path->size(),
              interpret, path->size() / interpret);
  std::printf("toolpath: path arrays %.1f MB (%.1f bytes a move, %.2f of the text's size); resident +%.1f MB after, "
              "+%.1f MB at the peak while interpreting\n",
              path->MemoryBytes() / 1e6, double(path->MemoryBytes()) / double(path->size()),
              double(path->MemoryBytes()) / double(text.size()), (after - before) / 1e3, (peak - before) / 1e3);
  if (!path->problems.empty())
    std::printf("toolpath: %zu problems (first: line %d %s)\n", path->problems.size(), path->problems[0].line,
                path->problems[0].text.c_str());

  quelvo::PlotView view;
  view.resize(1000, 700);
  view.show();
  QApplication::processEvents();
  view.SetPath(path, quelvo::Summarize(*path), true);
  start = std::chrono::steady_clock::now();
  view.RenderCache();
  const double full = Seconds(start);
  std::printf("toolpath: full redraw of the plot (1000 x 700): %.0f ms\n", full * 1e3);
  for (const char* what : {"pan", "zoom"}) {
    const int frames = 300;
    start = std::chrono::steady_clock::now();
    for (int i = 0; i < frames; ++i) {
      if (what[0] == 'p') view.PanBy(QPointF(i % 40 < 20 ? 3 : -3, 2 * ((i / 40) % 2 ? 1 : -1)));
      else view.ZoomAt(QPointF(500, 350), i % 40 < 20 ? 1.02 : 1 / 1.02);
      view.repaint();
    }
    const double seconds = Seconds(start);
    std::printf("toolpath: %s over %zu moves: %.0f frames per second (%d frames)\n", what, path->size(),
                frames / seconds, frames);
  }
  start = std::chrono::steady_clock::now();
  const long picked = quelvo::MoveAt(*path, view.View(), view.Transform(), QPointF(500, 350), 6);
  std::printf("toolpath: a click on the plot finds its move among %zu in %.0f ms (move %ld)\n", path->size(),
              Seconds(start) * 1e3, picked);

  // The plot window on the document: the time until the plot is shown, and the
  // longest the window's thread was held meanwhile (a 10 ms timer's longest gap).
  quelvo::NcEdit editor;
  editor.SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()), text.data());
  quelvo::PlotWindow window(&editor);
  window.show();
  QApplication::processEvents();
  QElapsedTimer sinceTick;
  double longestGap = 0;
  QTimer tick;
  QObject::connect(&tick, &QTimer::timeout, [&] {
    longestGap = std::max(longestGap, sinceTick.nsecsElapsed() / 1e6);
    sinceTick.restart();
  });
  QEventLoop loop;
  QObject::connect(&window, &quelvo::PlotWindow::Interpreted, &loop, &QEventLoop::quit);
  start = std::chrono::steady_clock::now();
  sinceTick.start();
  tick.start(10);
  window.Refresh();
  loop.exec();
  std::printf("toolpath: plot window on the 100 MB document: shown after %.2f s; the window's thread was held at most %.0f ms\n",
              Seconds(start), longestGap);
  return 0;
}
