// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// PrintSheet: the hidden print window. It holds two editor controls used as
// print buffers (wholeBuffer_: the whole document, pageBuffer_: one page or the
// selection) and the printer with its settings for the whole run. Text is always
// printed black on white in the document editor's font.
#include <QString>
#include <QWidget>

#include <memory>
#include <string_view>

class QsciPrinter;
class QsciScintilla;
class QPrinter;

namespace quelvo {

struct PrintChoice {
  enum class Range { All, Pages, Selection };
  Range range = Range::All;
  int fromPage = 1;  // page numbers for Range::Pages, counted from 1
  int toPage = 1;
};

class PrintSheet : public QWidget {
  Q_OBJECT
 public:
  explicit PrintSheet(QWidget* parent = nullptr);
  ~PrintSheet() override;

  // The printer and its settings, kept from one print to the next. With no
  // printer installed it writes a PDF file.
  QPrinter* printer();

  // The print dialog of "印刷": offers pages 1 to the page count (the selection
  // preselected when text is selected) and the printer. Returns false when
  // cancelled; otherwise `choice` holds what to print, for Print().
  bool ChooseWithDialog(QsciScintilla* editor, const QString& currentFileName, QWidget* owner,
                        PrintChoice& choice);
  // "プリンタ設定": the page set-up dialog for the kept printer.
  void PageSetupWithDialog(QWidget* owner);

  // Prints without asking, to the printer as it is set. A page range is printed
  // page by page, each page its own job titled name + "[" + p + "]"; when the
  // printer writes a file and the range has several pages, each page goes to a
  // file of its own, "[p]" inserted before the extension, so that no page
  // overwrites another. Returns the number of jobs printed.
  int Print(QsciScintilla* editor, const QString& currentFileName, const PrintChoice& choice);

  // Lines per page for the editor's font.
  static int LinesPerPageFor(QsciScintilla* editor);

 private:
  bool PrintBuffer(QsciScintilla* buffer, const QString& jobTitle, const QString& outputFile);
  void LoadBuffer(QsciScintilla* buffer, QsciScintilla* editor, std::string_view text);

  QsciScintilla* wholeBuffer_;
  QsciScintilla* pageBuffer_;
  std::unique_ptr<QsciPrinter> printer_;
};

}  // namespace quelvo
