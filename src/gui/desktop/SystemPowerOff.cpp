// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop/SystemPowerOff.h"

#include <QDBusConnection>
#include <QDBusInterface>
#include <QDBusReply>

namespace quelvo {

bool LogindPowerOff() {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return false;
  QDBusInterface login("org.freedesktop.login1", "/org/freedesktop/login1",
                       "org.freedesktop.login1.Manager", bus);
  if (!login.isValid()) return false;
  const QDBusReply<QString> can = login.call("CanPowerOff");
  if (!can.isValid() || can.value() != QLatin1String("yes")) return false;
  const QDBusMessage reply = login.call("PowerOff", false);
  return reply.type() != QDBusMessage::ErrorMessage;
}

}  // namespace quelvo
