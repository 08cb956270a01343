// SPDX-License-Identifier: GPL-3.0-or-later
#include "gui/desktop/ScreenSaver.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusInterface>
#include <QDBusReply>

namespace quelvo {

namespace {
const char kService[] = "org.freedesktop.ScreenSaver";
const char kPath[] = "/org/freedesktop/ScreenSaver";

unsigned g_cookie = 0;
bool g_inhibited = false;

bool ServiceAvailable() {
  QDBusConnection bus = QDBusConnection::sessionBus();
  if (!bus.isConnected() || bus.interface() == nullptr) return false;
  return bus.interface()->isServiceRegistered(kService).value();
}
}  // namespace

void ScreenSaverOff() {
  if (g_inhibited || !ServiceAvailable()) return;
  QDBusInterface saver(kService, kPath, kService, QDBusConnection::sessionBus());
  QDBusReply<unsigned> reply = saver.call("Inhibit", "Quelvo", "NC data transfer");
  if (reply.isValid()) {
    g_cookie = reply.value();
    g_inhibited = true;
  }
}

void ScreenSaverOn() {
  if (!g_inhibited) return;
  g_inhibited = false;
  if (!ServiceAvailable()) return;
  QDBusInterface saver(kService, kPath, kService, QDBusConnection::sessionBus());
  saver.call("UnInhibit", g_cookie);
}

}  // namespace quelvo
