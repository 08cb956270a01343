#include "gui/desktop/ShellHelp.h"

#include <QCoreApplication>
#include <QMessageBox>

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
  CreateShellShortcut(kind, QCoreApplication::applicationFilePath().toStdString(),
                      std::string(icon.constData(), static_cast<size_t>(icon.size())));
}

}  // namespace quelvo
