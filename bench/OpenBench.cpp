// SPDX-License-Identifier: GPL-3.0-or-later
// Times opening a 100 MB NC program (four million lines of coordinates) as the
// document, from the open command to an editor ready to scroll, and measures
// the peak memory of doing so; beside it, the same bytes appended to a bare
// QScintilla editor in the same run. Each figure comes from a process of its
// own, so that the peak memory of one does not hide in the other's.
//
//   open_bench               generates the program and runs both measurements
//   open_bench --bare FILE   one measurement: read FILE, append it to QScintilla
//   open_bench --load FILE   one measurement: LoadDocument(FILE) in the main window,
//                            NC syntax colours on (the default)
//   open_bench --load-plain FILE   the same with the syntax colours off
//   open_bench --load-end FILE     colours on, then the caret to the last line (the
//                                  time of that jump alone)
//   open_bench --load-end-plain FILE   the same jump with the colours off
#include <Qsci/qsciscintilla.h>
#include <sys/resource.h>
#include <unistd.h>

#include <QApplication>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <string>

#include "core/common/AtomicFile.h"
#include "gui/editor/NcEdit.h"
#include "gui/mainwindow/MainWindow.h"

namespace {

constexpr long kLines = 4000000;
constexpr int kRuns = 2;

double Seconds(std::chrono::steady_clock::time_point since) {
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

long PeakKilobytes() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// Lets the window system show the editor and paints it once: the editor is then
// ready to scroll.
void Settle(QWidget* editorView) {
  QApplication::processEvents();
  editorView->repaint();
  QApplication::processEvents();
}

int MeasureBare(const char* path) {
  QsciScintilla editor;
  editor.setUtf8(true);
  editor.setEolMode(QsciScintilla::EolWindows);
  editor.resize(800, 600);
  editor.show();
  Settle(editor.viewport());
  const auto start = std::chrono::steady_clock::now();
  std::string bytes;
  std::string error;
  if (!quelvo::ReadWholeFile(path, &bytes, &error)) {
    std::fprintf(stderr, "%s: %s\n", path, error.c_str());
    return 1;
  }
  editor.SendScintilla(QsciScintilla::SCI_APPENDTEXT, static_cast<unsigned long>(bytes.size()), bytes.data());
  Settle(editor.viewport());
  const double took = Seconds(start);
  std::printf("%.3f %ld\n", took, PeakKilobytes());
  return 0;
}

enum class LoadMode { kColors, kPlain, kColorsToTheEnd, kPlainToTheEnd };

int MeasureLoad(const char* path, LoadMode mode) {
  quelvo::MainWindow form;
  form.resize(800, 600);
  form.show();
  form.Settings.storedOptions.syntaxColors = mode == LoadMode::kColors || mode == LoadMode::kColorsToTheEnd;
  form.Settings.DecodeStoredOptions();
  form.Setting().UpdateSyntaxColors();
  Settle(form.editor->viewport());
  auto start = std::chrono::steady_clock::now();
  if (!form.Files().LoadDocument(path)) return 1;
  Settle(form.editor->viewport());
  if (mode == LoadMode::kColorsToTheEnd || mode == LoadMode::kPlainToTheEnd) {
    start = std::chrono::steady_clock::now();
    form.editor->setCursorPosition(form.editor->lines() - 1, 0);
    Settle(form.editor->viewport());
  }
  const double took = Seconds(start);
  std::printf("%.3f %ld\n", took, PeakKilobytes());
  return 0;
}

std::string MakeProgram() {
  std::string text;
  text.reserve(static_cast<std::size_t>(kLines) * 25 + 64);
  text += "%\r\nO1000(BENCH)\r\n";
  char line[64];
  for (long n = 0; n < kLines; ++n) {
    // 23 characters and CR LF: X123.456Y-78.901Z-1.234
    const int length = std::snprintf(line, sizeof line, "X%03ld.%03ldY-%02ld.%03ldZ-%ld.%03ld\r\n", n % 1000,
                                     (n * 7) % 1000, (n / 3) % 100, (n * 13) % 1000, n % 10, (n * 3) % 1000);
    text.append(line, static_cast<std::size_t>(length));
  }
  text += "M30\r\n%\r\n";
  return text;
}

struct Figures {
  double seconds = 1e9;
  long kilobytes = 0;
  bool ok = false;
};

Figures RunChild(const std::string& self, const char* mode, const std::string& file, const std::string& home) {
  Figures best;
  for (int run = 0; run < kRuns; ++run) {
    const std::string command = "QUELVO_HOME='" + home + "' '" + self + "' " + mode + " '" + file + "'";
    FILE* child = popen(command.c_str(), "r");
    if (child == nullptr) return best;
    double seconds = 0;
    long kilobytes = 0;
    const bool read = std::fscanf(child, "%lf %ld", &seconds, &kilobytes) == 2;
    if (pclose(child) != 0 || !read) return best;
    best.ok = true;
    best.seconds = std::min(best.seconds, seconds);
    best.kilobytes = best.kilobytes == 0 ? kilobytes : std::min(best.kilobytes, kilobytes);
  }
  return best;
}

int Parent() {
  const char* base = std::getenv("TMPDIR");
  std::string folder = std::string(base && *base ? base : "/tmp") + "/quelvo-bench-XXXXXX";
  if (mkdtemp(folder.data()) == nullptr) {
    std::perror("mkdtemp");
    return 1;
  }
  const std::string file = folder + "/BENCH.NC";
  const std::string home = folder + "/home";
  std::filesystem::create_directory(home);
  const std::string program = MakeProgram();
  std::string error;
  if (!quelvo::WriteFileAtomically(file, program, &error)) {
    std::fprintf(stderr, "%s: %s\n", file.c_str(), error.c_str());
    return 1;
  }
  const double megabytes = static_cast<double>(program.size()) / 1e6;
  const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();

  const Figures bare = RunChild(self, "--bare", file, home);
  const Figures load = RunChild(self, "--load", file, home);
  const Figures plain = RunChild(self, "--load-plain", file, home);
  const Figures toTheEnd = RunChild(self, "--load-end", file, home);
  const Figures plainToTheEnd = RunChild(self, "--load-end-plain", file, home);
  std::error_code ignored;
  std::filesystem::remove_all(folder, ignored);
  if (!bare.ok || !load.ok || !plain.ok || !toTheEnd.ok || !plainToTheEnd.ok) {
    std::fprintf(stderr, "open_bench: a measurement failed\n");
    return 1;
  }
  const double timeRatio = load.seconds / bare.seconds;
  const double memoryRatio = static_cast<double>(load.kilobytes) / static_cast<double>(bare.kilobytes);
  std::printf("open %.1f MB NC program, bare QScintilla append:  %6.3f s\n", megabytes, bare.seconds);
  std::printf("open %.1f MB NC program, LoadFileIntoEditor:      %6.3f s  (%.2fx the bare append, target 1.30x: %s)\n",
              megabytes, load.seconds, timeRatio, timeRatio <= 1.3 ? "met" : "missed");
  std::printf("  the same, syntax colours off:                %6.3f s  (%.2fx the bare append)\n", plain.seconds,
              plain.seconds / bare.seconds);
  std::printf("then the caret to the last line, colours on:  %6.3f s  (off: %.3f s)\n", toTheEnd.seconds,
              plainToTheEnd.seconds);
  std::printf("peak memory, bare QScintilla append:  %6.0f MB\n", bare.kilobytes / 1024.0);
  std::printf("peak memory, LoadFileIntoEditor:      %6.0f MB  (%.2fx the bare append, target 1.20x: %s)\n",
              load.kilobytes / 1024.0, memoryRatio, memoryRatio <= 1.2 ? "met" : "missed");
  std::printf("  the same, syntax colours off:       %6.0f MB  (%.2fx the bare append)\n", plain.kilobytes / 1024.0,
              static_cast<double>(plain.kilobytes) / static_cast<double>(bare.kilobytes));
  std::printf("  then the caret to the last line:    %6.0f MB  (%.2fx the bare append)\n",
              toTheEnd.kilobytes / 1024.0,
              static_cast<double>(toTheEnd.kilobytes) / static_cast<double>(bare.kilobytes));
  return 0;
}

}  // namespace

int main(int argc, char* argv[]) {
  if (argc < 3) return Parent();
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  // The window must not take the measurement's own arguments for a command line.
  int qtArgc = 1;
  QApplication app(qtArgc, argv);
  if (std::strcmp(argv[1], "--bare") == 0) return MeasureBare(argv[2]);
  if (std::strcmp(argv[1], "--load") == 0) return MeasureLoad(argv[2], LoadMode::kColors);
  if (std::strcmp(argv[1], "--load-plain") == 0) return MeasureLoad(argv[2], LoadMode::kPlain);
  if (std::strcmp(argv[1], "--load-end") == 0) return MeasureLoad(argv[2], LoadMode::kColorsToTheEnd);
  if (std::strcmp(argv[1], "--load-end-plain") == 0) return MeasureLoad(argv[2], LoadMode::kPlainToTheEnd);
  std::fprintf(stderr, "usage: open_bench [--bare|--load|--load-plain|--load-end|--load-end-plain FILE]\n");
  return 2;
}
