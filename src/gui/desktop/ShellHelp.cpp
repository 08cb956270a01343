// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop/ShellHelp.h"

#include <QMessageBox>

#include "core/common/ProgramFiles.h"
#include "core/document/DesktopEntry.h"
#include "gui/desktop/ProgramIcon.h"

namespace quelvo {

namespace {
constexpr int kAboutIconSize = 64;
}  // namespace

void ShowAboutBox(QWidget* owner, const QString& versionSuffix) {
  const QString application = QStringLiteral("Quelvo") + versionSuffix;
  QMessageBox box(QMessageBox::NoIcon, application + QStringLiteral(" のバージョン情報"), application,
                  QMessageBox::Ok, owner);
  box.setIconPixmap(ProgramIcon().pixmap(kAboutIconSize, kAboutIconSize));
  box.exec();
}

void CreateShellShortcut(ShortcutKind kind) {
  const QByteArray icon = ProgramIconSvg();
  // The program file as started: after an upgrade replaced it, the same path
  // names the new program.
  CreateShellShortcut(kind, ExecutablePath(),
                      std::string(icon.constData(), static_cast<size_t>(icon.size())));
}

}  // namespace quelvo
