#include "editor/ShellHelp.h"

#include <QCoreApplication>
#include <QMessageBox>

#include "editor/DesktopEntry.h"

namespace quelvo {

namespace {
constexpr const char* kProgramName = "Quelvo";
constexpr const char* kVersionSuffix = " Ver1.47";
}  // namespace

void ShowAboutBox(QWidget* owner) {
  const QString application = QString::fromUtf8(kProgramName) + QString::fromUtf8(kVersionSuffix);
  QMessageBox::about(owner, application + QStringLiteral(" のバージョン情報"), application);
}

void CreateShellShortcut(ShortcutKind kind) {
  CreateShellShortcut(kind, QCoreApplication::applicationFilePath().toStdString());
}

}  // namespace quelvo
