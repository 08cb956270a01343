// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Reading printed PDF files back with poppler's command-line tools.
#include <QProcess>
#include <QString>
#include <QStringList>

namespace quelvo::test {

// Standard output of a finished tool, or a marker text when it does not finish.
inline QString RunTool(const QString& program, const QStringList& arguments) {
  QProcess process;
  process.start(program, arguments);
  if (!process.waitForFinished(30000)) return QStringLiteral("<%1 did not finish>").arg(program);
  return QString::fromUtf8(process.readAllStandardOutput());
}

inline QString PdfText(const QString& path) { return RunTool("pdftotext", {path, "-"}); }

// The document title, which the printer takes from the print job's name.
inline QString PdfTitle(const QString& path) {
  for (const QString& line : RunTool("pdfinfo", {path}).split('\n'))
    if (line.startsWith("Title:")) return line.mid(6).trimmed();
  return QString();
}

}  // namespace quelvo::test
