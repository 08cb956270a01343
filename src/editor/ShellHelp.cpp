#include "editor/ShellHelp.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "editor/DesktopEntry.h"

namespace quelvo {

void ShowAboutBox(QWidget* owner, const QString& versionSuffix) {
  const QString application = QStringLiteral("Quelvo") + versionSuffix;
  QMessageBox::about(owner, application + QStringLiteral(" のバージョン情報"), application);
}

void CreateShellShortcut(ShortcutKind kind) {
  CreateShellShortcut(kind, QCoreApplication::applicationFilePath().toStdString());
}

}  // namespace quelvo
