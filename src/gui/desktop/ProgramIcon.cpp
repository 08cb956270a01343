// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop/ProgramIcon.h"

#include <QFile>

namespace quelvo {

namespace {
constexpr char kIconResource[] = ":/icons/quelvo.svg";
}  // namespace

QIcon ProgramIcon() { return QIcon(QString::fromLatin1(kIconResource)); }

QByteArray ProgramIconSvg() {
  QFile file(QString::fromLatin1(kIconResource));
  return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

}  // namespace quelvo
