// SPDX-License-Identifier: GPL-3.0-or-later
// PrintSheet: the hidden print window that prints the document (see PrintSheet.h).
#include "gui/dialogs/PrintSheet.h"

#include <Qsci/qsciprinter.h>
#include <Qsci/qsciscintilla.h>

#include <QDir>
#include <QFileInfo>
#include <QFontInfo>
#include <QPageSetupDialog>
#include <QPrintDialog>
#include <QPrinterInfo>

#include "core/document/PrintPages.h"
#include "gui/editor/EditorBytes.h"

namespace quelvo {
namespace {

// "O1234.NC" + "[2]" before the extension: "O1234[2].NC"; "out.pdf" -> "out[2].pdf".
QString PageFileName(const QString& path, int page) {
  const QFileInfo info(path);
  const QString suffix = info.suffix();
  const QString tag = QStringLiteral("[%1]").arg(page);
  if (suffix.isEmpty()) return path + tag;
  return path.left(path.size() - suffix.size() - 1) + tag + "." + suffix;
}

// The PDF offered when no printer is installed: beside the document, or in the
// home folder for a document that has not been saved yet.
QString DefaultPdfName(const QString& currentFileName) {
  const QFileInfo info(currentFileName);
  const QString base = info.completeBaseName().isEmpty() ? QStringLiteral("quelvo")
                                                         : info.completeBaseName();
  const bool beside = info.isAbsolute() && info.dir().exists();
  return (beside ? info.absolutePath() : QDir::homePath()) + "/" + base + ".pdf";
}

// Lines of the text as the user counts them: a line end after the last line
// does not start another one.
int TextLineCount(QsciScintilla* editor) {
  const int lines = editor->lines();
  if (lines > 1 && editor->lineLength(lines - 1) == 0) return lines - 1;
  return lines;
}

std::string_view SelectedBytes(QsciScintilla* editor, std::string_view document) {
  const long start = editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONSTART);
  const long end = editor->SendScintilla(QsciScintillaBase::SCI_GETSELECTIONEND);
  return document.substr(start, end - start);
}

}  // namespace

PrintSheet::PrintSheet(QWidget* parent)
    : QWidget(parent, Qt::Window),
      wholeBuffer_(new QsciScintilla(this)),
      pageBuffer_(new QsciScintilla(this)),
      printer_(std::make_unique<QsciPrinter>(QPrinter::HighResolution)) {
  setWindowTitle(QStringLiteral("PrintSheet"));
  for (QsciScintilla* buffer : {wholeBuffer_, pageBuffer_}) {
    buffer->SendScintilla(QsciScintillaBase::SCI_SETCODEPAGE, QsciScintillaBase::SC_CP_UTF8);
    buffer->SendScintilla(QsciScintillaBase::SCI_SETPRINTCOLOURMODE,
                          QsciScintillaBase::SC_PRINT_BLACKONWHITE);
    buffer->setMarginWidth(1, 0);
  }
  printer_->setWrapMode(QsciScintilla::WrapWord);
  if (QPrinterInfo::availablePrinters().isEmpty()) {
    printer_->setOutputFormat(QPrinter::PdfFormat);
    printer_->setOutputFileName(QDir::homePath() + "/quelvo.pdf");
  }
}

PrintSheet::~PrintSheet() = default;

QPrinter* PrintSheet::printer() { return printer_.get(); }

int PrintSheet::LinesPerPageFor(QsciScintilla* editor) {
  return LinesPerPage(QFontInfo(editor->font()).pixelSize());
}

void PrintSheet::LoadBuffer(QsciScintilla* buffer, QsciScintilla* editor,
                            std::string_view text) {
  buffer->setFont(editor->font());
  buffer->setColor(Qt::black);
  buffer->setPaper(Qt::white);
  // Appending by length keeps zero bytes and needs no terminated copy.
  buffer->SendScintilla(QsciScintillaBase::SCI_CLEARALL);
  buffer->SendScintilla(QsciScintillaBase::SCI_APPENDTEXT, static_cast<unsigned long>(text.size()),
                        text.data());
}

bool PrintSheet::PrintBuffer(QsciScintilla* buffer, const QString& jobTitle,
                             const QString& outputFile) {
  // An empty buffer has nothing to print; starting a job would still make a file.
  if (buffer->length() == 0) return false;
  printer_->setDocName(jobTitle);
  // The dialog's page range is ours; the buffer is printed whole.
  printer_->setPrintRange(QPrinter::AllPages);
  printer_->setFromTo(0, 0);
  const QString chosenFile = printer_->outputFileName();
  if (!outputFile.isEmpty()) printer_->setOutputFileName(outputFile);
  const bool printed = printer_->printRange(buffer) != 0;
  printer_->setOutputFileName(chosenFile);
  return printed;
}

int PrintSheet::Print(QsciScintilla* editor, const QString& currentFileName,
                      const PrintChoice& choice) {
  const std::string_view document = EditorBytes(editor);
  int jobs = 0;
  switch (choice.range) {
    case PrintChoice::Range::All:
      LoadBuffer(wholeBuffer_, editor, document);
      jobs += PrintBuffer(wholeBuffer_, currentFileName, QString());
      break;
    case PrintChoice::Range::Selection:
      // Copied directly: the clipboard keeps what the user put there.
      LoadBuffer(pageBuffer_, editor, SelectedBytes(editor, document));
      jobs += PrintBuffer(pageBuffer_, currentFileName, QString());
      break;
    case PrintChoice::Range::Pages: {
      LoadBuffer(wholeBuffer_, editor, document);
      const int k = LinesPerPageFor(editor);
      const int lineCount = TextLineCount(wholeBuffer_);
      const bool filePerPage =
          !printer_->outputFileName().isEmpty() && choice.toPage > choice.fromPage;
      for (int p = choice.fromPage; p <= choice.toPage; ++p) {
        const PageLines lines = LinesOfPage(p, k, lineCount);
        std::string_view page;
        if (!lines.empty()) {
          const long from = wholeBuffer_->positionFromLineIndex(lines.first - 1, 0);
          const long to = lines.last < lineCount
                              ? wholeBuffer_->positionFromLineIndex(lines.last, 0)
                              : wholeBuffer_->length();
          page = document.substr(from, to - from);
        }
        LoadBuffer(pageBuffer_, editor, page);
        const QString title = QString::fromStdString(PageJobTitle(currentFileName.toStdString(), p));
        const QString file = filePerPage ? PageFileName(printer_->outputFileName(), p) : QString();
        jobs += PrintBuffer(pageBuffer_, title, file);
      }
      break;
    }
  }
  return jobs;
}

bool PrintSheet::ChooseWithDialog(QsciScintilla* editor, const QString& currentFileName,
                                  QWidget* owner, PrintChoice& choice) {
  const int pages = PageCount(TextLineCount(editor), LinesPerPageFor(editor));
  if (printer_->outputFormat() == QPrinter::PdfFormat)
    printer_->setOutputFileName(DefaultPdfName(currentFileName));
  QPrintDialog dialog(printer_.get(), owner);
  dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
  dialog.setOption(QAbstractPrintDialog::PrintSelection, editor->hasSelectedText());
  dialog.setMinMax(1, pages);
  printer_->setFromTo(1, pages);
  printer_->setPrintRange(editor->hasSelectedText() ? QPrinter::Selection : QPrinter::AllPages);
  if (dialog.exec() != QDialog::Accepted) return false;

  choice = PrintChoice{};
  const QPrinter* chosen = printer_.get();  // QsciPrinter hides QPrinter::printRange()
  if (chosen->printRange() == QPrinter::Selection) {
    choice.range = PrintChoice::Range::Selection;
  } else if (chosen->printRange() == QPrinter::PageRange) {
    choice.range = PrintChoice::Range::Pages;
    choice.fromPage = qMax(1, printer_->fromPage());
    choice.toPage = qMax(choice.fromPage, printer_->toPage());
  }
  return true;
}

void PrintSheet::PageSetupWithDialog(QWidget* owner) {
  QPageSetupDialog dialog(printer_.get(), owner);
  dialog.exec();
}

}  // namespace quelvo
