// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A test document: "N0001 G01 X1." ... one block per line, CR LF after every
// line, so line n holds N, G01 and X with the number n.
#include <QString>

namespace quelvo::test {

inline QString NumberedProgram(int lines) {
  QString text;
  for (int n = 1; n <= lines; ++n)
    text += QStringLiteral("N%1 G01 X%2.\r\n").arg(n, 4, 10, QLatin1Char('0')).arg(n);
  return text;
}

}  // namespace quelvo::test
